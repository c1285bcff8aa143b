// When the panes start afresh by themselves: with the first texts after a quiet period.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CLEARPOLICY_H
#define CLEARPOLICY_H

#include <QObject>

class QCheckBox;
class QSpinBox;
class QTimer;

// A program that logs again after some quiet seconds has usually started anew, so with the
// "Clear timeout" option on, the panes are cleared before the first texts that come after a
// quiet period of its seconds. The period is timed after every batch, with the option on or
// off; whether the panes clear is decided when it ends, and they clear once, when the next
// batch arrives. The old texts stay readable until then.
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

    // A batch arrives: true when the panes are to be cleared before it. Its quiet period
    // begins.
    bool batchArrives();

private slots:
    void quietPeriodEnded();

private:
    void restartTimer();

    bool enabled = false;
    int periodSeconds = 0;
    QTimer *timer = nullptr;
    bool clearPending = false;
};

#endif // CLEARPOLICY_H
