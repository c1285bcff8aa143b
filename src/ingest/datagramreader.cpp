// The socket-reading thread: poll, read many datagrams per system call, read them as messages.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/datagramreader.h"

#include "ingest/datagramorigin.h"
#include "ingest/logmessage.h"
#include "ingest/messagequeue.h"
#include "ingest/socketdrops.h"

#include <QByteArray>
#include <QVector>

#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <vector>

namespace {

// Datagrams read with one system call where the system has recvmmsg(), and queued together.
const int datagramsPerRead = 64;
const int messagesPerPush = 256;
// Datagrams taken from the socket and waiting to be read as messages, at most: as many again
// as the socket's buffer holds of small ones.
const int unreadLimit = 16384;
const qint64 unreadByteLimit = 16 * 1024 * 1024;
// The largest UDP payload, and then some.
const int bufferBytes = 65536;
#ifdef Q_OS_LINUX
// How long datagrams gather in the socket, while they keep coming, before they are read
// (a millisecond where the system's poll() has nothing finer).
const long gatherNs = 500 * 1000;
#endif

#ifdef Q_OS_LINUX
// Room for the control data the system gives each datagram: its drop count and its time.
const size_t controlBytes = CMSG_SPACE(sizeof(quint32)) + CMSG_SPACE(sizeof(timespec));
#endif

// A datagram taken from the socket, with when and from whom it came.
struct Datagram
{
    QByteArray payload;
    qint64 arrivalTime;
    SenderAddress sender;
};

} // namespace

DatagramReader::DatagramReader(int socketDescriptor, MessageQueue *queue,
                               std::function<void()> messagesWaiting)
    : socket(socketDescriptor),
      stopPipe {-1, -1},
      queue(queue),
      messagesWaiting(std::move(messagesWaiting)),
      countsDrops(SocketDrops::askForCount(socket)),
      timesArrivals(ArrivalTime::askForTimes(socket))
{
    ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK);
    // A thread that nothing can stop would hang whoever destroys the reader: without its
    // pipe, it does not start.
    if (::pipe(stopPipe) == 0)
        thread = std::thread([this] { run(); });
    else
        stopPipe[0] = stopPipe[1] = -1;
}

DatagramReader::~DatagramReader()
{
    if (thread.joinable()) {
        queue->close();
        const char stop = 's';
        while (::write(stopPipe[1], &stop, 1) < 0 && errno == EINTR) { }
        thread.join();
        ::close(stopPipe[0]);
        ::close(stopPipe[1]);
    }
    ::close(socket);
}

qint64 DatagramReader::droppedDatagrams() const
{
    return countsDrops ? drops.load(std::memory_order_relaxed) : -1;
}

void DatagramReader::run()
{
    std::vector<char> buffers(size_t(datagramsPerRead) * bufferBytes);
#ifdef Q_OS_LINUX
    std::vector<iovec> vectors(datagramsPerRead);
    std::vector<mmsghdr> headers(datagramsPerRead);
    std::vector<sockaddr_in6> senders(datagramsPerRead); // the larger of the two kinds
    const bool wantsControlData = countsDrops || timesArrivals;
    std::vector<char> controls(size_t(datagramsPerRead) * controlBytes);
    for (int i = 0; i < datagramsPerRead; ++i) {
        vectors[size_t(i)] = {buffers.data() + size_t(i) * bufferBytes, size_t(bufferBytes)};
        headers[size_t(i)] = {};
        headers[size_t(i)].msg_hdr.msg_iov = &vectors[size_t(i)];
        headers[size_t(i)].msg_hdr.msg_iovlen = 1;
        headers[size_t(i)].msg_hdr.msg_name = &senders[size_t(i)];
    }
    SocketDrops socketDrops;
#else
    sockaddr_in6 sender;
#endif
    // Datagrams taken from the socket and not yet read as messages, oldest first.
    std::deque<Datagram> unread;
    qint64 unreadBytes = 0;

    // Takes what the socket holds, as long as there is room for it.
    auto drain = [&] {
        while (int(unread.size()) < unreadLimit && unreadBytes < unreadByteLimit) {
#ifdef Q_OS_LINUX
            // The system writes each datagram's sender, its drop count when it has one and
            // its time, and the length of what it wrote.
            for (int i = 0; i < datagramsPerRead; ++i) {
                msghdr &header = headers[size_t(i)].msg_hdr;
                header.msg_namelen = sizeof(sockaddr_in6);
                if (wantsControlData) {
                    header.msg_control = controls.data() + size_t(i) * controlBytes;
                    header.msg_controllen = controlBytes;
                }
            }
            const int count =
                ::recvmmsg(socket, headers.data(), datagramsPerRead, MSG_DONTWAIT, nullptr);
            // Without the system's times, the datagrams read together share the time they
            // were read.
            const qint64 readTime = count > 0 && !timesArrivals ? ArrivalTime::now() : 0;
            for (int i = 0; i < count; ++i) {
                const msghdr &header = headers[size_t(i)].msg_hdr;
                const int size = int(headers[size_t(i)].msg_len);
                qint64 arrivalTime = timesArrivals ? ArrivalTime::fromControlData(header) : 0;
                if (arrivalTime == 0)
                    arrivalTime = readTime ? readTime : ArrivalTime::now();
                unread.push_back(
                    {QByteArray(buffers.data() + size_t(i) * bufferBytes, size), arrivalTime,
                     SenderAddress::fromSocketAddress(header.msg_name, header.msg_namelen)});
                unreadBytes += size;
                if (countsDrops)
                    socketDrops.readControlData(header);
            }
            if (count < datagramsPerRead) {
                // The socket is empty: drops after the last datagram come with no datagram.
                if (countsDrops) {
                    socketDrops.readFromSocket(socket);
                    drops.store(socketDrops.count(), std::memory_order_relaxed);
                }
                return;
            }
            if (countsDrops)
                drops.store(socketDrops.count(), std::memory_order_relaxed);
#else
            socklen_t senderLength = sizeof(sender);
            const ssize_t size = ::recvfrom(socket, buffers.data(), bufferBytes, MSG_DONTWAIT,
                                            reinterpret_cast<sockaddr *>(&sender), &senderLength);
            if (size < 0)
                return;
            unread.push_back({QByteArray(buffers.data(), int(size)), ArrivalTime::now(),
                              SenderAddress::fromSocketAddress(&sender, senderLength)});
            unreadBytes += size;
#endif
        }
    };
    // Messages read and not yet queued: at most those the queue had room for, and one more
    // that its bytes did not leave room for.
    QVector<LogMessage> messages;
    // Reads the oldest datagrams as messages, as many as the queue has room for by count and
    // by bytes, and queues them: what does not fit waits here rather than be dropped.
    auto handOn = [&] {
        const int count = std::min(messagesPerPush, queue->room());
        qint64 bytesLeft = queue->byteRoom();
        for (const LogMessage &message : qAsConst(messages))
            bytesLeft -= MessageQueue::bytesOf(message);
        while (!unread.empty() && messages.size() < count && bytesLeft > 0) {
            const Datagram &datagram = unread.front();
            LogMessage message = LogMessage::fromDatagram(datagram.payload);
            message.arrivalTime = datagram.arrivalTime;
            message.sender = datagram.sender;
            bytesLeft -= MessageQueue::bytesOf(message);
            messages.append(std::move(message));
            unreadBytes -= datagram.payload.size();
            unread.pop_front();
        }
        if (!messages.isEmpty() && queue->pushWhatFits(messages))
            messagesWaiting();
    };

    pollfd watched[2] = {{socket, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    bool readSome = false;
    for (;;) {
        // Nothing is read while the window has enough to do: the datagrams wait in the socket.
        const qint64 waitingBytes =
            messages.isEmpty() ? 1 : MessageQueue::bytesOf(messages.first());
        if (!queue->waitForRoom(waitingBytes))
            return;
        if (unread.empty() && messages.isEmpty()) {
            if (readSome) {
                // While datagrams keep coming, they gather in the socket for a moment and are
                // read together. Read as each arrives, every one would wake this thread, which
                // would take the core from the window thousands of times a second for a
                // datagram each time. The first datagram after a quiet spell is read at once.
#ifdef Q_OS_LINUX
                const timespec gather {0, gatherNs};
                if (::ppoll(&watched[1], 1, &gather, nullptr) > 0)
                    return;
#else
                if (::poll(&watched[1], 1, 1) > 0)
                    return;
#endif
            } else {
                // Until a datagram comes, the window frees what it lets go of itself, once
                // this thread has freed what was handed back: the two never free into the
                // same heap at once.
                while (!queue->takeHandedBack(true).empty()) { }
                if (::poll(watched, 2, -1) < 0) {
                    if (errno == EINTR)
                        continue;
                    return;
                }
                if (watched[1].revents)
                    return;
            }
        }
        // The texts the window let go of are freed here, where they were made.
        queue->takeHandedBack(false);
        // The socket is emptied first, every time: taking a datagram costs a fraction of
        // reading it as a message, and what the socket's buffer cannot hold is lost. A burst
        // that comes while the window's thread shares the core with this one is taken whole,
        // and read as messages once it has ended.
        const size_t unreadBefore = unread.size();
        drain();
        readSome = unread.size() > unreadBefore;
        handOn();
    }
}
