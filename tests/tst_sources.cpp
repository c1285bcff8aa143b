// Senders as the viewer counts them: their sequences of numbers and the registry of them.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sources/sequencecounter.h"

#include <QtTest>

class SourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void sequenceCounting_data();
    void sequenceCounting();
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

QTEST_GUILESS_MAIN(SourcesTest)
#include "tst_sources.moc"
