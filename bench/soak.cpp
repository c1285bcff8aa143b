// The soak run: an endless flood, with a row of figures as time goes on (rate, memory, texts
// held, stalls, drops and losses) and a summary.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modes.h"

#include "ingest/udplistener.h"

#include <QProcess>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <limits>

namespace bench {

namespace {

// The datagrams lost so far while the sender still sends, from the numbers the texts carry. The
// sender's own count will not do: it reports only now and then, the viewer has taken more since,
// and that count less the texts received came out negative. Loopback and the viewer keep the
// datagrams in order, and the tab titles count a chunk once all of it is in the panes, which
// take it one after another: so every datagram up to the newest text of the pane that is
// furthest behind was shown and counted, or lost. That leaves out at most the three sent after
// it to the other panes: a lower bound, and never below zero.
qint64 lostSoFar(const Viewer &viewer, qint64 received)
{
    qint64 furthestBehind = std::numeric_limits<qint64>::max();
    for (const QTextEdit *pane : viewer.panes) {
        furthestBehind = qMin(furthestBehind,
                              Payloads::sequenceIn(pane->document()->lastBlock().text()));
    }
    return qMax<qint64>(0, furthestBehind + 1 - received);
}

} // namespace

void soak(Harness &harness, double seconds, double intervalSeconds)
{
    auto viewer = harness.openViewer();
    if (harness.historyLimit >= 0)
        viewer->window->setHistoryLimit(harness.historyLimit);
    auto *listener = viewer->window->findChild<UdpListener *>();

    QProcess sender;
    qint64 sentSoFar = 0;
    QByteArray senderOutput;
    auto readSender = [&] {
        senderOutput += sender.readAllStandardOutput();
        int end;
        while ((end = senderOutput.indexOf('\n')) >= 0) {
            const QList<QByteArray> words = senderOutput.left(end).split(' ');
            senderOutput.remove(0, end + 1);
            if (words.size() >= 2 && (words.at(0) == "progress" || words.at(0) == "sent"))
                sentSoFar = words.at(1).toLongLong();
        }
    };
    QObject::connect(&sender, &QProcess::readyReadStandardOutput, readSender);

    say(QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10")
            .arg(QStringLiteral("seconds"), 8)
            .arg(QStringLiteral("received/s"), 11)
            .arg(QStringLiteral("resident MiB"), 13)
            .arg(QStringLiteral("texts held per pane"), 28)
            .arg(QStringLiteral("stall ms"), 9)
            .arg(QStringLiteral("own ms"), 7)
            .arg(QStringLiteral("pause ms"), 9)
            .arg(QStringLiteral("pace %"), 7)
            .arg(QStringLiteral("dropped"), 9)
            .arg(QStringLiteral("lost"), 9));
    QElapsedTimer clock;
    clock.start();
    harness.stallMeter.start();
    harness.takeLongestPauseMs();
    harness.takePacePercent();
    Harness::startSender(sender, {QStringLiteral("--port"), QString::number(viewer->port),
                                  QStringLiteral("--seconds"), QString::number(seconds),
                                  QStringLiteral("--report-ms"), QStringLiteral("200")});

    const qint64 intervalMs = qMax<qint64>(100, qint64(intervalSeconds * 1000));
    qint64 previousReceived = 0, previousMs = 0, summedReceived = 0, maxResident = 0;
    double longestStall = 0, longestPause = -1, slowestPace = -1, firstRate = -1;
    // Rates of the intervals that end in the last minute of the flood.
    qint64 lastMinuteReceived = 0, lastMinuteMs = 0;
    bool senderDone = false;
    for (qint64 dueMs = intervalMs; !senderDone; dueMs += intervalMs) {
        spinUntil(
            [&] { return clock.elapsed() >= dueMs || sender.state() == QProcess::NotRunning; },
            giveUpMs);
        senderDone = sender.state() == QProcess::NotRunning;
        if (senderDone) {
            readSender(); // its final count
            // Whatever is still in the socket, then the final look at the drops.
            Arrivals arrivals;
            spinUntil(
                [&] {
                    arrivals.update(viewer->received());
                    return arrivals.msSinceLast() >= quietMs;
                },
                giveUpMs);
        }
        const qint64 nowMs = clock.elapsed();
        const qint64 received = viewer->received();
        const qint64 delta = received - previousReceived;
        summedReceived += delta;
        const double rate = double(delta) * 1000.0 / double(qMax<qint64>(1, nowMs - previousMs));
        if (firstRate < 0)
            firstRate = rate;
        if (nowMs > seconds * 1000 - 60000 && !senderDone) {
            lastMinuteReceived += delta;
            lastMinuteMs += nowMs - previousMs;
        }
        previousReceived = received;
        previousMs = nowMs;
        const qint64 resident = residentBytes();
        maxResident = qMax(maxResident, resident);
        QStringList held;
        for (QTextEdit *pane : qAsConst(viewer->panes))
            held.append(QString::number(textsHeld(pane)));
        const double stall = harness.stallMeter.takeLongestMs();
        const double own = harness.stallMeter.takeLongestOwnMs();
        const double pause = harness.takeLongestPauseMs();
        const double pace = harness.takePacePercent();
        if (!senderDone) {
            longestStall = qMax(longestStall, stall);
            longestPause = qMax(longestPause, pause);
            if (pace >= 0)
                slowestPace = slowestPace < 0 ? pace : qMin(slowestPace, pace);
        }
        // Once the sender has finished, its count is final and all that will arrive has.
        const qint64 lost = senderDone ? sentSoFar - received : lostSoFar(*viewer, received);
        say(QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10")
                .arg(nowMs / 1000.0, 8, 'f', 1)
                .arg(rate, 11, 'f', 0)
                .arg(resident / 1048576.0, 13, 'f', 1)
                .arg(held.join(QLatin1Char(' ')), 28)
                .arg(stall, 9, 'f', 1)
                .arg(own, 7, 'f', 1)
                .arg(number(pause, 1), 9)
                .arg(number(pace), 7)
                .arg(listener ? listener->droppedDatagrams() : -1, 9)
                .arg(lost, 9));
    }
    harness.stallMeter.stop();
    const qint64 received = viewer->received();
    const double lastMinuteRate =
        lastMinuteMs > 0 ? double(lastMinuteReceived) * 1000.0 / double(lastMinuteMs) : -1;
    say(QStringLiteral("soak: seconds=%1 sent=%2 received=%3 summed=%4 lost=%5 dropped=%6 "
                       "first_interval_per_s=%7 last_minute_per_s=%8 ratio=%9 longest_stall_ms=%10 "
                       "longest_pause_ms=%11 slowest_pace_pct=%12 resident_mib=%13 max_resident_mib=%14 "
                       "load=%15")
            .arg(seconds)
            .arg(sentSoFar)
            .arg(received)
            .arg(summedReceived)
            .arg(sentSoFar - received)
            .arg(listener ? listener->droppedDatagrams() : -1)
            .arg(number(firstRate))
            .arg(number(lastMinuteRate))
            .arg(firstRate > 0 && lastMinuteRate >= 0 ? number(lastMinuteRate / firstRate, 2)
                                                      : QStringLiteral("-"))
            .arg(number(longestStall, 1))
            .arg(number(longestPause, 1))
            .arg(number(slowestPace))
            .arg(number(residentBytes() / 1048576.0, 1))
            .arg(number(maxResident / 1048576.0, 1))
            .arg(loadAverage().replace(QLatin1Char(' '), QLatin1Char('/'))));
}

} // namespace bench
