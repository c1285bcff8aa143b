// Which received texts a pane shows as markup, and what it shows of each: log lines from
// real programs must come out exactly as written, markup as its text.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/logpane.h"
#include "panes/richtext.h"

#include <QTextEdit>
#include <QtTest>

class RichTextTest : public QObject
{
    Q_OBJECT

private slots:
    void logLines_data();
    void logLines();
};

void RichTextTest::logLines_data()
{
    QTest::addColumn<QString>("text");
    // What the pane shows, or a null string for "exactly the text".
    QTest::addColumn<QString>("shown");

    // Plain log lines that look a little like markup. Each is shown exactly as written.
    const char *const plain[] = {
        // C++
        "std::vector<int> v = make<int>(3);",
        "std::map<std::string, std::vector<int>> index",
        "template<typename T> T max(T a, T b)",
        "assert(a<b && c>d) failed",
        "cache <i 3> <b 4> evicted",
        "<b>count</b> = a<b ? a : b",
        "<i>x</i> if (p->next != nullptr && p->value < limit)",
        // Shell
        "ls > out.txt 2>&1",
        "<b>sort</b> < input.txt > sorted.txt",
        "cat <<EOF | sh",
        "<p>done</p> exit status 1 && retry",
        // Comparisons and entities that are none
        "x &lt; y means x<y",
        "0 < n < 10",
        "<b>Tom & Jerry</b>",
        "<b>AT&T</b>",
        "<b>a</b> &amp",
        "<b>a</b> &#;",
        "<b>a</b> &#xZZ;",
        // XML and other markup the pane does not know
        "<?xml version=\"1.0\"?><note><to>Tove</to></note>",
        "<config><b>x</b></config>",
        "<item id=\"3\"/>",
        "<script>alert(1)</script>",
        "<b>unknown</b> <blink>tag</blink>",
        // Malformed tags of known elements
        "<b x=1y=2>text</b>",
        "<b title=\"unclosed>text</b>",
        "<b 3>text</b>",
        "<b>text</b",
        "<b>text</b> <!-- unclosed comment",
        "<!DOCTYPE html <b>x</b>",
    };
    for (const char *line : plain)
        QTest::newRow(line) << QString::fromUtf8(line) << QString();

    // Markup as senders mean it: shown as rich text, so as its visible text.
    QTest::newRow("bold and italic")
        << QStringLiteral("<b>bold</b> and <i>italic</i>") << QStringLiteral("bold and italic");
    QTest::newRow("attributes, quoted or not")
        << QStringLiteral("<font color=red size='4' face=\"Sans\">x</font><br/>y")
        << QStringLiteral("x\ny");
    QTest::newRow("style") << QStringLiteral("<span style=\"color:#ff0000\">red</span>")
                           << QStringLiteral("red");
    QTest::newRow("link with a query")
        << QStringLiteral("<a href=\"http://host/?a=1&b=2\">link</a>") << QStringLiteral("link");
    QTest::newRow("entities") << QStringLiteral("<b>AT&amp;T</b> &lt;tag&gt; &#65;&#x42;&copy;")
                              << QStringLiteral("AT&T <tag> AB©");
    // No "<" at all: entities alone make it markup.
    QTest::newRow("entities alone") << QStringLiteral("&lt;b&gt; starts bold")
                                    << QStringLiteral("<b> starts bold");
    QTest::newRow("paragraphs") << QStringLiteral("<p>one</p><P>two</P>")
                                << QStringLiteral("one\ntwo");
    QTest::newRow("table") << QStringLiteral("<table><tr><td>cell</td></tr></table>")
                           << QStringLiteral("\ncell\n");
    QTest::newRow("comment") << QStringLiteral("<b>x</b><!-- note -->") << QStringLiteral("x");
    // Tables in tables: six deep still shows as a table, seven deep (which would cost twice the
    // layout time) as the markup it is.
    const auto tablesIn = [](int depth) {
        return QStringLiteral("<table><tr><td>").repeated(depth) + QLatin1Char('x')
            + QStringLiteral("</td></tr></table>").repeated(depth);
    };
    QTest::newRow("tables nested 6 deep")
        << tablesIn(6)
        << QString(6, QLatin1Char('\n')) + QLatin1Char('x') + QString(6, QLatin1Char('\n'));
    QTest::newRow("tables nested 7 deep") << tablesIn(7) << QString();
    QTest::newRow("whole document")
        << QStringLiteral("<!DOCTYPE html><html><body><h1>T</h1></body></html>")
        << QStringLiteral("T");
}

void RichTextTest::logLines()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(showsAsRichText(text), !shown.isNull());

    QTextEdit view;
    auto *pane = new LogPane(&view); // owned by the view
    pane->append({text});
    QCOMPARE(view.toPlainText(), shown.isNull() ? text : shown);
}

QTEST_MAIN(RichTextTest)
#include "tst_richtext.moc"
