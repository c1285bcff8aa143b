// Whether a log pane follows the newest texts, and where its view holds still otherwise.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PANEFOLLOWER_H
#define PANEFOLLOWER_H

#include <QObject>

class QTextCursor;
class QTextEdit;
class QWidget;

// A pane follows new texts while its view is at the end, and the user decides: scrolling up
// (the wheel, the scroll bar, Page Up and the other keys) or clicking into the text stops
// following; scrolling back to the end or Ctrl+End starts it again. What the program does to
// the document (texts arriving, the oldest going, clearing, laying the pane out when it is
// shown) keeps the state: a pane that follows stays at its end, and one that does not keeps
// the text at the top of its view in place, even when texts above it go.
//
// The state is kept here rather than read from the scroll bar: a pane on a hidden tab is not
// laid out, and its scroll bar means nothing until the pane is shown again.
class PaneFollower : public QObject
{
    Q_OBJECT

public:
    explicit PaneFollower(QTextEdit *view);

    bool isFollowing() const { return following; }
    // Whether the view is being moved by the program rather than by the user.
    bool isMovingView() const { return adjusting; }
    // Following goes to the end at once; not following holds the view where it is.
    void setFollowing(bool follow);

    // What the pane tells about its own changes to the document.
    void textsRemovedFromStart(int positions);
    void cleared();
    // The document position of the line the view holds at its top: below zero when the view
    // follows, holds the document's top, or holds nothing yet.
    int heldLine() const { return following ? documentEnd : heldPosition; }
    // The document was written anew: the line held is now at this position (below zero for
    // the document's top).
    void rewritten(int heldLine);
    // The pane wrote its document anew around what the reader reads: a view that holds still
    // now holds the line at this position (below zero for the document's top), `offset`
    // pixels below its top.
    void holdAt(int position, int offset);
    // Gives the pane's text cursor a new place without moving the view.
    void setTextCursor(const QTextCursor &cursor);
    // Puts a shown view where the state says: at the end, or at the text it holds.
    void restoreView();

signals:
    void followingChanged(bool following);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool viewIsLaidOut() const;
    void changeFollowing(bool follow);
    void scrolled();
    void rememberTopOfView();
    int heldScrollValue() const;
    void setScrollValue(int value);

    // heldPosition's two places that are no line.
    enum : int { documentTop = -1, documentEnd = -2 };

    QTextEdit *view;
    // Kept apart from the view: while the view is destroyed it still gets events, and is no
    // longer a text edit that could be asked for its viewport.
    QWidget *viewport;
    bool following = true;
    // Set while the program itself moves the view, which is no scrolling by the user.
    bool adjusting = false;
    // While the button is down, the user is selecting: reaching the end does not follow.
    bool buttonHeld = false;
    // The text at the top of the view while not following: the document position where its
    // line starts, and how far the view's top is below that line's top, in pixels.
    int heldPosition = documentTop;
    int heldOffset = 0;
};

#endif // PANEFOLLOWER_H
