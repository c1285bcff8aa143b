// Holds the texts that arrive while the panes are paused, and lets them in when unpaused.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PAUSEGATE_H
#define PAUSEGATE_H

#include "panes/batchappender.h"
#include "protocol/panes.h"

#include <QObject>

#include <array>
#include <deque>

class LogPane;

// Every batch bound for the panes passes here on its way to the BatchAppender. While paused,
// the texts wait, pane by pane, each pane keeping no more than its own history limits allow
// (in texts and in bytes): past them the oldest waiting text goes, as it would have gone from
// the pane. Unpaused, the waiting texts go to the appender in slices, oldest first, in the turns
// of the event loop that TurnScheduler gives them, and batches that arrive meanwhile wait behind
// them, so a long backlog never stands the window still and the order stays as sent.
class PauseGate : public QObject
{
    Q_OBJECT

public:
    PauseGate(BatchAppender *appender, const std::array<LogPane *, paneCount> &panes,
              QObject *parent = nullptr);

    // A batch arrives: to the appender now, or to wait its turn.
    void hand(const BatchAppender::Texts &texts);

    bool isPaused() const { return paused; }
    void setPaused(bool pause);
    // Texts waiting to go into the panes.
    qint64 waiting() const;
    // Whether texts wait to go in now that the panes are not paused.
    bool hasBacklog() const { return !paused && waiting() > 0; }
    // Lets slices of the waiting texts in for up to this long, and while the appender has all
    // of the last slice in.
    void letBacklogIn(qint64 budgetMs);
    // Forgets the texts waiting, for every pane or for one: the panes were cleared.
    void discard();
    void discard(int pane);

signals:
    // The pause was switched, or the texts waiting changed.
    void stateChanged(bool paused, qint64 waiting);
    // Texts wait to go in: a turn for them is wanted.
    void backlogWaiting();

private:
    struct Waiting
    {
        std::deque<KeptText> texts;
        qint64 bytes = 0;
    };

    void hold(int pane, const QVector<KeptText> &texts);
    static void takeSlice(Waiting &waiting, QVector<KeptText> &slice);
    void letInLater();

    BatchAppender *appender;
    std::array<LogPane *, paneCount> panes;
    std::array<Waiting, paneCount> held;
    bool paused = false;
};

#endif // PAUSEGATE_H
