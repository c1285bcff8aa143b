// The filter run: how long a full pane takes to show anew when a rule changes, and what ten
// rules cost a flood against none, in the same run.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modes.h"

#include "files/atomicfile.h"
#include "filters/rulesfile.h"
#include "filters/ruleset.h"

#include <QDir>
#include <QFile>
#include <QTabWidget>

#include <cstdlib>

namespace bench {

namespace {

FilterRule rule(FilterRule::Action action, const QString &pattern, bool regex)
{
    FilterRule made;
    made.action = action;
    made.pattern = pattern;
    made.regex = regex;
    if (action == FilterRule::Highlight)
        made.background = highlightPalette().at(2).background;
    return made;
}

// Five that hide and five that colour, plain and regular expressions mixed, as a user who
// hides noise and marks what matters might have them. Against Payloads' texts, "#0000001234
// the quick brown fox jumps over the lazy dog ...", the hiding ones hide about one text in
// ten, and the first colouring one that matches colours about half.
QVector<FilterRule> tenRules()
{
    return {rule(FilterRule::Hide, QStringLiteral("DEBUG"), false),
            rule(FilterRule::Hide, QStringLiteral("#[0-9]{8}7[0-9] "), true),
            rule(FilterRule::Hide, QStringLiteral("lazy cat"), false),
            rule(FilterRule::Hide, QStringLiteral("jumps (under|beside)"), true),
            rule(FilterRule::Hide, QStringLiteral("TRACE"), false),
            rule(FilterRule::Highlight, QStringLiteral("ERROR"), false),
            rule(FilterRule::Highlight, QStringLiteral("#[0-9]{9}[0-4] "), true),
            rule(FilterRule::Highlight, QStringLiteral("FATAL"), false),
            rule(FilterRule::Highlight, QStringLiteral("(?i)warn(ing)?"), true),
            rule(FilterRule::Highlight, QStringLiteral("brown fox"), false)};
}

QString rulesPath(const QString &home)
{
    return home + QLatin1String("/.corvane/filters.json");
}

// Makes the change, then waits until the pane on show has painted it.
double timeChange(Viewer &viewer, const std::function<void()> &change)
{
    const int paints = viewer.paintCounter.paints;
    QElapsedTimer clock;
    clock.start();
    change();
    spinUntil([&] { return viewer.paintCounter.paints > paints; }, 5000);
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

void filterRun(Harness &harness, const QString &home, qint64 texts, double seconds)
{
    QFile::remove(rulesPath(home));
    {
        auto viewer = harness.openViewer("timeoutEnabled = 0\n");
        auto *rules = viewer->window->findChild<RuleSet *>();
        if (!rules) {
            say(QStringLiteral("error: the window has no rule set"));
            std::exit(2);
        }
        viewer->tabs->setCurrentIndex(0);
        viewer->feed(texts, paneCount); // pane 1's texts alone
        spinFor(500);
        say(QStringLiteral("filter: pane 1 on show holds %1 texts").arg(textsHeld(viewer->panes.at(0))));

        const double add = timeChange(*viewer, [&] { rules->append(tenRules().at(1)); });
        const qint64 hidden = texts - textsHeld(viewer->panes.at(0));
        FilterRule changed = rules->rule(0);
        changed.pattern = QStringLiteral("#[0-9]{8}[78][0-9] ");
        const double edit = timeChange(*viewer, [&] { rules->replace(0, changed); });
        const double colour =
            timeChange(*viewer, [&] { rules->append(tenRules().at(6)); });
        const double reorder = timeChange(*viewer, [&] { rules->move(1, 0); });
        changed.enabled = false;
        const double off = timeChange(*viewer, [&] { rules->replace(1, changed); });
        say(QStringLiteral("filter: re-filtering %1 texts on show: hide rule added %2 ms (%3 "
                           "hidden), its pattern changed %4 ms, highlight rule added %5 ms, "
                           "rules reordered %6 ms, hide rule off %7 ms")
                .arg(texts)
                .arg(number(add, 1))
                .arg(hidden)
                .arg(number(edit, 1))
                .arg(number(colour, 1))
                .arg(number(reorder, 1))
                .arg(number(off, 1)));
    }

    QFile::remove(rulesPath(home));
    const Run plain = viewerFlood(harness, seconds);
    printRun(plain);
    writeFileAtomically(rulesPath(home), rulesToJson(tenRules()));
    Run ruled = viewerFlood(harness, seconds);
    ruled.name = QStringLiteral("ten rules");
    printRun(ruled);
    QFile::remove(rulesPath(home));
    say(QStringLiteral("filter: flood without rules %1/s, with ten rules %2/s, ratio %3")
            .arg(number(plain.rate))
            .arg(number(ruled.rate))
            .arg(number(plain.rate > 0 ? ruled.rate / plain.rate : -1, 2)));
}

} // namespace bench
