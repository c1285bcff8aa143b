// What every run of the flood benchmark shares: the payloads, the meters, a viewer to flood and
// the loop that drives a sender against it; each run (flood, paced, burst, memory, soak, find)
// is a file of its own.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef BENCH_HARNESS_H
#define BENCH_HARNESS_H

#include "pauseprobe.h"
#include "protocol/panes.h"
#include "window/mainwindow.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class QProcess;
class QTabWidget;
class QTextEdit;

namespace bench {

// The viewer asks for the same; the bare socket gets it too, so both start from equal footing.
const int receiveBufferBytes = 8 * 1024 * 1024;
// After the sender has finished, a run ends once nothing new has arrived for this long.
const qint64 quietMs = 700;
const qint64 giveUpMs = 120000;

// One line on the standard output, at once.
void say(const QString &line);
// A figure, or "-" when there is none (below 0).
QString number(double value, int decimals = 0);
// Keeps the offscreen platform's notice on every shown window out of the tables.
void quietSizeHintsNotice();

// One datagram as a busy program writes it: four captions and one text of 60 characters,
// numbered, for the panes in turn.
class Payloads
{
public:
    Payloads();
    const QByteArray &make(qint64 sequence);
    // The sequence number in a text that make() wrote, or -1.
    static qint64 sequenceIn(const QString &text);

private:
    QByteArray templates[paneCount];
    int numberOffset = 0;
};

// Notes the longest time the event loop went without turning: a repeating 1-ms timer can only
// fire when the loop turns, so the longest gap between two of its shots is the longest stall.
class StallMeter : public QObject
{
public:
    StallMeter();
    void start();
    void stop() { recording = false; }
    double longestMs() const { return longestNs / 1e6; }
    // The same gap counted in the processor time of the window's thread: on a machine shared
    // with other work, what the viewer itself spent, without the time the system gave others.
    double longestOwnMs() const { return longestCpuNs / 1e6; }
    // The longest stall since the last call, and a fresh start for the next.
    double takeLongestMs();
    // The most processor time the window's thread spent in one gap up to the last
    // takeLongestMs(), counted afresh from then on.
    double takeLongestOwnMs();

private:
    QTimer timer;
    QElapsedTimer clock;
    qint64 lastNs = 0;
    qint64 longestNs = 0;
    qint64 lastCpuNs = 0;
    qint64 longestCpuNs = 0;
    bool recording = false;
};

// Counts the paint events of one widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// Watches a growing count and notes when it first and last moved.
class Arrivals
{
public:
    Arrivals() { clock.start(); }
    void update(qint64 count);
    qint64 count() const { return last; }
    qint64 msSinceLast() const { return (clock.nsecsElapsed() - lastNs) / 1000000; }
    double rate() const;

private:
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 firstCount = 0;
    qint64 firstNs = -1;
    qint64 lastNs = 0;
};

// The texts a pane holds: plain texts that arrive together share a paragraph, a line each.
int textsHeld(const QTextEdit *pane);
// Processor time of this process so far, user and system, in microseconds.
qint64 cpuMicroseconds();
qint64 residentBytes();
QString loadAverage();
// Turns the event loop, as exec() would, until `done` holds or `limitMs` have passed.
bool spinUntil(const std::function<bool()> &done, qint64 limitMs);
void spinFor(qint64 ms);

// One row of the table: a sender against a receiver.
struct Run
{
    QString name;
    qint64 sent = -1;
    double senderSeconds = 0;
    qint64 received = 0;
    double rate = 0; // datagrams a second while datagrams were arriving
    double stallMs = -1;
    int paints = -1;
    double cpuPerDatagramUs = -1; // this process's processor time per datagram received

    qint64 lost() const { return sent - received; }
};
void printRunHeader();
void printRun(const Run &run);

// A real, visible MainWindow on a free port, with its tabs and panes at hand.
struct Viewer
{
    std::unique_ptr<MainWindow> window;
    QTabWidget *tabs = nullptr;
    QList<QTextEdit *> panes;
    PaintCounter paintCounter;
    quint16 port = 0;

    // The texts counted in the tab titles, "Net (123)" and so on.
    qint64 received() const;
    // Hands the window `count` payloads as the socket drain would, a batch at a time with the
    // event loop turning in between; the i-th is payload i * step.
    void feed(qint64 count, qint64 step = 1);
};

class Harness
{
public:
    explicit Harness(const QString &home) : homePath(home) { }

    // When above 0, the receive buffer the viewer's socket gets instead of its own choice.
    int receiveBuffer = 0;
    // Gives the panes back QTextEdit's default of shaping every text (an experiment, to see
    // what the viewer's choice of skipping it where it is not needed buys).
    bool shapeAll = false;
    // When 0 or more, the history limit the viewer's panes get instead of their default.
    int historyLimit = -1;
    // The flood's senders, each a socket of its own, and whether their datagrams carry "seq"
    // and "app" as the client library's do.
    int senders = 1;
    bool numbered = false;
    // The viewer opens its Sources panel, or shows arrival times in front of the texts.
    bool sourcesOpen = false;
    bool showTimes = false;
    // What the system granted the viewer's socket, as the socket reads it back.
    int grantedBuffer = -1;

    StallMeter stallMeter;
    // Only with --pauses: its wakeups cost the viewer some of its rate.
    std::unique_ptr<PauseProbe> pauseProbe;
    // The machine's longest pause since the last call, or -1 without the probe.
    double takeLongestPauseMs() { return pauseProbe ? pauseProbe->takeLongestMs() : -1; }
    // How fast the machine ran since the last call, in per cent of its fastest, or -1.
    double takePacePercent() { return pauseProbe ? pauseProbe->takePacePercent() : -1; }

    // moreConfig: further lines for the viewer's settings file.
    std::unique_ptr<Viewer> openViewer(const QByteArray &moreConfig = QByteArray());
    // Starts this program again as the sender with these arguments, and turns the event loop
    // until it has finished and nothing has arrived for a while.
    Run drive(const QString &name, const QStringList &senderArgs,
              const std::function<qint64()> &received);
    // Starts this program again as the sender (--sender), with these arguments.
    static void startSender(QProcess &sender, const QStringList &arguments);

private:
    QString homePath;
};

} // namespace bench

#endif // BENCH_HARNESS_H
