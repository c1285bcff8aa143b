// The reading run: showing a hidden tab whose pane holds a full history, and Ctrl+Home and
// Ctrl+End across it.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modes.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>

namespace bench {

// Fills every pane with `texts` texts, then times, from the event posted until the pane has
// painted and the window is idle again: showing the hidden second tab, Ctrl+Home to its
// oldest text and Ctrl+End back. Each figure is the time until the first paint after the act,
// and the longest stall of the event loop within the second after it (a layout that goes on
// after the paint).
void reading(Harness &harness, qint64 texts)
{
    auto viewer = harness.openViewer("timeoutEnabled = 0\n");
    if (harness.historyLimit >= 0)
        viewer->window->setHistoryLimit(harness.historyLimit);
    viewer->feed(texts * paneCount);
    spinFor(1000);
    QTextEdit *pane = viewer->panes.at(1);
    PaintCounter paints;
    pane->viewport()->installEventFilter(&paints);

    auto time = [&](const QString &what, const std::function<void()> &act,
                    const std::function<bool()> &done) {
        const int paintsBefore = paints.paints;
        QElapsedTimer clock;
        clock.start();
        harness.stallMeter.start();
        act();
        spinUntil([&] { return paints.paints > paintsBefore && done(); }, 10000);
        const double firstPaintMs = clock.nsecsElapsed() / 1e6;
        spinFor(1000);
        harness.stallMeter.stop();
        say(QStringLiteral("reading: %1: painted after %2 ms, longest stall %3 ms (own processor "
                           "time %4 ms)")
                .arg(what, -10)
                .arg(number(firstPaintMs, 1))
                .arg(number(harness.stallMeter.longestMs(), 1))
                .arg(number(harness.stallMeter.longestOwnMs(), 1)));
    };
    auto key = [&](int code) {
        return [&, code] {
            QCoreApplication::postEvent(pane,
                                        new QKeyEvent(QEvent::KeyPress, code, Qt::ControlModifier));
            QCoreApplication::postEvent(
                pane, new QKeyEvent(QEvent::KeyRelease, code, Qt::ControlModifier));
        };
    };
    QScrollBar *bar = pane->verticalScrollBar();
    time(
        QStringLiteral("show tab"), [&] { viewer->tabs->setCurrentIndex(1); },
        [&] { return bar->maximum() > 0 && bar->value() == bar->maximum(); });
    pane->setFocus();
    time(QStringLiteral("Ctrl+Home"), key(Qt::Key_Home), [&] { return bar->value() == 0; });
    say(QStringLiteral("reading: the top line: %1")
            .arg(pane->cursorForPosition(QPoint(0, 0)).block().text().left(40)));
    time(QStringLiteral("Ctrl+End"), key(Qt::Key_End),
         [&] { return bar->maximum() > 0 && bar->value() == bar->maximum(); });
    say(QStringLiteral("reading: resident %1 MiB").arg(number(residentBytes() / 1048576.0, 1)));
}

} // namespace bench
