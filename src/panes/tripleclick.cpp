// Makes a triple click in a log pane select the one text clicked, not its whole paragraph.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/tripleclick.h"

#include "panes/panefollower.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <algorithm>

TripleClick::TripleClick(QTextEdit *view, PaneFollower *paneFollower, TextAt at, QObject *parent)
    : QObject(parent), pane(view), follower(paneFollower), textAt(std::move(at))
{
    pane->viewport()->installEventFilter(this);
}

bool TripleClick::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        const auto *click = static_cast<QMouseEvent *>(event);
        if (click->button() == Qt::LeftButton) {
            sinceDoubleClick.start();
            doubleClickPoint = click->pos();
        }
    }
    if (event->type() == QEvent::MouseButtonPress
        && isTripleClick(static_cast<QMouseEvent *>(event))) {
        selectTextAt(static_cast<QMouseEvent *>(event)->pos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// As the text edit tells one: a press soon after a double click, close to where it was.
bool TripleClick::isTripleClick(const QMouseEvent *press) const
{
    const QStyleHints *hints = QGuiApplication::styleHints();
    return press->button() == Qt::LeftButton && sinceDoubleClick.isValid()
        && sinceDoubleClick.elapsed() < hints->mouseDoubleClickInterval()
        && (press->pos() - doubleClickPoint).manhattanLength() < hints->startDragDistance();
}

void TripleClick::selectTextAt(const QPoint &position)
{
    const QTextCursor clicked = pane->cursorForPosition(position);
    const std::optional<TextExtent> text = textAt(clicked.position());
    if (!text)
        return;
    const auto [textStart, textEnd] = *text;
    const QTextBlock paragraph = clicked.block();
    const int lastPosition = pane->document()->characterCount() - 1;
    QTextCursor selection(pane->document());
    selection.setPosition(qMax(textStart, paragraph.position()));
    selection.setPosition(
        std::min({textEnd, paragraph.position() + paragraph.length(), lastPosition}),
        QTextCursor::KeepAnchor);
    follower->setTextCursor(selection);
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection())
        clipboard->setText(selection.selection().toPlainText(), QClipboard::Selection);
}
