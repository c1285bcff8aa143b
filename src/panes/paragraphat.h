// Finds the paragraph and the line at a height of a laid-out document, quickly however long it is.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PARAGRAPHAT_H
#define PARAGRAPHAT_H

#include <QTextBlock>

class QTextDocument;

// The paragraph whose laid-out box holds the height y, in the document's coordinates: the
// first paragraph for a height above it, the last for one below. A binary search over the
// paragraphs' tops. QTextEdit::cursorForPosition asks the layout's hit test instead, which
// walks the paragraphs one by one from a check point that can be far above: in a pane of
// 100,000 texts, a tenth of the window's processor time while typing into the find bar.
QTextBlock paragraphAtHeight(const QTextDocument *document, qreal y);

// Where the line at the height y starts: the line of the paragraph above whose box holds y
// (its first line for a height above it, its last for one below). A pane's paragraph can hold
// several texts, a line each.
int lineStartAtHeight(const QTextDocument *document, qreal y);
// The top of the line that holds the position, in the document's coordinates.
qreal lineTop(const QTextDocument *document, int position);

#endif // PARAGRAPHAT_H
