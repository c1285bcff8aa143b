// Which plain texts may share a paragraph: a table of log lines and of what would change a line.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/sharedparagraphs.h"

#include <QTest>

class SharedParagraphsTest : public QObject
{
    Q_OBJECT

private slots:
    void canShareParagraph_data();
    void canShareParagraph();
};

void SharedParagraphsTest::canShareParagraph_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("canShare");

    QTest::newRow("a log line") << QStringLiteral("12:00:01 INFO  started in 0.3 s") << true;
    QTest::newRow("tabs") << QStringLiteral("key\tvalue\t42") << true;
    QTest::newRow("one space") << QStringLiteral(" ") << true;
    QTest::newRow("accents, Greek, Cyrillic") << QStringLiteral("café, λόγος, журнал") << true;
    QTest::newRow("Chinese") << QStringLiteral("日志已保存") << true;
    QTest::newRow("an emoji (a surrogate pair)") << QStringLiteral("done \U0001F600") << true;
    QTest::newRow("a left-to-right mark") << QStringLiteral("a\u200Eb") << true;
    QTest::newRow("a lone surrogate") << QString(QChar(0xd800)) << true;

    // Empty: a paragraph's last line would vanish.
    QTest::newRow("empty") << QString() << false;
    // Breaks of their own.
    QTest::newRow("line feed") << QStringLiteral("two\nlines") << false;
    QTest::newRow("carriage return") << QStringLiteral("a\rb") << false;
    QTest::newRow("ends in a line feed") << QStringLiteral("a\n") << false;
    QTest::newRow("line separator") << QStringLiteral("a\u2028b") << false;
    QTest::newRow("paragraph separator") << QStringLiteral("a\u2029b") << false;
    QTest::newRow("next line (C1)") << QStringLiteral("a\u0085b") << false;
    QTest::newRow("form feed") << QStringLiteral("a\fb") << false;
    QTest::newRow("delete") << QStringLiteral("a\u007fb") << false;
    QTest::newRow("object replacement") << QStringLiteral("a\uFFFCb") << false;
    // Right to left, or changing the direction of what follows.
    QTest::newRow("Hebrew") << QStringLiteral("שלום") << false;
    QTest::newRow("Arabic after Latin") << QStringLiteral("error: خطأ") << false;
    QTest::newRow("Arabic-Indic digits") << QStringLiteral("code \u0661\u0662") << false;
    QTest::newRow("right-to-left mark") << QStringLiteral("a\u200Fb") << false;
    QTest::newRow("right-to-left override") << QStringLiteral("a\u202Eb") << false;
    QTest::newRow("left-to-right embedding") << QStringLiteral("a\u202Ab") << false;
    QTest::newRow("first strong isolate") << QStringLiteral("a\u2068b\u2069") << false;
    QTest::newRow("Adlam (beyond 16 bits)") << QStringLiteral("id \U0001E900") << false;
}

void SharedParagraphsTest::canShareParagraph()
{
    QFETCH(QString, text);
    QFETCH(bool, canShare);
    QCOMPARE(::canShareParagraph(text), canShare);
}

QTEST_APPLESS_MAIN(SharedParagraphsTest)
#include "tst_sharedparagraphs.moc"
