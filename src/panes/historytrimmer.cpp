// Trims the full pane furthest over its limit.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/historytrimmer.h"

#include "panes/logpane.h"

#include <QTextEdit>

HistoryTrimmer::HistoryTrimmer(const std::array<LogPane *, paneCount> &panes, QObject *parent)
    : QObject(parent), panes(panes)
{ }

bool HistoryTrimmer::isDue() const
{
    for (const LogPane *pane : panes) {
        if (pane->textsOverLimit() > 0)
            return true;
    }
    return false;
}

HistoryTrimmer::Trimmed HistoryTrimmer::trimOnePane()
{
    LogPane *fullest = nullptr;
    for (LogPane *pane : panes) {
        if (pane->textsOverLimit() > (fullest ? fullest->textsOverLimit() : 0))
            fullest = pane;
    }
    if (!fullest)
        return Trimmed::NoPane;
    const bool shown = fullest->view()->isVisible();
    fullest->trimHistory();
    return shown ? Trimmed::ShownPane : Trimmed::HiddenPane;
}
