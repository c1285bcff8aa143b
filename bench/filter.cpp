// The filter run: how long a full pane takes to show anew when a rule changes, and what ten
// rules cost a flood against none, in the same run.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modes.h"

#include "files/atomicfile.h"
#include "filters/ruleset.h"
#include "filters/rulesfile.h"
#include "panes/logpane.h"

#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTextEdit>

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
// the quick brown fox jumps over the lazy dog ...", one text in ten is hidden and one in ten
// coloured. With `colourAll`, the last colours every text that is not hidden: what colouring
// costs the panes, beyond matching.
QVector<FilterRule> tenRules(bool colourAll = false)
{
    return {rule(FilterRule::Hide, QStringLiteral("DEBUG"), false),
            rule(FilterRule::Hide, QStringLiteral("#[0-9]{8}7[0-9] "), true),
            rule(FilterRule::Hide, QStringLiteral("lazy cat"), false),
            rule(FilterRule::Hide, QStringLiteral("jumps (under|beside)"), true),
            rule(FilterRule::Hide, QStringLiteral("TRACE"), false),
            rule(FilterRule::Highlight, QStringLiteral("ERROR"), false),
            rule(FilterRule::Highlight, QStringLiteral("#[0-9]{8}3[0-9] "), true),
            rule(FilterRule::Highlight, QStringLiteral("FATAL"), false),
            rule(FilterRule::Highlight, QStringLiteral("(?i)warn(ing)?"), true),
            rule(FilterRule::Highlight,
                 colourAll ? QStringLiteral("brown fox") : QStringLiteral("brown bear"), false)};
}

// Microseconds that matching the ten rules takes for one text of a pane.
double matchingMicroseconds(qint64 texts)
{
    RuleSet rules;
    rules.setRules(tenRules());
    Payloads payloads;
    QStringList sample;
    for (int i = 0; i < 1000; ++i) {
        const QByteArray &payload = payloads.make(i * paneCount);
        const int start = payload.indexOf("#");
        sample.append(QString::fromUtf8(payload.mid(start, payload.lastIndexOf('"') - start)));
    }
    quint64 matched = 0;
    QElapsedTimer clock;
    clock.start();
    for (qint64 i = 0; i < texts; ++i)
        matched |= rules.match(sample.at(int(i % sample.size())), 0);
    return matched ? clock.nsecsElapsed() / 1e3 / texts : -1;
}

QString rulesPath(const QString &home)
{
    return home + QLatin1String("/.corvane/filters.json");
}

// Makes the change, then waits until the pane on show has painted it. Gives both times.
QString timeChange(Viewer &viewer, const std::function<void()> &change)
{
    const int paints = viewer.paintCounter.paints;
    QElapsedTimer clock;
    clock.start();
    change();
    const double madeMs = clock.nsecsElapsed() / 1e6;
    spinUntil([&] { return viewer.paintCounter.paints > paints; }, 5000);
    return QStringLiteral("%1 ms (%2 painted)")
        .arg(number(madeMs, 1), number(clock.nsecsElapsed() / 1e6, 1));
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
        say(QStringLiteral("filter: pane 1 on show holds %1 texts")
                .arg(textsHeld(viewer->panes.at(0))));

        LogPane *pane = viewer->panes.at(0)->findChild<LogPane *>();
        const QString add = timeChange(*viewer, [&] { rules->append(tenRules().at(1)); });
        const int hidden = pane->hiddenCount();
        FilterRule changed = rules->rule(0);
        changed.pattern = QStringLiteral("#[0-9]{8}[78][0-9] ");
        const QString edit = timeChange(*viewer, [&] { rules->replace(0, changed); });
        const int hiddenAfterEdit = pane->hiddenCount();
        const QString colour = timeChange(*viewer, [&] { rules->append(tenRules().at(6)); });
        const QString reorder = timeChange(*viewer, [&] { rules->move(1, 0); });
        changed.enabled = false;
        const QString off = timeChange(*viewer, [&] { rules->replace(1, changed); });
        say(QStringLiteral("filter: re-filtering %1 texts on show, the change made and shown:")
                .arg(texts));
        say(QStringLiteral("  hide rule added: %1, %2 hidden").arg(add).arg(hidden));
        say(QStringLiteral("  its pattern changed: %1, %2 hidden").arg(edit).arg(hiddenAfterEdit));
        say(QStringLiteral("  highlight rule added: %1").arg(colour));
        say(QStringLiteral("  rules reordered: %1").arg(reorder));
        say(QStringLiteral("  hide rule off: %1, %2 hidden").arg(off).arg(pane->hiddenCount()));
        // Of which: matching one rule again over the kept texts, and the pane showing them anew.
        QElapsedTimer clock;
        clock.start();
        pane->updateMatches([&](KeptText &kept) {
            kept.ruleMatches = (kept.ruleMatches & ~quint64(1)) | rules->match(kept.text, 0, 1);
        });
        const double matchMs = clock.nsecsElapsed() / 1e6;
        clock.restart();
        pane->refresh();
        say(QStringLiteral("  of which matching one rule again %1 ms, the pane's refresh %2 ms")
                .arg(number(matchMs, 1), number(clock.nsecsElapsed() / 1e6, 1)));
    }
    say(QStringLiteral("filter: matching ten rules takes %1 us a text")
            .arg(number(matchingMicroseconds(200000), 2)));

    QFile::remove(rulesPath(home));
    const Run plain = viewerFlood(harness, seconds);
    printRun(plain);
    writeFileAtomically(rulesPath(home), rulesToJson(tenRules()));
    Run ruled = viewerFlood(harness, seconds);
    ruled.name = QStringLiteral("ten rules");
    printRun(ruled);
    writeFileAtomically(rulesPath(home), rulesToJson(tenRules(true)));
    Run coloured = viewerFlood(harness, seconds);
    coloured.name = QStringLiteral("all coloured");
    printRun(coloured);
    QFile::remove(rulesPath(home));
    auto ratio = [&](const Run &run) {
        return number(plain.rate > 0 ? run.rate / plain.rate : -1, 2);
    };
    say(QStringLiteral("filter: flood without rules %1/s; with ten rules %2/s, ratio %3; with "
                       "every shown text coloured %4/s, ratio %5")
            .arg(number(plain.rate), number(ruled.rate), ratio(ruled), number(coloured.rate),
                 ratio(coloured)));
}

} // namespace bench
