// Shows the datagrams lost at the socket, once there is one.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/losslabel.h"

void LossLabel::showLoss(qint64 lost)
{
    if (lost <= 0) {
        hide();
        return;
    }
    showText(tr("Datagrams lost: %1").arg(lost), QStringLiteral("uiLost"),
             tr("Datagrams that the system dropped at the viewer's socket since it started "
                "listening, because they came faster than the viewer could read them."));
}
