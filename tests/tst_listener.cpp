// Tests of the listener: the status line, Restart, failed binds and lost datagrams.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"
#include "testsupport.h"
#include "ingest/udplistener.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

// The listener as a user sees it in the status line, and as a sender sees it on the wire:
// start-up, Restart to the same or another port, and binds that fail.
class ListenerTest : public QObject
{
    Q_OBJECT

private slots:
    void bindFailsAtStart();
    void restartOnSamePortListensAndEmptiesPanes();
    void restartMovesToNewPort();
    void failedRestartStopsListening();
    void textThatIsNoAddressDoesNotBind_data();
    void textThatIsNoAddressDoesNotBind();
    void unreadableAddressInFileDoesNotBind();
    void ipv6AddressIsShownWithoutBrackets();
    void addressWithScopeIsShownAsItIs();
    void portZeroShowsThePortBound();
    void lostDatagramsAreCounted();
    void failsWhenItsThreadCannotBeStopped();
};

static const QString greenLamp = QStringLiteral(":/corvane/Resources/ledGreen.png");
static const QString redLamp = QStringLiteral(":/corvane/Resources/ledRed.png");
static const QString bindFailed =
    QStringLiteral("Server bind failed. Are you running any other instance of Corvane?");

// True when nobody holds the port on 127.0.0.1, nor on every interface.
static bool portIsFree(quint16 port)
{
    QUdpSocket probe;
    return probe.bind(QHostAddress(QHostAddress::LocalHost), port);
}

static QString listeningAt(quint16 port)
{
    return QStringLiteral("Listening at 127.0.0.1:%1").arg(port);
}

void ListenerTest::bindFailsAtStart()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    auto *holder = new QUdpSocket;
    QVERIFY(holder->bind(QHostAddress(QHostAddress::LocalHost), port));

    MainWindow window;
    const WindowWidgets w(window);
    QVERIFY(w.complete());
    QVERIFY(labelShowsImage(w.statusIcon, redLamp));
    QCOMPARE(w.statusText->text(), bindFailed);
    // Nothing set the captions yet: the tabs keep the form's titles.
    QCOMPARE(w.tabTitles(), QStringList({"Log 1", "Log 2", "Log 3", "Log 4"}));
    QVERIFY(!window.findChild<QTimer *>(QStringLiteral("clearTimer")));
    w.clickClearNow();
    QCOMPARE(w.tabTitles(), QStringList({"Log 1", "Log 2", "Log 3", "Log4"}));

    // Once the port is free again, Restart recovers.
    delete holder;
    w.clickRestart();
    QVERIFY(labelShowsImage(w.statusIcon, greenLamp));
    QCOMPARE(w.statusText->text(), listeningAt(port));
    QVERIFY(sendDatagram(port, message({"A", "B", "C", "D"}, "up")));
    QTRY_COMPARE(w.logs[0]->toPlainText(), QStringLiteral("up"));
}

void ListenerTest::restartOnSamePortListensAndEmptiesPanes()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    const WindowWidgets w(window);
    QVERIFY(w.complete());
    QVERIFY(sendDatagram(port, message({"A", "B", "C", "D"}, "one", "two")));
    QTRY_COMPARE(w.tabTitles(), QStringList({"A (1)", "B (1)", "C", "D"}));

    w.clickRestart();
    QVERIFY(labelShowsImage(w.statusIcon, greenLamp));
    QCOMPARE(w.statusText->text(), listeningAt(port));
    QCOMPARE(w.paneTexts(), QStringList({"", "", "", ""}));
    QCOMPARE(w.tabTitles(), QStringList({"A", "B", "C", "D"}));

    QVERIFY(sendDatagram(port, message({"A", "B", "C", "D"}, "three")));
    QTRY_COMPARE(w.logs[0]->toPlainText(), QStringLiteral("three"));
    QCOMPARE(w.tabs->tabText(0), QStringLiteral("A (1)"));
}

void ListenerTest::restartMovesToNewPort()
{
    TestHome home;
    const quint16 oldPort = home.useFreePort();
    MainWindow window;
    const WindowWidgets w(window);
    QVERIFY(w.complete());

    const quint16 newPort = freeUdpPort();
    QVERIFY(newPort != oldPort);
    w.serverPort->setValue(newPort);
    w.clickRestart();
    QVERIFY(labelShowsImage(w.statusIcon, greenLamp));
    QCOMPARE(w.statusText->text(), listeningAt(newPort));

    // What goes to the old port is lost; the new port delivers.
    QVERIFY(sendDatagram(oldPort, message({"A", "B", "C", "D"}, "old")));
    QVERIFY(sendDatagram(newPort, message({"A", "B", "C", "D"}, "new")));
    QTRY_COMPARE(w.logs[0]->toPlainText(), QStringLiteral("new"));
    QVERIFY(portIsFree(oldPort));
    QVERIFY(!portIsFree(newPort));
}

void ListenerTest::failedRestartStopsListening()
{
    TestHome home;
    const quint16 oldPort = home.useFreePort();
    MainWindow window;
    const WindowWidgets w(window);
    QVERIFY(w.complete());
    QVERIFY(sendDatagram(oldPort, message({"A", "B", "C", "D"}, "kept")));
    QTRY_COMPARE(w.logs[0]->toPlainText(), QStringLiteral("kept"));

    const quint16 takenPort = freeUdpPort();
    auto *holder = new QUdpSocket;
    QVERIFY(holder->bind(QHostAddress(QHostAddress::LocalHost), takenPort));
    w.serverPort->setValue(takenPort);
    w.clickRestart();

    QVERIFY(labelShowsImage(w.statusIcon, redLamp));
    QCOMPARE(w.statusText->text(), bindFailed);
    QCOMPARE(w.paneTexts(), QStringList({"kept", "", "", ""}));
    QCOMPARE(w.tabTitles(), QStringList({"A (1)", "B", "C", "D"}));
    QVERIFY(!window.findChild<QTimer *>(QStringLiteral("clearTimer")));
    // The previous socket is gone: its port is free and nothing more is read.
    QVERIFY(portIsFree(oldPort));

    // A later successful Restart empties the panes and listens again.
    delete holder;
    w.clickRestart();
    QVERIFY(labelShowsImage(w.statusIcon, greenLamp));
    QCOMPARE(w.statusText->text(), listeningAt(takenPort));
    QCOMPARE(w.paneTexts(), QStringList({"", "", "", ""}));
    QVERIFY(window.findChild<QTimer *>(QStringLiteral("clearTimer")));
    QVERIFY(sendDatagram(takenPort, message({"A", "B", "C", "D"}, "again")));
    QTRY_COMPARE(w.logs[0]->toPlainText(), QStringLiteral("again"));
}

void ListenerTest::textThatIsNoAddressDoesNotBind_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("typo") << QStringLiteral("127.0.0.1x");
    QTest::newRow("empty") << QString();
    QTest::newRow("blank") << QStringLiteral(" ");
    QTest::newRow("host name") << QStringLiteral("localhost");
    QTest::newRow("octet too large") << QStringLiteral("127.0.0.256");
}

void ListenerTest::textThatIsNoAddressDoesNotBind()
{
    QFETCH(QString, typed);
    TestHome home;
    const quint16 port = home.useFreePort();
    {
        MainWindow window;
        const WindowWidgets w(window);
        QVERIFY(w.complete());
        QVERIFY(sendDatagram(port, message({"A", "B", "C", "D"}, "kept")));
        QTRY_COMPARE(w.logs[0]->toPlainText(), QStringLiteral("kept"));

        w.serverIp->setText(typed);
        w.clickRestart();
        QVERIFY(labelShowsImage(w.statusIcon, redLamp));
        QCOMPARE(w.statusText->text(), bindFailed);
        QCOMPARE(w.paneTexts(), QStringList({"kept", "", "", ""}));
        QCOMPARE(w.tabTitles(), QStringList({"A (1)", "B", "C", "D"}));
        // Neither the old socket nor one on every interface holds the port.
        QVERIFY(portIsFree(port));
        QUdpSocket anyInterface;
        QVERIFY(anyInterface.bind(QHostAddress(QHostAddress::AnyIPv4), port));
    }
    // The settings keep the address that worked, not the text that is none, so the next
    // start listens again.
    QVERIFY(home.readConfig().contains("\nserverIp = 127.0.0.1\n"));
    MainWindow window;
    const WindowWidgets w(window);
    QCOMPARE(w.serverIp->text(), QStringLiteral("127.0.0.1"));
    QCOMPARE(w.statusText->text(), listeningAt(port));
}

void ListenerTest::unreadableAddressInFileDoesNotBind()
{
    TestHome home;
    const quint16 port = home.useFreePort("serverIp = 127.0.0.1x\n");
    {
        MainWindow window;
        const WindowWidgets w(window);
        QVERIFY(w.complete());
        QCOMPARE(w.serverIp->text(), QString());
        QVERIFY(labelShowsImage(w.statusIcon, redLamp));
        QCOMPARE(w.statusText->text(), bindFailed);
        QUdpSocket anyInterface;
        QVERIFY(anyInterface.bind(QHostAddress(QHostAddress::AnyIPv4), port));
    }
    QVERIFY(home.readConfig().contains("\nserverIp = \nserverPort = " + QByteArray::number(port)
                                       + "\n"));
}

void ListenerTest::ipv6AddressIsShownWithoutBrackets()
{
    const quint16 port = freeUdpPort();
    {
        QUdpSocket probe;
        if (!probe.bind(QHostAddress(QHostAddress::LocalHostIPv6), port))
            QSKIP("no IPv6 loopback on this machine");
    }
    TestHome home;
    home.writeConfig("serverIp = ::1\nserverPort = " + QByteArray::number(port) + "\n");
    MainWindow window;
    const WindowWidgets w(window);
    QVERIFY(w.complete());
    QCOMPARE(w.serverIp->text(), QStringLiteral("::1"));
    QVERIFY(labelShowsImage(w.statusIcon, greenLamp));
    QCOMPARE(w.statusText->text(), QStringLiteral("Listening at ::1:%1").arg(port));

    QUdpSocket sender;
    const QByteArray payload = message({"A", "B", "C", "D"}, "six");
    QCOMPARE(sender.writeDatagram(payload, QHostAddress(QHostAddress::LocalHostIPv6), port),
             qint64(payload.size()));
    QTRY_COMPARE(w.logs[0]->toPlainText(), QStringLiteral("six"));
}

void ListenerTest::addressWithScopeIsShownAsItIs()
{
    const quint16 port = freeUdpPort();
    {
        QUdpSocket probe;
        if (!probe.bind(QHostAddress(QStringLiteral("::1%1")), port))
            QSKIP("no IPv6 loopback on this machine");
    }
    TestHome home;
    home.useFreePort();
    MainWindow window;
    const WindowWidgets w(window);
    QVERIFY(w.complete());
    // The "%1" of an interface number is part of the address, not a place for the port.
    w.serverIp->setText(QStringLiteral("::1%1"));
    w.serverPort->setValue(port);
    w.clickRestart();
    QVERIFY(labelShowsImage(w.statusIcon, greenLamp));
    QCOMPARE(w.statusText->text(), QStringLiteral("Listening at ::1%1:") + QString::number(port));
}

void ListenerTest::portZeroShowsThePortBound()
{
    TestHome home;
    home.writeConfig("serverPort = 0\n");
    {
        MainWindow window;
        const WindowWidgets w(window);
        QVERIFY(w.complete());
        QVERIFY(labelShowsImage(w.statusIcon, greenLamp));
        // Port 0 asks the system for any free port; the status names the one it chose, so a
        // sender can find the viewer there.
        const QString status = w.statusText->text();
        QVERIFY2(status.startsWith(QLatin1String("Listening at 127.0.0.1:")), qPrintable(status));
        const quint16 bound = status.section(QLatin1Char(':'), -1).toUShort();
        QVERIFY(bound != 0);
        QCOMPARE(status, listeningAt(bound));
        QVERIFY(sendDatagram(bound, message({"A", "B", "C", "D"}, "found")));
        QTRY_COMPARE(w.logs[0]->toPlainText(), QStringLiteral("found"));
    }
    // The setting stays "any port".
    QVERIFY(home.readConfig().contains("\nserverPort = 0\n"));
}

void ListenerTest::lostDatagramsAreCounted()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    const WindowWidgets w(window);
    QVERIFY(w.complete());
    // While nothing is lost, the window has nothing that says so.
    QVERIFY(sendDatagram(port, message({"A", "B", "C", "D"}, "first")));
    QTRY_COMPARE(w.tabTitles().at(0), QStringLiteral("A (1)"));
    QVERIFY(!window.findChild<QLabel *>(QStringLiteral("uiLost")));

    // The window takes nothing while this test sends, and its reader stops reading once it
    // holds 16,384 datagrams beyond the 50,000 messages the hand-over to the window holds; the
    // smallest receive buffer keeps a few more. The system drops the rest, whatever the pace.
    auto *listener = window.findChild<UdpListener *>();
    QVERIFY(listener);
    listener->setReceiveBufferSize(4096);
    const int kept = 50000 + 16384;
    const int burst = kept + 3000;
    QUdpSocket sender;
    const QByteArray payload = message({"A", "B", "C", "D"}, {}, "x");
    for (int sent = 0; sent < burst; ++sent)
        QCOMPARE(sender.writeDatagram(payload, QHostAddress::LocalHost, port), payload.size());

    // What the tab counted and what the window says was lost make up the burst.
    auto counted = [&] {
        const QString title = w.tabTitles().at(1);
        return title.mid(title.indexOf(QLatin1Char('(')) + 1).remove(QLatin1Char(')')).toInt();
    };
    QTRY_VERIFY_WITH_TIMEOUT(window.findChild<QLabel *>(QStringLiteral("uiLost")),
                             hangBoundMs(5000));
    auto *lost = window.findChild<QLabel *>(QStringLiteral("uiLost"));
    QTRY_COMPARE_WITH_TIMEOUT(lost->text(),
                              QStringLiteral("Datagrams lost: %1").arg(burst - counted()),
                              hangBoundMs(20000));
    qInfo("%d shown, %s", counted(), qPrintable(lost->text()));
    QVERIFY2(counted() < kept + 100, qPrintable(QString::number(counted())));
    QVERIFY(lost->isVisibleTo(&window));

    // A new socket starts counting afresh.
    w.clickRestart();
    QVERIFY(!lost->isVisibleTo(&window));
}

// With two descriptors left, the socket binds but the pipe that stops the reading thread cannot
// be made: a thread nothing can stop would hang Restart and the exit, so listening fails.
void ListenerTest::failsWhenItsThreadCannotBeStopped()
{
    UdpListener listener;
    rlimit limits;
    QCOMPARE(getrlimit(RLIMIT_NOFILE, &limits), 0);
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    const rlimit fewer = {rlim_t(lowestFree + 8), limits.rlim_max};
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &fewer), 0);
    QVector<int> fillers;
    for (int filler; (filler = ::dup(0)) >= 0;)
        fillers.push_back(filler);
    ::close(fillers.takeLast());
    ::close(fillers.takeLast());
    const bool listening = listener.listen(QHostAddress(QHostAddress::LocalHost), 0);
    for (const int filler : qAsConst(fillers))
        ::close(filler);
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &limits), 0);
    QVERIFY(!listening);
    QVERIFY(listener.listen(QHostAddress(QHostAddress::LocalHost), 0));
}

QTEST_MAIN(ListenerTest)
#include "tst_listener.moc"
