// The status row's count of texts that the rules hide in the pane on show.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef HIDDENLABEL_H
#define HIDDENLABEL_H

#include "window/statuslabel.h"

// Made when a pane on show first hides a text.
class HiddenLabel : public StatusLabel
{
    Q_OBJECT

public:
    using StatusLabel::StatusLabel;

public slots:
    // Texts the pane on show keeps but does not show; none hides the label.
    void showHidden(int hidden);
};

#endif // HIDDENLABEL_H
