// The Python logging handler in examples/python, run by python3 against a real window.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"
#include "senderharness.h"
#include "testsupport.h"

#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTextEdit>
#include <QtTest>

class PythonHandlerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void recordsShowByLevelAsPrinted();
    void neverRaisesIntoTheProgram();
    void datagramsAreNumbered();

private:
    ProcessResult runPython(const char *script, const QString &address);

    QString python;
};

namespace {

// Logs one record of each level, one with text beyond ASCII and quotes, one that looks like
// markup and one with a traceback, through the handler and through a stream handler with the
// same formatter that prints each record followed by a NUL byte.
const char recordsScript[] = R"(
import logging, sys
from corvane_logging import CorvaneHandler

formatter = logging.Formatter("%(levelname)s %(name)s: %(message)s")
handler = CorvaneHandler()
handler.setFormatter(formatter)
printed = logging.StreamHandler(sys.stdout)
printed.setFormatter(formatter)
printed.terminator = "\0"
log = logging.getLogger("app")
log.setLevel(logging.DEBUG)
log.addHandler(handler)
log.addHandler(printed)

log.debug("debug <b>not bold</b>  two spaces")
log.info('Größe "quoted" \\ back\\slash 中文 \U0001F600')
log.log(logging.INFO + 5, "between info and warning")
log.warning("disk <90%%> & %s", "more")
log.error("error\ttab")
log.critical("critical")
try:
    1 / 0
except ZeroDivisionError:
    log.exception("it failed")
sys.exit(0 if handler.dropped == 0 else 1)
)";

} // namespace

void PythonHandlerTest::initTestCase()
{
    python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    QVERIFY2(!python.isEmpty(), "python3 is not installed (make test installs it)");
}

// Runs a script that imports the handler from examples/python, with CORVANE_ADDRESS set.
ProcessResult PythonHandlerTest::runPython(const char *script, const QString &address)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PYTHONPATH"),
                       QStringLiteral(CORVANE_SOURCE_DIR "/examples/python"));
    environment.insert(QStringLiteral("PYTHONIOENCODING"), QStringLiteral("utf-8"));
    environment.insert(QStringLiteral("CORVANE_ADDRESS"), address);
    process.setProcessEnvironment(environment);
    process.start(python, {"-c", QString::fromUtf8(script)});
    ProcessResult result;
    result.finished = process.waitForFinished() && process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

void PythonHandlerTest::recordsShowByLevelAsPrinted()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    const WindowWidgets w(window);
    QVERIFY(w.complete());

    const ProcessResult result = runPython(recordsScript, QStringLiteral("127.0.0.1:%1").arg(port));
    QVERIFY(result.finished);
    QVERIFY2(result.exitCode == 0, result.err.constData());
    QCOMPARE(result.err, QByteArray());

    // What the program printed, record by record, is what the panes show, by level.
    QStringList printed =
        QString::fromUtf8(result.out.constData(), result.out.size()).split(QChar(0));
    QCOMPARE(printed.takeLast(), QString());
    QCOMPARE(printed.size(), 7);
    QVERIFY(printed[1].contains(QString::fromUtf8("Größe \"quoted\" \\ back\\slash 中文 "
                                                  "\xF0\x9F\x98\x80")));
    QVERIFY(printed[6].contains(QStringLiteral("Traceback")));
    const QStringList panes = {printed[0], printed[1] + '\n' + printed[2], printed[3],
                               QStringList(printed.mid(4)).join('\n')};
    QTRY_COMPARE(w.paneTexts(), panes);
    QCOMPARE(w.tabTitles(), QStringList({"Debug (1)", "Info (2)", "Warning (1)", "Error (3)"}));
}

void PythonHandlerTest::neverRaisesIntoTheProgram()
{
    const char script[] = R"(
import logging
from corvane_logging import CorvaneHandler
handler = CorvaneHandler()
log = logging.getLogger("app")
log.addHandler(handler)
log.propagate = False
for i in range(1000):
    log.error("record %d", i)
log.error("x" * 200000)  # more than one datagram carries
print(handler.dropped)
)";
    // A viewer that cannot be found, one that is no address, and one that is not running.
    // Records are dropped and counted, or lost on the way as UDP's are; the program goes on.
    const struct
    {
        const char *address;
        bool dropsAll;
    } cases[] = {{"no-such-host.invalid:1947", true}, {"not an address", true}, {nullptr, false}};
    for (const auto &scenario : cases) {
        const QString address = scenario.address
            ? QString::fromLatin1(scenario.address)
            : QStringLiteral("127.0.0.1:%1").arg(freeUdpPort());
        const ProcessResult result = runPython(script, address);
        QVERIFY(result.finished);
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(result.exitCode, 0);
        const int dropped = result.out.trimmed().toInt();
        // The long record counts once for each datagram it would have taken.
        if (scenario.dropsAll)
            QVERIFY2(dropped > 1000 + 1, result.out.constData());
        else
            QCOMPARE(dropped, 0);
    }
}

// Each datagram carries its number from 1 and the program's name, even a long record's
// pieces; a second handler counts from 1 again.
void PythonHandlerTest::datagramsAreNumbered()
{
    const char script[] = R"(
import logging
from corvane_logging import CorvaneHandler
log = logging.getLogger("app")
log.propagate = False
log.addHandler(CorvaneHandler())
log.error("one")
log.error("y" * 100000)
log.removeHandler(log.handlers[0])
log.addHandler(CorvaneHandler())
log.error("again")
)";
    Receiver viewer;
    const ProcessResult result = runPython(script, "127.0.0.1:" + viewer.portText());
    QVERIFY(result.finished);
    QCOMPARE(result.err, QByteArray());
    viewer.waitFor(4);
    QStringList numbered;
    for (const QJsonObject &object : viewer.objects())
        numbered.append(object.value("app").toString() + ' '
                        + QString::number(object.value("seq").toInt()));
    QCOMPARE(numbered, QStringList({"python 1", "python 2", "python 3", "python 1"}));
}

QTEST_MAIN(PythonHandlerTest)
#include "tst_pythonhandler.moc"
