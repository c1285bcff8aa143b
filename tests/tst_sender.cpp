// Tests of corvane-send.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/mainwindow.h"
#include "senderharness.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

// corvane-send run as a user runs it, against a socket that stands in for the viewer, and once
// against a real window.
class SenderTest : public QObject
{
    Q_OBJECT

private slots:
    void oneDatagramCarriesEveryOption();
    void captionsAreAlwaysFour_data();
    void captionsAreAlwaysFour();
    void textsAreEscapedByTheJsonWriter();
    void invalidUtf8IsReplaced();
    void pipedLinesArriveInOrderOneDatagramEach();
    void linesAreSentAsTheyArrive();
    void optionTextsGoBeforeTheStream();
    void rateCapsTheStream();
    void longTextIsSplitNeverCut();
    void splitKeepsCharactersWhole();
    void longTextIsSplitAtLineBreaks();
    void errorsEndWithOneLineAndAnExitCode_data();
    void errorsEndWithOneLineAndAnExitCode();
    void ratesAtTheEdgesAreTaken_data();
    void ratesAtTheEdgesAreTaken();
    void unreadableInputEndsWithExitFive();
    void viewerNotRunningIsNoError();
    void helpExplainsTheFormat();
    void pipedLineAppearsInRunningViewer();

private:
    static ProcessResult send(const QStringList &arguments, const QByteArray &input = {})
    {
        return runProcess(QStringLiteral(CORVANE_SEND), arguments, input);
    }
};

namespace {

const QStringList defaultCaptions = {"Log 1", "Log 2", "Log 3", "Log4"};

QStringList captionsOf(const QJsonObject &object)
{
    QStringList captions;
    for (const QJsonValue &value : object.value(QStringLiteral("tabs")).toArray())
        captions.append(value.toString());
    return captions;
}

bool isValidUtf8(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

} // namespace

void SenderTest::oneDatagramCarriesEveryOption()
{
    Receiver viewer;
    const ProcessResult result = send(
        {"--log1", "connected", "--log2", "query took 3 ms", "--log3", "button pressed", "--log4",
         "idle", "--tabs", "Net,Db,UI,Misc", "--host", "127.0.0.1", "--port", viewer.portText()});
    QVERIFY(result.finished);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());

    // Loopback delivers while the sender runs, so all it sent is here once it has ended.
    const QList<QJsonObject> objects = viewer.objects();
    QCOMPARE(objects.size(), 1);
    const QJsonObject expected {
        {"tabs", QJsonArray {"Net", "Db", "UI", "Misc"}},
        {"log1", "connected"},
        {"log2", "query took 3 ms"},
        {"log3", "button pressed"},
        {"log4", "idle"},
        {"seq", 1},
        {"app", "corvane-send"},
    };
    QCOMPARE(objects.first(), expected);
}

void SenderTest::captionsAreAlwaysFour_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("captions");

    // Without a text, --tabs alone sends a datagram that only names the tabs.
    QTest::newRow("no --tabs") << QStringList {"--log1", "text"} << defaultCaptions;
    QTest::newRow("one") << QStringList {"--tabs", "Net", "--log1", "text"}
                         << QStringList {"Net", "Log 2", "Log 3", "Log4"};
    QTest::newRow("empty ones keep defaults")
        << QStringList {"--tabs", ",, Build ", "--log3", "text"}
        << QStringList {"Log 1", "Log 2", "Build", "Log4"};
    QTest::newRow("four") << QStringList {"--tabs", "A,B,C,D", "--log4", "text"}
                          << QStringList {"A", "B", "C", "D"};
    QTest::newRow("tabs alone") << QStringList {"--tabs", "Net,Db"}
                                << QStringList {"Net", "Db", "Log 3", "Log4"};
}

void SenderTest::captionsAreAlwaysFour()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, captions);

    Receiver viewer;
    const ProcessResult result = send(arguments << "--port" << viewer.portText());
    QCOMPARE(result.exitCode, 0);
    const QList<QJsonObject> objects = viewer.objects();
    QCOMPARE(objects.size(), 1);
    QCOMPARE(captionsOf(objects.first()), captions);
}

void SenderTest::textsAreEscapedByTheJsonWriter()
{
    const QString awkward = QStringLiteral("say \"hi\" to C:\\temp\\new\ttab\nnext line \x01\x1f "
                                           "end. Größe, 中文, ")
        + QString::fromUtf8("\xF0\x9F\x98\x80 </script>");
    Receiver viewer;
    ProcessResult result = send({"--log2", awkward, "--port", viewer.portText()});
    QCOMPARE(result.exitCode, 0);
    // The same through the pipe, with a NUL byte that no argument can carry.
    static const char withNul[] = "nul\0byte \"q\" \\";
    const QByteArray line(withNul, sizeof withNul - 1);
    result = send({"--pane", "3", "--port", viewer.portText()}, line + '\n');
    QCOMPARE(result.exitCode, 0);

    const QList<QByteArray> payloads = viewer.payloads();
    QCOMPARE(payloads.size(), 2);
    for (const QByteArray &payload : payloads) {
        QVERIFY(isValidUtf8(payload));
        // JSON allows no raw control characters inside strings.
        for (char c : payload)
            QVERIFY2(uchar(c) >= 0x20, payload.constData());
        QJsonParseError error;
        QJsonDocument::fromJson(payload, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
    }
    const QList<QJsonObject> objects = viewer.objects();
    QCOMPARE(objects.at(0).value("log2").toString(), awkward);
    QCOMPARE(objects.at(1).value("log3").toString(),
             QString::fromUtf8(line.constData(), line.size()));
    QVERIFY(!objects.at(1).contains("log1"));
}

void SenderTest::invalidUtf8IsReplaced()
{
    Receiver viewer;
    const QByteArray broken = "ok \xff\xfe then \xc3( end";
    ProcessResult result = send({"--pane", "1", "--port", viewer.portText()}, broken + "\n");
    QCOMPARE(result.exitCode, 0);
    // An argument in a legacy encoding; the shell passes its bytes on untouched.
    result = runProcess(QStringLiteral("/bin/sh"),
                        {"-c", "exec \"$0\" --log4 \"$(printf 'arg \\351 latin1')\" --port $1",
                         QStringLiteral(CORVANE_SEND), viewer.portText()});
    QCOMPARE(result.exitCode, 0);

    const QList<QByteArray> payloads = viewer.payloads();
    QCOMPARE(payloads.size(), 2);
    QVERIFY(isValidUtf8(payloads.at(0)));
    QVERIFY(isValidUtf8(payloads.at(1)));
    const QString text = viewer.objects().at(0).value("log1").toString();
    QVERIFY(text.startsWith(QStringLiteral("ok ")));
    QVERIFY(text.endsWith(QStringLiteral(" end")));
    QVERIFY(text.contains(QStringLiteral(" then ")));
    QVERIFY(text.count(QChar::ReplacementCharacter) >= 2);
    QVERIFY(!text.contains(QChar(0xff)));
    // The argument is repaired the same way.
    QVERIFY(viewer.objects().at(1).value("log4").toString().contains(QChar::ReplacementCharacter));
}

void SenderTest::pipedLinesArriveInOrderOneDatagramEach()
{
    Receiver viewer;
    QByteArray input;
    const int lineCount = 300;
    for (int i = 0; i < lineCount; ++i) {
        input += "line " + QByteArray::number(i) + (i % 2 ? "\r\n" : "\n");
        if (i % 50 == 0)
            input += "\n"; // blank lines carry nothing
    }
    input += "last line without a break";
    const ProcessResult result = send(
        {"--pane", "2", "--tabs", "Net,Db,UI,Misc", "--rate", "2000", "--port", viewer.portText()},
        input);
    QCOMPARE(result.exitCode, 0);

    const QList<QJsonObject> objects = viewer.objects();
    QCOMPARE(objects.size(), lineCount + 1);
    for (int i = 0; i < lineCount; ++i) {
        QCOMPARE(objects.at(i).value("log2").toString(), QStringLiteral("line %1").arg(i));
        // "tabs" and "log2", numbered, and nothing else.
        QCOMPARE(objects.at(i).keys(), QStringList({"app", "log2", "seq", "tabs"}));
        QCOMPARE(objects.at(i).value("seq").toInt(), i + 1);
        QCOMPARE(objects.at(i).value("app").toString(), QStringLiteral("corvane-send"));
        QCOMPARE(captionsOf(objects.at(i)), QStringList({"Net", "Db", "UI", "Misc"}));
    }
    QCOMPARE(objects.last().value("log2").toString(), QStringLiteral("last line without a break"));
}

void SenderTest::linesAreSentAsTheyArrive()
{
    Receiver viewer;
    QProcess process;
    process.start(QStringLiteral(CORVANE_SEND), {"--pane", "4", "--port", viewer.portText()});
    QVERIFY(process.waitForStarted());
    // Each line must arrive while the pipe is still open and before the next is written.
    for (int i = 1; i <= 3; ++i) {
        process.write("step " + QByteArray::number(i) + "\n");
        QVERIFY(process.waitForBytesWritten());
        QCOMPARE(viewer.waitFor(i).size(), i);
        QCOMPARE(viewer.objects().at(i - 1).value("log4").toString(),
                 QStringLiteral("step %1").arg(i));
        QCOMPARE(process.state(), QProcess::Running);
    }
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(viewer.payloads().size(), 3);
}

void SenderTest::optionTextsGoBeforeTheStream()
{
    Receiver viewer;
    const ProcessResult result =
        send({"--log1", "build started", "--pane", "2", "--port", viewer.portText()},
             "compiling\nlinking\n");
    QCOMPARE(result.exitCode, 0);
    const QList<QJsonObject> objects = viewer.objects();
    QCOMPARE(objects.size(), 3);
    QCOMPARE(objects.at(0).value("log1").toString(), QStringLiteral("build started"));
    QVERIFY(!objects.at(0).contains("log2"));
    QCOMPARE(objects.at(1).value("log2").toString(), QStringLiteral("compiling"));
    QCOMPARE(objects.at(2).value("log2").toString(), QStringLiteral("linking"));
    QVERIFY(!objects.at(2).contains("log1"));
}

void SenderTest::rateCapsTheStream()
{
    Receiver viewer;
    QElapsedTimer clock;
    clock.start();
    const ProcessResult result =
        send({"--pane", "1", "--rate", "20", "--port", viewer.portText()}, "a\nb\nc\nd\ne\nf\n");
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(viewer.payloads().size(), 6);
    // Six datagrams at twenty a second are five gaps of 50 ms.
    QVERIFY2(elapsed >= 240, QByteArray::number(elapsed));
}

void SenderTest::longTextIsSplitNeverCut()
{
    // Characters whose JSON costs 1 to 6 bytes, and one outside the Basic Multilingual Plane
    // that must not be torn apart.
    QString pattern = QStringLiteral("plain \"quoted\" back\\slash \x02 é 中 ")
        + QString::fromUtf8("\xF0\x9F\x98\x80");
    QString text;
    while (text.size() < 400000)
        text += pattern;
    Receiver viewer;
    const ProcessResult result =
        send({"--pane", "3", "--tabs", "Net,Db,UI,Misc", "--port", viewer.portText()},
             text.toUtf8() + "\n");
    QCOMPARE(result.exitCode, 0);

    const QList<QByteArray> payloads = viewer.payloads();
    QVERIFY2(payloads.size() >= 8, QByteArray::number(payloads.size()));
    QString joined;
    for (const QByteArray &payload : payloads) {
        QVERIFY2(payload.size() <= 65507, QByteArray::number(payload.size()));
        QVERIFY(isValidUtf8(payload));
        const QJsonObject object = QJsonDocument::fromJson(payload).object();
        QCOMPARE(captionsOf(object), QStringList({"Net", "Db", "UI", "Misc"}));
        const QString piece = object.value("log3").toString();
        QVERIFY(!piece.isEmpty());
        QVERIFY(!piece.at(0).isLowSurrogate());
        joined += piece;
    }
    // Pieces are filled, not merely small: all but the last are close to the limit.
    QVERIFY(payloads.first().size() > 65000);
    QCOMPARE(joined.size(), text.size());
    QVERIFY(joined == text);
}

void SenderTest::splitKeepsCharactersWhole()
{
    // Lines of nothing but characters outside the Basic Multilingual Plane, shifted by 0 to 3
    // ASCII characters, so that some cut would fall between the two halves of one.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x90\xA6");
    QStringList lines;
    for (int shift = 0; shift < 4; ++shift)
        lines.append(QString(shift, QLatin1Char('a')) + emoji.repeated(40000));
    Receiver viewer;
    const ProcessResult result = send({"--pane", "1", "--port", viewer.portText()},
                                      lines.join(QLatin1Char('\n')).toUtf8() + "\n");
    QCOMPARE(result.exitCode, 0);

    QString joined;
    for (const QByteArray &payload : viewer.payloads()) {
        QVERIFY(payload.size() <= 65507);
        QVERIFY(isValidUtf8(payload));
        const QString piece = QJsonDocument::fromJson(payload).object().value("log1").toString();
        // Each piece is shown on its own, so neither end may hold half a character.
        QVERIFY(!piece.isEmpty());
        QVERIFY(!piece.front().isLowSurrogate());
        QVERIFY(!piece.back().isHighSurrogate());
        joined += piece;
    }
    QCOMPARE(joined.size(), lines.join(QString()).size());
    QVERIFY(joined == lines.join(QString()));
    QVERIFY(!joined.contains(QChar::ReplacementCharacter));
}

void SenderTest::longTextIsSplitAtLineBreaks()
{
    QStringList lines;
    for (int i = 0; i < 2000; ++i)
        lines.append(QStringLiteral("%1: ").arg(i, 4, 10, QLatin1Char('0'))
                     + QString(50, QLatin1Char('x')));
    const QString text = lines.join(QLatin1Char('\n'));
    Receiver viewer;
    const ProcessResult result =
        send({"--log1", text, "--log2", "short", "--port", viewer.portText()});
    QCOMPARE(result.exitCode, 0);

    const QList<QJsonObject> objects = viewer.objects();
    QVERIFY2(objects.size() >= 3, QByteArray::number(objects.size()));
    QStringList pieces;
    for (const QJsonObject &object : objects) {
        if (object.contains("log1"))
            pieces.append(object.value("log1").toString());
    }
    QVERIFY(pieces.size() >= 2);
    // Every piece holds whole lines, so the pieces put together with line breaks give the text.
    for (const QString &piece : pieces)
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}: x{50}(\\n\\d{4}: x{50})*$"))
                    .match(piece)
                    .hasMatch());
    QCOMPARE(pieces.join(QLatin1Char('\n')), text);
    // The other pane's text still arrives, after the first pane's pieces.
    QCOMPARE(objects.last().value("log2").toString(), QStringLiteral("short"));
}

void SenderTest::errorsEndWithOneLineAndAnExitCode_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    QTest::newRow("port 0") << QStringList {"--port", "0", "--log1", "x"} << 2 << "out of range";
    QTest::newRow("port 65536") << QStringList {"--port", "65536", "--log1", "x"} << 2
                                << "out of range";
    QTest::newRow("port not a number")
        << QStringList {"--port", "http", "--log1", "x"} << 2 << "out of range";
    QTest::newRow("pane 5") << QStringList {"--pane", "5"} << 2 << "panes are 1 to 4";
    QTest::newRow("negative rate") << QStringList {"--rate", "-1", "--log1", "x"} << 2 << "rate";
    // A wait between datagrams too long for the clock's nanoseconds (it was undefined
    // behaviour) and anything below one datagram a day are refused.
    QTest::newRow("rate 1e-11") << QStringList {"--rate", "1e-11", "--pane", "1"} << 2
                                << "out of range";
    QTest::newRow("rate 1e-300") << QStringList {"--rate", "1e-300", "--log1", "x"} << 2
                                 << "out of range";
    QTest::newRow("rate below one a day")
        << QStringList {"--rate", "0.00001", "--log1", "x"} << 2 << "out of range";
    QTest::newRow("infinite rate") << QStringList {"--rate", "inf", "--log1", "x"} << 2 << "rate";
    QTest::newRow("rate not a number")
        << QStringList {"--rate", "nan", "--log1", "x"} << 2 << "rate";
    QTest::newRow("five captions")
        << QStringList {"--tabs", "a,b,c,d,e", "--log1", "x"} << 2 << "at most four";
    QTest::newRow("unknown option") << QStringList {"--log5", "x"} << 2 << "log5";
    QTest::newRow("stray argument") << QStringList {"--log1", "x", "y"} << 2 << "\"y\"";
    QTest::newRow("nothing to send") << QStringList() << 2 << "nothing to send";
    QTest::newRow("host does not resolve")
        << QStringList {"--host", "no-such-host.invalid", "--log1", "x"} << 3
        << "no-such-host.invalid";
    // A link-local address with a scope that names no interface: the kernel refuses the send.
    QTest::newRow("send fails") << QStringList {"--host", "fe80::1%999", "--log1", "x"} << 4
                                << "cannot send";
    QTest::newRow("send fails while streaming")
        << QStringList {"--host", "fe80::1%999", "--pane", "1"} << 4 << "cannot send";
}

void SenderTest::errorsEndWithOneLineAndAnExitCode()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    Receiver viewer;
    if (!arguments.contains(QStringLiteral("--port")))
        arguments << "--port" << viewer.portText();
    const ProcessResult result = send(arguments, "a line\n");
    QVERIFY(result.finished);
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY(result.err.endsWith('\n'));
    QVERIFY2(result.err.startsWith("corvane-send: "), result.err.constData());
    QVERIFY2(QString::fromUtf8(result.err).contains(message), result.err.constData());
    QCOMPARE(viewer.payloads().size(), 0);
}

void SenderTest::ratesAtTheEdgesAreTaken_data()
{
    QTest::addColumn<QString>("rate");
    QTest::newRow("one a day") << "0.0000116";
    QTest::newRow("huge, so no wait") << "1e300";
}

void SenderTest::ratesAtTheEdgesAreTaken()
{
    QFETCH(QString, rate);
    Receiver viewer;
    // The first datagram never waits; at 1e300 a second the others wait no time either.
    const QStringList arguments = {"--rate", rate, "--pane", "1", "--port", viewer.portText()};
    const bool fast = rate == QLatin1String("1e300");
    const ProcessResult result = send(arguments, fast ? "a\nb\nc\n" : "a\n");
    QVERIFY(result.finished);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(viewer.payloads().size(), fast ? 3 : 1);
}

void SenderTest::unreadableInputEndsWithExitFive()
{
    // A directory as the standard input: every read fails.
    Receiver viewer;
    const ProcessResult result = runProcess(
        QStringLiteral("/bin/sh"),
        {"-c", "exec \"$0\" --pane 2 --port \"$1\" < /", CORVANE_SEND, viewer.portText()});
    QVERIFY(result.finished);
    QCOMPARE(result.exitCode, 5);
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY2(result.err.startsWith("corvane-send: cannot read the standard input"),
             result.err.constData());
    QCOMPARE(viewer.payloads().size(), 0);
}

void SenderTest::viewerNotRunningIsNoError()
{
    // The system reports that nobody listens; the stream goes on, and a viewer started later
    // would get what follows.
    QByteArray input;
    for (int i = 0; i < 200; ++i)
        input += "line " + QByteArray::number(i) + '\n';
    const ProcessResult result =
        send({"--pane", "1", "--log2", "first", "--port", QString::number(freeUdpPort())}, input);
    QVERIFY(result.finished);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
}

void SenderTest::helpExplainsTheFormat()
{
    const ProcessResult result = send({"--help"});
    QCOMPARE(result.exitCode, 0);
    const QString help = QString::fromUtf8(result.out);
    for (const char *option :
         {"--log1", "--log4", "--pane", "--tabs", "--host", "--port", "--rate"})
        QVERIFY2(help.contains(QLatin1String(option)), option);

    // The example datagram in the help is one the viewer understands.
    const QRegularExpressionMatch example =
        QRegularExpression(QStringLiteral("^\\s*(\\{.*\\})\\s*$"),
                           QRegularExpression::MultilineOption)
            .match(help);
    QVERIFY(example.hasMatch());
    const QJsonObject object = QJsonDocument::fromJson(example.captured(1).toUtf8()).object();
    QCOMPARE(captionsOf(object).size(), 4);
    QVERIFY(object.value("log1").isString());
    QVERIFY(help.contains(QStringLiteral("corvane-send --pane"))
            || help.contains("| corvane-send"));
}

void SenderTest::pipedLineAppearsInRunningViewer()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    auto *log1 = window.findChild<QTextEdit *>(QStringLiteral("uiLog1"));
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QVERIFY(log1 && tabs);

    const QString command = QStringLiteral("echo hello | '%1' --pane 1 --port %2")
                                .arg(QStringLiteral(CORVANE_SEND))
                                .arg(port);
    const ProcessResult result = runProcess(QStringLiteral("/bin/sh"), {"-c", command});
    QCOMPARE(result.exitCode, 0);
    QTRY_COMPARE(log1->toPlainText(), QStringLiteral("hello"));
    QCOMPARE(tabs->tabText(0), QStringLiteral("Log 1 (1)"));
}

QTEST_MAIN(SenderTest)
#include "tst_sender.moc"
