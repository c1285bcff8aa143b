// A mutex-guarded queue of messages, bounded in count and in bytes.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/messagequeue.h"

MessageQueue::MessageQueue(int maxMessages, qint64 maxBytes)
    : messageLimit(maxMessages), byteLimit(maxBytes)
{ }

qint64 MessageQueue::bytesOf(const LogMessage &message)
{
    qint64 characters = 0;
    for (const QString &caption : message.captions)
        characters += caption.size();
    for (const QString &text : message.texts)
        characters += text.size();
    return 2 * characters + qint64(sizeof(LogMessage));
}

bool MessageQueue::push(QVector<LogMessage> &&incoming)
{
    const std::lock_guard<std::mutex> lock(mutex);
    const bool wasEmpty = messages.empty();
    for (LogMessage &message : incoming) {
        const qint64 size = bytesOf(message);
        if (int(messages.size()) >= messageLimit || bytes + size > byteLimit) {
            ++droppedCount;
            continue;
        }
        bytes += size;
        messages.push_back(std::move(message));
    }
    return wasEmpty && !messages.empty();
}

bool MessageQueue::waitForRoom()
{
    std::unique_lock<std::mutex> lock(mutex);
    roomMade.wait(lock, [this] { return closed || hasRoom(); });
    return !closed;
}

void MessageQueue::close()
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        closed = true;
    }
    roomMade.notify_all();
}

void MessageQueue::reopen()
{
    const std::lock_guard<std::mutex> lock(mutex);
    closed = false;
}

QVector<LogMessage> MessageQueue::take(int maxMessages, qint64 maxBytes)
{
    QVector<LogMessage> taken;
    const std::lock_guard<std::mutex> lock(mutex);
    qint64 takenBytes = 0;
    while (!messages.empty() && taken.size() < maxMessages) {
        const qint64 size = bytesOf(messages.front());
        if (!taken.isEmpty() && takenBytes + size > maxBytes)
            break;
        takenBytes += size;
        bytes -= size;
        taken.append(std::move(messages.front()));
        messages.pop_front();
    }
    if (!taken.isEmpty())
        roomMade.notify_all();
    return taken;
}

void MessageQueue::clear()
{
    {
        const std::lock_guard<std::mutex> lock(mutex);
        messages.clear();
        bytes = 0;
    }
    roomMade.notify_all();
}

int MessageQueue::room() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return hasRoom() ? messageLimit - int(messages.size()) : 0;
}

int MessageQueue::size() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return int(messages.size());
}

qint64 MessageQueue::dropped() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return droppedCount;
}
