// Binds the viewer's socket, has it read, and hands the messages to the window in chunks.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/udplistener.h"

#ifdef Q_OS_UNIX
#include "ingest/datagramreader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <QElapsedTimer>
#include <QTimer>
#include <QUdpSocket>

namespace {

// The window takes messages in chunks of this many, and starts no new chunk once it has spent
// this long; then it returns to the event loop to paint and answer clicks, and takes the rest
// on the next turn. Smaller chunks paint more often and cost more per message; larger ones
// let the longest stall grow. (8 ms rather than 15 took the longest stall of a flood from
// 60-76 ms to about 42 ms, at no cost in rate.)
const int messagesPerChunk = 256;
const qint64 takeBudgetMs = 8;
// A chunk also ends once it holds this many bytes of text. One large text of markup can take
// half a second to show, so 256 of them in one chunk would freeze the window for minutes.
const qint64 bytesPerChunk = 128 * 1024;

// What waits for the window at most, beyond what the socket's buffer holds: half a second of a
// flood, or a burst that comes while the window lays out something large.
const int queuedMessages = 50000;
const qint64 queuedBytes = 64 * 1024 * 1024;

// Ask the system for a receive buffer that absorbs the bursts the reader cannot follow.
const int receiveBufferBytes = 8 * 1024 * 1024;

} // namespace

UdpListener::UdpListener(QObject *parent)
    : QObject(parent),
      queue(queuedMessages, queuedBytes),
      moreToTake(new QTimer(this)),
      dropCheck(new QTimer(this))
{
    moreToTake->setSingleShot(true);
    moreToTake->setInterval(0);
    connect(moreToTake, &QTimer::timeout, this, &UdpListener::takeMessages);
    dropCheck->setInterval(1000);
    connect(dropCheck, &QTimer::timeout, this, &UdpListener::checkDrops);
}

UdpListener::~UdpListener()
{
    stopReading();
}

void UdpListener::stopReading()
{
    reader.reset();
    delete socket;
    socket = nullptr;
    descriptor = -1;
    boundPort = 0;
    moreToTake->stop();
    dropCheck->stop();
    queue.clear();
    queueDropsBefore = queue.dropped();
    reportedDrops = 0;
}

bool UdpListener::listen(const QHostAddress &address, quint16 port)
{
    stopReading();
    socket = new QUdpSocket(this);
    const bool isAddress = address.protocol() == QAbstractSocket::IPv4Protocol
        || address.protocol() == QAbstractSocket::IPv6Protocol;
    if (!isAddress || !socket->bind(address, port, QAbstractSocket::DefaultForPlatform))
        return false;
    boundPort = socket->localPort();
    descriptor = int(socket->socketDescriptor());
    setReceiveBufferSize(receiveBufferBytes);
#ifdef Q_OS_UNIX
    // The reading thread gets a descriptor of its own for the bound socket, and Qt's socket,
    // with its notifier on this thread, goes: nothing here reads it any more.
    descriptor = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (descriptor >= 0) {
        delete socket;
        socket = nullptr;
        queue.reopen();
        // The window is woken through its timer rather than with a call of its own: Qt runs
        // the calls posted while it runs posted calls in the same pass, so with a reader that
        // posts again each time the window has emptied the queue, the window would take
        // messages for a second at a time while its timers, painting and input waited.
        reader = std::make_unique<DatagramReader>(descriptor, &queue, [this] {
            QMetaObject::invokeMethod(moreToTake, QOverload<>::of(&QTimer::start),
                                      Qt::QueuedConnection);
        });
        if (!reader->isReading()) {
            qWarning("corvane: cannot start reading the socket: %s", std::strerror(errno));
            stopReading();
            return false;
        }
        return true;
    }
#endif
    descriptor = int(socket->socketDescriptor());
    connect(socket, &QUdpSocket::readyRead, this, &UdpListener::readOnThisThread);
    return true;
}

quint16 UdpListener::localPort() const
{
    return boundPort;
}

qint64 UdpListener::droppedDatagrams() const
{
#ifdef Q_OS_UNIX
    const qint64 system = reader ? reader->droppedDatagrams() : -1;
#else
    const qint64 system = -1;
#endif
    const qint64 handOver = queue.dropped() - queueDropsBefore;
    if (system < 0)
        return handOver > 0 ? handOver : -1;
    return system + handOver;
}

int UdpListener::receiveBufferSize() const
{
#ifdef Q_OS_UNIX
    int bytes = 0;
    socklen_t length = sizeof(bytes);
    if (descriptor >= 0 && ::getsockopt(descriptor, SOL_SOCKET, SO_RCVBUF, &bytes, &length) == 0)
        return bytes;
    return -1;
#else
    return socket ? socket->socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt()
                  : -1;
#endif
}

void UdpListener::setReceiveBufferSize(int bytes)
{
#ifdef Q_OS_UNIX
    if (descriptor >= 0)
        ::setsockopt(descriptor, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof(bytes));
#else
    if (socket)
        socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, bytes);
#endif
}

// Where no thread reads the socket, this one does, as the datagrams arrive.
void UdpListener::readOnThisThread()
{
    QVector<LogMessage> messages;
    qint64 size;
    while ((size = socket->pendingDatagramSize()) >= 0) {
        QByteArray datagram(int(size), Qt::Uninitialized);
        if (socket->readDatagram(datagram.data(), size) < 0)
            break;
        messages.append(LogMessage::fromDatagram(datagram));
    }
    if (queue.push(std::move(messages)))
        takeMessages();
}

void UdpListener::yieldTurn()
{
    yieldingTurn = true;
}

void UdpListener::takeMessages()
{
    if (yieldingTurn) {
        yieldingTurn = false;
        moreToTake->start();
        return;
    }
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const QVector<LogMessage> chunk = queue.take(messagesPerChunk, bytesPerChunk);
        if (chunk.isEmpty())
            break;
        emit messagesReceived(chunk);
        arrivedSinceDropCheck = true;
        if (!dropCheck->isActive())
            dropCheck->start();
        if (clock.elapsed() >= takeBudgetMs) {
            moreToTake->start();
            break;
        }
    }
}

void UdpListener::checkDrops()
{
    const qint64 dropped = droppedDatagrams();
    if (dropped > reportedDrops) {
        reportedDrops = dropped;
        emit datagramsDropped(dropped);
    }
    if (!arrivedSinceDropCheck)
        dropCheck->stop();
    arrivedSinceDropCheck = false;
}
