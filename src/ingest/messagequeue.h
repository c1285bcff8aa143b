// The bounded hand-over of received messages from the reading thread to the window.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MESSAGEQUEUE_H
#define MESSAGEQUEUE_H

#include "ingest/logmessage.h"

#include <QVector>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

// Messages wait here between the thread that reads the socket and the window that shows them.
// It holds at most a number of messages and of bytes. A reader waits for room before it reads
// more, and keeps what does not fit until there is room for it, so a window that cannot keep
// up leaves the datagrams in the socket, where the system drops and counts what does not fit;
// push() drops and counts what is pushed beyond the bounds all the same.
class MessageQueue
{
public:
    MessageQueue(int maxMessages, qint64 maxBytes);

    // Waits until there is room for a message of that many bytes, or the queue is closed
    // (false). An empty queue has room for any one message, however large. While it waits,
    // handBack() leaves texts to the caller.
    bool waitForRoom(qint64 messageBytes = 1);
    // Wakes whoever waits for room, now and until reopen(), with false.
    void close();
    void reopen();

    // Adds the messages in order, as many as fit. True when the queue was empty before, so
    // that whoever takes from it needs waking.
    bool push(QVector<LogMessage> &&messages);
    // The same, but what does not fit stays in `messages`, oldest first, rather than dropped.
    bool pushWhatFits(QVector<LogMessage> &messages);
    // The oldest messages, at most `maxMessages` of them and, beyond the first, no more than
    // `maxBytes` of text.
    QVector<LogMessage> take(int maxMessages, qint64 maxBytes);
    void clear();

    // Texts the window has let go of, handed back to be freed on the reading thread, which
    // made them. Freed on the window's thread, each would wait for the reading thread's
    // allocator whenever that thread holds it, and the window would stand still while that
    // thread waits for a core. False, leaving them to the caller, when no reading thread is
    // at work to free them: it waits (for datagrams, or for room), it has stopped, or there is
    // none. A thread that waits allocates nothing, so freeing them then waits for nobody.
    bool handBack(std::vector<QString> &texts);
    // The reading thread takes what was handed back, to free it. With `goingIdle`, it may wait
    // before it reads again, and once it gets nothing, handBack() leaves texts to the caller
    // until it next calls this: it never frees while the window does.
    std::vector<QString> takeHandedBack(bool goingIdle);

    int size() const;
    // How many more messages fit by count; none once the bytes are at their bound.
    int room() const;
    // How many more bytes fit.
    qint64 byteRoom() const;
    // Messages dropped because the queue was full, since it was made.
    qint64 dropped() const;

    // The memory a message holds, as the bounds count it: its characters, and for each string
    // its place in the message and what Qt and the allocator add to its characters.
    static qint64 bytesOf(const LogMessage &message);

private:
    const int messageLimit;
    const qint64 byteLimit;
    bool fits(qint64 messageBytes) const
    {
        return count < messageLimit && (count == 0 || bytes + messageBytes <= byteLimit);
    }
    bool hasRoom() const { return fits(1); }

    // Messages as they were pushed together, each with its bytes, worked out once as it came
    // in; taken from `next` on. An emptied batch is kept for the reading thread to fill again,
    // so that its memory is neither freed on the window's thread nor allocated anew; what the
    // reader does not need, it frees.
    struct Batch
    {
        QVector<LogMessage> messages;
        std::vector<qint64> sizes;
        int next = 0;
    };
    Batch spareBatch();
    void keepSpare(Batch &&batch);
    std::vector<Batch> takeSurplusSpares();

    mutable std::mutex mutex;
    std::condition_variable roomMade;
    bool closed = false;
    bool readerIdle = true;
    std::deque<Batch> batches;
    std::vector<Batch> spares;
    std::vector<QString> handedBack;
    int count = 0;
    qint64 bytes = 0;
    qint64 droppedCount = 0;
};

#endif // MESSAGEQUEUE_H
