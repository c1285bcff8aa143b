// Keeps the rules' slots, matches texts once and judges what matched.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filters/ruleset.h"

namespace {

quint64 bitOf(int slot)
{
    return quint64(1) << slot;
}

bool applies(const FilterRule &rule, const RuleMatcher &matcher, int pane)
{
    return rule.enabled && matcher.isUsable() && rule.appliesTo(pane);
}

} // namespace

RuleSet::RuleSet(QObject *parent) : QObject(parent)
{
    findFilter.slot = findSlot;
    findFilter.rule.action = FilterRule::Show;
    findFilter.rule.panes = 0;
}

QVector<FilterRule> RuleSet::rules() const
{
    QVector<FilterRule> result;
    result.reserve(entries.size());
    for (const Entry &entry : entries)
        result.append(entry.rule);
    return result;
}

RuleSet::Entry RuleSet::entryFor(const FilterRule &rule, int slot)
{
    Entry entry;
    entry.rule = rule;
    entry.slot = slot;
    entry.matcher = RuleMatcher(rule.pattern, rule.regex, rule.caseSensitive);
    return entry;
}

int RuleSet::freeSlot() const
{
    quint64 used = 0;
    for (const Entry &entry : entries)
        used |= bitOf(entry.slot);
    for (int slot = 0; slot < maxRules; ++slot) {
        if (!(used & bitOf(slot)))
            return slot;
    }
    return -1;
}

bool RuleSet::append(const FilterRule &rule)
{
    const int slot = freeSlot();
    if (slot < 0)
        return false;
    entries.append(entryFor(rule, slot));
    rebuild();
    Entry none;
    none.slot = slot;
    none.rule.enabled = false;
    announce(none, entries.constLast());
    emit rulesEdited();
    return true;
}

void RuleSet::replace(int index, const FilterRule &rule)
{
    if (entries.at(index).rule == rule)
        return;
    const Entry before = entries.at(index);
    entries[index] = entryFor(rule, before.slot);
    rebuild();
    announce(before, entries.at(index));
    emit rulesEdited();
}

void RuleSet::remove(int index)
{
    const Entry gone = entries.takeAt(index);
    rebuild();
    // Its bit stays in the kept texts until a new rule takes the slot and matches them again;
    // no pane judges by it meanwhile.
    if (gone.rule.enabled)
        emit verdictsChanged(gone.rule.panes);
    emit rulesEdited();
}

void RuleSet::move(int from, int to)
{
    if (from == to)
        return;
    entries.move(from, to);
    rebuild();
    // Only the first highlight that matches depends on the order.
    int concerned = 0;
    for (const Entry &entry : entries) {
        if (entry.rule.enabled && entry.rule.action == FilterRule::Highlight)
            concerned |= entry.rule.panes;
    }
    if (concerned)
        emit verdictsChanged(concerned);
    emit rulesEdited();
}

void RuleSet::setRules(const QVector<FilterRule> &rules)
{
    entries.clear();
    for (int i = 0; i < rules.size() && i < maxRules; ++i)
        entries.append(entryFor(rules.at(i), i));
    rebuild();
    emit matchingChanged(~quint64(0), FilterRule::allPanes);
}

void RuleSet::setFindFilter(int pane, const QString &text, bool caseSensitive)
{
    FilterRule rule = findFilter.rule;
    rule.pattern = pane < 0 ? QString() : text;
    rule.caseSensitive = caseSensitive;
    rule.panes = pane < 0 || text.isEmpty() ? 0 : 1 << pane;
    if (rule == findFilter.rule)
        return;
    const Entry before = findFilter;
    findFilter = entryFor(rule, findSlot);
    rebuild();
    announce(before, findFilter);
}

int RuleSet::findFilterPane() const
{
    for (int pane = 0; pane < paneCount; ++pane) {
        if (findFilter.rule.appliesTo(pane))
            return pane;
    }
    return -1;
}

void RuleSet::announce(const Entry &before, const Entry &after)
{
    const int panesBefore =
        before.rule.enabled && before.matcher.isUsable() ? before.rule.panes : 0;
    const int panesAfter = after.rule.enabled && after.matcher.isUsable() ? after.rule.panes : 0;
    if (!panesBefore && !panesAfter)
        return;
    // A rule that now matches where it did not, or matches otherwise, needs its bit again in
    // the panes it applies to; anything else only changes the verdicts.
    const bool rematch =
        panesAfter && (!before.rule.matchesLike(after.rule) || (panesAfter & ~panesBefore));
    if (rematch)
        emit matchingChanged(bitOf(after.slot), panesAfter | panesBefore);
    else
        emit verdictsChanged(panesAfter | panesBefore);
}

void RuleSet::rebuild()
{
    for (int pane = 0; pane < paneCount; ++pane) {
        PaneRules next;
        auto add = [&](const Entry &entry) {
            if (!applies(entry.rule, entry.matcher, pane))
                return;
            const quint64 bit = bitOf(entry.slot);
            next.matchers.append(qMakePair(bit, entry.matcher));
            next.all |= bit;
            next.active = true;
            switch (entry.rule.action) {
            case FilterRule::Hide:
                next.hide |= bit;
                break;
            case FilterRule::Show:
                next.show |= bit;
                break;
            case FilterRule::Highlight: {
                const QColor background = entry.rule.background.isValid()
                    ? entry.rule.background
                    : highlightPalette().constFirst().background;
                next.highlights.append({bit, background,
                                        entry.rule.foreground.isValid() ? entry.rule.foreground
                                                                        : readableOn(background)});
                break;
            }
            }
        };
        for (const Entry &entry : entries)
            add(entry);
        add(findFilter);
        next.combined = CombinedMatcher(next.matchers);
        panes[size_t(pane)] = next;
    }
}

quint64 RuleSet::match(const QString &text, int pane, quint64 ruleSlots) const
{
    const PaneRules &rules = panes[size_t(pane)];
    if (rules.matchers.isEmpty())
        return 0;
    const QString shown = shownPlainText(text);
    const QByteArray utf8 = shown.toUtf8();
    // All of them in one pass; a few (a rule that changed), one at a time.
    if ((rules.all & ruleSlots) == rules.all)
        return rules.combined.match(shown, utf8);
    quint64 matches = 0;
    for (const auto &matcher : rules.matchers) {
        if ((ruleSlots & matcher.first) && matcher.second.matches(shown, utf8))
            matches |= matcher.first;
    }
    return matches;
}

FilterVerdict RuleSet::judge(quint64 matches, int pane) const
{
    const PaneRules &rules = panes[size_t(pane)];
    FilterVerdict verdict;
    verdict.hidden = (matches & rules.hide) || (rules.show && !(matches & rules.show));
    if (verdict.hidden)
        return verdict;
    for (const Highlight &highlight : rules.highlights) {
        if (matches & highlight.bit) {
            verdict.background = highlight.background;
            verdict.foreground = highlight.foreground;
            break;
        }
    }
    return verdict;
}
