// The user's filter and highlight rules in order, the find bar's filter, and their verdicts.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RULESET_H
#define RULESET_H

#include "filters/filterrule.h"
#include "filters/rulematcher.h"

#include <QObject>
#include <QVector>

#include <array>

// What the rules say about a text in a pane.
struct FilterVerdict
{
    bool hidden = false;
    // Invalid when no highlight rule matched.
    QColor background;
    QColor foreground;
};

// Each rule holds a slot, a bit of KeptText::ruleMatches, for as long as it exists: moving a
// rule changes no slot, so reordering matches nothing again, and changing one rule matches
// again for that rule alone. Only rules that are on and usable match; matchingChanged() says
// which slots the kept texts must be matched again for.
class RuleSet : public QObject
{
    Q_OBJECT

public:
    static constexpr int slotCount = 64;
    // The last slot is the find bar's, so the filter always has one.
    static constexpr int findSlot = slotCount - 1;
    static constexpr int maxRules = slotCount - 1;

    explicit RuleSet(QObject *parent = nullptr);

    int count() const { return int(entries.size()); }
    bool isFull() const { return count() >= maxRules; }
    const FilterRule &rule(int index) const { return entries.at(index).rule; }
    QVector<FilterRule> rules() const;
    // Why the rule's pattern is not applied, or empty.
    QString errorOf(int index) const { return entries.at(index).matcher.error(); }

    // Edits by the user; each emits rulesEdited(). append() refuses when the set is full.
    bool append(const FilterRule &rule);
    void replace(int index, const FilterRule &rule);
    void remove(int index);
    void move(int from, int to);
    // The rules read at start; emits no rulesEdited(). Rules past maxRules are left out.
    void setRules(const QVector<FilterRule> &rules);

    // The find bar's filter: the pane shows only texts containing `text`. A pane of -1 or an
    // empty text switches it off. Never saved.
    void setFindFilter(int pane, const QString &text, bool caseSensitive);
    // The pane the find bar's filter is on, or -1.
    int findFilterPane() const;

    // The slots (within `ruleSlots`) of the rules that match the text in the pane.
    quint64 match(const QString &text, int pane, quint64 ruleSlots = ~quint64(0)) const;
    FilterVerdict judge(quint64 matches, int pane) const;
    // Whether any rule that is on applies to the pane.
    bool isActive(int pane) const { return panes[size_t(pane)].active; }

signals:
    // The texts of `panes` are to be matched again for `ruleSlots`, then shown anew.
    void matchingChanged(quint64 ruleSlots, int panes);
    // Only how matches are judged changed: the texts of `panes` are to be shown anew.
    void verdictsChanged(int panes);
    // The user's rules changed (not the find filter): time to save them.
    void rulesEdited();

private:
    struct Entry
    {
        FilterRule rule;
        int slot = 0;
        RuleMatcher matcher;
    };
    struct Highlight
    {
        quint64 bit;
        QColor background;
        QColor foreground;
    };
    // What match() and judge() need for one pane, worked out after every change.
    struct PaneRules
    {
        CombinedMatcher::Matchers matchers;
        CombinedMatcher combined;
        quint64 all = 0;
        quint64 hide = 0;
        quint64 show = 0;
        QVector<Highlight> highlights;
        bool active = false;
    };

    static Entry entryFor(const FilterRule &rule, int slot);
    int freeSlot() const;
    void rebuild();
    // Emits what changed between the two forms of one rule.
    void announce(const Entry &before, const Entry &after);

    QVector<Entry> entries;
    Entry findFilter;
    std::array<PaneRules, paneCount> panes;
};

#endif // RULESET_H
