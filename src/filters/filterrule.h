// One rule that hides, shows only or colours the texts that match its pattern.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FILTERRULE_H
#define FILTERRULE_H

#include "protocol/panes.h"

#include <QColor>
#include <QString>
#include <QVector>

struct FilterRule
{
    enum Action { Hide, Show, Highlight };

    Action action = Highlight;
    QString pattern;
    bool regex = false;
    bool caseSensitive = false;
    // Bit n for pane n (0 to 3).
    int panes = allPanes;
    bool enabled = true;
    // For Highlight: the background, and the text's colour, invalid to let the verdict pick
    // one that reads on the background.
    QColor background;
    QColor foreground;

    static constexpr int allPanes = (1 << paneCount) - 1;
    bool appliesTo(int pane) const { return (panes >> pane) & 1; }
    // Whether texts must be matched again when `other` replaces this rule.
    bool matchesLike(const FilterRule &other) const
    {
        return pattern == other.pattern && regex == other.regex
            && caseSensitive == other.caseSensitive && panes == other.panes;
    }
    bool operator==(const FilterRule &other) const
    {
        return matchesLike(other) && action == other.action && enabled == other.enabled
            && background == other.background && foreground == other.foreground;
    }
    bool operator!=(const FilterRule &other) const { return !(*this == other); }
};

// A highlight colour of the palette the dialog offers: light backgrounds that, with a dark
// text of their own, read the same under a light and a dark window palette.
struct HighlightColour
{
    QString name; // translated
    QColor background;
};
QVector<HighlightColour> highlightPalette();

// The text's colour on a highlight's background when the rule names none: black or white,
// whichever stands out more.
QColor readableOn(const QColor &background);

// "hide", "show" and "highlight", as the rules file spells them; -1 for anything else.
QString actionName(FilterRule::Action action);
int actionOfName(const QString &name);

#endif // FILTERRULE_H
