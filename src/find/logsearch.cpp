// Finding a pattern in a pane's shown text, and keeping the matches up to date as it changes.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "find/logsearch.h"

#include <algorithm>

namespace LogSearch {

QString shownText(QString raw)
{
    for (QChar &c : raw) {
        switch (c.unicode()) {
        case 0x2029: // paragraph separator, between two blocks
        case 0x2028: // line separator, a <br> inside a block
        case 0xfdd0: // the start of a frame (a table, a cell)
        case 0xfdd1: // the end of a frame
            c = QLatin1Char('\n');
            break;
        case 0x00a0:
            c = QLatin1Char(' ');
            break;
        default:
            break;
        }
    }
    return raw;
}

QVector<int> findMatches(const QString &text, const QString &pattern,
                         Qt::CaseSensitivity sensitivity, int from)
{
    QVector<int> matches;
    if (pattern.isEmpty())
        return matches;
    for (int found = text.indexOf(pattern, qMax(0, from), sensitivity); found >= 0;
         found = text.indexOf(pattern, found + pattern.size(), sensitivity))
        matches.append(found);
    return matches;
}

namespace {

// Whether two matches of the pattern can overlap: some start of it is also an end of it.
bool overlapsItself(const QString &pattern, Qt::CaseSensitivity sensitivity)
{
    const QStringView view(pattern);
    for (int length = 1; length < pattern.size(); ++length) {
        if (view.left(length).compare(view.right(length), sensitivity) == 0)
            return true;
    }
    return false;
}

} // namespace

QVector<int> refineMatches(const QVector<int> &previousMatches, const QString &previousPattern,
                           const QString &text, const QString &pattern,
                           Qt::CaseSensitivity sensitivity)
{
    // Matches of a pattern that cannot overlap itself are all the places where it is, and a
    // longer pattern that starts with it is only at some of them.
    if (previousPattern.isEmpty() || pattern.size() <= previousPattern.size()
        || !pattern.startsWith(previousPattern, sensitivity)
        || overlapsItself(previousPattern, sensitivity))
        return findMatches(text, pattern, sensitivity);
    QVector<int> matches;
    const QStringView textView(text);
    int end = 0; // where the last match kept ends: the next must not start before
    for (const int start : previousMatches) {
        if (start >= end
            && textView.mid(start, pattern.size()).compare(pattern, sensitivity) == 0) {
            matches.append(start);
            end = start + pattern.size();
        }
    }
    return matches;
}

QVector<int> updateMatches(const QVector<int> &oldMatches, const QString &text,
                           const QString &pattern, Qt::CaseSensitivity sensitivity, int position,
                           int removed, int added)
{
    const int length = pattern.size();
    if (length == 0)
        return {};
    // A match that ends before the change stands, and so does where a search from the start
    // stood after it: in front of the change nothing can differ.
    const auto firstAffected =
        std::lower_bound(oldMatches.cbegin(), oldMatches.cend(), position - length + 1);
    QVector<int> matches(oldMatches.cbegin(), firstAffected);
    // The matches that start behind the removed characters, still in the old text's positions.
    const auto firstBehind = std::lower_bound(firstAffected, oldMatches.cend(), position + removed);
    const int shift = added - removed;
    const int changeEnd = position + added;

    int from = qMax(0, position - length + 1);
    if (!matches.isEmpty())
        from = qMax(from, matches.last() + length);
    for (int found = text.indexOf(pattern, from, sensitivity); found >= 0;
         found = text.indexOf(pattern, found + length, sensitivity)) {
        if (found >= changeEnd) {
            // Once the search meets a match it found before, the rest is as before, shifted.
            const auto same = std::lower_bound(firstBehind, oldMatches.cend(), found - shift);
            if (same != oldMatches.cend() && *same == found - shift) {
                matches.reserve(matches.size() + int(oldMatches.cend() - same));
                for (auto it = same; it != oldMatches.cend(); ++it)
                    matches.append(*it + shift);
                return matches;
            }
        }
        matches.append(found);
    }
    return matches;
}

int matchAtOrAfter(const QVector<int> &matches, int position)
{
    if (matches.isEmpty())
        return -1;
    const auto at = std::lower_bound(matches.cbegin(), matches.cend(), position);
    return at == matches.cend() ? 0 : int(at - matches.cbegin());
}

} // namespace LogSearch
