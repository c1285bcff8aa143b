// The find run: typing into the find bar over a full pane, while nothing arrives and during a
// flood, with each keystroke's latency.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modes.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTextEdit>

#include <algorithm>
#include <cstdlib>

namespace bench {

namespace {

// Keystroke latencies in milliseconds.
struct Latencies
{
    QVector<double> ms;
    double median() const
    {
        if (ms.isEmpty())
            return -1;
        QVector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted.at(sorted.size() / 2);
    }
    double worst() const { return ms.isEmpty() ? -1 : *std::max_element(ms.cbegin(), ms.cend()); }
};

} // namespace

// Types the word into the find bar of a pane that holds `texts` texts, a letter at a time as a
// quick typist would, first while nothing arrives and then while a flood does. A keystroke's
// latency is the time from posting the key until the pane has painted after the field took it:
// the search, the count and the highlights are all done by then.
void findLatency(Harness &harness, qint64 texts, const QString &word, double seconds)
{
    // The pauses while the pane fills and while typing must not clear the panes when a flood
    // starts.
    auto viewer = harness.openViewer("timeoutEnabled = 0\n");
    viewer->window->setHistoryLimit(harness.historyLimit >= 0 ? harness.historyLimit
                                                              : int(qMax<qint64>(texts, 100000)));
    QElapsedTimer fillClock;
    fillClock.start();
    viewer->feed(texts, paneCount); // every fourth payload is pane 1's
    spinFor(500);
    const qint64 fillMs = fillClock.elapsed();

    auto *find = viewer->window->findChild<QAction *>(QStringLiteral("actionFind"));
    auto *field = viewer->window->findChild<QLineEdit *>(QStringLiteral("findText"));
    auto *count = viewer->window->findChild<QLabel *>(QStringLiteral("findCount"));
    if (!find || !field || !count) {
        say(QStringLiteral("error: the window has no actionFind, findText or findCount"));
        std::exit(2);
    }

    // A flood of `seconds` from a second process; `meanwhile` runs until the sender is done.
    // Gives the longest stall of the event loop meanwhile.
    auto flood = [&](const std::function<void()> &meanwhile) {
        QProcess sender;
        harness.stallMeter.start();
        Harness::startSender(sender, {QStringLiteral("--port"), QString::number(viewer->port),
                                      QStringLiteral("--seconds"), QString::number(seconds)});
        sender.waitForStarted();
        while (sender.state() != QProcess::NotRunning)
            meanwhile();
        harness.stallMeter.stop();
        spinFor(quietMs); // what is still in the socket
        return harness.stallMeter.longestMs();
    };

    int paintsAtSearch = -1;
    QObject::connect(field, &QLineEdit::textChanged,
                     [&] { paintsAtSearch = viewer->paintCounter.paints; });
    const qint64 keyGapMs = 150;
    auto typeWord = [&](Latencies &latencies, bool print) {
        for (const QChar letter : word) {
            paintsAtSearch = -1;
            QElapsedTimer clock;
            clock.start();
            const int key = letter.toUpper().unicode();
            QCoreApplication::postEvent(
                field, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(letter)));
            QCoreApplication::postEvent(
                field, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, QString(letter)));
            spinUntil(
                [&] { return paintsAtSearch >= 0 && viewer->paintCounter.paints > paintsAtSearch; },
                5000);
            latencies.ms.append(clock.nsecsElapsed() / 1e6);
            if (print) {
                say(QStringLiteral("  %1 %2 ms  %3")
                        .arg(field->text(), -(word.size() + 2))
                        .arg(latencies.ms.last(), 8, 'f', 1)
                        .arg(count->text()));
            }
            spinFor(keyGapMs);
        }
        field->clear();
        spinFor(keyGapMs);
    };

    say(QStringLiteral("find: pane 1 filled with %1 texts in %2 ms; typing \"%3\", %4 ms "
                       "between keys")
            .arg(texts)
            .arg(fillMs)
            .arg(word)
            .arg(keyGapMs));
    // The same flood with the bar closed, to compare the stalls with.
    const double closedStallMs = flood([] { spinFor(100); });
    say(QStringLiteral("a flood with the bar closed: longest stall %1 ms")
            .arg(number(closedStallMs, 1)));

    find->trigger();
    spinFor(200);
    say(QStringLiteral("idle:"));
    Latencies idle;
    for (int round = 0; round < 3; ++round)
        typeWord(idle, round == 0);

    say(QStringLiteral("while a flood arrives (%1 s):").arg(seconds));
    Latencies flooded;
    const qint64 receivedBefore = viewer->received();
    int round = 0;
    const double stallMs = flood([&] { typeWord(flooded, round++ == 0); });
    const qint64 received = viewer->received() - receivedBefore;

    say(QStringLiteral("find: texts=%1 word=%2 idle_keys=%3 idle_median_ms=%4 idle_worst_ms=%5 "
                       "flood_keys=%6 flood_median_ms=%7 flood_worst_ms=%8 flood_received=%9 "
                       "flood_longest_stall_ms=%10 closed_flood_longest_stall_ms=%11 "
                       "pane_texts=%12 load=%13")
            .arg(texts)
            .arg(word)
            .arg(idle.ms.size())
            .arg(number(idle.median(), 1))
            .arg(number(idle.worst(), 1))
            .arg(flooded.ms.size())
            .arg(number(flooded.median(), 1))
            .arg(number(flooded.worst(), 1))
            .arg(received)
            .arg(number(stallMs, 1))
            .arg(number(closedStallMs, 1))
            .arg(textsHeld(viewer->panes.first()))
            .arg(loadAverage().replace(QLatin1Char(' '), QLatin1Char('/'))));
}


} // namespace bench
