// Lets the panes' oldest texts go, one pane at a time.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef HISTORYTRIMMER_H
#define HISTORYTRIMMER_H

#include "protocol/panes.h"

#include <QObject>

#include <array>

class LogPane;

// Removing the oldest texts from a full pane stands the window still for some tens of
// milliseconds. Panes that a flood fills evenly fill up together, and trimming all four at
// once would add those stalls up; so the window's TurnScheduler has one pane trimmed in a turn
// at most, the one furthest over its limit, until none is over.
class HistoryTrimmer : public QObject
{
    Q_OBJECT

public:
    HistoryTrimmer(const std::array<LogPane *, paneCount> &panes, QObject *parent = nullptr);

    // Whether a pane is over its limit.
    bool isDue() const;

    enum class Trimmed { NoPane, HiddenPane, ShownPane };
    // Trims the pane furthest over its limit, and says whether it was on show: trimming a
    // pane on show is a turn's work of its own.
    Trimmed trimOnePane();

private:
    std::array<LogPane *, paneCount> panes;
};

#endif // HISTORYTRIMMER_H
