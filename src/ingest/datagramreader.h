// Reads a bound UDP socket on a thread of its own and hands the messages to a queue.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DATAGRAMREADER_H
#define DATAGRAMREADER_H

#include <QtGlobal>

#include <atomic>
#include <functional>
#include <thread>

class MessageQueue;

// While the window lays out texts, paints, or shows a large rich text, the socket is still
// read here: datagrams are taken from the system as they arrive, read as messages with their
// sender and the time the system received them, and queued for the window, so that no burst
// overflows the socket's receive buffer because the window was busy. Emptying the socket comes
// before reading what it held, and what the queue has no room for, by count or by bytes, waits
// here, up to a bound, rather than being dropped. It owns the socket descriptor it is given and
// closes it when destroyed.
class DatagramReader
{
public:
    // `messagesWaiting` is called on the reading thread whenever the queue goes from empty to
    // holding messages.
    DatagramReader(int socketDescriptor, MessageQueue *queue,
                   std::function<void()> messagesWaiting);
    ~DatagramReader();
    DatagramReader(const DatagramReader &) = delete;
    DatagramReader &operator=(const DatagramReader &) = delete;

    // False when the thread could not start (the system had no descriptors left for the pipe
    // that stops it): nothing is read then.
    bool isReading() const { return thread.joinable(); }
    // Datagrams the system dropped at the socket since it was made, as the datagrams read
    // tell; -1 where the system keeps no such count.
    qint64 droppedDatagrams() const;

private:
    void run();

    int socket;
    int stopPipe[2];
    MessageQueue *queue;
    std::function<void()> messagesWaiting;
    const bool countsDrops;
    const bool timesArrivals; // the system gives each datagram its time
    std::atomic<qint64> drops {0};
    std::thread thread;
};

#endif // DATAGRAMREADER_H
