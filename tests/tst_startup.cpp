// Tests of the first start and one datagram's way through the window.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"
#include "testsupport.h"

#include <QLabel>
#include <QSignalSpy>
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
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QVERIFY(tabs);
    auto *status = window.findChild<QLabel *>(QStringLiteral("uiStatusText"));
    // The default port may be taken by a viewer running on this machine. Listening puts the
    // captions on the tabs; a failed start leaves the form's own tab texts.
    if (status->text() == QStringLiteral("Listening at 127.0.0.1:1947")) {
        QCOMPARE(tabs->tabText(3), QStringLiteral("Log4"));
    } else {
        QCOMPARE(
            status->text(),
            QStringLiteral("Server bind failed. Are you running any other instance of Corvane?"));
        QCOMPARE(tabs->tabText(3), QStringLiteral("Log 4"));
    }
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
