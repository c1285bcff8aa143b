// Tests of the window under floods and bursts.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"
#include "testsupport.h"

#include <QLabel>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <thread>

// Texts in quantity: a pane on a tab nobody looks at lays nothing out, and lays its texts out
// for its own width once shown. (Laid out for the few dozen pixels its viewport had before the
// window was sized, every text became a tall stack of short lines, and a flood of some tens of
// thousands of texts froze the window for minutes.) And a burst that comes while the window is
// busy arrives whole.
class FloodTest : public QObject
{
    Q_OBJECT

private slots:
    void onlyThePaneOnShowIsLaidOut();
    void burstWhileTheWindowIsBusyArrivesWhole();
};

namespace {

// Lines that the pane's layout gives the first paragraph, laid out completely first.
int linesOfFirstText(QTextEdit *log)
{
    log->document()->size();
    const QTextLayout *layout = log->document()->firstBlock().layout();
    return layout ? layout->lineCount() : 0;
}

} // namespace

void FloodTest::onlyThePaneOnShowIsLaidOut()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    auto *log1 = window.findChild<QTextEdit *>(QStringLiteral("uiLog1"));
    auto *log3 = window.findChild<QTextEdit *>(QStringLiteral("uiLog3"));
    QVERIFY(tabs && log1 && log3);
    QCOMPARE(tabs->currentIndex(), 0);

    // Short enough for one line in a window of the default size.
    const QString text = QStringLiteral("connected to db, 12 rows");
    QVERIFY(sendDatagram(port, message({"Net", "Db", "UI", "Misc"}, text, {}, text)));
    QTRY_COMPARE(log3->toPlainText(), text);
    QTRY_COMPARE(log1->toPlainText(), text);
    QVERIFY(!log3->isVisible());

    QCOMPARE(linesOfFirstText(log1), 1);
    // The hidden pane holds the text without laying it out, at no width at all.
    QCOMPARE(linesOfFirstText(log3), 0);

    // Once its tab is shown, the pane reads it on one line, and the pane now hidden rests.
    tabs->setCurrentIndex(2);
    QTRY_VERIFY(log3->isVisible());
    QTRY_COMPARE(linesOfFirstText(log3), 1);
    QCOMPARE(log3->toPlainText(), text);
    QTRY_COMPARE(linesOfFirstText(log1), 0);
    QCOMPARE(log1->toPlainText(), text);
}

void FloodTest::burstWhileTheWindowIsBusyArrivesWhole()
{
    TestHome home;
    const quint16 port = home.useFreePort("timeoutEnabled = 0\n");
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QVERIFY(tabs);

    // A large table keeps the window busy laying it out for a good part of a second, and a
    // burst of small datagrams, more than the socket's buffer holds, follows at once.
    QString table = QStringLiteral("<table>");
    while (table.size() < 60000)
        table += QLatin1String("<tr><td>a</td><td>b</td><td>c</td></tr>");
    table += QLatin1String("</table>");
    QVERIFY(sendDatagram(port, message({"A", "B", "C", "D"}, table)));
    // The window's thread waits for the sender meanwhile, so only a reader of its own can take
    // the datagrams from the socket as they come: 20 a millisecond, 20,000 in a second, twice
    // what the socket's buffer holds here, and some 40 times what it holds with Linux's
    // default limit.
    const int burst = 20000;
    std::atomic<int> sent {0};
    std::thread sender([&] {
        QUdpSocket socket;
        const QByteArray payload = message({"A", "B", "C", "D"}, {}, "small");
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < burst; ++i) {
            if (i % 20 == 0) // the pace of a busy program, not a wait for anything
                std::this_thread::sleep_until(start + std::chrono::milliseconds(i / 20));
            if (socket.writeDatagram(payload, QHostAddress::LocalHost, port) == payload.size())
                ++sent;
        }
    });
    sender.join();
    QCOMPARE(sent.load(), burst);
    QTRY_COMPARE_WITH_TIMEOUT(tabs->tabText(1), QStringLiteral("B (%1)").arg(burst), 60000);
    QCOMPARE(tabs->tabText(0), QStringLiteral("A (1)"));
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("uiLost")));
}

QTEST_MAIN(FloodTest)
#include "tst_flood.moc"
