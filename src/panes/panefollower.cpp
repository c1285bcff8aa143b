// Keeps a log pane's view at its end, or still, as its follow state says.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/panefollower.h"

#include "panes/paragraphat.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// Sets a flag for as long as it lives, and gives the flag back its old value.
class FlagSetter
{
public:
    explicit FlagSetter(bool &flag) : flag(flag), old(flag) { flag = true; }
    ~FlagSetter() { flag = old; }
    FlagSetter(const FlagSetter &) = delete;
    FlagSetter &operator=(const FlagSetter &) = delete;

private:
    bool &flag;
    const bool old;
};

} // namespace

PaneFollower::PaneFollower(QTextEdit *view) : QObject(view), view(view), viewport(view->viewport())
{
    QScrollBar *scrollBar = view->verticalScrollBar();
    connect(scrollBar, &QScrollBar::valueChanged, this, &PaneFollower::scrolled);
    // The range changes when texts come or go, when the pane is laid out anew (shown, resized,
    // zoomed) and step by step while a long document is laid out: each time, the view goes
    // back where the state says. This runs before the scroll bar clamps its value to the new
    // range, so that clamping is never taken for the user's scrolling.
    connect(scrollBar, &QScrollBar::rangeChanged, this, &PaneFollower::restoreView);
    view->installEventFilter(this);
    viewport->installEventFilter(this);
}

// Shown and laid out: only then does the scroll bar say where the view is. A pane just shown
// is laid out on the next turn of the event loop.
bool PaneFollower::viewIsLaidOut() const
{
    return view->isVisible() && !view->document()->pageSize().isNull();
}

void PaneFollower::setFollowing(bool follow)
{
    changeFollowing(follow);
    if (follow)
        restoreView();
}

void PaneFollower::changeFollowing(bool follow)
{
    if (follow == following)
        return;
    following = follow;
    if (!following) {
        if (viewIsLaidOut())
            rememberTopOfView();
        else
            heldPosition = documentEnd; // where a hidden pane that followed will be shown
    }
    emit followingChanged(following);
}

void PaneFollower::textsRemovedFromStart(int positions)
{
    if (heldPosition < 0)
        return;
    heldPosition -= positions;
    // The text being read went with them: the view stays at the top, the oldest text kept.
    if (heldPosition < 0) {
        heldPosition = documentTop;
        heldOffset = 0;
    }
    restoreView();
}

void PaneFollower::rewritten(int line)
{
    if (following)
        return restoreView();
    if (line < 0) {
        heldPosition = line == documentEnd ? documentEnd : documentTop;
        heldOffset = 0;
    } else {
        heldPosition = line;
    }
    restoreView();
}

void PaneFollower::holdAt(int position, int offset)
{
    if (!following) {
        heldPosition = position < 0 ? documentTop : position;
        heldOffset = position < 0 ? 0 : offset;
    }
    restoreView();
}

void PaneFollower::cleared()
{
    heldPosition = documentTop;
    heldOffset = 0;
    restoreView();
}

void PaneFollower::setTextCursor(const QTextCursor &cursor)
{
    {
        // The text edit makes the cursor visible, which would scroll.
        FlagSetter moving(adjusting);
        view->setTextCursor(cursor);
    }
    restoreView();
}

void PaneFollower::restoreView()
{
    if (!viewIsLaidOut())
        return;
    if (following) {
        setScrollValue(view->verticalScrollBar()->maximum());
        return;
    }
    setScrollValue(heldScrollValue());
    // A pane that stopped following while hidden holds the text that was shown at its end.
    if (heldPosition == documentEnd)
        rememberTopOfView();
}

void PaneFollower::setScrollValue(int value)
{
    FlagSetter moving(adjusting);
    QScrollBar *scrollBar = view->verticalScrollBar();
    scrollBar->setValue(qBound(scrollBar->minimum(), value, scrollBar->maximum()));
}

int PaneFollower::heldScrollValue() const
{
    if (heldPosition == documentTop)
        return 0;
    if (heldPosition == documentEnd)
        return view->verticalScrollBar()->maximum();
    if (!view->document()->findBlock(heldPosition).isValid())
        return 0;
    return qRound(lineTop(view->document(), heldPosition)) + heldOffset;
}

void PaneFollower::rememberTopOfView()
{
    const int value = view->verticalScrollBar()->value();
    QTextDocument *document = view->document();
    if (value == 0 || document->isEmpty()) {
        heldPosition = documentTop;
        heldOffset = 0;
        return;
    }
    // The line, not its paragraph: a paragraph can hold several texts.
    heldPosition = lineStartAtHeight(document, value);
    heldOffset = value - qRound(lineTop(document, heldPosition));
}

// Any move of a shown view that the program did not make is the user's scrolling.
void PaneFollower::scrolled()
{
    if (adjusting || !viewIsLaidOut())
        return;
    const QScrollBar *scrollBar = view->verticalScrollBar();
    if (scrollBar->value() >= scrollBar->maximum() && !buttonHeld) {
        changeFollowing(true);
        return;
    }
    if (following)
        changeFollowing(false); // which notes the top of the view
    else
        rememberTopOfView();
}

bool PaneFollower::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::MoveToEndOfDocument)) {
        // What the key does anyway, and then follow: the text edit alone would stop a few
        // pixels short of the end, where the last line's bottom shows.
        QTextCursor cursor = view->textCursor();
        cursor.movePosition(QTextCursor::End);
        setTextCursor(cursor);
        setFollowing(true);
        return true;
    }
    if (watched != viewport)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            buttonHeld = true;
            changeFollowing(false);
        }
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            buttonHeld = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
