// Which of a pane's shown texts its document holds: a window onto the pane's history.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef HISTORYWINDOW_H
#define HISTORYWINDOW_H

// Qt lays a document out paragraph by paragraph, and every text removed from its top makes it
// move each paragraph that stays: with 50,000 texts, a trim costs tens of milliseconds however
// few go, where a document of 2,000 trims in a few. So a pane's document holds only a window
// of its shown texts, a few thousand around the view, and the rest of the history stays kept
// outside it. This counts the shown texts before, in and after the window, oldest first, and
// decides how the window moves; the pane does the writing. Counts are of shown texts only.
class HistoryWindow
{
public:
    explicit HistoryWindow(int capacity = 2000) { setCapacity(capacity); }

    // The texts a window holds once it is moved; following the end, it holds up to a tenth
    // more before its oldest leave it, so that they leave a few hundred at a time.
    void setCapacity(int texts) { cap = texts > 0 ? texts : 1; }
    int capacity() const { return cap; }

    int before() const { return textsBefore; }
    int inside() const { return textsInside; }
    int after() const { return textsAfter; }
    int total() const { return textsBefore + textsInside + textsAfter; }
    bool reachesEnd() const { return textsAfter == 0; }

    // Shown texts arrive at the end of the history; returns how many of them go into the
    // window. A view that follows takes them all. One that holds still takes them only while
    // the window reaches the end and has room: the document then stands still while it is read.
    int arrive(int texts, bool following);
    // How many of the window's oldest texts leave it now, for a view that follows: none until
    // it holds more than its capacity and a tenth, then all but the capacity.
    int overflow(bool following);
    // The oldest `texts` shown texts of the history go; returns how many were in the window.
    int forget(int texts);
    // The window anew, holding `text` (counted from the oldest) about in its middle, or as
    // near to the middle as the history's ends allow.
    void moveAround(int text);
    void moveToEnd() { moveAround(total()); }
    // Whether a view that shows texts top to bottom has come within a tenth of the capacity of
    // an edge of the window that has more history behind it: time to move the window.
    bool nearEdge(int top, int bottom) const;
    // The text at a height of the whole history, where every text outside the window is taken
    // to be `textHeight` high and the window's own `windowHeight`; heights below 0 or past the
    // end give the oldest or the newest text.
    int textAtHeight(double y, double textHeight, double windowHeight) const;
    void clear() { textsBefore = textsInside = textsAfter = 0; }

private:
    int room() const { return cap + cap / 10; }

    int cap = 1;
    int textsBefore = 0;
    int textsInside = 0;
    int textsAfter = 0;
};

#endif // HISTORYWINDOW_H
