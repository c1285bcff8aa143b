// Appends a batch of texts to the panes, pane by pane, within a share of a turn.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef BATCHAPPENDER_H
#define BATCHAPPENDER_H

#include "panes/kepttext.h"
#include "protocol/panes.h"

#include <QElapsedTimer>
#include <QObject>
#include <QVector>

#include <array>
#include <functional>

// Appending to a pane is usually quick, but now and then a pane's text store has to grow, and
// the first time it grows to some megabytes that costs twenty milliseconds or more. Panes that
// a flood fills evenly grow together, so one batch could stand the window still for the sum.
// Once appending a batch has taken its share of the turn, the panes still to go wait for the
// turns that follow, where the window's TurnScheduler has appendWithinShare() go on, one pane
// at least each turn; batchAppended() says when the whole batch is in.
class BatchAppender : public QObject
{
    Q_OBJECT

public:
    using Texts = std::array<QVector<KeptText>, paneCount>;
    using AppendToPane = std::function<void(int pane, const QVector<KeptText> &texts)>;

    explicit BatchAppender(AppendToPane appendToPane, QObject *parent = nullptr);

    // Starts on a batch: what a batch still going in had left is appended first.
    void append(const Texts &texts);
    // Goes on with the batch going in, within the share of a turn.
    void appendWithinShare();
    // Appends whatever the batch going in has left, now.
    void finish();
    // Forgets what the batch going in has left: the panes were cleared.
    void discard();
    // Forgets what the batch going in has left for one pane: that pane was cleared.
    void discard(int pane);
    bool isAppending() const { return nextPane < paneCount; }

    // How long appending may go on in one turn before the next pane waits for the next turn.
    void setShareOfTurnMs(int ms) { shareOfTurnMs = ms; }
    // A turn began: until it ends, the share counts from now, with what else the turn does
    // before appending, rather than from when appending starts. Outside a turn, each append
    // counts on its own.
    void turnBegins() { turnClock.start(); }
    void turnEnds() { turnClock.invalidate(); }

signals:
    // Every text of the batch is in its pane.
    void batchAppended();
    // The batch goes on in the next turn, which should be left to it.
    void nextTurnWanted();

private:
    void appendFrom(int pane);
    int firstPaneWithTexts(int from) const;

    AppendToPane appendToPane;
    Texts pending;
    int nextPane = paneCount; // the next pane with texts to go, paneCount when none
    int shareOfTurnMs = 0; // given by the window's TurnScheduler
    QElapsedTimer turnClock;
};

#endif // BATCHAPPENDER_H
