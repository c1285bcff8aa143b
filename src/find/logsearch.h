// Finding a pattern in a pane's shown text: pure functions from text and pattern to matches.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LOGSEARCH_H
#define LOGSEARCH_H

#include <QString>
#include <QVector>

namespace LogSearch {

// A document's raw text as the pane shows it and as a user can type it, position for position:
// paragraph, line and frame marks become "\n", no-break spaces plain ones. The same as
// QTextDocument::toPlainText() gives for the whole document.
QString shownText(QString raw);

// Where the pattern starts in the text, in order, from `from` on. Each match begins after the
// end of the one before, so "aa" is found twice in "aaaaa". An empty pattern is found nowhere.
QVector<int> findMatches(const QString &text, const QString &pattern,
                         Qt::CaseSensitivity sensitivity, int from = 0);

// The matches of the pattern, given those of the pattern searched for before in the same text
// with the same case sensitivity. Where the pattern only adds letters at the end of one that
// cannot overlap itself, it can only be where that one was, and only there is looked; else the
// whole text is searched. Either way the result is what findMatches() finds.
QVector<int> refineMatches(const QVector<int> &previousMatches, const QString &previousPattern,
                           const QString &text, const QString &pattern,
                           Qt::CaseSensitivity sensitivity);

// The matches in `text` after a change: `oldMatches` were found in the text as it was, and then
// `removed` characters at `position` gave way to the `added` characters now there. Only around
// the change is searched again, and the result is what findMatches() finds in the new text.
QVector<int> updateMatches(const QVector<int> &oldMatches, const QString &text,
                           const QString &pattern, Qt::CaseSensitivity sensitivity, int position,
                           int removed, int added);

// The index of the first match that starts at or after the position, else of the first match
// (the search wraps); -1 when there are none.
int matchAtOrAfter(const QVector<int> &matches, int position);

} // namespace LogSearch

#endif // LOGSEARCH_H
