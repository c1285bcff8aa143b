// Clears the panes before the first batch after a quiet period, when the option is on.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/clearpolicy.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QTimer>

#include <limits>

ClearPolicy::ClearPolicy(QObject *parent) : QObject(parent) { }

void ClearPolicy::followBoxes(QCheckBox *enabledBox, QSpinBox *secondsBox)
{
    enabledBox->setChecked(enabled);
    secondsBox->setValue(periodSeconds);
    auto follow = [this, enabledBox, secondsBox] {
        enabled = enabledBox->checkState() == Qt::Checked;
        periodSeconds = secondsBox->value();
    };
    connect(enabledBox, &QCheckBox::toggled, this, follow);
    connect(secondsBox, QOverload<int>::of(&QSpinBox::valueChanged), this, follow);
}

void ClearPolicy::startTiming()
{
    stopTiming();
    // Nothing arrived at the new socket yet.
    lastArrivalTime = 0;
    timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("clearTimer"));
    connect(timer, &QTimer::timeout, this, &ClearPolicy::quietPeriodEnded);
}

void ClearPolicy::stopTiming()
{
    delete timer;
    timer = nullptr;
}

int ClearPolicy::batchArrives(const QVector<LogMessage> &batch)
{
    if (timer)
        restartTimer();
    int lastClearing = -1;
    for (int i = 0; i < batch.size(); ++i) {
        if (messageArrives(batch.at(i).arrivalTime))
            lastClearing = i;
    }
    return lastClearing;
}

bool ClearPolicy::messageArrives(qint64 arrivalTime)
{
    bool clear = false;
    // The timer needs the event loop to expire, so only the first message after it expired
    // can find a clearing pending. One that arrived before that was waiting for a window that
    // was busy or stopped: the period the timer measured was not quiet.
    if (clearPending) {
        clear = arrivalTime == 0 || arrivalTime >= timerExpiredAt;
        clearPending = false;
    }
    if (!clear && enabled)
        clear = endsQuietPeriod(lastArrivalTime, arrivalTime, periodSeconds);
    if (arrivalTime != 0)
        lastArrivalTime = arrivalTime;
    return clear;
}

bool ClearPolicy::endsQuietPeriod(qint64 previousArrivalTime, qint64 arrivalTime, int seconds)
{
    if (previousArrivalTime == 0 || arrivalTime == 0 || seconds <= 0)
        return false;
    // Seconds of an int fit in nanoseconds of 64 bits; a clock set back counts as no gap.
    return arrivalTime - previousArrivalTime > qint64(seconds) * 1000000000;
}

void ClearPolicy::restartTimer()
{
    // The product may not fit the timer's int; negative periods act as zero. A zero period
    // means "once the event loop is idle", and a single shot keeps it from spinning a core
    // while nothing arrives.
    const qint64 interval =
        qBound(qint64(0), qint64(periodSeconds) * 1000, qint64(std::numeric_limits<int>::max()));
    timer->setSingleShot(interval == 0);
    timer->start(int(interval));
}

void ClearPolicy::quietPeriodEnded()
{
    clearPending = enabled;
    timerExpiredAt = ArrivalTime::now();
}
