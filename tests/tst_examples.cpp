// Tests of the sender examples and the README that quotes them.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"
#include "senderharness.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

// The sender examples under examples/, run as a user runs them against a running viewer, and
// the README that quotes them.
class ExamplesTest : public QObject
{
    Q_OBJECT

private slots:
    void exampleShowsInViewer_data();
    void exampleShowsInViewer();
    void readmeQuotesTheExamples_data();
    void readmeQuotesTheExamples();
};

namespace {

QString sourcePath(const QString &relative)
{
    return QStringLiteral(CORVANE_SOURCE_DIR "/") + relative;
}

} // namespace

void ExamplesTest::exampleShowsInViewer_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("panes");
    QTest::addColumn<QStringList>("titles");

    QTest::newRow("shell") << QStringLiteral("/bin/sh")
                           << QStringList {sourcePath("examples/send.sh")}
                           << QStringList {"connected", "", "button pressed",
                                           "build step 1\nbuild step 2\nbuild step 3"}
                           << QStringList {"Net (1)", "Db", "UI (1)", "Build (3)"};
    QTest::newRow("python") << QStandardPaths::findExecutable(QStringLiteral("python3"))
                            << QStringList {sourcePath("examples/send.py")}
                            << QStringList {"connected", "query \"users\" took 3 ms", "", ""}
                            << QStringList {"Net (1)", "Db (1)", "UI", "Build"};
    QTest::newRow("qt") << QStringLiteral(CORVANE_QT_SENDER) << QStringList()
                        << QStringList {"", "", "button pressed", "100% done"}
                        << QStringList {"Net", "Db", "UI (1)", "Build (1)"};
}

void ExamplesTest::exampleShowsInViewer()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, panes);
    QFETCH(QStringList, titles);
    QVERIFY2(!program.isEmpty(), "the example's interpreter is not installed");

    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QVERIFY(tabs);

    QProcess process;
    // The shell example finds corvane-send on the PATH, as it would once installed.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"),
                       QFileInfo(QStringLiteral(CORVANE_SEND)).absolutePath() + QLatin1Char(':')
                           + environment.value(QStringLiteral("PATH")));
    process.setProcessEnvironment(environment);
    process.start(program, arguments << QString::number(port));
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());

    for (int pane = 0; pane < 4; ++pane) {
        auto *log = window.findChild<QTextEdit *>(QStringLiteral("uiLog%1").arg(pane + 1));
        QVERIFY(log);
        QTRY_COMPARE(log->toPlainText(), panes.at(pane));
    }
    QStringList shown;
    for (int tab = 0; tab < 4; ++tab)
        shown.append(tabs->tabText(tab));
    QCOMPARE(shown, titles);
}

void ExamplesTest::readmeQuotesTheExamples_data()
{
    QTest::addColumn<QString>("example");
    QTest::newRow("shell") << QStringLiteral("examples/send.sh");
    QTest::newRow("python") << QStringLiteral("examples/send.py");
    QTest::newRow("qt") << QStringLiteral("examples/qt/sender.cpp");
    // The client library's example, which tst_clientpackage builds against the installed tree.
    QTest::newRow("client") << QStringLiteral("examples/client/main.cpp");
    QTest::newRow("client's CMake") << QStringLiteral("examples/client/CMakeLists.txt");
}

void ExamplesTest::readmeQuotesTheExamples()
{
    QFETCH(QString, example);
    QFile readme(sourcePath(QStringLiteral("README.md")));
    QVERIFY(readme.open(QIODevice::ReadOnly));
    QFile file(sourcePath(example));
    QVERIFY(file.open(QIODevice::ReadOnly));
    // Quoted whole, inside a fenced block, so what users paste is what the tests run.
    const QByteArray code = file.readAll();
    QVERIFY(!code.isEmpty());
    QVERIFY2(readme.readAll().contains("\n" + code + "```\n"), qPrintable(example));
}

QTEST_MAIN(ExamplesTest)
#include "tst_examples.moc"
