// The four log panes: how many, their default captions, and how much each keeps.
// SPDX-License-Identifier: MIT
#ifndef PANES_H
#define PANES_H

#include <QString>

constexpr int paneCount = 4;

// The texts each pane keeps unless told otherwise (the --history option).
constexpr int defaultHistoryLimit = 50000;
// And the bytes of text, two a character, each pane keeps unless told otherwise (the
// --history-size option): 64 MiB, 32 million characters. Texts of up to about 670 characters
// on average reach the limit in texts first; larger ones reach this one. A pane of texts of
// 60,000 characters then levels off at 140 to 190 MiB more resident memory than an idle
// viewer (the document keeps removed text until half its buffer is removed, and the allocator
// keeps what was freed for reuse), where without this limit each 1,000 such texts took
// another 235 MiB.
constexpr qint64 defaultHistoryBytes = 64 * 1024 * 1024;

// The caption of a pane (0 to 3) that nobody has named. The fourth has no blank: stored files
// and users know it that way.
inline QString defaultCaption(int pane)
{
    static const char *const captions[paneCount] = {"Log 1", "Log 2", "Log 3", "Log4"};
    return QString::fromLatin1(captions[pane]);
}

#endif // PANES_H
