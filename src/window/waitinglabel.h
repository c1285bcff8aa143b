// The status row's count of texts waiting for the panes while they are paused.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef WAITINGLABEL_H
#define WAITINGLABEL_H

#include "window/statuslabel.h"

// Made when the panes are first paused.
class WaitingLabel : public StatusLabel
{
    Q_OBJECT

public:
    using StatusLabel::StatusLabel;

public slots:
    // Shown while paused, and while texts still wait to go in after; hidden otherwise.
    void showWaiting(bool paused, qint64 waiting);
};

#endif // WAITINGLABEL_H
