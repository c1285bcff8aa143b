// Tests of finding the paragraph at a height of a laid-out document.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/paragraphat.h"

#include <QAbstractTextDocumentLayout>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

class ParagraphAtTest : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithTheLayout_data();
    void agreesWithTheLayout();
};

void ParagraphAtTest::agreesWithTheLayout_data()
{
    QTest::addColumn<QStringList>("paragraphs");
    const QString longLine =
        QStringLiteral("a long line that the layout breaks in many ").repeated(20);
    QTest::newRow("one") << QStringList({QStringLiteral("alone")});
    QTest::newRow("short lines") << QStringList({QStringLiteral("one"), QStringLiteral("two"),
                                                 QStringLiteral("three"), QStringLiteral("four"),
                                                 QStringLiteral("five")});
    QTest::newRow("wrapped and empty")
        << QStringList({QStringLiteral("first"), longLine, QString(), QString(), longLine,
                        QStringLiteral("last")});
    QStringList many;
    for (int i = 0; i < 1000; ++i)
        many << (i % 97 == 0 ? longLine : QStringLiteral("text %1").arg(i));
    QTest::newRow("a thousand") << many;
    // Texts that share a paragraph, a line each, wrapped or not.
    const QChar lineBreak = QChar::LineSeparator;
    QTest::newRow("shared paragraphs")
        << QStringList({QStringList({"one", "two", "three"}).join(lineBreak),
                        QStringList({"four", longLine, "five", QString(), "six"}).join(lineBreak),
                        QStringLiteral("seven"), QString(lineBreak) + longLine});
}

// For every height, above the document to below it, the paragraph found is the one whose
// laid-out box holds it, and the line found the one whose box holds it, as a walk through all
// of them finds them; the top of that line is where the walk found it.
void ParagraphAtTest::agreesWithTheLayout()
{
    QFETCH(QStringList, paragraphs);
    QTextDocument document;
    document.setTextWidth(300);
    QTextCursor cursor(&document);
    cursor.insertText(paragraphs.join(QChar::ParagraphSeparator));
    const QAbstractTextDocumentLayout *layout = document.documentLayout();
    const qreal height = layout->documentSize().height();
    for (qreal y = -20; y < height + 20; y += 3) {
        QTextBlock expected = document.firstBlock();
        for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
            if (layout->blockBoundingRect(block).top() <= y)
                expected = block;
        }
        QCOMPARE(paragraphAtHeight(&document, y).blockNumber(), expected.blockNumber());

        int expectedLineStart = 0;
        qreal expectedLineTop = 0;
        for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
            const QTextLayout *lines = block.layout();
            for (int i = 0; i < lines->lineCount(); ++i) {
                const qreal top = layout->blockBoundingRect(block).top() + lines->lineAt(i).y();
                if (top <= y || (block == document.firstBlock() && i == 0)) {
                    expectedLineStart = block.position() + lines->lineAt(i).textStart();
                    expectedLineTop = top;
                }
            }
        }
        QCOMPARE(lineStartAtHeight(&document, y), expectedLineStart);
        QCOMPARE(lineTop(&document, expectedLineStart), expectedLineTop);
    }
}

QTEST_MAIN(ParagraphAtTest)
#include "tst_paragraphat.moc"
