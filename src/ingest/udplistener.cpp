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

#include <QTimer>
#include <QUdpSocket>

namespace {

// The window takes messages in chunks of this many (how many chunks a turn, its TurnScheduler
// decides). Smaller chunks paint more often and cost more per message; larger ones let the
// longest stall grow.
const int messagesPerChunk = 256;
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
    : QObject(parent), queue(queuedMessages, queuedBytes), dropCheck(new QTimer(this))
{
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
        // Whoever takes the messages is told in a posted call, and must take them in a turn
        // of its own (its TurnScheduler's timer): Qt runs the calls posted while it runs
        // posted calls in the same pass, so with a reader that posts again each time the
        // window has emptied the queue, the window would take messages for a second at a
        // time while its timers, painting and input waited.
        reader = std::make_unique<DatagramReader>(descriptor, &queue, [this] {
            QMetaObject::invokeMethod(this, &UdpListener::messagesWaiting, Qt::QueuedConnection);
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
    QHostAddress address;
    quint16 port = 0;
    while ((size = socket->pendingDatagramSize()) >= 0) {
        QByteArray datagram(int(size), Qt::Uninitialized);
        if (socket->readDatagram(datagram.data(), size, &address, &port) < 0)
            break;
        // No time from the system here: the time it is read is the nearest there is.
        const qint64 arrivalTime = ArrivalTime::now();
        LogMessage message = LogMessage::fromDatagram(datagram);
        message.arrivalTime = arrivalTime;
        message.sender = SenderAddress::fromHostAddress(address, port);
        messages.append(std::move(message));
    }
    if (queue.push(std::move(messages)))
        emit messagesWaiting();
}

bool UdpListener::deliverChunk()
{
    const QVector<LogMessage> chunk = queue.take(messagesPerChunk, bytesPerChunk);
    if (chunk.isEmpty())
        return false;
    arrivedSinceDropCheck = true;
    if (!dropCheck->isActive())
        dropCheck->start();
    emit messagesReceived(chunk);
    return true;
}

void UdpListener::handBack(std::vector<QString> &&texts)
{
    std::vector<QString> released = std::move(texts);
    queue.handBack(released);
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
