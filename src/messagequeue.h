// The bounded hand-over of received messages from the reading thread to the window.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MESSAGEQUEUE_H
#define MESSAGEQUEUE_H

#include "logmessage.h"

#include <QVector>

#include <deque>
#include <mutex>

// Messages wait here between the thread that reads the socket and the window that shows them.
// It holds at most a number of messages and of bytes of text: what does not fit is dropped
// and counted, like a datagram the system drops at a full socket.
class MessageQueue
{
public:
    MessageQueue(int maxMessages, qint64 maxBytes);

    // Adds the messages in order, as many as fit. True when the queue was empty before, so
    // that whoever takes from it needs waking.
    bool push(QVector<LogMessage> &&messages);
    // The oldest messages, at most `maxMessages` of them and, beyond the first, no more than
    // `maxBytes` of text.
    QVector<LogMessage> take(int maxMessages, qint64 maxBytes);
    void clear();

    int size() const;
    // Messages dropped because the queue was full, since it was made.
    qint64 dropped() const;

    // The memory a message holds, as the bounds count it.
    static qint64 bytesOf(const LogMessage &message);

private:
    const int messageLimit;
    const qint64 byteLimit;
    mutable std::mutex mutex;
    std::deque<LogMessage> messages;
    qint64 bytes = 0;
    qint64 droppedCount = 0;
};

#endif // MESSAGEQUEUE_H
