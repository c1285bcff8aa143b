// The four log panes: how many, their default captions, and how much each keeps.
// SPDX-License-Identifier: MIT
#ifndef PANES_H
#define PANES_H

#include <QString>

constexpr int paneCount = 4;

// The texts each pane keeps unless told otherwise (the --history option).
constexpr int defaultHistoryLimit = 50000;

// The caption of a pane (0 to 3) that nobody has named. The fourth has no blank: stored files
// and users know it that way.
inline QString defaultCaption(int pane)
{
    static const char *const captions[paneCount] = {"Log 1", "Log 2", "Log 3", "Log4"};
    return QString::fromLatin1(captions[pane]);
}

#endif // PANES_H
