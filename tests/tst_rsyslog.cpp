// The rsyslog rule in examples/rsyslog, in a private rsyslogd fed by logger, against a real window.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"
#include "senderharness.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTextEdit>
#include <QtTest>

// The daemon is started here with a configuration of its own: its own work directory, a UDP
// input on a free loopback port, and the project's rule included as it is. It never touches
// the system's rsyslog service, its configuration or its files.
class RsyslogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void forwardsBySeverityExactly();

private:
    QString rsyslogd;
    QString logger;
};

namespace {

const char configuration[] = R"(global(workDirectory="%1")
module(load="imudp")
input(type="imudp" address="127.0.0.1" port="%2")
# The daemon's own messages stay out of the forward.
if $inputname == "rsyslogd" then stop
include(file="%3")
)";

// Whether a socket listens on 127.0.0.1 at this UDP port.
bool listening(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/udp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = QByteArray(" 0100007F:") + QByteArray::number(port, 16).toUpper();
    return table.readAll().contains(local + ' ');
}

} // namespace

void RsyslogTest::initTestCase()
{
    const QStringList system = {"/usr/sbin", "/sbin", "/usr/bin", "/bin"};
    rsyslogd = QStandardPaths::findExecutable(QStringLiteral("rsyslogd"), system);
    logger = QStandardPaths::findExecutable(QStringLiteral("logger"), system);
    QVERIFY2(!rsyslogd.isEmpty(), "rsyslogd is not installed (make test installs rsyslog)");
    QVERIFY2(!logger.isEmpty(), "logger is not installed (make test installs bsdutils)");
}

void RsyslogTest::forwardsBySeverityExactly()
{
    TestHome home;
    const quint16 viewerPort = home.useFreePort();
    MainWindow window;
    const WindowWidgets w(window);
    QVERIFY(w.complete());

    QTemporaryDir work;
    QVERIFY(work.isValid());
    QVERIFY(QDir(work.path()).mkpath(QStringLiteral("spool")));
    const quint16 syslogPort = freeUdpPort();
    QFile conf(work.filePath(QStringLiteral("rsyslog.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QString::fromLatin1(configuration)
                   .arg(work.filePath(QStringLiteral("spool")))
                   .arg(syslogPort)
                   .arg(QStringLiteral(CORVANE_SOURCE_DIR "/examples/rsyslog/corvane.conf"))
                   .toUtf8());
    conf.close();

    QProcess daemon;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVANE_PORT"), QString::number(viewerPort));
    daemon.setProcessEnvironment(environment);
    daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    daemon.start(rsyslogd,
                 {"-n", "-f", conf.fileName(), "-i", work.filePath(QStringLiteral("pid"))});
    QVERIFY(daemon.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(listening(syslogPort) || daemon.state() != QProcess::Running, 30000);
    QCOMPARE(daemon.state(), QProcess::Running);

    const struct
    {
        const char *priority;
        const char *text;
        int pane;
    } messages[] = {
        {"user.err", "say \"hi\" to C:\\temp\\new <b>not bold</b> & Größe 中文", 3},
        {"user.warning", "disk 95% full, a<b", 2},
        {"user.notice", "backslash \\\\ and a quote \" here", 1},
        {"user.info", "started", 1},
        {"user.debug", "detail  with  spaces", 0},
        {"user.crit", "critical {\"json\": [1, 2]}", 3},
    };
    QStringList expected = {"", "", "", ""};
    for (const auto &message : messages) {
        const QString text = QString::fromUtf8(message.text);
        const ProcessResult sent =
            runProcess(logger,
                       {"--udp", "--rfc3164", "-n", "127.0.0.1", "-P", QString::number(syslogPort),
                        "-p", message.priority, "-t", "app", "--", text});
        QVERIFY(sent.finished);
        QVERIFY2(sent.exitCode == 0, sent.err.constData());
        QString &pane = expected[message.pane];
        pane += (pane.isEmpty() ? QString() : QStringLiteral("\n")) + "app: " + text;
        // One at a time, so each pane's order is the order sent.
        QTRY_COMPARE(w.paneTexts(), expected);
    }
    QCOMPARE(w.tabTitles(), QStringList({"Debug (1)", "Info (2)", "Warning (1)", "Error (2)"}));

    daemon.terminate();
    QVERIFY(daemon.waitForFinished(30000));
}

QTEST_MAIN(RsyslogTest)
#include "tst_rsyslog.moc"
