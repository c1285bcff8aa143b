// Sends datagrams over a UDP socket that belongs to no thread, and notices an absent viewer.
// SPDX-License-Identifier: MIT
#include "channel.h"

#include <QCoreApplication>
#include <QHostInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUdpSocket>

#include <cerrno>
#include <chrono>

namespace corvane {

namespace {

// How long sends are skipped once the system reported that nobody listened: a program that
// logs in a tight loop then makes a few system calls a second instead of one a message, and
// a viewer started meanwhile misses at most this much.
constexpr qint64 quietMs = 100;

qint64 nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The program's name as the application gives it, or else its executable's.
QString programName()
{
    QString name = QCoreApplication::applicationName();
#ifdef __GLIBC__
    if (name.isEmpty())
        name = QString::fromLocal8Bit(program_invocation_short_name);
#endif
    // A name, not a text: the viewer shows it in a column.
    return name.left(64);
}

} // namespace

Channel::Channel(const QString &address)
{
    const std::optional<Address> parsed = parseAddress(address);
    if (!parsed) {
        lastError = Sender::AddressError;
        lastErrorString = QStringLiteral("\"%1\" is no address: write host:port, or "
                                         "[IPv6 address]:port")
                              .arg(address);
        return;
    }
    resolve(parsed->host, parsed->port);
}

Channel::Channel(const QString &host, quint16 port)
{
    resolve(host, port);
}

Channel::~Channel() = default;

void Channel::resolve(const QString &hostName, quint16 peerPort)
{
    port = peerPort;
    if (port == 0) {
        lastError = Sender::AddressError;
        lastErrorString = QStringLiteral("port 0 names no viewer");
        return;
    }
    if (!host.setAddress(hostName)) {
        const QHostInfo info = QHostInfo::fromName(hostName);
        const QList<QHostAddress> found = info.addresses();
        if (info.error() != QHostInfo::NoError || found.isEmpty()) {
            lastError = Sender::AddressError;
            lastErrorString =
                QStringLiteral("cannot resolve host \"%1\": %2")
                    .arg(hostName,
                         info.error() != QHostInfo::NoError ? info.errorString()
                                                            : QStringLiteral("no address"));
            return;
        }
        // The viewer listens on IPv4 unless told otherwise.
        host = found.first();
        for (const QHostAddress &candidate : found) {
            if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
                host = candidate;
                break;
            }
        }
    }
    valid = true;
    absentText =
        QStringLiteral("no viewer was listening at %1 port %2").arg(host.toString()).arg(port);
    const std::lock_guard<std::mutex> lock(mutex);
    open();
}

bool Channel::open()
{
    // A failed connection emits errorOccurred(), which Qt queues to a socket of no thread.
    // With its argument type registered the event waits quietly until the socket goes;
    // without, Qt would warn that it cannot queue the argument.
    qRegisterMetaType<QAbstractSocket::SocketError>();
    socket.reset(new QUdpSocket);
    socket->moveToThread(nullptr);
    // For UDP this only sets the peer in the kernel: it completes at once, without the event
    // loop, and makes the system report datagrams that found nobody listening.
    socket->connectToHost(host, port);
    if (socket->state() == QAbstractSocket::ConnectedState)
        return true;
    lastError = Sender::SendError;
    lastErrorString = QStringLiteral("cannot send to %1 port %2: %3")
                          .arg(host.toString())
                          .arg(port)
                          .arg(socket->errorString());
    socket.reset();
    return false;
}

bool Channel::isQuiet() const
{
    const qint64 until = quietUntil.load(std::memory_order_relaxed);
    return until != 0 && nowMs() < until;
}

bool Channel::dropIfQuiet()
{
    if (!isQuiet())
        return false;
    dropped.fetch_add(1, std::memory_order_relaxed);
    const std::lock_guard<std::mutex> lock(mutex);
    lastError = quietError;
    lastErrorString = quietErrorString;
    return true;
}

void Channel::quieten()
{
    quietError = lastError;
    quietErrorString = lastErrorString;
    quietUntil.store(nowMs() + quietMs, std::memory_order_relaxed);
}

void Channel::drop(Sender::Error reason, const QString &why)
{
    dropped.fetch_add(1, std::memory_order_relaxed);
    const std::lock_guard<std::mutex> lock(mutex);
    lastError = reason;
    lastErrorString = why;
}

bool Channel::send(const QByteArray &payload)
{
    return sendPayload(payload, false);
}

bool Channel::sendCounted(const QByteArray &payload)
{
    return sendPayload(payload, true);
}

void Channel::nameProgram()
{
    if (!appMember.isEmpty())
        return;
    const QJsonObject app {{QStringLiteral("app"), programName()}};
    appMember = QJsonDocument(app).toJson(QJsonDocument::Compact);
    appMember = appMember.mid(1, appMember.size() - 2); // without the braces
}

int Channel::countRoom()
{
    const std::lock_guard<std::mutex> lock(mutex);
    nameProgram();
    // ,"seq":<up to 20 digits>,<the app member>
    return 7 + 20 + 1 + int(appMember.size());
}

QByteArray Channel::withCount(const QByteArray &payload)
{
    nameProgram();
    if (payload.size() < 3 || !payload.endsWith('}'))
        return QByteArray();
    QByteArray counted = payload;
    counted.chop(1);
    counted += ",\"seq\":" + QByteArray::number(countedSent + 1) + ',' + appMember + '}';
    return counted.size() <= maxDatagramSize ? counted : QByteArray();
}

bool Channel::sendPayload(const QByteArray &payload, bool counted)
{
    if (!valid) {
        dropped.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    if (payload.size() > maxDatagramSize) {
        drop(Sender::SendError,
             QStringLiteral("a datagram of %1 bytes is larger than the %2 that UDP carries")
                 .arg(payload.size())
                 .arg(maxDatagramSize));
        return false;
    }
    if (dropIfQuiet())
        return false;

    const std::lock_guard<std::mutex> lock(mutex);
    if ((!socket || !socket->isValid()) && !open()) {
        // No socket reaches the viewer (no route to it, say): rather than make one for every
        // datagram, try again after a quiet spell.
        dropped.fetch_add(1, std::memory_order_relaxed);
        quieten();
        return false;
    }
    // Numbered under the mutex, so the numbers go out in order whichever thread sends.
    const QByteArray numbered = counted ? withCount(payload) : QByteArray();
    const QByteArray &out = numbered.isEmpty() ? payload : numbered;
    qint64 written = socket->write(out);
    if (written < 0 && socket->error() == QAbstractSocket::UnknownSocketError) {
        // The system reports that an earlier datagram found nobody listening. That datagram
        // is lost; the report is used up by this call, so this one can go now.
        dropped.fetch_add(1, std::memory_order_relaxed);
        lastError = Sender::ViewerAbsent;
        lastErrorString = absentText;
        quieten();
        written = socket->write(out);
    }
    if (written == out.size()) {
        if (!numbered.isEmpty())
            ++countedSent;
        return true;
    }

    const int code = errno;
    dropped.fetch_add(1, std::memory_order_relaxed);
    lastError = Sender::SendError;
    QString reason;
    if (written == 0)
        reason = QStringLiteral("the socket's send buffer is full");
    else if (socket->error() != QAbstractSocket::UnknownSocketError)
        reason = socket->errorString();
    else
        reason = qt_error_string(code);
    lastErrorString =
        QStringLiteral("cannot send to %1 port %2: %3").arg(host.toString()).arg(port).arg(reason);
    // The system refused even the retry: there is no way to the viewer now.
    if (written < 0 && socket->error() == QAbstractSocket::UnknownSocketError)
        quieten();
    return false;
}

Sender::Error Channel::error() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return lastError;
}

QString Channel::errorString() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return lastErrorString;
}

} // namespace corvane
