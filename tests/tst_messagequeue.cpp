// The hand-over between the reading thread and the window: bounds, order and drops.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/messagequeue.h"

#include <QtTest>

#include <algorithm>
#include <atomic>
#include <thread>

class MessageQueueTest : public QObject
{
    Q_OBJECT

private slots:
    void bounds_data();
    void bounds();
    void wakesOnlyWhenItStopsBeingEmpty();
    void handsOverBetweenThreadsInOrder();
    void handsTextsBackOnlyToAReaderAtWork_data();
    void handsTextsBackOnlyToAReaderAtWork();
};

namespace {

LogMessage numbered(int number, int textLength = 10)
{
    LogMessage message;
    message.captions = QStringList({"a", "b", "c", "d"});
    message.texts[0] =
        QStringLiteral("%1 ").arg(number).leftJustified(textLength, QLatin1Char('.'));
    return message;
}

QVector<LogMessage> numbers(int from, int count, int textLength = 10)
{
    QVector<LogMessage> messages;
    for (int i = from; i < from + count; ++i)
        messages.append(numbered(i, textLength));
    return messages;
}

int numberOf(const LogMessage &message)
{
    return message.texts[0].section(QLatin1Char(' '), 0, 0).toInt();
}

} // namespace

void MessageQueueTest::bounds_data()
{
    // What a message costs: the message itself, its list of four captions (32 bytes and a slot
    // each), and each of its five strings 32 bytes and two a character: four one-letter
    // captions and its text.
    const qint64 fixed = qint64(sizeof(LogMessage)) + 32 + 4 * qint64(sizeof(QString)) + 5 * 32;
    const qint64 small = fixed + 2 * (4 + 10);
    const qint64 large = fixed + 2 * (4 + 1000);
    QTest::addColumn<int>("maxMessages");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<int>("pushed");
    QTest::addColumn<int>("textLength");
    QTest::addColumn<int>("held");
    QTest::addColumn<int>("takeMessages");
    QTest::addColumn<qint64>("takeBytes");
    QTest::addColumn<int>("taken");
    QTest::addColumn<int>("room");
    QTest::newRow("room for all") << 100 << 100 * small << 50 << 10 << 50 << 20 << 100 * small << 20
                                  << 50;
    QTest::newRow("full by count")
        << 10 << 100 * small << 15 << 10 << 10 << 100 << 100 * small << 10 << 0;
    QTest::newRow("full by bytes")
        << 100 << 3 * large << 5 << 1000 << 3 << 100 << 10 * large << 3 << 0;
    QTest::newRow("a chunk ends at its bytes")
        << 100 << 100 * large << 10 << 1000 << 10 << 100 << 2 * large + 1 << 2 << 90;
    QTest::newRow("the first is taken, however large")
        << 100 << 100 * large << 3 << 1000 << 3 << 100 << qint64(1) << 1 << 97;
}

void MessageQueueTest::bounds()
{
    QFETCH(int, maxMessages);
    QFETCH(qint64, maxBytes);
    QFETCH(int, pushed);
    QFETCH(int, textLength);
    QFETCH(int, held);
    QFETCH(int, takeMessages);
    QFETCH(qint64, takeBytes);
    QFETCH(int, taken);
    QFETCH(int, room);

    MessageQueue queue(maxMessages, maxBytes);
    queue.push(numbers(0, pushed, textLength));
    QCOMPARE(queue.size(), held);
    QCOMPARE(queue.room(), room);
    QCOMPARE(queue.dropped(), qint64(pushed - held));
    const QVector<LogMessage> chunk = queue.take(takeMessages, takeBytes);
    QCOMPARE(chunk.size(), taken);
    // The oldest first, in order; what did not fit was the newest.
    for (int i = 0; i < chunk.size(); ++i)
        QCOMPARE(numberOf(chunk.at(i)), i);
    QCOMPARE(queue.size(), held - taken);
    // Taking makes room again.
    queue.push(numbers(pushed, taken, textLength));
    QCOMPARE(queue.size(), held);
    QCOMPARE(queue.dropped(), qint64(pushed - held));
}

void MessageQueueTest::wakesOnlyWhenItStopsBeingEmpty()
{
    MessageQueue queue(100, 1 << 20);
    QVERIFY(!queue.push({}));
    QVERIFY(queue.push(numbers(0, 2)));
    QVERIFY(!queue.push(numbers(2, 2)));
    QCOMPARE(queue.take(10, 1 << 20).size(), 4);
    QVERIFY(queue.push(numbers(4, 1)));
    queue.clear();
    QCOMPARE(queue.size(), 0);
    QVERIFY(queue.push(numbers(5, 1)));
}

void MessageQueueTest::handsOverBetweenThreadsInOrder()
{
    MessageQueue queue(1000, 1 << 24);
    const int total = 100000;
    std::atomic<bool> stop {false};
    std::thread reader([&] {
        for (int next = 0; next < total && !stop;) {
            const int count = std::min(100, total - next);
            QVector<LogMessage> batch = numbers(next, count);
            const int before = int(queue.dropped());
            queue.push(std::move(batch));
            // Pushed again whatever found the queue full, so that all arrive.
            next += count - int(queue.dropped() - before);
            if (queue.dropped() > before)
                std::this_thread::yield();
        }
    });
    // A failed check returns from here, so the thread is stopped and joined before any check.
    int expected = 0;
    int wrong = -1;
    while (expected < total && wrong < 0) {
        for (const LogMessage &message : queue.take(64, 1 << 20)) {
            if (numberOf(message) != expected) {
                wrong = numberOf(message);
                break;
            }
            ++expected;
        }
    }
    stop = true;
    reader.join();
    QCOMPARE(wrong, -1);
    QCOMPARE(expected, total);
}

void MessageQueueTest::handsTextsBackOnlyToAReaderAtWork_data()
{
    // What the reading thread did last, in order: "busy" and "idle" as it takes what was handed
    // back, at work or about to wait for datagrams; "close" and "reopen" as the listener does.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("takes");
    QTest::newRow("no reader yet") << QStringList() << false;
    QTest::newRow("reading") << QStringList({"busy"}) << true;
    QTest::newRow("waiting for datagrams") << QStringList({"busy", "idle"}) << false;
    QTest::newRow("reading again") << QStringList({"busy", "idle", "busy"}) << true;
    // "hand": texts handed back before the reader says it may wait; it gets them instead.
    QTest::newRow("texts to free before waiting") << QStringList({"busy", "hand", "idle"}) << true;
    QTest::newRow("stopped") << QStringList({"busy", "close"}) << false;
    QTest::newRow("a new socket, its reader not yet started")
        << QStringList({"busy", "close", "reopen"}) << false;
}

void MessageQueueTest::handsTextsBackOnlyToAReaderAtWork()
{
    QFETCH(QStringList, steps);
    QFETCH(bool, takes);
    MessageQueue queue(10, 1 << 20);
    std::vector<QString> earlier {"zero"};
    bool handed = false;
    for (const QString &step : qAsConst(steps)) {
        if (step == "close")
            queue.close();
        else if (step == "reopen")
            queue.reopen();
        else if (step == "hand")
            handed = queue.handBack(earlier);
        else
            QCOMPARE(queue.takeHandedBack(step == "idle").size(), size_t(handed ? 1 : 0));
        if (step != "hand")
            handed = false;
    }
    std::vector<QString> texts {"one", "two"};
    QCOMPARE(queue.handBack(texts), takes);
    // What the queue took is no longer the caller's to free.
    QCOMPARE(texts.size(), size_t(takes ? 0 : 2));
    std::vector<QString> more {"three"};
    QCOMPARE(queue.handBack(more), takes);
    const std::vector<QString> expected =
        takes ? std::vector<QString> {"one", "two", "three"} : std::vector<QString> {};
    QCOMPARE(queue.takeHandedBack(false), expected);
    queue.handBack(texts);
    queue.clear();
    QVERIFY(queue.takeHandedBack(false).empty());
}

QTEST_GUILESS_MAIN(MessageQueueTest)
#include "tst_messagequeue.moc"
