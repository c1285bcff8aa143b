// Trims one full pane per turn of the event loop.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/historytrimmer.h"

#include "panes/logpane.h"

#include <QTextEdit>

HistoryTrimmer::HistoryTrimmer(const std::array<LogPane *, paneCount> &panes, QObject *parent)
    : QObject(parent), panes(panes)
{
    timer.setSingleShot(true);
    timer.setInterval(0);
    connect(&timer, &QTimer::timeout, this, &HistoryTrimmer::trimOnePane);
}

void HistoryTrimmer::schedule()
{
    for (const LogPane *pane : panes) {
        if (pane->textsOverLimit() > 0) {
            timer.start();
            return;
        }
    }
}

void HistoryTrimmer::trimOnePane()
{
    LogPane *fullest = nullptr;
    for (LogPane *pane : panes) {
        if (pane->textsOverLimit() > (fullest ? fullest->textsOverLimit() : 0))
            fullest = pane;
    }
    if (!fullest)
        return;
    if (fullest->view()->isVisible())
        emit trimmingShownPane();
    fullest->trimHistory();
    schedule();
}
