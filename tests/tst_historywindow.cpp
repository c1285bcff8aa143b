// A pane's window onto its history: which shown texts the document holds as texts come and go
// and the reader moves.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/historywindow.h"

#include <QtTest>

class HistoryWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void movesAsTextsComeAndGo_data();
    void movesAsTextsComeAndGo();
    void nearAnEdge_data();
    void nearAnEdge();
    void textAtAHeight_data();
    void textAtAHeight();
};

namespace {

// Runs steps on a window of capacity 10: "+5" five texts arrive while the view follows (and
// the window's oldest leave it, as the pane has them do), "h5" while it holds still, "-3" the
// three oldest go, "m40" the window moves around text 40. Gives what each step returned (texts
// into the window, texts out of it) and the counts before, in and after the window.
QString run(const QString &steps)
{
    HistoryWindow window(10);
    QStringList results;
    for (const QString &step : steps.split(' ', Qt::SkipEmptyParts)) {
        const int n = step.mid(1).toInt();
        switch (step.at(0).toLatin1()) {
        case '+': {
            const int in = window.arrive(n, true);
            results.append(QStringLiteral("%1>%2").arg(in).arg(window.overflow(true)));
            break;
        }
        case 'h':
            results.append(QString::number(window.arrive(n, false)));
            results.last() += QString(window.overflow(false) > 0 ? "!" : ""); // never leave
            break;
        case '-':
            results.append(QString::number(window.forget(n)));
            break;
        case 'm':
            window.moveAround(n);
            results.append(QStringLiteral("m"));
            break;
        }
    }
    return results.join(' ')
        + QStringLiteral(" = %1/%2/%3")
              .arg(window.before())
              .arg(window.inside())
              .arg(window.after());
}

} // namespace

void HistoryWindowTest::movesAsTextsComeAndGo_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("results");
    // Following: the window takes every text and, over its capacity and a tenth, lets all but
    // its capacity go before it.
    QTest::newRow("following, within the room") << "+5 +6"
                                                << "5>0 6>0 = 0/11/0";
    QTest::newRow("following, over the room") << "+5 +7"
                                              << "5>0 7>2 = 2/10/0";
    QTest::newRow("following, a large batch") << "+35"
                                              << "35>25 = 25/10/0";
    // Holding still: the window takes texts only while it reaches the end and has room (its
    // capacity and a tenth), and the rest stay after it.
    QTest::newRow("holding, the room filled") << "h4 h9"
                                              << "4 7 = 0/11/2";
    QTest::newRow("holding behind a full window") << "+30 h3 h2"
                                                  << "30>20 1 0 = 20/11/4";
    QTest::newRow("holding after following") << "+8 h5"
                                             << "8>0 3 = 0/11/2";
    // The oldest go: first those before the window, then its own, then those after.
    QTest::newRow("the oldest go before the window") << "+30 -15"
                                                     << "30>20 0 = 5/10/0";
    QTest::newRow("the oldest go into the window") << "+30 -24"
                                                   << "30>20 4 = 0/6/0";
    QTest::newRow("the whole window goes") << "+30 h7 m5 -20"
                                           << "30>20 1 m 10 = 0/0/17";
    // Moved, the window holds the text in its middle, or stops at an end of the history.
    QTest::newRow("moved to the middle") << "+50 m20"
                                         << "50>40 m = 15/10/25";
    QTest::newRow("moved to the oldest") << "+50 m0"
                                         << "50>40 m = 0/10/40";
    QTest::newRow("moved past the newest") << "+50 m60"
                                           << "50>40 m = 40/10/0";
    QTest::newRow("moved in a short history") << "+6 m3"
                                              << "6>0 m = 0/6/0";
    // Back at the end, a window that follows takes texts again.
    QTest::newRow("moved up, then back to the end") << "+50 m0 h4 m54 +3"
                                                    << "50>40 m 0 m 3>3 = 47/10/0";
}

void HistoryWindowTest::movesAsTextsComeAndGo()
{
    QFETCH(QString, steps);
    QFETCH(QString, results);
    QCOMPARE(run(steps), results);
}

void HistoryWindowTest::nearAnEdge_data()
{
    QTest::addColumn<int>("around");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<bool>("near");
    // 100 texts, a window of 20 around text 50 (texts 40 to 59), an edge two texts deep.
    QTest::newRow("in the middle") << 50 << 45 << 52 << false;
    QTest::newRow("at the first two") << 50 << 41 << 48 << true;
    QTest::newRow("above the window") << 50 << 10 << 17 << true;
    QTest::newRow("at the last two") << 50 << 50 << 58 << true;
    QTest::newRow("below the window") << 50 << 80 << 87 << true;
    // An edge that is an end of the history is no edge to move from.
    QTest::newRow("at the oldest") << 0 << 0 << 7 << false;
    QTest::newRow("at the newest") << 100 << 92 << 99 << false;
}

void HistoryWindowTest::nearAnEdge()
{
    QFETCH(int, around);
    QFETCH(int, top);
    QFETCH(int, bottom);
    QFETCH(bool, near);
    HistoryWindow window(20);
    window.arrive(100, true);
    window.moveAround(around);
    QCOMPARE(window.nearEdge(top, bottom), near);
}

void HistoryWindowTest::textAtAHeight_data()
{
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("text");
    // 100 texts, 20 px each outside the window; the window holds texts 40 to 59 in 500 px.
    QTest::newRow("the top") << 0.0 << 0;
    QTest::newRow("above the window") << 450.0 << 22;
    QTest::newRow("the window's top") << 800.0 << 40;
    QTest::newRow("within the window") << 1050.0 << 50;
    QTest::newRow("below the window") << 1300.0 + 410 << 80;
    QTest::newRow("past the end") << 1e6 << 99;
    QTest::newRow("above the top") << -5.0 << 0;
}

void HistoryWindowTest::textAtAHeight()
{
    QFETCH(double, y);
    QFETCH(int, text);
    HistoryWindow window(20);
    window.arrive(100, true);
    window.moveAround(50);
    QCOMPARE(window.textAtHeight(y, 20, 500), text);
}

QTEST_MAIN(HistoryWindowTest)
#include "tst_historywindow.moc"
