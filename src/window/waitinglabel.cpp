// Shows how many texts wait for the paused panes.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/waitinglabel.h"

void WaitingLabel::showWaiting(bool paused, qint64 waiting)
{
    if (!paused && waiting <= 0) {
        hide();
        return;
    }
    showText(tr("%1 new").arg(waiting), QStringLiteral("uiWaiting"),
             tr("Texts that arrived while the panes were paused. They show when the panes are "
                "unpaused."));
}
