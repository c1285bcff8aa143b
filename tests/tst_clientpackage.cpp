// The installed client library in a program built outside the tree, against a real window.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"
#include "senderharness.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

// The consumer under tests/clientconsumer/ and the example under examples/client/ are configured
// with find_package(Corvane) against a `cmake --install` of this build into a temporary prefix,
// built, and run as a user runs them.
class ClientPackageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exampleShowsInViewer();
    void messagesShowExactlyAsWritten();
    void fatalMessageIsSentBeforeTheEnd();
    void floodWithoutViewerCostsNoMoreThanFormatting();

private:
    bool build(const QString &source, const QString &binary);
    ProcessResult run(const QString &program, const QStringList &arguments, const QString &address);

    QTemporaryDir work;
    QString prefix;
    QString consumer;
    QString example;
};

namespace {

ProcessResult runTool(const QStringList &arguments)
{
    const ProcessResult result =
        runProcess(QStringLiteral(CORVANE_CMAKE), arguments, QByteArray(), 600000);
    if (!result.finished || result.exitCode != 0)
        qWarning("cmake %s:\n%s%s", qPrintable(arguments.join(' ')), result.out.constData(),
                 result.err.constData());
    return result;
}

} // namespace

void ClientPackageTest::initTestCase()
{
    qRegisterMetaType<QProcess::ExitStatus>(); // for the spy on QProcess::finished
    QVERIFY(work.isValid());
    prefix = work.filePath(QStringLiteral("prefix"));
    // The development files alone: what the -dev package holds.
    const ProcessResult result =
        runTool({"--install", CORVANE_BUILD_DIR, "--prefix", prefix, "--component", "Development"});
    QVERIFY(result.finished && result.exitCode == 0);
    QVERIFY(build(QStringLiteral(CORVANE_CONSUMER_DIR), QStringLiteral("consumer")));
    consumer = work.filePath(QStringLiteral("consumer/consumer"));
    QVERIFY(
        build(QStringLiteral(CORVANE_SOURCE_DIR "/examples/client"), QStringLiteral("example")));
    example = work.filePath(QStringLiteral("example/corvane-client-example"));
}

// Configures and builds a project in the work directory as its user would.
bool ClientPackageTest::build(const QString &source, const QString &binary)
{
    const QString tree = work.filePath(binary);
    QStringList configure = {"-S",
                             source,
                             "-B",
                             tree,
                             "-DCMAKE_PREFIX_PATH=" + prefix,
                             "-DCMAKE_BUILD_TYPE=" CORVANE_BUILD_TYPE,
                             "-DCMAKE_CXX_COMPILER=" CORVANE_CXX_COMPILER};
    // A library built with the sanitizers needs their run-time libraries in the program too.
    if (!QByteArray(CORVANE_SANITIZER_FLAGS).isEmpty())
        configure << "-DCMAKE_CXX_FLAGS=" CORVANE_SANITIZER_FLAGS;
    ProcessResult result = runTool(configure);
    if (!result.finished || result.exitCode != 0)
        return false;
    // The package was found in the prefix, not in the build tree or the system.
    QFile cache(tree + QStringLiteral("/CMakeCache.txt"));
    if (!cache.open(QIODevice::ReadOnly)
        || !cache.readAll().contains("Corvane_DIR:PATH=" + prefix.toUtf8()
                                     + "/lib/cmake/Corvane\n")) {
        qWarning("%s did not find Corvane in %s", qPrintable(binary), qPrintable(prefix));
        return false;
    }
    result = runTool({"--build", tree});
    return result.finished && result.exitCode == 0;
}

// Runs a program with CORVANE_ADDRESS set, turning the event loop meanwhile so that a window
// reads its datagrams as they arrive.
ProcessResult ClientPackageTest::run(const QString &program, const QStringList &arguments,
                                     const QString &address)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVANE_ADDRESS"), address);
    environment.insert(QStringLiteral("QT_MESSAGE_PATTERN"),
                       QStringLiteral("[%{type}] %{message}"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ProcessResult result;
    if (!process.waitForStarted())
        return result;
    process.closeWriteChannel();
    QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    if (process.state() != QProcess::NotRunning && !finished.wait(120000))
        return result;
    result.finished = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

void ClientPackageTest::exampleShowsInViewer()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    const WindowWidgets w(window);
    QVERIFY(w.complete());

    const ProcessResult result = run(example, {}, QStringLiteral("127.0.0.1:%1").arg(port));
    QVERIFY(result.finished);
    QCOMPARE(result.exitCode, 0);
    QTRY_COMPARE(w.paneTexts(),
                 QStringList({"", "[info] started\ncompiled <b>3</b> files",
                              "[warning] disk 95% full", ""}));
    QCOMPARE(w.tabTitles(), QStringList({"Debug", "Info (2)", "Warning (1)", "Error"}));
}

void ClientPackageTest::messagesShowExactlyAsWritten()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    const WindowWidgets w(window);
    QVERIFY(w.complete());

    const ProcessResult result = run(consumer, {"show"}, QStringLiteral("127.0.0.1:%1").arg(port));
    QVERIFY(result.finished);
    QVERIFY2(result.exitCode == 0, result.err.constData());
    QCOMPARE(result.err, QByteArray()); // the library prints nothing of its own

    const QStringList messages = {
        "[debug] debug <b>not bold</b>  two spaces",
        "[warning] worker <i>7</i> & \"quoted\"",
        "[info] info\ttab",
        "[critical] critical a<b",
    };
    // The handler that was there before saw every message, formatted as before.
    QCOMPARE(QJsonDocument::fromJson(result.out).array().toVariantList(),
             QVariant(messages).toList());
    const QStringList panes = {messages[0], messages[2] + "\nsender <b>%1</b> x<y", messages[1],
                               messages[3]};
    QTRY_COMPARE(w.paneTexts(), panes);
    QCOMPARE(w.tabTitles(), QStringList({"Debug (1)", "Info (2)", "Warning (1)", "Error (1)"}));
}

void ClientPackageTest::fatalMessageIsSentBeforeTheEnd()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    const WindowWidgets w(window);

    const ProcessResult result = run(consumer, {"fatal"}, QStringLiteral("127.0.0.1:%1").arg(port));
    QVERIFY(!result.finished); // qFatal ends the program
    QVERIFY(result.out.contains("[fatal] fatal <b>end</b>"));
    QTRY_COMPARE(w.logs[3]->toPlainText(), QStringLiteral("[fatal] fatal <b>end</b>"));
    QCOMPARE(w.tabTitles().at(3), QStringLiteral("Error (1)"));
}

void ClientPackageTest::floodWithoutViewerCostsNoMoreThanFormatting()
{
    // Nobody listens on this port.
    const int count = 100000;
    const ProcessResult result = run(consumer, {"flood", QString::number(count)},
                                     QStringLiteral("127.0.0.1:%1").arg(freeUdpPort()));
    QVERIFY(result.finished);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());

    const QJsonObject figures = QJsonDocument::fromJson(result.out).object();
    // The consumer runs the loops several times over.
    const qint64 sent = figures.value("count").toVariant().toLongLong();
    QVERIFY(sent >= count);
    // Every message of both loops reached the program's own handler.
    QCOMPARE(figures.value("seen").toVariant().toLongLong(), 2 * sent);
    // With no viewer, nearly all are dropped without a system call.
    const qint64 dropped = figures.value("dropped").toVariant().toLongLong();
    QVERIFY2(dropped >= sent / 2 && dropped <= sent, QByteArray::number(dropped));

    // Each figure is the fastest of the rounds, for one loop of `count` messages.
    const double formatNs = figures.value("formatNs").toDouble() / count;
    const double withoutNs = figures.value("withoutNs").toDouble() / count;
    const double withNs = figures.value("withNs").toDouble() / count;
    qInfo("per message: formatting %.0f ns, logging without the library %.0f ns, with it "
          "%.0f ns",
          formatNs, withoutNs, withNs);
    // What the library adds is at most what formatting the message costs, with room for a
    // busy machine, and for a sanitizer, which slows the library's locks and atomics more than
    // it slows formatting.
    QVERIFY2(withNs - withoutNs <= buildSlowdown * (2 * formatNs + 200),
             qPrintable(QStringLiteral("the library adds %1 ns to a message that takes %2 ns "
                                       "to format")
                            .arg(withNs - withoutNs)
                            .arg(formatNs)));
}

QTEST_MAIN(ClientPackageTest)
#include "tst_clientpackage.moc"
