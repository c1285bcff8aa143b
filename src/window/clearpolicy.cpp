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
    timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("clearTimer"));
    connect(timer, &QTimer::timeout, this, &ClearPolicy::quietPeriodEnded);
}

void ClearPolicy::stopTiming()
{
    delete timer;
    timer = nullptr;
}

bool ClearPolicy::batchArrives()
{
    if (timer)
        restartTimer();
    // The timer needs the event loop to expire, so only the first batch after a quiet period
    // can find a clearing pending.
    const bool clear = clearPending;
    clearPending = false;
    return clear;
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
}
