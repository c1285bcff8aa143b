// Appends a batch of texts to the panes, pane by pane, within a share of a turn.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/batchappender.h"

#include <utility>

BatchAppender::BatchAppender(AppendToPane appendToPane, QObject *parent)
    : QObject(parent), appendToPane(std::move(appendToPane))
{ }

void BatchAppender::append(const Texts &texts)
{
    finish();
    pending = texts;
    nextPane = firstPaneWithTexts(0);
    if (isAppending())
        appendWithinShare();
    else
        emit batchAppended();
}

void BatchAppender::finish()
{
    while (isAppending())
        appendFrom(nextPane);
}

void BatchAppender::discard()
{
    pending = Texts();
    nextPane = paneCount;
}

void BatchAppender::discard(int pane)
{
    if (!isAppending() || pane < nextPane)
        return;
    pending[size_t(pane)].clear();
    nextPane = firstPaneWithTexts(nextPane);
    if (!isAppending())
        emit batchAppended();
}

void BatchAppender::appendWithinShare()
{
    QElapsedTimer ownClock;
    ownClock.start();
    const QElapsedTimer &clock = turnClock.isValid() ? turnClock : ownClock;
    while (isAppending()) {
        appendFrom(nextPane);
        if (isAppending() && clock.elapsed() >= shareOfTurnMs) {
            emit nextTurnWanted();
            return;
        }
    }
}

// Appends the texts of one pane, and says when that was the batch's last.
void BatchAppender::appendFrom(int pane)
{
    const QVector<KeptText> texts = std::exchange(pending[pane], QVector<KeptText>());
    nextPane = firstPaneWithTexts(pane + 1);
    appendToPane(pane, texts);
    if (!isAppending())
        emit batchAppended();
}

int BatchAppender::firstPaneWithTexts(int from) const
{
    int pane = from;
    while (pane < paneCount && pending[pane].isEmpty())
        ++pane;
    return pane;
}
