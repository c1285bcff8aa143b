// The socket-reading thread: poll, read many datagrams per system call, read them as messages.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "datagramreader.h"

#include "logmessage.h"
#include "messagequeue.h"

#include <QByteArray>
#include <QVector>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace {

// Datagrams read with one system call where the system has recvmmsg(), and queued together.
const int datagramsPerRead = 64;
const int messagesPerPush = 256;
// The largest UDP payload, and then some.
const int bufferBytes = 65536;

} // namespace

DatagramReader::DatagramReader(int socketDescriptor, MessageQueue *queue,
                               std::function<void()> messagesWaiting)
    : socket(socketDescriptor),
      stopPipe {-1, -1},
      queue(queue),
      messagesWaiting(std::move(messagesWaiting))
{
    if (::pipe(stopPipe) != 0)
        stopPipe[0] = stopPipe[1] = -1;
    ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK);
    thread = std::thread([this] { run(); });
}

DatagramReader::~DatagramReader()
{
    queue->close();
    const char stop = 's';
    while (::write(stopPipe[1], &stop, 1) < 0 && errno == EINTR) { }
    thread.join();
    ::close(stopPipe[0]);
    ::close(stopPipe[1]);
    ::close(socket);
}

void DatagramReader::run()
{
    std::vector<char> buffers(size_t(datagramsPerRead) * bufferBytes);
#ifdef Q_OS_LINUX
    std::vector<iovec> vectors(datagramsPerRead);
    std::vector<mmsghdr> headers(datagramsPerRead);
    for (int i = 0; i < datagramsPerRead; ++i) {
        vectors[size_t(i)] = {buffers.data() + size_t(i) * bufferBytes, size_t(bufferBytes)};
        headers[size_t(i)] = {};
        headers[size_t(i)].msg_hdr.msg_iov = &vectors[size_t(i)];
        headers[size_t(i)].msg_hdr.msg_iovlen = 1;
    }
#endif
    QVector<LogMessage> messages;
    messages.reserve(messagesPerPush);
    auto hand = [&] {
        if (messages.isEmpty())
            return;
        if (queue->push(std::move(messages)))
            messagesWaiting();
        messages.clear();
        messages.reserve(messagesPerPush);
    };

    pollfd watched[2] = {{socket, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    for (;;) {
        // Nothing is read while the window has enough to do: the datagrams wait in the socket.
        if (!queue->waitForRoom())
            return;
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (watched[1].revents)
            return;
        // Read until the socket is empty, handing the messages on in batches.
        for (;;) {
#ifdef Q_OS_LINUX
            const int count =
                ::recvmmsg(socket, headers.data(), datagramsPerRead, MSG_DONTWAIT, nullptr);
            for (int i = 0; i < count; ++i) {
                const QByteArray payload(buffers.data() + size_t(i) * bufferBytes,
                                         int(headers[size_t(i)].msg_len));
                messages.append(LogMessage::fromDatagram(payload));
            }
#else
            const ssize_t size = ::recv(socket, buffers.data(), bufferBytes, MSG_DONTWAIT);
            const int count = size < 0 ? -1 : 1;
            if (size >= 0)
                messages.append(LogMessage::fromDatagram(QByteArray(buffers.data(), int(size))));
#endif
            if (messages.size() >= messagesPerPush) {
                hand();
                if (!queue->hasRoomNow())
                    break;
            }
            if (count <= 0)
                break;
        }
        hand();
    }
}
