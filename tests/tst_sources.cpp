// Senders as the viewer counts them: their sequences of numbers and the registry of them.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/sharedsender.h"
#include "sources/sequencecounter.h"
#include "sources/sourceregistry.h"
#include "window/windowlook.h"

#include <QtTest>

class SourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void sequenceCounting_data();
    void sequenceCounting();
    void registryCounts_data();
    void registryCounts();
    void muteAndSolo_data();
    void muteAndSolo();
    void sharedSenders_data();
    void sharedSenders();
    void prefixTexts_data();
    void prefixTexts();
};

using Numbers = QVector<quint64>;

void SourcesTest::sequenceCounting_data()
{
    QTest::addColumn<Numbers>("numbers");
    QTest::addColumn<quint64>("lost");
    QTest::addColumn<quint64>("outOfOrder");
    QTest::addColumn<quint64>("repeated");
    QTest::addColumn<quint64>("runs");
    const quint64 top32 = 4294967295u;
    auto row = [](const char *name, const Numbers &numbers, quint64 lost, quint64 outOfOrder,
                  quint64 repeated, quint64 runs) {
        QTest::newRow(name) << numbers << lost << outOfOrder << repeated << runs;
    };
    row("in order", {1, 2, 3, 4}, 0, 0, 0, 1);
    row("without numbers", {0, 0}, 0, 0, 0, 0);
    row("numbers among none", {1, 0, 2, 0, 3}, 0, 0, 0, 1);
    row("first seen late in the run", {500, 501}, 0, 0, 0, 1);
    row("one gap", {1, 2, 5, 6}, 2, 0, 0, 1);
    row("gaps add up", {1, 3, 5, 10}, 1 + 1 + 4, 0, 0, 1);
    row("late one fills its gap", {1, 2, 4, 3, 5}, 0, 1, 0, 1);
    row("late ones, some still lost", {1, 5, 3, 2}, 1, 2, 0, 1);
    row("first seen at 2, a late one", {2, 3, 5, 4}, 0, 1, 0, 1);
    row("repeat of the last", {1, 2, 2, 3}, 0, 0, 1, 1);
    row("repeat of an older one", {1, 2, 3, 4, 2}, 0, 0, 1, 1);
    row("late one repeated", {1, 3, 2, 2}, 0, 1, 1, 1);
    row("late beyond the window", {1, 100, 2}, 98, 1, 0, 1);
    row("gap wider than the window, then filled", {1, 200, 199}, 197, 1, 0, 1);
    row("starts again from 1", {1, 2, 3, 1, 2}, 0, 0, 0, 2);
    row("starts again after a loss", {1, 2, 4, 1, 2, 3}, 1, 0, 0, 2);
    row("starts again, its 1 lost", {1, 2, 3000, 2, 3}, 2997 + 1, 0, 0, 2);
    row("wraps to 1", {top32 - 1, top32, 1, 2}, 0, 0, 0, 2);
    row("wraps through 0", {top32 - 1, top32, 0, 1, 2}, 0, 0, 0, 2);
    row("wraps, its 1 lost", {top32, 2, 3}, 1, 0, 0, 2);
    row("largest numbers", {quint64(1) << 52, (quint64(1) << 52) + 2}, 1, 0, 0, 1);
}

void SourcesTest::sequenceCounting()
{
    QFETCH(Numbers, numbers);
    SequenceCounter counter;
    for (const quint64 seq : qAsConst(numbers))
        counter.count(seq);
    QTEST(counter.lost(), "lost");
    QTEST(counter.outOfOrder(), "outOfOrder");
    QTEST(counter.repeated(), "repeated");
    QTEST(counter.runs(), "runs");
}

namespace {

const qint64 second = 1000000000;
const qint64 start = 1700000000 * second;

// "port seq app arrival-second texts", one message each; "-" for no sender, no name.
QVector<LogMessage> messagesOf(const QStringList &lines)
{
    QVector<LogMessage> messages;
    for (const QString &line : lines) {
        const QStringList f = line.split(' ');
        LogMessage message;
        if (f[0] != "-")
            message.sender =
                SenderAddress::fromHostAddress(QHostAddress::LocalHost, f[0].toUShort());
        message.seq = f[1].toULongLong();
        message.app = f[2] == "-" ? QString() : f[2];
        message.arrivalTime = start + qint64(f[3].toDouble() * second);
        for (int pane = 0; pane < f[4].toInt(); ++pane)
            message.texts[size_t(pane)] = QStringLiteral("t");
        messages.append(message);
    }
    return messages;
}

} // namespace

// Each row: "address:port app texts lost outOfOrder rate lastSeen", the rate at second 10, over
// seconds 1 to 10.
void SourcesTest::registryCounts_data()
{
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("two senders, one losing")
        << QStringList({"5001 1 alpha 0 1", "5002 1 - 0 1", "5001 2 alpha 1 2", "5002 4 - 2 1",
                        "5002 3 - 3 1"})
        << QStringList({"127.0.0.1:5001 alpha 3 0 0 0.2 1", "127.0.0.1:5002  3 1 1 0.2 3"});
    QTest::newRow("without numbers, a name that changes")
        << QStringList({"6000 0 old 0 1", "6000 0 new 0 1", "6000 0 - 0 0"})
        << QStringList({"127.0.0.1:6000 new 2 0 0 0 0"});
    QTest::newRow("only the last ten seconds count")
        << QStringList({"7000 1 - 0 4", "7000 2 - 1 1", "7000 3 - 9 2", "7000 4 - 10 1"})
        << QStringList({"127.0.0.1:7000  8 0 0 0.4 10"});
    QTest::newRow("texts from no sender are not listed")
        << QStringList({"- 1 x 0 1", "8000 1 - 0 1", "- 2 x 0 1"})
        << QStringList({"127.0.0.1:8000  1 0 0 0 0"});
    QTest::newRow("arrivals a little out of order")
        << QStringList({"7000 1 - 5 1", "7000 2 - 4 1", "7000 3 - -3 1"})
        << QStringList({"127.0.0.1:7000  3 0 0 0.2 5"});
}

void SourcesTest::registryCounts()
{
    QFETCH(QStringList, messages);
    SourceRegistry registry;
    // In two batches, as the window takes them.
    const QVector<LogMessage> all = messagesOf(messages);
    registry.count(all.mid(0, 2));
    registry.count(all.mid(2));
    QStringList rows;
    for (int row = 0; row < registry.size(); ++row) {
        const Source &source = registry.at(row);
        rows.append(QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                        .arg(source.sender.toString(), source.app)
                        .arg(source.texts)
                        .arg(source.sequence.lost())
                        .arg(source.sequence.outOfOrder())
                        .arg(source.rate(start + 10 * second))
                        .arg((source.lastSeen - start) / second));
    }
    QTEST(rows, "rows");
}

void SourcesTest::muteAndSolo_data()
{
    QTest::addColumn<QList<int>>("muted");
    QTest::addColumn<QList<int>>("soloed");
    // Ports 1 to 3 listed, 4 not: which of them are hidden.
    QTest::addColumn<QList<bool>>("hidden");
    QTest::newRow("none") << QList<int>() << QList<int>() << QList<bool>({0, 0, 0, 0});
    QTest::newRow("one muted") << QList<int>({1}) << QList<int>() << QList<bool>({0, 1, 0, 0});
    QTest::newRow("one soloed") << QList<int>() << QList<int>({2}) << QList<bool>({1, 1, 0, 1});
    QTest::newRow("two soloed, one of them muted")
        << QList<int>({0}) << QList<int>({0, 1}) << QList<bool>({1, 0, 1, 1});
}

void SourcesTest::muteAndSolo()
{
    QFETCH(QList<int>, muted);
    QFETCH(QList<int>, soloed);
    QFETCH(QList<bool>, hidden);
    SourceRegistry registry;
    registry.count(messagesOf({"1 0 - 0 1", "2 0 - 0 1", "3 0 - 0 1"}));
    QSignalSpy changed(&registry, &SourceRegistry::hiddenChanged);
    for (const int row : muted)
        registry.setMuted(row, true);
    for (const int row : soloed) {
        registry.setSoloed(row, true);
        registry.setSoloed(row, true); // no change, no signal
    }
    QCOMPARE(changed.count(), muted.size() + soloed.size());
    for (int port = 1; port <= 4; ++port) {
        const auto sender = SenderAddress::fromHostAddress(QHostAddress::LocalHost, quint16(port));
        QCOMPARE(registry.isHidden(sender), hidden.at(port - 1));
    }
    // Unmuted and unsoloed, every sender shows again.
    for (const int row : muted)
        registry.setMuted(row, false);
    for (const int row : soloed)
        registry.setSoloed(row, false);
    QVERIFY(!registry.hidesAny());
}

// Senders shared through the last few (port 0: none) compare and print as their addresses do
// (the window hides by them: tst_sourcespanel); each holds the address of text sharesWith.
void SourcesTest::sharedSenders_data()
{
    QTest::addColumn<QList<int>>("ports");
    QTest::addColumn<QList<int>>("sharesWith"); // -1: not asked
    QTest::newRow("taking turns") << QList<int> {5001, 5001, 5002, 0, 5001, 0, 5002}
                                  << QList<int> {-1, 0, -1, -1, 0, 3, 2};
    QTest::newRow("more than are held") << QList<int> {1, 2, 3, 4, 5, 6, 7, 8, 9, 2, 1}
                                        << QList<int> {-1, -1, -1, -1, -1, -1, -1, -1, -1, 1, -1};
}

void SourcesTest::sharedSenders()
{
    QFETCH(QList<int>, ports);
    QFETCH(QList<int>, sharesWith);
    RecentSenders recent;
    QVector<SharedSender> senders;
    for (const int port : ports) {
        const auto address = port
            ? SenderAddress::fromHostAddress(QHostAddress::LocalHost, quint16(port))
            : SenderAddress();
        const SharedSender sender = recent.share(address);
        QCOMPARE(sender.toString(), address.toString());
        for (int i = 0; i < senders.size(); ++i)
            QCOMPARE(sender == senders.at(i), port == ports.at(i));
        if (sharesWith.at(senders.size()) >= 0)
            QCOMPARE(&sender.address(), &senders.at(sharesWith.at(senders.size())).address());
        senders.append(sender);
    }
}

QTEST_GUILESS_MAIN(SourcesTest)
void SourcesTest::prefixTexts_data()
{
    QTest::addColumn<QList<qint64>>("times"); // milliseconds since the epoch, in arrival order
    QTest::addColumn<QStringList>("since");

    const qint64 noon = QDateTime(QDate(2026, 12, 8), QTime(12, 0)).toMSecsSinceEpoch();
    QTest::newRow("within a second") << QList<qint64> {noon, noon + 12, noon + 999}
                                     << QStringList {"+0.000 s", "+0.012 s", "+0.987 s"};
    QTest::newRow("across seconds, and back")
        << QList<qint64> {noon + 999, noon + 1000, noon + 61001, noon + 5}
        << QStringList {"+0.000 s", "+0.001 s", "+60.001 s", "-60.996 s"};
    QTest::newRow("across midnight") << QList<qint64> {noon + 43199999, noon + 43200000}
                                     << QStringList {"+0.000 s", "+0.001 s"};
    QTest::newRow("not known") << QList<qint64> {0, noon} << QStringList {"", ""};
}

// Each text's time as the local time of its second and its milliseconds, whatever came before.
void SourcesTest::prefixTexts()
{
    QFETCH(QList<qint64>, times);
    QFETCH(QStringList, since);
    for (int i = 0; i < times.size(); ++i) {
        const qint64 ms = times.at(i);
        const QString expected = ms > 0
            ? QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("HH:mm:ss.zzz"))
            : QString();
        QCOMPARE(arrivalTimeText(ms * 1000000), expected);
        const qint64 previous = times.at(qMax(0, i - 1));
        QCOMPARE(timeSinceText(previous * 1000000, ms * 1000000), since.at(i));
    }
}

#include "tst_sources.moc"
