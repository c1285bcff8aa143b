// Finds the paragraph at a height of a laid-out document, quickly however long it is.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "paragraphat.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

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
