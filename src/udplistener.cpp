// Binds the viewer's socket and drains it in chunks that leave the window time to paint.
#include "udplistener.h"

#include "socketdrops.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QUdpSocket>

namespace {

// A drain reads and hands on datagrams in chunks of this many, and starts no new chunk once
// it has run this long; then it returns to the event loop, and the socket signals readyRead()
// again on the next turn. So a flood keeps the window painting and answering clicks. A
// datagram costs about 12 us of processor time here, most of it the layout of its text, so
// a drain lasts about 25 ms on an idle core. Smaller chunks paint more often and cost more
// per datagram; larger ones let the longest stall grow past 100 ms on a busy machine.
const int datagramsPerChunk = 256;
const qint64 drainBudgetMs = 20;
// A chunk also ends once it holds this many bytes. One large datagram of markup can take half
// a second to show, so 256 of them in one chunk would freeze the window for two minutes.
const qint64 bytesPerChunk = 64 * 1024;

// Ask the system for a receive buffer that absorbs the bursts between two drains.
const int receiveBufferBytes = 8 * 1024 * 1024;

} // namespace

UdpListener::UdpListener(QObject *parent) : QObject(parent), dropCheck(new QTimer(this))
{
    dropCheck->setInterval(1000);
    connect(dropCheck, &QTimer::timeout, this, &UdpListener::checkDrops);
}

bool UdpListener::listen(const QHostAddress &address, quint16 port)
{
    delete socket;
    socket = new QUdpSocket(this);
    dropCheck->stop();
    droppedSoFar = 0;
    const bool isAddress = address.protocol() == QAbstractSocket::IPv4Protocol
        || address.protocol() == QAbstractSocket::IPv6Protocol;
    if (!isAddress || !socket->bind(address, port, QAbstractSocket::DefaultForPlatform))
        return false;
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, receiveBufferBytes);
    connect(socket, &QUdpSocket::readyRead, this, &UdpListener::drain);
    return true;
}

quint16 UdpListener::localPort() const
{
    return socket ? socket->localPort() : 0;
}

qint64 UdpListener::droppedDatagrams() const
{
    return socket ? ::droppedDatagrams(socket->socketDescriptor()) : -1;
}

void UdpListener::drain()
{
    QVector<QByteArray> chunk;
    chunk.reserve(datagramsPerChunk);
    qint64 chunkBytes = 0;
    QElapsedTimer clock;
    clock.start();
    // pendingDatagramSize() is -1 when nothing is pending, so it answers hasPendingDatagrams()
    // too, with one system call less for every datagram.
    qint64 size;
    while ((size = socket->pendingDatagramSize()) >= 0) {
        QByteArray datagram(int(size), Qt::Uninitialized);
        if (socket->readDatagram(datagram.data(), size) < 0)
            break;
        chunk.append(datagram);
        chunkBytes += size;
        if (chunk.size() >= datagramsPerChunk || chunkBytes >= bytesPerChunk) {
            emit datagramsReceived(chunk);
            chunk.clear();
            chunkBytes = 0;
            if (clock.elapsed() >= drainBudgetMs)
                break;
        }
    }
    if (!chunk.isEmpty())
        emit datagramsReceived(chunk);
    arrivedSinceDropCheck = true;
    if (!dropCheck->isActive())
        dropCheck->start();
}

void UdpListener::checkDrops()
{
    const qint64 dropped = droppedDatagrams();
    if (dropped > droppedSoFar) {
        droppedSoFar = dropped;
        emit datagramsDropped(dropped);
    }
    if (!arrivedSinceDropCheck)
        dropCheck->stop();
    arrivedSinceDropCheck = false;
}
