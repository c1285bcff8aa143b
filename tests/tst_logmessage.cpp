// A datagram's bytes as the viewer reads them: captions and texts, whatever the payload.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "logmessage.h"

#include <QtTest>

class LogMessageTest : public QObject
{
    Q_OBJECT

private slots:
    void conversion_data();
    void conversion();
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
    QTest::newRow("six tabs are all kept")
        << QByteArray(R"({"tabs":["1","2","3","4","5","6"]})")
        << QStringList({"1", "2", "3", "4", "5", "6"}) << QStringList({"", "", "", ""});
    QTest::newRow("two tabs") << QByteArray(R"({"tabs":["X","Y"],"log1":"t"})")
                              << QStringList({"X", "Y", "Log 3", "Log4"})
                              << QStringList({"t", "", "", ""});
    QTest::newRow("tabs is one string")
        << QByteArray(R"({"tabs":"X"})") << QStringList({"X", "Log 2", "Log 3", "Log4"})
        << QStringList({"", "", "", ""});
    QTest::newRow("tabs is a number")
        << QByteArray(R"({"tabs":5})") << defaults << QStringList({"", "", "", ""});
    QTest::newRow("captions that are no strings")
        << QByteArray(R"({"tabs":[7,true,null,[1],{"a":1}]})")
        << QStringList({"7", "true", "", "", ""}) << QStringList({"", "", "", ""});
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
}

QTEST_GUILESS_MAIN(LogMessageTest)
#include "tst_logmessage.moc"
