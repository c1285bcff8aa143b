// The empty paragraphs at the top and bottom of a pane's document that stand for the shown
// texts outside its window.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef EDGESPACERS_H
#define EDGESPACERS_H

#include <QtGlobal>

class QTextEdit;

// The layout honours no top margin of a first paragraph and no bottom margin of a last one:
// the texts before and after the window are stood for by an empty paragraph each, first and
// last, as high as they would be. Only the spacers change as the window moves on, which lays
// out nothing else.
class EdgeSpacers
{
public:
    // A text layout counts in 1/64 pixels in an int: spacers stay well within it.
    static constexpr qreal largestHeight = 8e6;

    // The spacers of the pane's document, which it keeps for its life.
    explicit EdgeSpacers(QTextEdit *pane);

    // Their heights now, in pixels (0: none).
    qreal top() const { return topHeight; }
    qreal bottom() const { return bottomHeight; }
    // 1 while the document opens with a spacer: where its texts start.
    int documentOffset() const;
    // Gives the spacers these heights, adding or removing them as needed. Returns whether the
    // spacer above went, which moves every position of the document one back.
    bool setHeights(qreal top, qreal bottom);
    // The document was emptied, its spacers with it.
    void forget() { topHeight = bottomHeight = 0; }

private:
    QTextEdit *pane;
    qreal topHeight = 0;
    qreal bottomHeight = 0;
};

#endif // EDGESPACERS_H
