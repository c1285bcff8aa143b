// tst_signals: the built viewer, stopped by SIGTERM, SIGINT or SIGHUP, closes as File, Exit does.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "testsupport.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

#include <csignal>

#include <sys/types.h>

// The program as a user runs it from a terminal, in a home of its own and on a free port: a
// signal, or two, close the window, the settings are written and the exit status is 0; a third
// ends it at once.
class SignalsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void signalClosesLikeFileExit_data();
    void signalClosesLikeFileExit();
};

// Whether a socket on this machine is bound to 127.0.0.1:port, as the kernel lists them.
// Reading the list, unlike binding a probe, cannot take the port from the viewer.
static bool listensOnLoopback(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/udp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray address =
        "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 1 && fields.at(1) == address)
            return true;
    }
    return false;
}

void SignalsTest::initTestCase()
{
    // A program started in the background by a shell without job control inherits SIGINT
    // ignored, and the viewer leaves ignored signals alone. The viewers here start from the
    // defaults, wherever the suite was started.
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signalNumber, SIG_DFL);
}

void SignalsTest::signalClosesLikeFileExit_data()
{
    QTest::addColumn<QList<int>>("signalNumbers"); // sent while the viewer is stopped
    QTest::newRow("SIGTERM (kill)") << QList<int>({SIGTERM});
    QTest::newRow("SIGINT (Ctrl+C)") << QList<int>({SIGINT});
    QTest::newRow("SIGHUP (terminal closed)") << QList<int>({SIGHUP});
    QTest::newRow("two (terminal closed, service stopped)") << QList<int>({SIGTERM, SIGHUP});
    QTest::newRow("three end it at once") << QList<int>({SIGHUP, SIGINT, SIGTERM});
}

void SignalsTest::signalClosesLikeFileExit()
{
    QFETCH(QList<int>, signalNumbers);
#ifdef __SANITIZE_THREAD__
    // ThreadSanitizer runs a program's handlers later, where it judges safe, so the third
    // signal may come after the window has closed on the first and saved.
    if (signalNumbers.size() > 2)
        QSKIP("ThreadSanitizer delays signal handlers");
#endif
    TestHome home;
    const quint16 port = freeUdpPort();
    // Settings away from the defaults, which a viewer that ends without saving would leave as
    // the user wrote them: a partial file with other spacing.
    home.writeConfig("serverPort=" + QByteArray::number(port)
                     + "\ntimeoutEnabled=0\ntimeoutValue=9\nwindowX=70\nwindowY=60\nwindowW=720\n"
                       "windowH=380\ntab2caption=Db\n");
    const QByteArray expected = "# Corvane config file.\n"
                                "# Default values:\n"
                                "# serverIp = 127.0.0.1\n"
                                "# serverPort = 1947\n"
                                "# timeoutEnabled = 1\n"
                                "# timeoutValue = 2\n"
                                "# windowX = 50\n"
                                "# windowY = 50\n"
                                "# windowW = 700\n"
                                "# windowH = 400\n"
                                "# tab1caption = Log 1\n"
                                "# tab2caption = Log 2\n"
                                "# tab3caption = Log 3\n"
                                "# tab4caption = Log 4\n"
                                "\n"
                                "serverIp = 127.0.0.1\n"
                                "serverPort = "
        + QByteArray::number(port)
        + "\n"
          "timeoutEnabled = 0\n"
          "timeoutValue = 9\n"
          "windowX = 70\n"
          "windowY = 60\n"
          "windowW = 720\n"
          "windowH = 380\n"
          "tab1caption = Log 1\n"
          "tab2caption = Db\n"
          "tab3caption = Log 3\n"
          "tab4caption = Log4\n";

    QProcess viewer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    viewer.setProcessEnvironment(environment);
    viewer.setProcessChannelMode(QProcess::MergedChannels);
    viewer.start(QStringLiteral(CORVANE_PROGRAM), QStringList());
    QVERIFY2(viewer.waitForStarted(), qPrintable(viewer.errorString()));

    // Listening means the window exists; a signal that comes before its event loop turns is
    // handled once it does.
    QTRY_VERIFY_WITH_TIMEOUT(listensOnLoopback(port) || viewer.state() != QProcess::Running, 30000);
    QVERIFY2(viewer.state() == QProcess::Running, viewer.readAll().constData());
    const QByteArray before = home.readConfig();
    QVERIFY(before != expected);

    // Stopped, the viewer gets them all at once when it continues, before it can save.
    const pid_t pid = pid_t(viewer.processId());
    QCOMPARE(::kill(pid, SIGSTOP), 0);
    for (int signalNumber : signalNumbers)
        QCOMPARE(::kill(pid, signalNumber), 0);
    QCOMPARE(::kill(pid, SIGCONT), 0);
    QVERIFY(viewer.waitForFinished(30000));
    const QByteArray output = viewer.readAll();
    if (signalNumbers.size() > 2) {
        QCOMPARE(viewer.exitStatus(), QProcess::CrashExit);
        QCOMPARE(home.readConfig(), before);
        return;
    }
    QVERIFY2(viewer.exitStatus() == QProcess::NormalExit, output.constData());
    QVERIFY2(viewer.exitCode() == 0, output.constData());
    QCOMPARE(home.readConfig(), expected);
}

QTEST_MAIN(SignalsTest)
#include "tst_signals.moc"
