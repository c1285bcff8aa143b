// The window's turns: what one turn of the event loop may do, and that all arrives in the end.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/udplistener.h"
#include "panes/batchappender.h"
#include "panes/historytrimmer.h"
#include "panes/logpane.h"
#include "testsupport.h"
#include "window/turnscheduler.h"

#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

// Datagrams on loopback, taken, appended and trimmed as the window does it, with a record of
// what each turn did: "t" a chunk taken, "a<pane>" texts appended, "x<pane>" a pane trimmed.
class TurnSchedulerTest : public QObject
{
    Q_OBJECT

private slots:
    void eachTurnDoesItsShare_data();
    void eachTurnDoesItsShare();
};

void TurnSchedulerTest::eachTurnDoesItsShare_data()
{
    QTest::addColumn<int>("shareMs");
    QTest::addColumn<int>("historyLimit");
    QTest::addColumn<int>("chunkCostMs");

    QTest::newRow("one pane a turn") << 0 << 0 << 0;
    QTest::newRow("one pane a turn, full panes trimmed") << 0 << 40 << 0;
    QTest::newRow("time to spare, full panes trimmed") << 10000 << 40 << 0;
    // The window's budget is 3 ms: after a chunk of 2, another would pass it.
    QTest::newRow("chunks that cost more than half the turn") << 8 << 0 << 2;
}

void TurnSchedulerTest::eachTurnDoesItsShare()
{
    QFETCH(int, shareMs);
    QFETCH(int, historyLimit);
    QFETCH(int, chunkCostMs);

    // Pane 0 is on show; the others are hidden, as on tabs nobody looks at.
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    std::array<LogPane *, paneCount> panes;
    for (int pane = 0; pane < paneCount; ++pane) {
        auto *view = new QTextEdit;
        layout->addWidget(view);
        view->setVisible(pane == 0);
        panes[pane] = new LogPane(view);
        panes[pane]->setHistoryLimit(historyLimit);
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QStringList turn;
    QList<QStringList> turns;
    std::array<int, paneCount> countsBefore {};
    BatchAppender appender([&](int pane, const QVector<KeptText> &texts) {
        panes[pane]->append(texts);
        turn.append(QStringLiteral("a%1").arg(pane));
        countsBefore[pane] += texts.size();
    });
    UdpListener listener;
    HistoryTrimmer trimmer(panes);
    TurnScheduler scheduler(&listener, &appender, &trimmer);
    appender.setShareOfTurnMs(shareMs);

    int received = 0;
    connect(&listener, &UdpListener::messagesReceived, this,
            [&](const QVector<LogMessage> &messages) {
                turn.append(QStringLiteral("t"));
                QElapsedTimer cost;
                cost.start();
                while (cost.elapsed() < chunkCostMs) { }
                BatchAppender::Texts texts;
                for (const LogMessage &message : messages) {
                    for (int pane = 0; pane < paneCount; ++pane) {
                        KeptText kept;
                        kept.text = message.texts[pane];
                        texts[pane].append(kept);
                    }
                }
                received += messages.size();
                appender.append(texts);
            });
    // After the scheduler's own turn: what the turn did, and which panes it trimmed.
    auto *turnTimer = scheduler.findChild<QTimer *>();
    QVERIFY(turnTimer);
    connect(turnTimer, &QTimer::timeout, this, [&] {
        for (int pane = 0; pane < paneCount; ++pane) {
            if (panes[pane]->textCount() < countsBefore[pane])
                turn.append(QStringLiteral("x%1").arg(pane));
            countsBefore[pane] = panes[pane]->textCount();
        }
        turns.append(turn);
        turn.clear();
    });

    QVERIFY(listener.listen(QHostAddress(QHostAddress::LocalHost), 0));
    // Costly chunks need enough datagrams for several chunks to wait at once.
    const int sent = chunkCostMs > 0 ? 3000 : 300;
    for (int i = 0; i < sent; ++i) {
        const QString text = QString::number(i);
        QVERIFY(sendDatagram(listener.localPort(),
                             message({"A", "B", "C", "D"}, text, text, text, text)));
    }
    QTRY_COMPARE_WITH_TIMEOUT(received, sent, 30000);
    QTRY_VERIFY(!appender.isAppending() && !trimmer.isDue());
    for (LogPane *pane : panes) {
        if (historyLimit > 0)
            QVERIFY(pane->textCount() > 0 && pane->textCount() <= historyLimit);
        else
            QCOMPARE(pane->textCount(), sent);
    }

    int trims = 0;
    for (const QStringList &done : qAsConst(turns)) {
        const QString what = done.join(QLatin1Char(' '));
        // A batch that goes on from an earlier turn has the turn to itself.
        if (!done.isEmpty() && done.first().startsWith(QLatin1Char('a')))
            QVERIFY2(!done.contains(QStringLiteral("t")), qPrintable(what));
        // Trimming the pane on show is the turn's work; one pane is trimmed a turn at most.
        if (done.contains(QStringLiteral("x0")))
            QVERIFY2(done.size() == 1, qPrintable(what));
        const int trimmed = int(done.filter(QRegularExpression(QStringLiteral("^x"))).size());
        QVERIFY2(trimmed <= 1, qPrintable(what));
        trims += trimmed;
        if (chunkCostMs > 0)
            QVERIFY2(done.count(QStringLiteral("t")) <= 1, qPrintable(what));
        // With no time to spare, one pane a turn, and so one chunk.
        if (shareMs == 0)
            QVERIFY2(done.filter(QRegularExpression(QStringLiteral("^a"))).size() <= 1,
                     qPrintable(what));
    }
    QCOMPARE(trims > 0, historyLimit > 0);
}

QTEST_MAIN(TurnSchedulerTest)
#include "tst_turnscheduler.moc"
