// A datagram's bytes as the viewer reads them: captions and texts, whatever the payload.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/logmessage.h"
#include "ingest/messagequeue.h"
#include "ingest/plaindatagram.h"

#include <QRandomGenerator>
#include <QtTest>

#include <iterator>

class LogMessageTest : public QObject
{
    Q_OBJECT

private slots:
    void conversion_data();
    void conversion();
    void plainShapeReadsAsTheJsonReaderDoes_data();
    void plainShapeReadsAsTheJsonReaderDoes();
    void captionsFollowEveryDatagram();
    void readersAgreeOnMangledPayloads();
};

namespace {

const QStringList defaults = {"Log 1", "Log 2", "Log 3", "Log4"};

} // namespace

void LogMessageTest::conversion_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("all four") << QByteArray(R"({"tabs":["A","B","C","D"],"log1":"1","log2":"2",)"
                                            R"("log3":"3","log4":"4"})")
                              << QStringList({"A", "B", "C", "D"})
                              << QStringList({"1", "2", "3", "4"});
    QTest::newRow("one text, others missing or empty")
        << QByteArray(R"({"tabs":["A","B","C","D"],"log2":"","log3":"x"})")
        << QStringList({"A", "B", "C", "D"}) << QStringList({"", "", "x", ""});
    QTest::newRow("escapes and text beyond ASCII")
        << QByteArray(R"({"tabs":["Día","\"q\"","a\\b","\u00e9"],"log1":"l\u00ednea\n2\t\/"})")
        << QStringList({"Día", "\"q\"", "a\\b", "é"}) << QStringList({"línea\n2\t/", "", "", ""});
    QTest::newRow("of six tabs the first four")
        << QByteArray(R"({"tabs":["1","2","3","4","5","6"]})") << QStringList({"1", "2", "3", "4"})
        << QStringList({"", "", "", ""});
    QByteArray thousands = R"({"tabs":["")";
    while (thousands.size() < 65000)
        thousands += R"(,"")";
    QTest::newRow("thousands of empty tabs")
        << thousands + "]}" << QStringList({"", "", "", ""}) << QStringList({"", "", "", ""});
    QTest::newRow("two tabs") << QByteArray(R"({"tabs":["X","Y"],"log1":"t"})")
                              << QStringList({"X", "Y", "Log 3", "Log4"})
                              << QStringList({"t", "", "", ""});
    QTest::newRow("tabs is one string")
        << QByteArray(R"({"tabs":"X"})") << QStringList({"X", "Log 2", "Log 3", "Log4"})
        << QStringList({"", "", "", ""});
    QTest::newRow("tabs is a number")
        << QByteArray(R"({"tabs":5})") << defaults << QStringList({"", "", "", ""});
    QTest::newRow("captions that are no strings")
        << QByteArray(R"({"tabs":[7,true,null,[1],{"a":1}]})") << QStringList({"7", "true", "", ""})
        << QStringList({"", "", "", ""});
    QTest::newRow("texts that are no strings")
        << QByteArray(R"({"log1":42,"log2":1.5,"log3":false,"log4":null})") << defaults
        << QStringList({"42", "1.5", "false", ""});
    QTest::newRow("texts that are containers") << QByteArray(R"({"log1":[1,2],"log2":{"a":"b"}})")
                                               << defaults << QStringList({"", "", "", ""});
    QTest::newRow("keys are case-sensitive")
        << QByteArray(R"({"TABS":["A","B","C","D"],"Log1":"x"})") << defaults
        << QStringList({"", "", "", ""});
    QTest::newRow("the last of repeated names")
        << QByteArray(R"({"log1":"first","tabs":[["nested"]],"log1":"second","tabs":["Z"]})")
        << QStringList({"Z", "Log 2", "Log 3", "Log4"}) << QStringList({"second", "", "", ""});
    QTest::newRow("byte order mark and repeated names")
        << QByteArray("\xef\xbb\xbf "
                      R"({"tabs":[1],"tabs":["A","B","C","D"],"log2":"x"})")
        << QStringList({"A", "B", "C", "D"}) << QStringList({"", "x", "", ""});
    QTest::newRow("two byte order marks") << QByteArray("\xef\xbb\xbf\xef\xbb\xbf{\"log1\":\"x\"}")
                                          << defaults << QStringList({"", "", "", ""});
    QTest::newRow("empty datagram") << QByteArray() << defaults << QStringList({"", "", "", ""});
    QTest::newRow("broken JSON") << QByteArray(R"({"tabs":["A","B","C","D"],"log1":"x")")
                                 << defaults << QStringList({"", "", "", ""});
    QTest::newRow("top-level array")
        << QByteArray(R"([{"log1":"x"}])") << defaults << QStringList({"", "", "", ""});
    QTest::newRow("bytes that are no UTF-8")
        << QByteArray("{\"log1\":\"a\xff\"}") << defaults << QStringList({"", "", "", ""});
}

void LogMessageTest::conversion()
{
    QFETCH(QByteArray, payload);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, texts);
    const LogMessage message = LogMessage::fromDatagram(payload);
    QCOMPARE(message.captions, captions);
    const QStringList got(message.texts.begin(), message.texts.end());
    QCOMPARE(got, texts);
    QCOMPARE(message.hasText(), !texts.join(QString()).isEmpty());
    // The queue counts at least what the message holds: each string on the heap has a header
    // of 16 bytes or more besides its characters.
    qint64 held = sizeof(LogMessage) + message.captions.size() * sizeof(QString);
    for (const QString &text : message.captions + got)
        held += text.isEmpty() ? 0 : 16 + 2 * text.size();
    QVERIFY(MessageQueue::bytesOf(message) >= held);
}

void LogMessageTest::plainShapeReadsAsTheJsonReaderDoes_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("plain");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<quint64>("seq");
    QTest::addColumn<QString>("app");
    auto row = [](const char *name, const QByteArray &payload, bool plain,
                  const QStringList &captions, const QStringList &texts, quint64 seq = 0,
                  const QString &app = QString()) {
        QTest::newRow(name) << payload << plain << captions << texts << seq << app;
    };
    const QStringList none = {"", "", "", ""};
    const auto first = [](const QString &text) { return QStringList({text, "", "", ""}); };
    row("as a program sends it", R"({"tabs":["Net","Db","UI","Misc"],"log2":"#1 a fox"})", true,
        {"Net", "Db", "UI", "Misc"}, {"", "#1 a fox", "", ""});
    row("space between everything", " \r\n{ \"tabs\" : [ \"A\" , \"B\" ] ,\t\"log1\" : \"x\" } \n",
        true, {"A", "B", "Log 3", "Log4"}, first("x"));
    row("empty object", "{}", true, defaults, none);
    row("no tabs, empty text", R"({"tabs":[],"log3":""})", true, defaults, none);
    row("six tabs", R"({"tabs":["1","2","3","4","5","6"]})", true, {"1", "2", "3", "4"},
        none);
    row("texts only, last first", R"({"log4":"d","log3":"c","log2":"b","log1":"a"})", true,
        defaults, {"a", "b", "c", "d"});
    row("markup and punctuation", R"({"log1":"<b>a&amp;b</b> {x:[1,2]} 'q' ~ /"})", true, defaults,
        first("<b>a&amp;b</b> {x:[1,2]} 'q' ~ /"));

    row("as the library sends it", R"({"log1":"a","tabs":["A"],"seq":7,"app":"my-tool 2"})", true,
        {"A", "Log 2", "Log 3", "Log4"}, first("a"), 7, "my-tool 2");
    row("largest plain count", R"({"seq":999999999999999,"app":""})", true, defaults, none,
        999999999999999u);
    row("count of sixteen digits", R"({"seq":4503599627370497})", false, defaults, none,
        4503599627370497u);
    row("count beyond 2^53", R"({"seq":9007199254740993})", false, defaults, none);
    row("count zero", R"({"seq":0})", false, defaults, none);
    row("count with a leading zero", R"({"seq":07})", false, defaults, none);
    row("negative count", R"({"seq":-3})", false, defaults, none);
    row("count as a fraction", R"({"seq":2.5})", false, defaults, none);
    row("whole count written as a fraction", R"({"seq":2.0})", false, defaults, none, 2);
    row("count with an exponent", R"({"seq":1e3})", false, defaults, none, 1000);
    row("count as a string", R"({"seq":"5"})", false, defaults, none);
    row("repeated count", R"({"seq":1,"seq":2})", false, defaults, none, 2);
    row("name beyond ASCII", "{\"app\":\"r\xc3\xa9sum\xc3\xa9\"}", false, defaults, none, 0,
        QString::fromUtf8("r\xc3\xa9sum\xc3\xa9"));
    row("name as a number", R"({"app":5})", false, defaults, none);
    row("escaped quote", R"({"log1":"a\"b"})", false, defaults, first("a\"b"));
    row("escaped backslash", R"({"log1":"a\\b"})", false, defaults, first("a\\b"));
    row("escaped line break", R"({"tabs":["A\nB"]})", false, {"A\nB", "Log 2", "Log 3", "Log4"},
        none);
    row("escape in a name", R"({"log\u0031":"a"})", false, defaults, first("a"));
    row("beyond ASCII", "{\"log1\":\"a\xc3\xb1o\"}", false, defaults,
        first(QString::fromUtf8("a\xc3\xb1o")));
    row("bytes that are no UTF-8", "{\"log1\":\"a\xff\"}", false, defaults, none);
    row("control character", "{\"log1\":\"a\tb\"}", false, defaults, first("a\tb"));
    row("delete character", "{\"log1\":\"a\x7f\"}", false, defaults, first("a\x7f"));
    row("zero byte", QByteArray("{\"log1\":\"a\0b\"}", 13), false, defaults, none);
    row("repeated text", R"({"log1":"a","log1":"b"})", false, defaults, first("b"));
    row("repeated tabs", R"({"tabs":["A"],"tabs":["B"]})", false, {"B", "Log 2", "Log 3", "Log4"},
        none);
    row("another member", R"({"log1":"a","log5":"b"})", false, defaults, first("a"));
    row("a number", R"({"log1":42})", false, defaults, first("42"));
    row("null", R"({"log1":null})", false, defaults, none);
    row("tabs in tabs", R"({"tabs":[["A"]]})", false, {"", "Log 2", "Log 3", "Log4"}, none);
    row("tabs as one string", R"({"tabs":"A"})", false, {"A", "Log 2", "Log 3", "Log4"}, none);
    row("comma before the brace", R"({"log1":"a",})", false, defaults, none);
    row("comma before the bracket", R"({"tabs":["A",]})", false, defaults, none);
    row("more after the object", R"({"log1":"a"}x)", false, defaults, none);
    row("two objects", R"({"log1":"a"}{"log2":"b"})", false, defaults, none);
    row("cut in the string", R"({"log1":"a)", false, defaults, none);
    row("cut after the string", R"({"log1":"a")", false, defaults, none);
    row("byte order mark", "\xef\xbb\xbf{\"log1\":\"x\"}", false, defaults, first("x"));
    row("empty datagram", QByteArray(), false, defaults, none);
    row("top-level array", R"(["log1","a"])", false, defaults, none);
}

// Which payloads the one-pass reader takes, and what each reads as. Whatever it takes reads as
// the JSON reader reads it; what it leaves, the JSON reader reads as before.
void LogMessageTest::plainShapeReadsAsTheJsonReaderDoes()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, plain);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, texts);
    QFETCH(quint64, seq);
    QFETCH(QString, app);
    LogMessage message;
    QCOMPARE(readPlainDatagram(payload, &message), plain);
    const LogMessage read = LogMessage::fromDatagram(payload);
    QCOMPARE(read.captions, captions);
    QCOMPARE(QStringList(read.texts.begin(), read.texts.end()), texts);
    QCOMPARE(read.seq, seq);
    QCOMPARE(read.app, app);
    if (plain) {
        const LogMessage json = LogMessage::fromJson(payload);
        QCOMPARE(json.captions, captions);
        QCOMPARE(QStringList(json.texts.begin(), json.texts.end()), texts);
        QCOMPARE(json.seq, seq);
        QCOMPARE(json.app, app);
        QCOMPARE(message.captions, captions);
        QCOMPARE(QStringList(message.texts.begin(), message.texts.end()), texts);
        QCOMPARE(message.seq, seq);
        QCOMPARE(message.app, app);
    }
}

// Captions are shared between datagrams with the same tabs, and never kept beyond them.
void LogMessageTest::captionsFollowEveryDatagram()
{
    const QList<QPair<QByteArray, QStringList>> sequence = {
        {R"({"tabs":["A","B","C","D"],"log1":"1"})", {"A", "B", "C", "D"}},
        {R"({"tabs":["A","B","C","D"],"log1":"2"})", {"A", "B", "C", "D"}},
        {R"({"tabs":["A","B"],"log1":"3"})", {"A", "B", "Log 3", "Log4"}},
        {R"({"tabs":["A","B","C"]})", {"A", "B", "C", "Log4"}},
        {R"({"log1":"4"})", defaults},
        {R"({"tabs":["A","B","C"]})", {"A", "B", "C", "Log4"}},
        {R"({"tabs":["A", "B","C"]})", {"A", "B", "C", "Log4"}},
        {R"({"tabs":["a","b","c"]})", {"a", "b", "c", "Log4"}},
        {R"({"tabs":["A","B","C","D"],"log1":"5"})", {"A", "B", "C", "D"}},
    };
    for (const auto &step : sequence) {
        LogMessage message = LogMessage::fromDatagram(step.first);
        QCOMPARE(message.captions, step.second);
        // A message's captions are its own to change: the next one does not see it.
        message.captions[0] = QStringLiteral("changed");
    }
    QCOMPARE(LogMessage::fromDatagram(sequence.last().first).captions, sequence.last().second);
}

// Payloads a byte away from the usual shape, many thousands of them: wherever the one-pass
// reader takes one, the JSON reader reads the same message.
void LogMessageTest::readersAgreeOnMangledPayloads()
{
    const QByteArray seeds[] = {
        R"({"tabs":["Net","Db","UI","Misc"],"log1":"#1 a fox","log4":"<b>x</b>"})",
        R"( { "tabs" : [ "A" , "B" ] , "log2" : "" , "log3" : "y" } )",
        R"({"log1":"a","log2":"b","log3":"c","log4":"d"})",
        R"({"tabs":[],"log1":"12"})",
        R"({"log2":"b","tabs":["A"],"seq":120,"app":"tool"})",
    };
    // Bytes that matter to either reader.
    const QByteArray alphabet =
        QByteArray(R"({}[]":, \/abglopqstu012459e.- )") + "\t\n\x7f\xc3\xb1\xef";
    QRandomGenerator random(1947);
    int taken = 0;
    for (int round = 0; round < 60000; ++round) {
        QByteArray payload = seeds[random.bounded(int(std::size(seeds)))];
        for (int change = 1 + random.bounded(3); change > 0; --change) {
            const int at = random.bounded(payload.size());
            const char byte = alphabet.at(random.bounded(alphabet.size()));
            switch (random.bounded(3)) {
            case 0:
                payload[at] = byte;
                break;
            case 1:
                payload.insert(at, byte);
                break;
            default:
                payload.remove(at, 1);
            }
        }
        LogMessage plain;
        if (!readPlainDatagram(payload, &plain))
            continue;
        ++taken;
        const LogMessage json = LogMessage::fromJson(payload);
        QVERIFY2(plain.captions == json.captions && plain.texts == json.texts
                     && plain.seq == json.seq && plain.app == json.app,
                 payload.constData());
    }
    // Enough of them kept the usual shape for the comparison to mean something.
    QVERIFY2(taken > 5000, qPrintable(QString::number(taken)));
}

QTEST_GUILESS_MAIN(LogMessageTest)
#include "tst_logmessage.moc"
