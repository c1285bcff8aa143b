// A log pane's history limit: what a pane keeps once more texts arrive than it holds.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/logdocument.h"
#include "panes/logpane.h"
#include "panes/panelook.h"
#include "testsupport.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextLayout>
#include <QtTest>

class LogPaneTest : public QObject
{
    Q_OBJECT

private slots:
    void keepsTheNewestTexts_data();
    void keepsTheNewestTexts();
    void lowerLimitLetsTheOldestGoAtOnce();
    void textsKeepTheirWidthAsThePaneFills();
    void sizeLimitKeepsTheNewestTexts_data();
    void sizeLimitKeepsTheNewestTexts();
    void arrivingTextsLeaveTheSelection_data();
    void arrivingTextsLeaveTheSelection();
    void sharedTextsLookAsParagraphsOfTheirOwn_data();
    void sharedTextsLookAsParagraphsOfTheirOwn();
    void plainTextsIgnoreWhereTheUserClicked_data();
    void plainTextsIgnoreWhereTheUserClicked();
    void plainLinesKeepOnePitch_data();
    void plainLinesKeepOnePitch();
    void tripleClickSelectsOneText_data();
    void tripleClickSelectsOneText();
    void looksDecideWhatShows_data();
    void looksDecideWhatShows();
    void refreshKeepsTheReadersPlace_data();
    void refreshKeepsTheReadersPlace();
};

namespace {

// A pane on show with its own width, laid out once its texts are in.
void showPane(QTextEdit &view)
{
    view.resize(320, 480);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTRY_VERIFY(!view.document()->pageSize().isNull());
}

// Each line a pane shows, as painted, from the pane's left edge to its right.
QList<QImage> lineImages(QTextEdit &view)
{
    const QImage shown = view.viewport()->grab().toImage();
    const QAbstractTextDocumentLayout *layout = view.document()->documentLayout();
    const int scrolled = view.verticalScrollBar()->value();
    QList<QImage> lines;
    for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next()) {
        const qreal top = layout->blockBoundingRect(block).top() - scrolled;
        for (int i = 0; i < block.layout()->lineCount(); ++i) {
            const QTextLine line = block.layout()->lineAt(i);
            lines.append(
                shown.copy(0, qRound(top + line.y()), shown.width(), qRound(line.height())));
        }
    }
    return lines;
}

// The top of each line a pane shows, in the document.
QList<int> lineTops(QTextEdit &view)
{
    const QAbstractTextDocumentLayout *layout = view.document()->documentLayout();
    QList<int> tops;
    for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next()) {
        const qreal top = layout->blockBoundingRect(block).top();
        for (int i = 0; i < block.layout()->lineCount(); ++i)
            tops.append(qRound(top + block.layout()->lineAt(i).y()));
    }
    return tops;
}

// The distance of each line from the one before it.
QList<int> gaps(const QList<int> &tops)
{
    QList<int> gaps;
    for (int i = 1; i < tops.size(); ++i)
        gaps.append(tops.at(i) - tops.at(i - 1));
    return gaps;
}

// The lines of a pane's HTML below the body's start tag: one a paragraph, table row or list.
QStringList paragraphsOf(const QString &html)
{
    QStringList lines = html.mid(html.indexOf(QLatin1String("<body"))).split(QLatin1Char('\n'));
    lines.removeFirst();
    return lines;
}

// Hides the texts holding one word and marks those holding another, as rules would: what a
// text holds is noted when it arrives (bit 1 and bit 2), and looked up when it shows.
class WordLook : public PaneLook
{
public:
    QString hide, mark, prefix;
    quint64 bitsFor(const QString &text) const
    {
        return (!hide.isEmpty() && text.contains(hide) ? 1 : 0)
            | (!mark.isEmpty() && text.contains(mark) ? 2 : 0);
    }
    quint64 match(const KeptText &text, int) const override { return bitsFor(text.text); }
    TextLook look(const KeptText &text, int, const KeptText *) const override
    {
        TextLook look;
        look.shown = !(text.ruleMatches & 1);
        if (text.ruleMatches & 2)
            look.background = Qt::yellow;
        look.prefix = prefix;
        return look;
    }
    bool showsEverythingPlain(int) const override
    {
        return hide.isEmpty() && mark.isEmpty() && prefix.isEmpty();
    }
};

} // namespace

void LogPaneTest::keepsTheNewestTexts_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("oneAtATime");
    QTest::addColumn<int>("kept");

    const QStringList plain = {"one", "two", "three", "four", "five"};
    QTest::newRow("plain, in one batch") << plain << 3 << false << 3;
    QTest::newRow("plain, one at a time") << plain << 3 << true << 3;
    QTest::newRow("no limit") << plain << 0 << true << 5;
    QTest::newRow("limit not reached") << plain << 5 << false << 5;
    const QStringList mixed = {"<h1>Title</h1>",         "plain",
                               "<b>bold</b> tail",       "two\nlines",
                               "<ul><li>item</li></ul>", "after the list"};
    QTest::newRow("rich and plain, in one batch") << mixed << 3 << false << 3;
    QTest::newRow("rich and plain, one at a time") << mixed << 3 << true << 3;
    QTest::newRow("a heading goes, the plain text after it stays")
        << QStringList({"<h1>Title</h1>", "plain"}) << 1 << true << 1;
    QTest::newRow("a heading stays first")
        << QStringList({"plain", "<h1>Title</h1>", "after"}) << 2 << true << 2;
    const QString table = QStringLiteral("<table border=1><tr><td>a</td><td>b</td></tr></table>");
    QTest::newRow("a table goes") << QStringList({table, "x", "y"}) << 2 << true << 2;
    QTest::newRow("a table stays first") << QStringList({"x", table, "y"}) << 2 << false << 2;
    QTest::newRow("line breaks of every kind")
        << QStringList({"a\r\nb", "c\rd", "e\nf", "g\r\n", "h"}) << 3 << false << 3;
    // Beyond nine texts, a full pane lets a tenth of its limit go at once: at the 21st text
    // it keeps 18, at the 24th again 18, and then the 25th makes 19.
    QStringList many;
    for (int i = 1; i <= 25; ++i)
        many.append(QStringLiteral("text %1").arg(i));
    QTest::newRow("a tenth at a time") << many << 20 << true << 19;
}

void LogPaneTest::keepsTheNewestTexts()
{
    QFETCH(QStringList, texts);
    QFETCH(int, limit);
    QFETCH(bool, oneAtATime);
    QFETCH(int, kept);

    QTextEdit view;
    auto *pane = new LogPane(&view);
    pane->setHistoryLimit(limit);
    if (oneAtATime) {
        for (const QString &text : texts) {
            pane->append(QStringList {text});
            pane->trimHistory();
        }
    } else {
        pane->append(texts);
        QCOMPARE(pane->textCount(), texts.size());
        QCOMPARE(pane->textsOverLimit(), limit > 0 ? qMax(0, texts.size() - limit) : 0);
        pane->trimHistory();
    }
    QCOMPARE(pane->textsOverLimit(), 0);
    QCOMPARE(pane->textCount(), kept);

    // The text of a pane that was only ever sent the newest texts...
    QTextEdit newest;
    (new LogPane(&newest))->append(texts.mid(texts.size() - kept));
    QCOMPARE(view.toPlainText(), newest.toPlainText());
    // ... looking as those texts looked in a pane that kept all (a paragraph takes its format
    // from the one before it, as QTextEdit::append does): the end of that pane's page.
    QTextEdit all;
    (new LogPane(&all))->append(texts);
    const QStringList shown = paragraphsOf(htmlWithAParagraphPerLine(view.document()));
    const QStringList allShown = paragraphsOf(htmlWithAParagraphPerLine(all.document()));
    QVERIFY(shown.size() <= allShown.size());
    QCOMPARE(shown, allShown.mid(allShown.size() - shown.size()));
}

void LogPaneTest::lowerLimitLetsTheOldestGoAtOnce()
{
    QTextEdit view;
    auto *pane = new LogPane(&view);
    pane->append(QStringList {"a", "b", "c", "d"});
    QCOMPARE(pane->textCount(), 4);
    pane->setHistoryLimit(2);
    QCOMPARE(pane->textCount(), 2);
    QCOMPARE(view.toPlainText(), QStringLiteral("c\nd"));
    pane->clear();
    QCOMPARE(pane->textCount(), 0);
    pane->append(QStringList {"e"});
    QCOMPARE(view.toPlainText(), QStringLiteral("e"));
}

// The first texts that overflow a pane must not narrow it: every text shown would wrap anew,
// and the pane would jump under the reader's eyes.
void LogPaneTest::textsKeepTheirWidthAsThePaneFills()
{
    QTextEdit view;
    auto *pane = new LogPane(&view);
    pane->append(QStringList {QStringLiteral("first")});
    showPane(view);
    const int emptyWidth = view.viewport()->width();
    QStringList texts;
    for (int i = 0; i < 200; ++i)
        texts << QStringLiteral("text %1").arg(i);
    pane->append(texts);
    QTRY_VERIFY(view.verticalScrollBar()->maximum() > 0);
    QCOMPARE(view.viewport()->width(), emptyWidth);
}

void LogPaneTest::sizeLimitKeepsTheNewestTexts_data()
{
    QTest::addColumn<int>("textLimit");
    QTest::addColumn<qint64>("sizeLimit");
    QTest::addColumn<int>("kept");
    // Eight texts of 1,000 characters, 2,002 bytes each with the break after it: whichever
    // limit a pane reaches first lets the oldest go.
    QTest::newRow("size reached first") << 50 << qint64(5000) << 2;
    QTest::newRow("count reached first") << 3 << qint64(20000) << 3;
    QTest::newRow("the newest stays, however large") << 50 << qint64(100) << 1;
}

void LogPaneTest::sizeLimitKeepsTheNewestTexts()
{
    QFETCH(int, textLimit);
    QFETCH(qint64, sizeLimit);
    QFETCH(int, kept);
    QTextEdit view;
    auto *pane = new LogPane(&view);
    pane->setHistoryLimit(textLimit);
    pane->setHistorySize(sizeLimit);
    QStringList texts;
    for (int i = 0; i < 8; ++i) {
        texts.append(QString::number(i).leftJustified(1000, QLatin1Char('.')));
        pane->append(QStringList {texts.last()});
        pane->trimHistory();
    }
    QCOMPARE(pane->textsOverLimit(), 0);
    QCOMPARE(pane->textCount(), kept);
    QCOMPARE(view.toPlainText(), texts.mid(8 - kept).join(QLatin1Char('\n')));
}

void LogPaneTest::arrivingTextsLeaveTheSelection_data()
{
    // Places in "first\nsecond", -1 for its end.
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("movesOn"); // a cursor that moves on to the new end

    QTest::newRow("all, selected from the start") << 0 << -1 << false;
    QTest::newRow("all, selected from the end") << -1 << 0 << false;
    QTest::newRow("the end of the last text") << 9 << -1 << false;
    QTest::newRow("inside the texts") << 2 << 8 << false;
    QTest::newRow("a cursor inside the texts") << 3 << 3 << false;
    // As with QTextEdit::append: keys such as Page Up start from the newest text.
    QTest::newRow("a cursor at the end") << -1 << -1 << true;
}

void LogPaneTest::arrivingTextsLeaveTheSelection()
{
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(bool, movesOn);

    QTextEdit view;
    auto *pane = new LogPane(&view);
    pane->append(QStringList {"first", "second"});
    const int end = view.document()->characterCount() - 1;
    QTextCursor cursor(view.document());
    cursor.setPosition(anchor < 0 ? end : anchor);
    cursor.setPosition(position < 0 ? end : position, QTextCursor::KeepAnchor);
    view.setTextCursor(cursor);
    // Numbers, not the cursor: the document moves every cursor that shares its place.
    const int anchorBefore = view.textCursor().anchor();
    const int positionBefore = view.textCursor().position();
    const QString selected = view.textCursor().selectedText();

    pane->append(QStringList {"third", "<b>fourth</b>"});
    pane->append(QStringList {"fifth"});
    const QTextCursor after = view.textCursor();
    if (movesOn) {
        QVERIFY(after.atEnd());
        QVERIFY(!after.hasSelection());
        return;
    }
    QCOMPARE(after.anchor(), anchorBefore);
    QCOMPARE(after.position(), positionBefore);
    QCOMPARE(after.selectedText(), selected);
}

void LogPaneTest::sharedTextsLookAsParagraphsOfTheirOwn_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("shared"); // whether some texts share a paragraph

    QStringList lines;
    for (int i = 1; i <= 20; ++i)
        lines << QStringLiteral("12:00:%1 INFO request %1 served").arg(i, 2, 10, QLatin1Char('0'));
    QTest::newRow("log lines, more than a paragraph holds") << lines << true;
    const QString longLine = QStringLiteral("a line long enough to be wrapped ").repeated(4);
    QTest::newRow("wrapped") << QStringList({"short", longLine, "between", longLine}) << true;
    QTest::newRow("tabs, wide and surrogate characters")
        << QStringList({"key\tvalue", "日志已保存", "done \U0001F600", "x"}) << true;
    // Each of these would look different in a paragraph of left-to-right lines.
    QTest::newRow("right to left among them")
        << QStringList({"left", "שלום עולם", "error: خطأ.", "after", "12345", "\u202Eodd"}) << true;
    QTest::newRow("line breaks") << QStringList({"a", "b\nc", "d", "e\r\n", "f", "g"}) << true;
    // Plain texts take the pane's own paragraph format, whatever came before them.
    QTest::newRow("after a list") << QStringList(
        {"<ul><li>item</li></ul>", "after", "and after", "and more"})
                                  << true;
    QTest::newRow("after a paragraph with margins")
        << QStringList({"<p style=\"margin-top:12px; margin-bottom:9px; text-indent:20px\">x</p>",
                        "after", "and after", "and more"})
        << true;
    QTest::newRow("after a heading")
        << QStringList({"<h2>Title</h2>", "after", "and after"}) << true;
}

// A pane given texts in one batch shows each line exactly as a pane given them one at a time
// shows it, where every text is a paragraph of its own: the same glyphs in the same places,
// the same direction and alignment, the same distance apart.
void LogPaneTest::sharedTextsLookAsParagraphsOfTheirOwn()
{
    QFETCH(QStringList, texts);
    QFETCH(bool, shared);

    QTextEdit together;
    (new LogPane(&together))->append(texts);
    QTextEdit apart;
    auto *pane = new LogPane(&apart);
    for (const QString &text : texts)
        pane->append(QStringList {text});
    showPane(together);
    showPane(apart);

    QCOMPARE(together.toPlainText(), apart.toPlainText());
    QCOMPARE(together.document()->blockCount() < apart.document()->blockCount(), shared);
    QCOMPARE(lineImages(together), lineImages(apart));
    QCOMPARE(gaps(lineTops(together)), gaps(lineTops(apart)));
}

void LogPaneTest::plainLinesKeepOnePitch_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<int>("zoom"); // steps zoomed in, or out, once the texts are in

    QTest::newRow("the default font") << QFont() << 0;
    QTest::newRow("small") << QFont("DejaVu Sans", 6) << 0;
    QTest::newRow("9 points, 2 px of negative leading") << QFont("DejaVu Sans", 9) << 0;
    QTest::newRow("large") << QFont("DejaVu Sans", 24) << 0;
    QTest::newRow("monospace") << QFont("DejaVu Sans Mono", 11) << 0;
    QTest::newRow("serif") << QFont("DejaVu Serif", 13) << 0;
    QTest::newRow("zoomed in") << QFont() << 3;
    QTest::newRow("zoomed out") << QFont() << -2;
}

// Texts of one plain line lie one pitch apart across the ends of shared paragraphs and of
// batches; a text of two lines and a rich one keep the spacing QTextEdit::append gives them.
void LogPaneTest::plainLinesKeepOnePitch()
{
    QFETCH(QFont, font);
    QFETCH(int, zoom);
    QStringList texts;
    for (int i = 1; i <= 30; ++i)
        texts << QStringLiteral("request %1 ok").arg(i);
    texts.insert(11, QStringLiteral("two\nlines"));
    texts.insert(20, QStringLiteral("<b>rich</b><br>text"));
    QTextEdit view;
    QTextEdit reference;
    view.setFont(font);
    reference.setFont(font);
    auto *pane = new LogPane(&view);
    for (const auto &batch : {texts.mid(0, 17), texts.mid(17, 1), texts.mid(18)})
        pane->append(batch);
    for (const QString &text : texts)
        reference.append(text);
    showPane(view);
    showPane(reference);
    view.zoomIn(zoom);
    reference.zoomIn(zoom);
    const QList<int> ownSpacing = {11, 12, 21, 22}; // the lines of those two texts
    auto expected = [&] {
        QList<int> expected = gaps(lineTops(reference));
        for (int i = 0; i < expected.size(); ++i) {
            if (!ownSpacing.contains(i) && !ownSpacing.contains(i + 1))
                expected[i] = gaps(lineTops(view)).first();
        }
        return expected;
    };
    QTRY_COMPARE(gaps(lineTops(view)), expected());
}

void LogPaneTest::plainTextsIgnoreWhereTheUserClicked_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::newRow("red and bold") << "<b style=\"color:red\">alert</b>";
    QTest::newRow("a heading") << "<h2>Title</h2>";
    QTest::newRow("a link") << "<a href=\"https://example.org/\">link</a>";
    QTest::newRow("code") << "<code>x = 1;</code>";
}

void LogPaneTest::plainTextsIgnoreWhereTheUserClicked()
{
    QFETCH(QString, clicked);
    QTextEdit view, alone;
    auto *pane = new LogPane(&view);
    pane->append(QStringList {clicked, "before"});
    (new LogPane(&alone))->append(QStringList {"after"});
    showPane(view);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(12, 8)); // into the first
    pane->append(QStringList {"after"});
    // The same paragraph and character formats as in a pane of its own.
    const QTextBlock last = view.document()->lastBlock(), own = alone.document()->lastBlock();
    QCOMPARE(last.blockFormat(), own.blockFormat());
    QCOMPARE(last.begin().fragment().charFormat(), own.begin().fragment().charFormat());
}

void LogPaneTest::tripleClickSelectsOneText_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("clicked"); // a word in the line clicked
    QTest::addColumn<QString>("selected");

    const QStringList three = {"alpha", "beta", "gamma"};
    QTest::newRow("a text between two") << three << "beta"
                                        << "beta\n";
    QTest::newRow("the first text") << three << "alpha"
                                    << "alpha\n";
    QTest::newRow("the last text") << three << "gamma"
                                   << "gamma";
    QTest::newRow("a long text, wrapped")
        << QStringList({"alpha", QStringLiteral("wrapped ").repeated(30) + "end", "omega"}) << "end"
        << QStringLiteral("wrapped ").repeated(30) + "end\n";
    // As before, a paragraph at a time: the one line of a text of two lines...
    QTest::newRow("a text of two paragraphs")
        << QStringList({"one", "two\nlines", "three"}) << "lines"
        << "lines\n";
    // ... and the whole of a paragraph of markup, line breaks and all.
    QTest::newRow("markup with a line break")
        << QStringList({"x", "<b>bold</b> and<br>broken", "y"}) << "broken"
        << "bold and\nbroken\n";
}

void LogPaneTest::tripleClickSelectsOneText()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, clicked);
    QFETCH(QString, selected);

    QTextEdit view;
    (new LogPane(&view))->append(texts);
    showPane(view);
    const QTextCursor word = view.document()->find(clicked);
    QVERIFY(!word.isNull());
    const QPoint point = view.cursorRect(word).center() - QPoint(2, 0);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, point);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, point);
    QCOMPARE(view.textCursor().selection().toPlainText(), selected);
}

void LogPaneTest::looksDecideWhatShows_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("hide");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("hidden");
    QTest::addColumn<QString>("allShown"); // once nothing is hidden any more

    const QStringList mixed = {"keep 1", "drop 2", "keep 3", "drop 4"};
    QTest::newRow("every text shows") << mixed << "" << "" << "" << 0
                                      << "keep 1\ndrop 2\nkeep 3\ndrop 4" << 0
                                      << "keep 1\ndrop 2\nkeep 3\ndrop 4";
    QTest::newRow("hidden between shown") << mixed << "drop" << "" << "" << 0 << "keep 1\nkeep 3"
                                          << 2 << "keep 1\ndrop 2\nkeep 3\ndrop 4";
    QTest::newRow("every text hidden") << mixed << " " << "" << "" << 0 << "" << 4
                                       << "keep 1\ndrop 2\nkeep 3\ndrop 4";
    QTest::newRow("prefixes") << QStringList {"a", "two\nlines", "<b>rich</b>"} << "" << ""
                              << "> " << 0 << "> a\n> two\nlines\n> rich" << 0
                              << "> a\n> two\nlines\n> rich";
    QTest::newRow("marked between plain") << QStringList {"a", "b mark", "c"} << "" << "mark"
                                          << "" << 0 << "a\nb mark\nc" << 0
                                          << "a\nb mark\nc";
    QTest::newRow("the limit counts hidden texts") << mixed << "drop" << "" << "" << 2
                                                   << "keep 3" << 1 << "keep 3\ndrop 4";
    QTest::newRow("the oldest shown go with hidden ones")
        << QStringList {"drop 1", "keep 2", "drop 3", "drop 4", "keep 5"} << "drop" << "" << ""
        << 3 << "keep 5" << 2 << "drop 3\ndrop 4\nkeep 5";
    QTest::newRow("rich and hidden") << QStringList {"<i>x</i> drop", "<b>y</b>", "z"} << "drop"
                                     << "" << "" << 0 << "y\nz" << 1 << "x drop\ny\nz";
}

// Texts a look hides are kept, count for the history limit, and show again, in their places,
// once the look lets them.
void LogPaneTest::looksDecideWhatShows()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, hide);
    QFETCH(QString, mark);
    QFETCH(QString, prefix);
    QFETCH(int, limit);
    QFETCH(QString, shown);
    QFETCH(int, hidden);
    QFETCH(QString, allShown);
    WordLook look;
    look.hide = hide;
    look.mark = mark;
    look.prefix = prefix;
    QTextEdit view;
    auto *pane = new LogPane(&view);
    pane->setLook(&look, 0);
    pane->setHistoryLimit(limit);
    QSignalSpy hiddenChanged(pane, &LogPane::hiddenCountChanged);
    for (const QString &text : std::as_const(texts)) {
        pane->append(QStringList {text});
        pane->trimHistory();
    }
    QCOMPARE(shownText(*view.document()), shown);
    QCOMPARE(pane->hiddenCount(), hidden);
    QCOMPARE(hiddenChanged.isEmpty() ? 0 : hiddenChanged.last().at(0).toInt(), hidden);
    if (!mark.isEmpty()) {
        const QTextBlock marked = view.document()->findBlockByNumber(1);
        QCOMPARE(marked.text(), QStringLiteral("b mark"));
        QCOMPARE(marked.blockFormat().background().color(), QColor(Qt::yellow));
        QCOMPARE(marked.next().blockFormat().background().style(), Qt::NoBrush);
    }

    look.hide.clear();
    pane->updateMatches([&](KeptText &text) { text.ruleMatches = look.bitsFor(text.text); });
    pane->refresh();
    QCOMPARE(shownText(*view.document()), allShown);
    QCOMPARE(pane->hiddenCount(), 0);
    // Appending after a refresh goes on from the newest text shown.
    pane->append(QStringList {"last"});
    QCOMPARE(shownText(*view.document()), allShown + QStringLiteral("\n") + prefix + "last");
}

void LogPaneTest::refreshKeepsTheReadersPlace_data()
{
    QTest::addColumn<bool>("following");
    QTest::addColumn<QString>("hide");
    QTest::addColumn<QString>("topAfter"); // empty: the view is at the end

    QTest::newRow("following keeps following") << true << "odd" << "";
    QTest::newRow("the text on top stays") << false << "odd" << "text 60 even";
    QTest::newRow("hidden on top: the next shown") << false << "even" << "text 61 odd";
}

void LogPaneTest::refreshKeepsTheReadersPlace()
{
    QFETCH(bool, following);
    QFETCH(QString, hide);
    QFETCH(QString, topAfter);
    QTextEdit view;
    WordLook look;
    auto *pane = new LogPane(&view);
    pane->setLook(&look, 0);
    showPane(view);
    QStringList texts;
    for (int i = 0; i < 200; ++i)
        texts.append(QStringLiteral("text %1 %2").arg(i).arg(i % 2 ? "odd" : "even"));
    pane->append(texts);
    const QTextBlock held =
        view.document()->findBlock(shownText(*view.document()).indexOf(QLatin1String("text 60 ")));
    if (!following) {
        pane->setFollowing(false);
        const QTextLayout *layout = held.layout();
        const int line = layout->lineForTextPosition(
                                   shownText(*view.document()).indexOf(QLatin1String("text 60 "))
                                   - held.position())
                             .lineNumber();
        view.verticalScrollBar()->setValue(qRound(
            view.document()->documentLayout()->blockBoundingRect(held).top()
            + layout->lineAt(line).y()));
    }
    look.hide = hide;
    pane->updateMatches([&](KeptText &text) { text.ruleMatches = look.bitsFor(text.text); });
    pane->refresh();
    QCOMPARE(pane->hiddenCount(), 100);
    QCOMPARE(pane->isFollowing(), following);
    QScrollBar *scrollBar = view.verticalScrollBar();
    if (topAfter.isEmpty()) {
        QTRY_COMPARE(scrollBar->value(), scrollBar->maximum());
        return;
    }
    QTRY_VERIFY(scrollBar->value() > 0);
    QTextCursor top = view.cursorForPosition(QPoint(2, 2));
    top.movePosition(QTextCursor::StartOfLine);
    top.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    QCOMPARE(top.selectedText(), topAfter);
}

QTEST_MAIN(LogPaneTest)
#include "tst_logpane.moc"
