// Tests of the first start and one datagram's way through the window.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

// The window as a user first meets it, and the road of one datagram through it.
class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void firstStartShowsDefaults();
    void datagramReachesItsPane();
};

void StartupTest::firstStartShowsDefaults()
{
    TestHome home;
    MainWindow window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Corvane v.1.0"));
    QCOMPARE(window.geometry(), QRect(50, 50, 700, 400));
    // It listens at 127.0.0.1:1947, where a viewer running on this machine may be already:
    // what the status says of either outcome is tested on ports of the tests' own.
    const WindowWidgets w(window);
    QVERIFY(w.complete());
    QCOMPARE(w.serverIp->text(), QStringLiteral("127.0.0.1"));
    QCOMPARE(w.serverPort->value(), 1947);
}

void StartupTest::datagramReachesItsPane()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    auto *log3 = window.findChild<QTextEdit *>(QStringLiteral("uiLog3"));
    QVERIFY(sendDatagram(port, message({"Net", "Db", "UI", "Misc"}, {}, {}, "hello")));
    QTRY_COMPARE(log3->toPlainText(), QStringLiteral("hello"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("UI (1)"));
    QCOMPARE(tabs->tabText(0), QStringLiteral("Net"));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
