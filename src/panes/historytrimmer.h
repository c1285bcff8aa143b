// Lets the panes' oldest texts go, one pane per turn of the event loop.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef HISTORYTRIMMER_H
#define HISTORYTRIMMER_H

#include "protocol/panes.h"

#include <QObject>
#include <QTimer>

#include <array>

class LogPane;

// Removing the oldest texts from a full pane stands the window still for some tens of
// milliseconds. Panes that a flood fills evenly fill up together, and trimming all four at
// once would add those stalls up; so each turn of the event loop trims one pane at most, the
// one furthest over its limit, until none is over.
class HistoryTrimmer : public QObject
{
    Q_OBJECT

public:
    HistoryTrimmer(const std::array<LogPane *, paneCount> &panes, QObject *parent = nullptr);

    // Call after texts arrived: trims on the coming turns, if a pane is over its limit.
    void schedule();

signals:
    // A pane on show is about to be trimmed, which is a turn's work of its own.
    void trimmingShownPane();

private:
    void trimOnePane();

    std::array<LogPane *, paneCount> panes;
    QTimer timer;
};

#endif // HISTORYTRIMMER_H
