// Keeps a search of the pane on show up to date, and shows it.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "find/logfinder.h"

#include "find/logsearch.h"
#include "panes/logpane.h"
#include "panes/paragraphat.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace {

// More highlights than a screen can hold only cost time.
const int maxHighlights = 4000;

QTextCharFormat highlightFormat(const QColor &background)
{
    QTextCharFormat format;
    format.setBackground(background);
    format.setForeground(Qt::black);
    return format;
}

} // namespace

LogFinder::LogFinder(QObject *parent) : QObject(parent)
{
    // Scrolling and arriving texts ask for new highlights many times a turn; once is enough.
    highlightTimer.setSingleShot(true);
    highlightTimer.setInterval(0);
    connect(&highlightTimer, &QTimer::timeout, this, &LogFinder::showHighlights);
}

void LogFinder::setView(QTextEdit *newView)
{
    for (const QMetaObject::Connection &connection : qAsConst(connections))
        disconnect(connection);
    connections.clear();
    if (view)
        view->setExtraSelections({});
    view = newView;
    pane = view ? view->findChild<LogPane *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!pane)
        view = nullptr;
    textRead = false;
    if (view) {
        connections.append(connect(pane, &LogPane::historyChanged, this, &LogFinder::takeChange));
        connections.append(connect(pane, &LogPane::historyRewritten, this, [this] {
            if (textRead)
                readAgain();
        }));
        for (QScrollBar *bar : {view->verticalScrollBar(), view->horizontalScrollBar()}) {
            connections.append(connect(bar, &QScrollBar::valueChanged, &highlightTimer,
                                       QOverload<>::of(&QTimer::start)));
            connections.append(connect(bar, &QScrollBar::rangeChanged, &highlightTimer,
                                       QOverload<>::of(&QTimer::start)));
        }
    }
    readAndSearch();
    goTo(LogSearch::matchAtOrAfter(matches, topOfView()));
}

void LogFinder::setPattern(const QString &newPattern, Qt::CaseSensitivity newSensitivity)
{
    const QString previous = pattern;
    const bool sameCase = newSensitivity == sensitivity;
    pattern = newPattern;
    sensitivity = newSensitivity;
    // A letter typed at the end is looked for only where the pattern was found before.
    if (textRead && sameCase && !previous.isEmpty() && !pattern.isEmpty())
        matches = LogSearch::refineMatches(matches, previous, text, pattern, sensitivity);
    else
        readAndSearch();
    goTo(LogSearch::matchAtOrAfter(matches, topOfView()));
}

void LogFinder::findNext()
{
    if (matches.isEmpty())
        return;
    goTo(current < 0 ? LogSearch::matchAtOrAfter(matches, topOfView())
                     : (current + 1) % matches.size());
}

void LogFinder::findPrevious()
{
    if (matches.isEmpty())
        return;
    goTo(current <= 0 ? matches.size() - 1 : current - 1);
}

void LogFinder::readAndSearch()
{
    if (!view || pattern.isEmpty()) {
        text.clear();
        textRead = false;
        matches.clear();
        return;
    }
    if (!textRead) {
        text = pane->historyText(0, pane->historyLength());
        textRead = true;
    }
    matches = LogSearch::findMatches(text, pattern, sensitivity);
}

void LogFinder::takeChange(int position, int removed, int added)
{
    if (!textRead)
        return;
    const int length = pane->historyLength();
    const int oldEnd = qMin(position + removed, text.size());
    const int newEnd = qMin(position + added, length);
    if (position > oldEnd || position > newEnd
        || text.size() - (oldEnd - position) + (newEnd - position) != length) {
        checkWholeText();
        return;
    }
    const int currentStart = current >= 0 ? matches.at(current) : -1;
    text.replace(position, oldEnd - position, pane->historyText(position, newEnd));
    matches = LogSearch::updateMatches(matches, text, pattern, sensitivity, position,
                                       oldEnd - position, newEnd - position);

    // The current match stays on its text while that text is there: in front of the change
    // its index is the same, behind it the index of its new position.
    if (currentStart >= 0 && currentStart + pattern.size() <= position) {
        // unchanged
    } else if (currentStart >= oldEnd) {
        const int moved = currentStart + (newEnd - position) - (oldEnd - position);
        current = int(std::lower_bound(matches.cbegin(), matches.cend(), moved) - matches.cbegin());
    } else {
        current = LogSearch::matchAtOrAfter(matches, position);
    }
    emit resultChanged(current, matches.size());
    highlightTimer.start();
}

void LogFinder::checkWholeText()
{
    if (textRead && text.size() != pane->historyLength())
        readAgain();
}

void LogFinder::readAgain()
{
    // A change that reported no range, such as a cleared pane: read it all again, and stay
    // where the view is.
    textRead = false;
    readAndSearch();
    current = LogSearch::matchAtOrAfter(matches, topOfView());
    emit resultChanged(current, matches.size());
    highlightTimer.start();
}

void LogFinder::goTo(int index)
{
    current = index;
    if (view) {
        QTextCursor cursor = view->textCursor();
        if (index >= 0) {
            pane->selectInHistory(matches.at(index), matches.at(index) + pattern.size());
        } else if (!pattern.isEmpty() && cursor.hasSelection()) {
            // A match of what was typed before would look like one of what is typed now.
            cursor.clearSelection();
            view->setTextCursor(cursor);
        }
    }
    showHighlights();
    emit resultChanged(current, matches.size());
}

int LogFinder::topOfView() const
{
    return view ? pane->historyPositionAtTop() : 0;
}

void LogFinder::showHighlights()
{
    highlightTimer.stop();
    if (!view)
        return;
    QList<QTextEdit::ExtraSelection> selections;
    if (!matches.isEmpty()) {
        const QRect area = view->viewport()->rect();
        // In the document's positions: the matches are the whole history's.
        const int windowStart = pane->windowStart();
        const int top = lineStartAtHeight(view->document(), view->verticalScrollBar()->value());
        const QTextBlock lastShown =
            paragraphAtHeight(view->document(), view->verticalScrollBar()->value() + area.height());
        const int bottom = lastShown.position() + lastShown.length() - 1;
        // A view's worth on either side, so that a short scroll finds them in place.
        const int reach = bottom - top;
        const int end = view->document()->characterCount() - 1;
        const auto first =
            std::lower_bound(matches.cbegin(), matches.cend(),
                             windowStart + qMax(0, top - reach - int(pattern.size()) + 1));
        const auto last =
            std::upper_bound(first, matches.cend(), windowStart + qMin(end, bottom + reach));
        static const QTextCharFormat matchFormat = highlightFormat(QColor(255, 235, 90));
        static const QTextCharFormat currentFormat = highlightFormat(QColor(255, 150, 50));
        QTextCursor cursor(view->document());
        for (auto it = first; it != last && selections.size() < maxHighlights; ++it) {
            cursor.setPosition(*it - windowStart);
            cursor.setPosition(qMin(end, *it - windowStart + int(pattern.size())),
                               QTextCursor::KeepAnchor);
            const bool isCurrent = int(it - matches.cbegin()) == current;
            selections.append({cursor, isCurrent ? currentFormat : matchFormat});
        }
    }
    view->setExtraSelections(selections);
}
