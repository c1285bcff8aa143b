// The four log panes: how many, their default captions, and how much each keeps.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PANES_H
#define PANES_H

#include <QString>

constexpr int paneCount = 4;

// The texts each pane keeps unless told otherwise (the --history option).
constexpr int defaultHistoryLimit = 50000;
// And the bytes of text, two a character, each pane keeps unless told otherwise (the
// --history-size option): 64 MiB, 32 million characters. Texts of up to about 670 characters
// on average reach the limit in texts first; larger ones reach this one, where a pane takes
// about 90 MiB (1,000 plain texts of 60,000 characters took 159 MiB, 1.4 times their text),
// and four full panes some 360 MiB, where the limit in texts alone let them take GiBs.
constexpr qint64 defaultHistoryBytes = 64 * 1024 * 1024;

// The caption of a pane (0 to 3) that nobody has named. The fourth has no blank: stored files
// and users know it that way.
inline QString defaultCaption(int pane)
{
    static const char *const captions[paneCount] = {"Log 1", "Log 2", "Log 3", "Log4"};
    return QString::fromLatin1(captions[pane]);
}

#endif // PANES_H
