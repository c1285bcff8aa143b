// The status row's count of datagrams lost at the socket.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LOSSLABEL_H
#define LOSSLABEL_H

#include "window/statuslabel.h"

// Made when there first is a loss.
class LossLabel : public StatusLabel
{
    Q_OBJECT

public:
    using StatusLabel::StatusLabel;

public slots:
    // Datagrams lost since the socket was bound; none hides the label.
    void showLoss(qint64 lost);
};

#endif // LOSSLABEL_H
