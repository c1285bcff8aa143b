// Finding a pattern in a pane's shown text: the matches, after a change, and where to start.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "find/logsearch.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

using Positions = QVector<int>;

class LogSearchTest : public QObject
{
    Q_OBJECT

private slots:
    void findsMatches_data();
    void findsMatches();
    void shownTextKeepsPositions();
    void longerPatternIsLookedForWhereTheShorterWas_data();
    void longerPatternIsLookedForWhereTheShorterWas();
    void changedTextIsSearchedAroundTheChange_data();
    void changedTextIsSearchedAroundTheChange();
    void firstMatchAtOrAfter_data();
    void firstMatchAtOrAfter();
};

void LogSearchTest::findsMatches_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<Positions>("matches");

    const QString log = QStringLiteral("Error one\nan error\nERROR three\nno problem");
    QTest::newRow("any case") << log << "error" << false << Positions {0, 13, 19};
    QTest::newRow("exact case") << log << "error" << true << Positions {13};
    QTest::newRow("pattern in upper case") << log << "ERROR" << false << Positions {0, 13, 19};
    QTest::newRow("none") << log << "warning" << false << Positions {};
    QTest::newRow("empty pattern") << log << "" << false << Positions {};
    QTest::newRow("empty text") << ""
                                << "a" << false << Positions {};
    QTest::newRow("longer than the text") << "ab"
                                          << "abc" << false << Positions {};
    QTest::newRow("one after the other, never overlapping") << "aaaaa"
                                                            << "aa" << true << Positions {0, 2};
    QTest::newRow("the whole text") << "abc"
                                    << "ABC" << false << Positions {0};
    QTest::newRow("beyond Latin-1")
        << QStringLiteral("Ärger, ärger") << QStringLiteral("ärger") << false << Positions {0, 7};
    QTest::newRow("across a paragraph is no match") << "ab\ncd"
                                                    << "bc" << false << Positions {};
}

void LogSearchTest::findsMatches()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(bool, caseSensitive);
    QFETCH(Positions, matches);
    QCOMPARE(LogSearch::findMatches(text, pattern,
                                    caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive),
             matches);
}

void LogSearchTest::shownTextKeepsPositions()
{
    const QString raw = QStringLiteral("a\u2029b\u2028c\ufdd0d\ufdd1e\u00a0f\ufffcg");
    QCOMPARE(LogSearch::shownText(raw), QStringLiteral("a\nb\nc\nd\ne f\ufffcg"));

    // What a document shows for rich and plain texts, paragraphs, a list and a table.
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("plain\u00a0text"));
    cursor.insertBlock();
    cursor.insertHtml(QStringLiteral("<b>bold</b> line<br>break<ul><li>item</li></ul>"));
    cursor.insertBlock();
    cursor.insertHtml(QStringLiteral("<table><tr><td>a</td><td>b</td></tr></table>after"));
    QTextCursor all(&document);
    all.select(QTextCursor::Document);
    QCOMPARE(LogSearch::shownText(all.selectedText()), document.toPlainText());
}

void LogSearchTest::longerPatternIsLookedForWhereTheShorterWas_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("caseSensitive");

    const QString log = QStringLiteral("the lazy dog\nLAZY cat\nlaziness\nla la land");
    QTest::newRow("a letter more") << log << "la"
                                   << "laz" << false;
    QTest::newRow("a letter more, exact case") << log << "la"
                                               << "laz" << true;
    QTest::newRow("several letters more") << log << "l"
                                          << "lazy" << false;
    QTest::newRow("a letter less") << log << "laz"
                                   << "la" << false;
    QTest::newRow("another word") << log << "dog"
                                  << "cat" << false;
    QTest::newRow("a letter more, found nowhere") << log << "lazy"
                                                  << "lazyx" << false;
    // "aa" can overlap itself: its matches skip places where "aab" is.
    QTest::newRow("a pattern that overlaps itself") << "aaab aab"
                                                    << "aa"
                                                    << "aab" << true;
    QTest::newRow("matches that come to overlap") << "ababab"
                                                  << "ab"
                                                  << "abab" << true;
}

void LogSearchTest::longerPatternIsLookedForWhereTheShorterWas()
{
    QFETCH(QString, text);
    QFETCH(QString, previous);
    QFETCH(QString, pattern);
    QFETCH(bool, caseSensitive);
    const Qt::CaseSensitivity sensitivity = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;

    const QVector<int> before = LogSearch::findMatches(text, previous, sensitivity);
    QCOMPARE(LogSearch::refineMatches(before, previous, text, pattern, sensitivity),
             LogSearch::findMatches(text, pattern, sensitivity));
}

void LogSearchTest::changedTextIsSearchedAroundTheChange_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("pattern");

    const QString log = QStringLiteral("error a\nerror b\nfine\nerror c");
    QTest::newRow("texts arrive at the end") << log << log.size() << 0 << "\nerror d\nok"
                                             << "error";
    QTest::newRow("the oldest go") << log << 0 << 16 << ""
                                   << "error";
    QTest::newRow("the oldest go, cutting a match") << log << 0 << 10 << ""
                                                    << "error";
    QTest::newRow("a match completed at the end") << "x err" << 5 << 0 << "or y"
                                                  << "error";
    QTest::newRow("a match broken in the middle") << "x error y" << 4 << 1 << ""
                                                  << "error";
    QTest::newRow("a match made in the middle") << "ab cd ab" << 2 << 1 << ""
                                                << "bc";
    QTest::newRow("everything goes") << log << 0 << log.size() << ""
                                     << "error";
    QTest::newRow("into an empty text") << "" << 0 << 0 << "error, error"
                                        << "ERROR";
    QTest::newRow("no match anywhere") << log << log.size() << 0 << "\nmore"
                                       << "warning";
    QTest::newRow("overlapping candidates shift the matches after them")
        << "aaaaaaa b aaa" << 0 << 1 << ""
        << "aa";
    QTest::newRow("overlapping candidates at the end") << "baaa" << 4 << 0 << "a"
                                                       << "aa";
}

void LogSearchTest::changedTextIsSearchedAroundTheChange()
{
    QFETCH(QString, before);
    QFETCH(int, position);
    QFETCH(int, removed);
    QFETCH(QString, inserted);
    QFETCH(QString, pattern);

    const QVector<int> old = LogSearch::findMatches(before, pattern, Qt::CaseInsensitive);
    const QString after = QString(before).replace(position, removed, inserted);
    QCOMPARE(LogSearch::updateMatches(old, after, pattern, Qt::CaseInsensitive, position, removed,
                                      inserted.size()),
             LogSearch::findMatches(after, pattern, Qt::CaseInsensitive));
}

void LogSearchTest::firstMatchAtOrAfter_data()
{
    QTest::addColumn<Positions>("matches");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("index");

    const Positions matches {10, 20, 30};
    QTest::newRow("before the first") << matches << 0 << 0;
    QTest::newRow("on a match") << matches << 20 << 1;
    QTest::newRow("between two") << matches << 21 << 2;
    QTest::newRow("after the last wraps") << matches << 31 << 0;
    QTest::newRow("no matches") << Positions {} << 5 << -1;
}

void LogSearchTest::firstMatchAtOrAfter()
{
    QFETCH(Positions, matches);
    QFETCH(int, position);
    QFETCH(int, index);
    QCOMPARE(LogSearch::matchAtOrAfter(matches, position), index);
}

QTEST_MAIN(LogSearchTest)
#include "tst_logsearch.moc"
