// Finds the paragraph and the line at a height of a laid-out document, quickly however long it is.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/paragraphat.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextLayout>

QTextBlock paragraphAtHeight(const QTextDocument *document, qreal y)
{
    const QAbstractTextDocumentLayout *layout = document->documentLayout();
    // The last paragraph whose top is at or above y.
    int low = 0;
    int high = document->blockCount() - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (layout->blockBoundingRect(document->findBlockByNumber(middle)).top() <= y)
            low = middle;
        else
            high = middle - 1;
    }
    return document->findBlockByNumber(low);
}

namespace {

// The top of a paragraph's layout in the document: its lines' heights are from there.
qreal layoutTop(const QTextBlock &block)
{
    const QRectF bounds = block.document()->documentLayout()->blockBoundingRect(block);
    return bounds.top() - block.layout()->boundingRect().top();
}

} // namespace

int lineStartAtHeight(const QTextDocument *document, qreal y)
{
    const QTextBlock block = paragraphAtHeight(document, y);
    const QTextLayout *layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return block.position();
    const qreal top = layoutTop(block);
    // The last line whose top is at or above y.
    int low = 0;
    int high = layout->lineCount() - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (top + layout->lineAt(middle).y() <= y)
            low = middle;
        else
            high = middle - 1;
    }
    return block.position() + layout->lineAt(low).textStart();
}

qreal lineTop(const QTextDocument *document, int position)
{
    const QTextBlock block = document->findBlock(position);
    if (!block.isValid())
        return 0;
    const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
    return layoutTop(block) + (line.isValid() ? line.y() : 0);
}
