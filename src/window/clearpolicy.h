// When the panes start afresh by themselves: with the first texts after a quiet period.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CLEARPOLICY_H
#define CLEARPOLICY_H

#include "ingest/logmessage.h"

#include <QObject>
#include <QVector>

class QCheckBox;
class QSpinBox;
class QTimer;

// A program that logs again after some quiet seconds has usually started anew, so with the
// "Clear timeout" option on, the panes are cleared before the first texts that come after a
// quiet period of its seconds. Quiet means that no datagram arrived: the period is measured
// between the times the system received two datagrams, not when the window took them, so a
// window that was busy or stopped for longer does not clear texts that came close together.
// A timer also times the period after every batch, with the option on or off, for when
// nothing more arrives: whether the panes clear is decided when it ends, and they clear once,
// before the first message that arrived after that. The old texts stay readable until then.
class ClearPolicy : public QObject
{
    Q_OBJECT

public:
    explicit ClearPolicy(QObject *parent = nullptr);

    // The option and its seconds, as the settings file keeps them.
    bool isEnabled() const { return enabled; }
    int seconds() const { return periodSeconds; }
    void setEnabled(bool on) { enabled = on; }
    void setSeconds(int seconds) { periodSeconds = seconds; }

    // Shows the option and its seconds in the two boxes, and follows both boxes as soon as
    // either changes: until then, seconds beyond the box's range are kept.
    void followBoxes(QCheckBox *enabledBox, QSpinBox *secondsBox);

    // Quiet periods are timed while the socket listens, and not while it does not.
    void startTiming();
    void stopTiming();

    // A batch arrives, its messages in the order they arrived: the index of the last of them
    // before which the panes are to be cleared (the texts before it would go with them), or
    // -1. The timer's quiet period begins.
    int batchArrives(const QVector<LogMessage> &batch);

    // Whether a message that arrived at `arrivalTime` comes after a quiet period of `seconds`
    // that began when the one before it arrived, at `previousArrivalTime` (nanoseconds since
    // the epoch; 0 is not known). A period of no length measures nothing: the timer alone
    // ends it, as soon as the window is idle.
    static bool endsQuietPeriod(qint64 previousArrivalTime, qint64 arrivalTime, int seconds);

private slots:
    void quietPeriodEnded();

private:
    void restartTimer();
    bool messageArrives(qint64 arrivalTime);

    bool enabled = false;
    int periodSeconds = 0;
    QTimer *timer = nullptr;
    bool clearPending = false;
    qint64 timerExpiredAt = 0; // when it last ended a quiet period, as arrival times count
    qint64 lastArrivalTime = 0; // of the last message taken since the socket was bound
};

#endif // CLEARPOLICY_H
