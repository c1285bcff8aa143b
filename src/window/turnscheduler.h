// Decides how the window spends its turns of the event loop on what arrives.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TURNSCHEDULER_H
#define TURNSCHEDULER_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class BatchAppender;
class HistoryTrimmer;
class PauseGate;
class UdpListener;

// Every turn of the event loop that the window spends on showing what arrives must leave it
// time to paint and to answer input. The turns come one at a time, from one zero-length timer,
// while there is work, and each does the first of these that has work:
//  1. A batch of texts partly in the panes goes on, for its share of the turn. The turn is
//     that batch's alone: a store that grows now and then takes twenty milliseconds or more.
//  2. The pane furthest over its history limit is trimmed. Trimming a pane on show stands the
//     window still for some tens of milliseconds and is the whole turn; a hidden one is cheap,
//     and messages are taken after it.
//  3. Texts that waited while the panes were paused go in, slice after slice, then messages
//     are taken (while texts wait, their texts wait behind them), chunk after chunk, until
//     none are left, the batch of a chunk or of a slice has more texts than the turn's share
//     let in, or the next chunk would take the turn past its budget if it cost what the one
//     before it did. Checking the budget only after each chunk let a chunk begun late run
//     the turn to twice its budget.
// The budget counts from the start of the turn, for taking and appending alike.
// Any of the parts may be missing (tests run one on its own).
class TurnScheduler : public QObject
{
    Q_OBJECT

public:
    TurnScheduler(UdpListener *listener, BatchAppender *appender, HistoryTrimmer *trimmer,
                  QObject *parent = nullptr);

    // The texts held while the panes are paused share the turns too.
    void setPauseGate(PauseGate *gate);

private:
    void wantTurn();
    void runTurn();
    void takeMessages(const QElapsedTimer &turn);
    bool hasWork() const;

    UdpListener *listener;
    BatchAppender *appender;
    HistoryTrimmer *trimmer;
    PauseGate *gate = nullptr;
    QTimer nextTurn;
    bool messagesWaiting = false;
    bool inTurn = false;
    bool wantedDuringTurn = false;
};

#endif // TURNSCHEDULER_H
