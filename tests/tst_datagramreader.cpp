// The socket-reading thread: everything it takes reaches the queue, in order, and it stops.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/datagramreader.h"
#include "ingest/messagequeue.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QSemaphore>
#include <QUdpSocket>
#include <QtTest>

#include <fcntl.h>

#include <memory>

class DatagramReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void slowTakerGetsEveryDatagramInOrder_data();
    void slowTakerGetsEveryDatagramInOrder();
    void stopsWithDatagramsStillUnread();
    void messagesKnowWhenAndFromWhom_data();
    void messagesKnowWhenAndFromWhom();
    void waitingForDatagramsLeavesTextsToTheWindow();
};

namespace {

// A socket bound to a free port on the loopback, handed to the reader as the listener does:
// a descriptor of its own for the socket Qt bound.
int boundSocket(quint16 *port, const QHostAddress &address = QHostAddress(QHostAddress::LocalHost))
{
    QUdpSocket socket;
    if (!socket.bind(address, 0))
        return -1;
    *port = socket.localPort();
    return ::fcntl(int(socket.socketDescriptor()), F_DUPFD_CLOEXEC, 0);
}

// The number, and as many blanks after it as asked for.
QByteArray numbered(int number, int padding = 0)
{
    return R"({"tabs":["a","b","c","d"],"log1":")" + QByteArray::number(number)
        + QByteArray(padding, ' ') + R"("})";
}

// Sends the numbered datagrams `from` up to `to`.
bool send(QUdpSocket &sender, quint16 port, int from, int to, int padding = 0)
{
    for (int i = from; i < to; ++i) {
        const QByteArray payload = numbered(i, padding);
        if (sender.writeDatagram(payload, QHostAddress::LocalHost, port) != payload.size())
            return false;
    }
    return true;
}

} // namespace

void DatagramReaderTest::slowTakerGetsEveryDatagramInOrder_data()
{
    QTest::addColumn<int>("queueLimit");
    QTest::addColumn<int>("takePerLook");
    QTest::addColumn<int>("total");
    QTest::addColumn<qint64>("queueBytes");
    QTest::addColumn<int>("padding");
    const qint64 ample = 1 << 24;
    QTest::newRow("room for one") << 1 << 1 << 300 << ample << 0;
    QTest::newRow("room for a few, taken one by one") << 7 << 1 << 1000 << ample << 0;
    QTest::newRow("room for less than a batch") << 100 << 30 << 3000 << ample << 0;
    QTest::newRow("room for more than a batch") << 300 << 64 << 3000 << ample << 0;
    QTest::newRow("room for all") << 50000 << 256 << 5000 << ample << 0;
    // Texts of 40 KB, two of which fill the queue's bytes long before its count.
    QTest::newRow("room by bytes for two") << 300 << 1 << 100 << qint64(100000) << 20000;
}

// The window takes fewer messages at a time than the queue can hold, and fewer than the
// reader reads at a time: what does not fit waits with the reader, none is dropped.
void DatagramReaderTest::slowTakerGetsEveryDatagramInOrder()
{
    QFETCH(int, queueLimit);
    QFETCH(int, takePerLook);
    QFETCH(int, total);
    QFETCH(qint64, queueBytes);
    QFETCH(int, padding);

    quint16 port = 0;
    const int descriptor = boundSocket(&port);
    QVERIFY(descriptor >= 0);
    MessageQueue queue(queueLimit, queueBytes);
    QSemaphore waiting;
    DatagramReader reader(descriptor, &queue, [&] { waiting.release(); });

    QUdpSocket sender;
    // Blocks of a hundred, or 100 KB: far less than the socket's buffer holds, so the system
    // drops none.
    const int block = std::min(100, 100000 / int(numbered(0, padding).size()));
    int next = 0;
    for (int sent = 0; sent < total;) {
        const int upTo = std::min(total, sent + block);
        QVERIFY(send(sender, port, sent, upTo, padding));
        sent = upTo;
        while (next < sent) {
            const QVector<LogMessage> taken = queue.take(takePerLook, 1 << 24);
            if (taken.isEmpty()) {
                QVERIFY2(waiting.tryAcquire(1, 10000), qPrintable(QString::number(next)));
                continue;
            }
            for (const LogMessage &message : taken) {
                const QString number = QString::number(next++);
                QCOMPARE(message.texts[0], number.leftJustified(number.size() + padding));
            }
        }
    }
    QCOMPARE(queue.dropped(), qint64(0));
    QCOMPARE(queue.size(), 0);
}

// A reader whose queue is full, with datagrams taken from the socket and not yet handed on,
// still stops at once when it is destroyed.
void DatagramReaderTest::stopsWithDatagramsStillUnread()
{
    quint16 port = 0;
    const int descriptor = boundSocket(&port);
    QVERIFY(descriptor >= 0);
    MessageQueue queue(1, 1 << 24);
    QSemaphore waiting;
    auto reader = std::make_unique<DatagramReader>(descriptor, &queue, [&] { waiting.release(); });
    QUdpSocket sender;
    QVERIFY(send(sender, port, 0, 200));
    QVERIFY(waiting.tryAcquire(1, 10000));
    QCOMPARE(queue.size(), 1);

    QElapsedTimer clock;
    clock.start();
    reader.reset();
    QVERIFY2(clock.elapsed() < hangBoundMs(5000), qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(queue.take(10, 1 << 24).size(), 1);
    QCOMPARE(queue.dropped(), qint64(0));
}

void DatagramReaderTest::messagesKnowWhenAndFromWhom_data()
{
    QTest::addColumn<bool>("bothKinds"); // the reader's socket takes IPv4 and IPv6 alike
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("shown");
    QTest::newRow("IPv4") << false << QString("127.0.0.1") << QString("127.0.0.1");
    QTest::newRow("IPv6") << false << QString("::1") << QString("[::1]");
    QTest::newRow("IPv4, both kinds") << true << QString("127.0.0.1") << QString("127.0.0.1");
}

// Each message carries the time the system received its datagram, taken before the reader
// read it, and the address and port it came from.
void DatagramReaderTest::messagesKnowWhenAndFromWhom()
{
    QFETCH(bool, bothKinds);
    QFETCH(QString, address);
    QFETCH(QString, shown);
    const QHostAddress loopback(address);
    quint16 port = 0;
    const int descriptor =
        boundSocket(&port, bothKinds ? QHostAddress(QHostAddress::Any) : loopback);
    if (descriptor < 0)
        QSKIP("This loopback cannot be bound here.");
    MessageQueue queue(100, 1 << 24);
    QSemaphore waiting;
    DatagramReader reader(descriptor, &queue, [&] { waiting.release(); });
    QUdpSocket sender;
    QVERIFY(sender.bind(loopback, 0));

    const qint64 beforeSending = ArrivalTime::now();
    for (int i = 0; i < 3; ++i)
        QCOMPARE(sender.writeDatagram(numbered(i), loopback, port), qint64(numbered(i).size()));
    QVector<LogMessage> taken;
    while (taken.size() < 3) {
        QVERIFY(waiting.tryAcquire(1, 10000) || queue.size() > 0);
        taken += queue.take(10, 1 << 24);
    }
    const qint64 afterTaking = ArrivalTime::now();

    qint64 previous = beforeSending;
    for (const LogMessage &message : qAsConst(taken)) {
        QVERIFY(message.arrivalTime >= previous);
        QVERIFY(message.arrivalTime <= afterTaking);
        previous = message.arrivalTime;
        QCOMPARE(message.sender.toString(), shown + ':' + QString::number(sender.localPort()));
    }
}

// A reader frees the texts handed back to it only while it reads: once datagrams stop, it
// waits for them, and whoever hands texts back frees them itself rather than leave them held
// until the next datagram.
void DatagramReaderTest::waitingForDatagramsLeavesTextsToTheWindow()
{
    quint16 port = 0;
    const int descriptor = boundSocket(&port);
    QVERIFY(descriptor >= 0);
    MessageQueue queue(100, 1 << 24);
    QSemaphore waiting;
    DatagramReader reader(descriptor, &queue, [&] { waiting.release(); });
    QUdpSocket sender;
    QVERIFY(send(sender, port, 0, 1));
    QVERIFY(waiting.tryAcquire(1, 10000));
    QCOMPARE(queue.take(10, 1 << 24).size(), 1);
    const auto handBackOne = [&] {
        std::vector<QString> texts {"gone"};
        return queue.handBack(texts);
    };
    QTRY_VERIFY(!handBackOne());
}

QTEST_GUILESS_MAIN(DatagramReaderTest)
#include "tst_datagramreader.moc"
