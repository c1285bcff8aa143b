// A text a pane keeps, with whether it shows and how much of a document it takes when it does.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PANETEXT_H
#define PANETEXT_H

#include "panes/kepttext.h"

struct PaneText
{
    KeptText text;
    // How many positions it takes in a document when shown, without the break after it.
    int length = 0;
    bool shown = false;
};

// A pane keeps one for every text within its history limits, hundreds of thousands of them:
// the QString, the time, the sender and the rules matched, then these two padded to 8 bytes.
static_assert(sizeof(PaneText) == sizeof(QString) + 32, "a kept text takes no more than it needs");

#endif // PANETEXT_H
