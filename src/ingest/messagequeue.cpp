// A mutex-guarded queue of messages, bounded in count and in bytes.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/messagequeue.h"

#include <iterator>

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
    if (incoming.isEmpty())
        return false;
    Batch batch = spareBatch();
    for (const LogMessage &message : qAsConst(incoming))
        batch.sizes.push_back(bytesOf(message));

    std::unique_lock<std::mutex> lock(mutex);
    const bool wasEmpty = count == 0;
    int pushed = 0;
    for (; pushed < incoming.size() && fits(batch.sizes[size_t(pushed)]); ++pushed) {
        bytes += batch.sizes[size_t(pushed)];
        ++count;
    }
    if (pushed == 0) {
        keepSpare(std::move(batch));
        return false;
    }
    if (pushed == incoming.size()) {
        // The reader goes on with the spare's memory.
        batch.messages.swap(incoming);
    } else {
        for (int i = 0; i < pushed; ++i)
            batch.messages.append(std::move(incoming[i]));
        batch.sizes.resize(size_t(pushed));
    }
    batches.push_back(std::move(batch));
    lock.unlock();
    incoming.remove(0, qMin(pushed, incoming.size()));
    return wasEmpty;
}

namespace {

// The emptied batches the reader keeps at most, for the next ones it pushes; it frees the rest.
const size_t sparesKept = 8;

} // namespace

MessageQueue::Batch MessageQueue::spareBatch()
{
    std::vector<Batch> surplus; // freed after the lock, on the reader's thread, which made them
    const std::lock_guard<std::mutex> lock(mutex);
    surplus = takeSurplusSpares();
    if (spares.empty())
        return {};
    Batch batch = std::move(spares.back());
    spares.pop_back();
    return batch;
}

std::vector<MessageQueue::Batch> MessageQueue::takeSurplusSpares()
{
    std::vector<Batch> surplus;
    while (spares.size() > sparesKept) {
        surplus.push_back(std::move(spares.back()));
        spares.pop_back();
    }
    return surplus;
}

// Kept however many there are: the window takes more batches in a burst than the reader
// pushes, and freeing the rest here would wait for the reader's heap.
void MessageQueue::keepSpare(Batch &&batch)
{
    batch.messages.clear();
    batch.sizes.clear();
    batch.next = 0;
    spares.push_back(std::move(batch));
}

bool MessageQueue::waitForRoom(qint64 messageBytes)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (!closed && !fits(messageBytes)) {
        // Only the window makes room, and it does not while it frees what it lets go of, so
        // it may free that itself meanwhile, once nothing handed back waits for this thread.
        readerIdle = handedBack.empty();
        roomMade.wait(lock, [&] { return closed || fits(messageBytes); });
        readerIdle = false;
    }
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
    readerIdle = true;
}

QVector<LogMessage> MessageQueue::take(int maxMessages, qint64 maxBytes)
{
    QVector<LogMessage> taken;
    const std::lock_guard<std::mutex> lock(mutex);
    taken.reserve(qMin(maxMessages, count));
    qint64 takenBytes = 0;
    while (!batches.empty() && taken.size() < maxMessages) {
        Batch &front = batches.front();
        const qint64 size = front.sizes[size_t(front.next)];
        if (!taken.isEmpty() && takenBytes + size > maxBytes)
            break;
        takenBytes += size;
        bytes -= size;
        --count;
        taken.append(std::move(front.messages[front.next]));
        if (++front.next == front.messages.size()) {
            keepSpare(std::move(front));
            batches.pop_front();
        }
    }
    if (!taken.isEmpty())
        roomMade.notify_all();
    return taken;
}

void MessageQueue::clear()
{
    std::deque<Batch> gone;
    std::vector<QString> goneTexts;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        gone.swap(batches);
        goneTexts.swap(handedBack);
        count = 0;
        bytes = 0;
    }
    roomMade.notify_all();
}

bool MessageQueue::handBack(std::vector<QString> &texts)
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (closed || readerIdle)
        return false;
    if (handedBack.empty()) {
        handedBack.swap(texts);
    } else {
        handedBack.insert(handedBack.end(), std::make_move_iterator(texts.begin()),
                          std::make_move_iterator(texts.end()));
    }
    return true;
}

std::vector<QString> MessageQueue::takeHandedBack(bool goingIdle)
{
    std::vector<QString> texts;
    std::vector<Batch> surplus;
    const std::lock_guard<std::mutex> lock(mutex);
    surplus = takeSurplusSpares();
    texts.swap(handedBack);
    readerIdle = goingIdle && texts.empty();
    return texts;
}

int MessageQueue::room() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return hasRoom() ? messageLimit - count : 0;
}

qint64 MessageQueue::byteRoom() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return qMax(qint64(0), byteLimit - bytes);
}

int MessageQueue::size() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return count;
}

qint64 MessageQueue::dropped() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return droppedCount;
}
