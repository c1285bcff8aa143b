// A mutex-guarded queue of messages, bounded in count and in bytes.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/messagequeue.h"

MessageQueue::MessageQueue(int maxMessages, qint64 maxBytes)
    : messageLimit(maxMessages), byteLimit(maxBytes)
{ }

namespace {

// What a string's characters cost beyond themselves: Qt's header of the shared data, the
// terminating null and the allocator's own bookkeeping, about 32 bytes on 64-bit systems.
const qint64 stringOverhead = 32;

qint64 bytesOfString(const QString &text)
{
    return text.isEmpty() ? 0 : stringOverhead + 2 * qint64(text.size());
}

} // namespace

qint64 MessageQueue::bytesOf(const LogMessage &message)
{
    qint64 total = qint64(sizeof(LogMessage));
    total += stringOverhead + qint64(message.captions.size()) * qint64(sizeof(QString));
    for (const QString &caption : message.captions)
        total += bytesOfString(caption);
    for (const QString &text : message.texts)
        total += bytesOfString(text);
    return total + bytesOfString(message.app);
}

bool MessageQueue::push(QVector<LogMessage> &&incoming)
{
    const bool woke = pushWhatFits(incoming);
    const std::lock_guard<std::mutex> lock(mutex);
    droppedCount += incoming.size();
    return woke;
}

bool MessageQueue::pushWhatFits(QVector<LogMessage> &incoming)
{
    const std::lock_guard<std::mutex> lock(mutex);
    const bool wasEmpty = messages.empty();
    int pushed = 0;
    for (; pushed < incoming.size(); ++pushed) {
        const qint64 size = bytesOf(incoming.at(pushed));
        if (!fits(size))
            break;
        bytes += size;
        messages.push_back({std::move(incoming[pushed]), size});
    }
    incoming.remove(0, pushed);
    return wasEmpty && !messages.empty();
}

bool MessageQueue::waitForRoom(qint64 messageBytes)
{
    std::unique_lock<std::mutex> lock(mutex);
    roomMade.wait(lock, [&] { return closed || fits(messageBytes); });
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
    taken.reserve(qMin(maxMessages, int(messages.size())));
    qint64 takenBytes = 0;
    while (!messages.empty() && taken.size() < maxMessages) {
        const qint64 size = messages.front().bytes;
        if (!taken.isEmpty() && takenBytes + size > maxBytes)
            break;
        takenBytes += size;
        bytes -= size;
        taken.append(std::move(messages.front().message));
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

qint64 MessageQueue::byteRoom() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return qMax(qint64(0), byteLimit - bytes);
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
