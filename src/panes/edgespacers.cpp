// The empty paragraphs at the top and bottom of a pane's document that stand for the shown
// texts outside its window.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/edgespacers.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// Marks the empty paragraphs that stand for the texts outside the window.
constexpr int spacerProperty = QTextFormat::UserProperty + 1;

bool isSpacer(const QTextBlock &block)
{
    return block.blockFormat().hasProperty(spacerProperty);
}

QTextBlockFormat spacerFormat(qreal height)
{
    QTextBlockFormat format;
    format.setProperty(spacerProperty, true);
    format.setLineHeight(height, QTextBlockFormat::FixedHeight);
    return format;
}

} // namespace

EdgeSpacers::EdgeSpacers(QTextEdit *view) : pane(view) { }

int EdgeSpacers::documentOffset() const
{
    const QTextDocument *document = pane->document();
    return document->blockCount() > 1 && isSpacer(document->firstBlock()) ? 1 : 0;
}

bool EdgeSpacers::setHeights(qreal top, qreal bottom)
{
    if (top == topHeight && bottom == bottomHeight)
        return false;
    QTextDocument *document = pane->document();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    const QTextBlock first = document->firstBlock();
    if (isSpacer(first) && document->blockCount() > 1) {
        cursor.setPosition(0);
        if (top > 0) {
            cursor.setBlockFormat(spacerFormat(top));
        } else {
            // What stays takes the format of the paragraph after the spacer.
            cursor.setPosition(1, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
    } else if (top > 0) {
        cursor.setPosition(0);
        cursor.insertBlock(first.blockFormat(), first.charFormat());
        cursor.setPosition(0);
        cursor.setBlockFormat(spacerFormat(top));
        cursor.setBlockCharFormat(QTextCharFormat());
    }
    const QTextBlock last = document->lastBlock();
    if (isSpacer(last) && document->blockCount() > 1) {
        cursor.setPosition(last.position());
        if (bottom > 0) {
            cursor.setBlockFormat(spacerFormat(bottom));
        } else {
            const QTextBlockFormat before = last.previous().blockFormat();
            cursor.setPosition(last.position() - 1, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            cursor.setBlockFormat(before);
        }
    } else if (bottom > 0) {
        cursor.movePosition(QTextCursor::End);
        cursor.insertBlock(spacerFormat(bottom), QTextCharFormat());
    }
    cursor.endEditBlock();
    const bool topWent = topHeight > 0 && top == 0;
    topHeight = top;
    bottomHeight = bottom;
    return topWent;
}
