// Shows how many texts the pane on show hides, once it hides one.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/hiddenlabel.h"

void HiddenLabel::showHidden(int hidden)
{
    if (hidden <= 0) {
        hide();
        return;
    }
    showText(tr("%1 hidden").arg(hidden), QStringLiteral("uiHidden"),
             tr("Texts of this pane that the filter rules hide. They are kept, counted in the "
                "tab's title, and come back when the rules change."));
}
