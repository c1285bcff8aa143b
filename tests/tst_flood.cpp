// Tests of the window under floods and bursts.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/udplistener.h"
#include "testsupport.h"
#include "window/mainwindow.h"

#include <QLabel>
#include <QNetworkDatagram>
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
// busy is read as it comes; what the socket could not keep is counted.
class FloodTest : public QObject
{
    Q_OBJECT

private slots:
    void onlyThePaneOnShowIsLaidOut();
    void burstWhileTheWindowIsBusyIsReadAsItComes();
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

void FloodTest::burstWhileTheWindowIsBusyIsReadAsItComes()
{
    TestHome home;
    const quint16 port = home.useFreePort("timeoutEnabled = 0\n");
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    auto *listener = window.findChild<UdpListener *>();
    QVERIFY(tabs && listener);

    // A receive buffer of a known size, and how many datagrams of the burst it keeps when
    // nobody reads: all that a window could show that read the socket on its own thread.
    const int bufferBytes = 256 * 1024;
    listener->setReceiveBufferSize(bufferBytes);
    const QByteArray payload = message({"A", "B", "C", "D"}, {}, "small");
    const int burst = 20000;
    int kept = 0;
    {
        QUdpSocket unread;
        QVERIFY(unread.bind(QHostAddress(QHostAddress::LocalHost), 0));
        unread.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, bufferBytes);
        QCOMPARE(unread.socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt(),
                 listener->receiveBufferSize());
        QUdpSocket socket;
        for (int i = 0; i < burst; ++i)
            socket.writeDatagram(payload, QHostAddress::LocalHost, unread.localPort());
        for (; unread.hasPendingDatagrams(); ++kept)
            unread.receiveDatagram();
    }
    QVERIFY2(kept > 0 && kept < burst / 2, qPrintable(QString::number(kept)));

    // A large table keeps the window busy laying it out for a good part of a second, and the
    // burst follows at once: 20 datagrams a millisecond for a second. The window's thread waits
    // for the sender meanwhile, so only a reader of its own takes datagrams as they come.
    QString table = QStringLiteral("<table>");
    while (table.size() < 60000)
        table += QLatin1String("<tr><td>a</td><td>b</td><td>c</td></tr>");
    table += QLatin1String("</table>");
    QVERIFY(sendDatagram(port, message({"A", "B", "C", "D"}, table)));
    std::atomic<int> sent {0};
    std::thread sender([&] {
        QUdpSocket socket;
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

    // Every datagram is shown or counted as lost, and far more were shown than the socket
    // alone kept. How many are lost is up to how the machine runs the reader.
    const auto shown = [tabs] {
        const QString title = tabs->tabText(1);
        return title.mid(title.indexOf(QLatin1Char('(')) + 1).remove(QLatin1Char(')')).toInt();
    };
    const auto lost = [&window] {
        const auto *label = window.findChild<QLabel *>(QStringLiteral("uiLost"));
        return label ? label->text().section(QLatin1Char(' '), -1).toInt() : 0;
    };
    QTRY_COMPARE_WITH_TIMEOUT(shown() + lost(), burst, hangBoundMs(20000));
    qInfo("%d shown, %d lost; the socket alone keeps %d", shown(), lost(), kept);
    QVERIFY2(shown() > kept, qPrintable(QString::number(shown())));
    QCOMPARE(tabs->tabText(0), QStringLiteral("A (1)"));
}

QTEST_MAIN(FloodTest)
#include "tst_flood.moc"
