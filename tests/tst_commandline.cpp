// The viewer's command line: what each option reads as, and what the program does with it.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void historySize_data();
    void historySize();
    void programAnswersBeforeAnyWindow_data();
    void programAnswersBeforeAnyWindow();
};

void CommandLineTest::reading_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("historyLimit");
    QTest::addColumn<QString>("message"); // a part of it

    const int run = CommandLine::Run, fail = CommandLine::Fail;
    QTest::newRow("nothing") << QStringList() << run << defaultHistoryLimit << QString();
    QTest::newRow("history") << QStringList({"--history", "500"}) << run << 500 << QString();
    QTest::newRow("history with =") << QStringList({"--history=7"}) << run << 7 << QString();
    QTest::newRow("no limit") << QStringList({"--history", "0"}) << run << 0 << QString();
    QTest::newRow("negative") << QStringList({"--history", "-1"}) << fail << defaultHistoryLimit
                              << QStringLiteral("corvane: --history takes a whole number");
    QTest::newRow("word") << QStringList({"--history", "many"}) << fail << defaultHistoryLimit
                          << QStringLiteral("not \"many\"");
    QTest::newRow("too large") << QStringList({"--history", "99999999999"}) << fail
                               << defaultHistoryLimit << QStringLiteral("99999999999");
    QTest::newRow("missing value")
        << QStringList({"--history"}) << fail << defaultHistoryLimit << QStringLiteral("corvane: ");
    QTest::newRow("unknown option")
        << QStringList({"--colour"}) << fail << defaultHistoryLimit << QStringLiteral("colour");
    QTest::newRow("argument") << QStringList({"file.log"}) << fail << defaultHistoryLimit
                              << QStringLiteral("unexpected argument \"file.log\"");
    QTest::newRow("filters") << QStringList({"--filters", "team.json"}) << run
                             << defaultHistoryLimit << QString();
    QTest::newRow("filters, no name") << QStringList({"--filters="}) << fail
                                      << defaultHistoryLimit << QStringLiteral("--filters");
    QTest::newRow("help") << QStringList({"--help"}) << int(CommandLine::ShowHelp)
                          << defaultHistoryLimit << QStringLiteral("--filters <file>");
    QTest::newRow("version") << QStringList({"-v"}) << int(CommandLine::ShowVersion)
                             << defaultHistoryLimit << QStringLiteral("corvane 1.0\n");
    const int exportAction = CommandLine::Export;
    QTest::newRow("export") << QStringList({"--export", "r.sqlite", "--from", "-10m"})
                            << exportAction << defaultHistoryLimit << QString();
    QTest::newRow("open a range") << QStringList({"--open", "r.sqlite", "--to", "10:00"}) << run
                                  << defaultHistoryLimit << QString();
    QTest::newRow("record and open") << QStringList({"--record", "a", "--open", "b"}) << fail
                                     << defaultHistoryLimit << QStringLiteral("one at a time");
    QTest::newRow("a range of nothing")
        << QStringList({"--from", "-1h"}) << fail << defaultHistoryLimit
        << QStringLiteral("--from goes with --open or --export");
    QTest::newRow("a range of words") << QStringList({"--open", "r", "--to", "noon"}) << fail
                                      << defaultHistoryLimit << QStringLiteral("not \"noon\"");
    QTest::newRow("no file") << QStringList({"--record="}) << fail << defaultHistoryLimit
                             << QStringLiteral("--record takes the name of a file");
}

void CommandLineTest::reading()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(int, historyLimit);
    QFETCH(QString, message);
    const CommandLine read = parseCommandLine(QStringList {QStringLiteral("corvane")} + arguments);
    QCOMPARE(int(read.action), action);
    QCOMPARE(read.historyLimit, historyLimit);
    QCOMPARE(read.rulesFile, action == CommandLine::Run && arguments.contains("--filters")
                                 ? arguments.last()
                                 : QString());
    QVERIFY2(read.message.contains(message), qPrintable(read.message));
    QCOMPARE(read.message.isEmpty(), action == CommandLine::Run || action == CommandLine::Export);
}

void CommandLineTest::historySize_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<qint64>("bytes"); // -1: refused
    QTest::newRow("bytes") << QStringLiteral("500000") << qint64(500000);
    QTest::newRow("no limit") << QStringLiteral("0") << qint64(0);
    QTest::newRow("KiB, in either case") << QStringLiteral("512k") << qint64(512 * 1024);
    QTest::newRow("GiB") << QStringLiteral("2G") << qint64(2) * 1024 * 1024 * 1024;
    QTest::newRow("too large") << QStringLiteral("9999999999999G") << qint64(-1);
    QTest::newRow("a fraction") << QStringLiteral("1.5M") << qint64(-1);
}

// The recording's limit reads as the panes' does.
void CommandLineTest::historySize()
{
    QFETCH(QString, size);
    QFETCH(qint64, bytes);
    const CommandLine read =
        parseCommandLine({QStringLiteral("corvane"), QStringLiteral("--history-size"), size});
    QCOMPARE(read.historyBytes, bytes < 0 ? defaultHistoryBytes : bytes);
    QCOMPARE(read.message.contains(QStringLiteral("not \"%1\"").arg(size)), bytes < 0);
    const CommandLine recording =
        parseCommandLine({QStringLiteral("corvane"), QStringLiteral("--record-limit"), size});
    QCOMPARE(recording.recordLimit, bytes < 0 ? defaultRecordLimit : bytes);
    QCOMPARE(recording.message.contains(QStringLiteral("not \"%1\"").arg(size)), bytes < 0);
}

void CommandLineTest::programAnswersBeforeAnyWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("error");
    QTest::newRow("help") << QStringList({"--help"}) << 0 << QStringLiteral("--history <texts>")
                          << QString();
    QTest::newRow("version") << QStringList({"--version"}) << 0 << QStringLiteral("corvane 1.0\n")
                             << QString();
    QTest::newRow("bad history") << QStringList({"--history", "lots"}) << 2 << QString()
                                 << QStringLiteral("corvane: --history takes a whole number of "
                                                   "texts, 0 for no limit, not \"lots\"\n");
    QTest::newRow("unknown option") << QStringList({"--colour"}) << 2 << QString()
                                    << QStringLiteral("corvane: Unknown option 'colour'.\n");
    QTest::newRow("Qt's own options") << QStringList({"-style", "fusion", "-reverse", "-v"}) << 0
                                      << QStringLiteral("corvane 1.0\n") << QString();
}

void CommandLineTest::programAnswersBeforeAnyWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, error);
    QTemporaryDir home, runtime; // both private to this run, 0700 as Qt wants the second
    QProcess viewer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    // No display at all: none of this may need one.
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    viewer.setProcessEnvironment(environment);
    viewer.start(QStringLiteral(CORVANE_VIEWER), arguments);
    QVERIFY(viewer.waitForFinished(30000));
    QCOMPARE(viewer.exitStatus(), QProcess::NormalExit);
    QCOMPARE(viewer.exitCode(), exitCode);
    const QString stdOut = QString::fromUtf8(viewer.readAllStandardOutput());
    QVERIFY2(stdOut.contains(out), qPrintable(stdOut));
    QCOMPARE(stdOut.isEmpty(), out.isEmpty());
    QCOMPARE(QString::fromUtf8(viewer.readAllStandardError()), error);
    // No window was built: the settings are neither read nor written.
    QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral(".corvane"))));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
