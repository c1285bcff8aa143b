// Spreads taking messages, appending texts and trimming panes over the window's turns.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/turnscheduler.h"

#include "ingest/udplistener.h"
#include "panes/batchappender.h"
#include "panes/historytrimmer.h"
#include "window/pausegate.h"

#include <QElapsedTimer>

namespace {

// How long one turn may go on taking messages and appending their texts, counted from its
// start, before the rest waits for the next turn. Shorter turns paint more often and cost more
// per message; longer ones let the longest stall grow. (8 ms rather than 15 took the longest
// stall of a flood from 60-76 ms to about 42 ms, at no cost in rate; an appending share of 8 ms
// took the first seconds of a flood from 78 ms to 26 ms. Once chunks no longer ran a turn past
// its budget and turns no longer ran back to back, 6 ms rather than 8 took the longest stall of
// a 10-s flood from a median of 17.8 ms to 15.9 ms, over ten runs each, at the same rate.
// Once the reading thread took less of the core it shares with the window, 3 ms rather than 6
// kept the longest stall of every one of ten floods within 15 ms, at no cost in rate: a window
// preempted once or twice in a gap of 3 ms of its own work still paints within a frame.)
const int turnBudgetMs = 3;
const qint64 turnBudgetNs = turnBudgetMs * 1000000LL;

} // namespace

TurnScheduler::TurnScheduler(UdpListener *listener, BatchAppender *appender,
                             HistoryTrimmer *trimmer, QObject *parent)
    : QObject(parent), listener(listener), appender(appender), trimmer(trimmer), nextTurn(this)
{
    nextTurn.setSingleShot(true);
    nextTurn.setInterval(0);
    connect(&nextTurn, &QTimer::timeout, this, &TurnScheduler::runTurn);
    if (listener) {
        connect(listener, &UdpListener::messagesWaiting, this, [this] {
            messagesWaiting = true;
            wantTurn();
        });
    }
    if (appender) {
        appender->setShareOfTurnMs(turnBudgetMs);
        connect(appender, &BatchAppender::nextTurnWanted, this, &TurnScheduler::wantTurn);
        // Texts that went in may have taken a pane over its limit.
        connect(appender, &BatchAppender::batchAppended, this, [this] {
            if (this->trimmer && this->trimmer->isDue())
                wantTurn();
        });
    }
}

void TurnScheduler::setPauseGate(PauseGate *pauseGate)
{
    gate = pauseGate;
    connect(gate, &PauseGate::backlogWaiting, this, &TurnScheduler::wantTurn);
}

void TurnScheduler::wantTurn()
{
    // Asked for during a turn, the next one is started when this one ends: a zero-length timer
    // started early in a turn comes due before the window's other timers, and two turns then
    // ran back to back with none of them in between.
    if (inTurn)
        wantedDuringTurn = true;
    else if (!nextTurn.isActive())
        nextTurn.start();
}

void TurnScheduler::runTurn()
{
    QElapsedTimer turn;
    turn.start();
    inTurn = true;
    wantedDuringTurn = false;
    if (appender)
        appender->turnBegins();
    if (appender && appender->isAppending()) {
        appender->appendWithinShare();
    } else if (!trimmer || trimmer->trimOnePane() != HistoryTrimmer::Trimmed::ShownPane) {
        if (gate)
            gate->letBacklogIn(turnBudgetMs);
        takeMessages(turn);
    }
    inTurn = false;
    if (appender)
        appender->turnEnds();
    if (wantedDuringTurn || hasWork())
        wantTurn();
}

void TurnScheduler::takeMessages(const QElapsedTimer &turn)
{
    qint64 lastChunkNs = 0;
    while (listener && messagesWaiting) {
        // A chunk that would take the turn past its budget, going by what the chunk before it
        // took, waits for the next turn.
        const qint64 chunkStarts = turn.nsecsElapsed();
        if (chunkStarts + lastChunkNs >= turnBudgetNs)
            return;
        if (!listener->deliverChunk()) {
            messagesWaiting = false;
            return;
        }
        if (appender && appender->isAppending())
            return;
        lastChunkNs = turn.nsecsElapsed() - chunkStarts;
    }
}

bool TurnScheduler::hasWork() const
{
    return (listener && messagesWaiting) || (appender && appender->isAppending())
        || (trimmer && trimmer->isDue()) || (gate && gate->hasBacklog());
}
