// Floods a real, visible MainWindow with datagrams from a separate sender process and reports
// what got through, how fast, how long the event loop ever stood still, and how much memory a
// stored line costs. The same program, started with --sender, is that sender.
// SPDX-License-Identifier: GPL-3.0-or-later

#include "panes/logpane.h"
#include "window/directfeed.h"
#include "window/mainwindow.h"
#include "app/memoryreuse.h"
#include "ingest/udplistener.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const int paneCount = 4;
// The viewer asks for the same; the bare socket gets it too, so both start from equal footing.
const int receiveBufferBytes = 8 * 1024 * 1024;
// After the sender has finished, a run ends once nothing new has arrived for this long.
const qint64 quietMs = 700;
const qint64 giveUpMs = 120000;

void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// The offscreen platform says this whenever a main window is shown, which would put it between
// the table's rows; every other message goes through as before.
QtMessageHandler passMessage = nullptr;

void dropSizeHintsNotice(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text != QLatin1String("This plugin does not support propagateSizeHints()"))
        passMessage(type, context, text);
}

// ----------------------------------------------------------------------------------------
// Sender

// One datagram as a busy program writes it: four captions and one text of 60 characters,
// numbered, for the panes in turn.
class Payloads
{
public:
    Payloads()
    {
        for (int pane = 0; pane < paneCount; ++pane) {
            templates[pane] = QByteArray(R"({"tabs":["Net","Db","UI","Misc"],"log)")
                + QByteArray::number(pane + 1) + R"(":")";
            numberOffset = templates[pane].size() + 1;
            // 12 + 48 = 60 characters.
            templates[pane] += "#0000000000 the quick brown fox jumps over the lazy dog ...";
            templates[pane] += "\"}";
        }
    }

    const QByteArray &make(qint64 sequence)
    {
        QByteArray &payload = templates[sequence % paneCount];
        char *digits = payload.data() + numberOffset;
        for (int i = 9; i >= 0; --i) {
            digits[i] = char('0' + sequence % 10);
            sequence /= 10;
        }
        return payload;
    }

private:
    QByteArray templates[paneCount];
    int numberOffset = 0;
};

// Sends `count` datagrams (0: without end) at `rate` a second (0: as fast as it can), for at
// most `seconds`, then prints how many the system took.
// A datagram that keeps the window busy: a table of 1,500 rows, which takes a good part of a
// second to lay out.
QByteArray largeTable()
{
    QByteArray table = R"({"tabs":["Net","Db","UI","Misc"],"log1":"<table>)";
    while (table.size() < 60000)
        table += "<tr><td>a</td><td>b</td><td>c</td></tr>";
    return table + R"(</table>"})";
}

// With reportMs above 0 it also prints "progress <sent>" that often. With leadTable, a large
// table goes first, counted among the datagrams sent.
int runSender(quint16 port, qint64 count, qint64 rate, double seconds, qint64 reportMs,
              bool leadTable)
{
    QUdpSocket socket;
    Payloads payloads;
    const QHostAddress target(QHostAddress::LocalHost);
    QElapsedTimer clock;
    clock.start();
    if (leadTable) {
        const QByteArray table = largeTable();
        if (socket.writeDatagram(table, target, port) != table.size())
            return 1;
    }
    const qint64 limitNs = qint64(seconds * 1e9);
    qint64 nextReportNs = reportMs * 1000000;
    qint64 sent = 0;
    for (;;) {
        if (count > 0 && sent >= count)
            break;
        if ((sent & 63) == 0) {
            const qint64 now = clock.nsecsElapsed();
            if (now >= limitNs)
                break;
            if (reportMs > 0 && now >= nextReportNs) {
                say(QStringLiteral("progress %1").arg(sent));
                nextReportNs += reportMs * 1000000;
            }
        }
        if (rate > 0) {
            const qint64 due = clock.nsecsElapsed() * rate / 1000000000;
            if (sent >= due) {
                QThread::usleep(300);
                continue;
            }
        }
        const QByteArray &payload = payloads.make(sent);
        if (socket.writeDatagram(payload.constData(), payload.size(), target, port)
            == payload.size())
            ++sent;
    }
    say(QStringLiteral("sent %1 %2")
            .arg(sent + (leadTable ? 1 : 0))
            .arg(clock.nsecsElapsed() / 1e9, 0, 'f', 3));
    return 0;
}

// ----------------------------------------------------------------------------------------
// Measuring side

// Notes the longest time the event loop went without turning: a repeating 1-ms timer can only
// fire when the loop turns, so the longest gap between two of its shots is the longest stall.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(1);
        connect(&timer, &QTimer::timeout, this, [this] {
            const qint64 now = clock.nsecsElapsed();
            if (recording)
                longestNs = qMax(longestNs, now - lastNs);
            lastNs = now;
        });
        clock.start();
        timer.start();
    }
    void start()
    {
        longestNs = 0;
        lastNs = clock.nsecsElapsed();
        recording = true;
    }
    void stop() { recording = false; }
    double longestMs() const { return longestNs / 1e6; }
    // The longest stall since the last call, and a fresh start for the next.
    double takeLongestMs()
    {
        const double longest = qMax(longestNs, clock.nsecsElapsed() - lastNs) / 1e6;
        longestNs = 0;
        return longest;
    }

private:
    QTimer timer;
    QElapsedTimer clock;
    qint64 lastNs = 0;
    qint64 longestNs = 0;
    bool recording = false;
};

// Counts the paint events of one widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// The texts a pane holds: plain texts that arrive together share a paragraph, a line each.
int textsHeld(const QTextEdit *pane)
{
    const auto *log = pane->findChild<LogPane *>(QString(), Qt::FindDirectChildrenOnly);
    return log ? log->textCount() : pane->document()->blockCount();
}

// Processor time of this process so far, user and system, in microseconds.
qint64 cpuMicroseconds()
{
    rusage usage;
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
    return (qint64(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1000000
        + usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
}

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return -1;
    return fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

QString loadAverage()
{
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    if (!loadavg.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    const QList<QByteArray> fields = loadavg.readAll().split(' ');
    return QString::fromLatin1(fields.mid(0, 3).join(' '));
}

// Turns the event loop, as exec() would, until `done` holds or `limitMs` have passed.
bool spinUntil(const std::function<bool()> &done, qint64 limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void spinFor(qint64 ms)
{
    QElapsedTimer clock;
    clock.start();
    spinUntil([&] { return clock.elapsed() >= ms; }, ms + 1000);
}

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

// Watches a growing count and notes when it first and last moved.
class Arrivals
{
public:
    Arrivals() { clock.start(); }
    void update(qint64 count)
    {
        if (count == last)
            return;
        const qint64 now = clock.nsecsElapsed();
        if (firstNs < 0) {
            firstNs = now;
            firstCount = count;
        }
        last = count;
        lastNs = now;
    }
    qint64 count() const { return last; }
    qint64 msSinceLast() const { return (clock.nsecsElapsed() - lastNs) / 1000000; }
    double rate() const
    {
        if (firstNs < 0 || lastNs <= firstNs)
            return 0;
        return double(last - firstCount) * 1e9 / double(lastNs - firstNs);
    }

private:
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 firstCount = 0;
    qint64 firstNs = -1;
    qint64 lastNs = 0;
};

class Bench
{
public:
    explicit Bench(const QString &home) : homePath(home) { }

    // When above 0, the receive buffer the viewer's socket gets instead of its own choice.
    int receiveBuffer = 0;
    // Gives the panes back QTextEdit's default of shaping every text (an experiment, to see
    // what the viewer's choice of skipping it where it is not needed buys).
    bool shapeAll = false;
    // What the system granted the viewer's socket, as the socket reads it back.
    int grantedBuffer = -1;

    Run bareSocket(double seconds);
    Run viewerFlood(double seconds);
    Run viewerPaced(qint64 count, qint64 rate);
    Run viewerBurst(qint64 count);
    double memoryPerLine(qint64 lines, qint64 *before, qint64 *after);
    void soak(double seconds, double intervalSeconds);
    void findLatency(qint64 texts, const QString &word, double seconds);
    // When 0 or more, the history limit the viewer's panes get instead of their default.
    int historyLimit = -1;

private:
    struct Viewer
    {
        std::unique_ptr<MainWindow> window;
        QTabWidget *tabs = nullptr;
        QList<QTextEdit *> panes;
        PaintCounter paintCounter;
        quint16 port = 0;

        // The texts counted in the tab titles, "Net (123)" and so on.
        qint64 received() const
        {
            qint64 sum = 0;
            for (int tab = 0; tab < tabs->count(); ++tab) {
                const QString title = tabs->tabText(tab);
                const int open = title.lastIndexOf(QLatin1String(" ("));
                if (open >= 0 && title.endsWith(QLatin1Char(')')))
                    sum += title.mid(open + 2, title.size() - open - 3).toLongLong();
            }
            return sum;
        }
    };

    // moreConfig: further lines for the viewer's settings file.
    std::unique_ptr<Viewer> openViewer(const QByteArray &moreConfig = QByteArray());
    void fillFirstPane(Viewer &viewer, qint64 texts);
    Run drive(const QString &name, const QStringList &senderArgs,
              const std::function<qint64()> &received);

    QString homePath;
    StallMeter stallMeter;
};

quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QHostAddress::LocalHost), 0);
    return probe.localPort();
}

std::unique_ptr<Bench::Viewer> Bench::openViewer(const QByteArray &moreConfig)
{
    auto viewer = std::make_unique<Viewer>();
    viewer->port = freePort();
    QFile config(homePath + QLatin1String("/.corvane/config"));
    if (config.open(QIODevice::WriteOnly))
        config.write("serverPort = " + QByteArray::number(viewer->port) + "\n" + moreConfig);
    config.close();

    viewer->window = std::make_unique<MainWindow>();
    viewer->tabs = viewer->window->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    for (int pane = 1; pane <= paneCount; ++pane) {
        viewer->panes.append(
            viewer->window->findChild<QTextEdit *>(QStringLiteral("uiLog%1").arg(pane)));
    }
    if (!viewer->tabs || viewer->panes.contains(nullptr)) {
        say(QStringLiteral("error: the window has no tabWidget or panes uiLog1 to uiLog4"));
        std::exit(2);
    }
    if (auto *listener = viewer->window->findChild<UdpListener *>()) {
        if (receiveBuffer > 0)
            listener->setReceiveBufferSize(receiveBuffer);
        grantedBuffer = listener->receiveBufferSize();
    }
    if (shapeAll) {
        for (QTextEdit *pane : qAsConst(viewer->panes)) {
            QFont font = pane->font();
            font.setStyleStrategy(QFont::PreferDefault);
            pane->setFont(font);
        }
    }
    // Offscreen, a window paints only once shown; painting is part of the cost.
    viewer->panes.first()->viewport()->installEventFilter(&viewer->paintCounter);
    viewer->window->show();
    spinFor(300);
    return viewer;
}

Run Bench::drive(const QString &name, const QStringList &senderArgs,
                 const std::function<qint64()> &received)
{
    Run run;
    run.name = name;
    Arrivals arrivals;
    QProcess sender;
    sender.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    stallMeter.start();
    const qint64 cpuBefore = cpuMicroseconds();
    sender.start(QCoreApplication::applicationFilePath(),
                 QStringList {QStringLiteral("--sender")} + senderArgs);
    const bool finished = spinUntil(
        [&] {
            arrivals.update(received());
            return sender.state() == QProcess::NotRunning;
        },
        giveUpMs);
    spinUntil(
        [&] {
            arrivals.update(received());
            return arrivals.msSinceLast() >= quietMs;
        },
        giveUpMs);
    stallMeter.stop();
    const qint64 cpuUsed = cpuMicroseconds() - cpuBefore;
    const QList<QByteArray> answer = sender.readAllStandardOutput().trimmed().split(' ');
    if (!finished || answer.size() != 3 || answer.at(0) != "sent") {
        say(QStringLiteral("error: the sender did not finish properly"));
        std::exit(2);
    }
    run.sent = answer.at(1).toLongLong();
    run.senderSeconds = answer.at(2).toDouble();
    run.received = arrivals.count();
    run.rate = arrivals.rate();
    // All of it seen in one look: a drain that kept up with the sender to its end never returned
    // to the loop in between. The sender's own time is then the span.
    if (run.rate <= 0 && run.received > 0 && run.senderSeconds > 0)
        run.rate = double(run.received) / run.senderSeconds;
    if (run.received > 0)
        run.cpuPerDatagramUs = double(cpuUsed) / double(run.received);
    // The final quiet wait is idle time, not a stall, but it is not counted either: the meter
    // only sees gaps between its own shots, which stay short once the drain is done.
    run.stallMs = stallMeter.longestMs();
    return run;
}

Run Bench::bareSocket(double seconds)
{
    // The physical limit here: a plain socket drained until empty, with no parsing or display.
    QUdpSocket socket;
    socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
    socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, receiveBufferBytes);
    qint64 count = 0;
    QByteArray buffer(65536, Qt::Uninitialized);
    QObject::connect(&socket, &QUdpSocket::readyRead, [&] {
        while (socket.hasPendingDatagrams()) {
            if (socket.readDatagram(buffer.data(), buffer.size()) >= 0)
                ++count;
        }
    });
    Run run = drive(QStringLiteral("bare socket"),
                    {QStringLiteral("--port"), QString::number(socket.localPort()),
                     QStringLiteral("--seconds"), QString::number(seconds)},
                    [&] { return count; });
    run.stallMs = -1; // it drains until empty by design; its stalls say nothing
    return run;
}

Run Bench::viewerFlood(double seconds)
{
    auto viewer = openViewer();
    const int paintsBefore = viewer->paintCounter.paints;
    Run run = drive(QStringLiteral("viewer, flood"),
                    {QStringLiteral("--port"), QString::number(viewer->port),
                     QStringLiteral("--seconds"), QString::number(seconds)},
                    [&] { return viewer->received(); });
    run.paints = viewer->paintCounter.paints - paintsBefore;
    return run;
}

Run Bench::viewerPaced(qint64 count, qint64 rate)
{
    auto viewer = openViewer();
    const int paintsBefore = viewer->paintCounter.paints;
    Run run =
        drive(QStringLiteral("viewer, paced"),
              {QStringLiteral("--port"), QString::number(viewer->port), QStringLiteral("--count"),
               QString::number(count), QStringLiteral("--rate"), QString::number(rate),
               QStringLiteral("--seconds"), QString::number(double(count) / rate * 4 + 10)},
              [&] { return viewer->received(); });
    run.paints = viewer->paintCounter.paints - paintsBefore;
    return run;
}

Run Bench::viewerBurst(qint64 count)
{
    auto viewer = openViewer();
    const int paintsBefore = viewer->paintCounter.paints;
    Run run =
        drive(QStringLiteral("viewer, burst"),
              {QStringLiteral("--port"), QString::number(viewer->port), QStringLiteral("--count"),
               QString::number(count), QStringLiteral("--lead-table"), QStringLiteral("--seconds"),
               QStringLiteral("60")},
              [&] { return viewer->received(); });
    run.paints = viewer->paintCounter.paints - paintsBefore;
    return run;
}

double Bench::memoryPerLine(qint64 lines, qint64 *before, qint64 *after)
{
    auto viewer = openViewer();
    *before = residentBytes();

    // Fed as the socket drain would feed them, one batch at a time, with the event loop
    // turning in between so the window lays out and paints as it goes.
    Payloads payloads;
    const int batchSize = 2048;
    for (qint64 sent = 0; sent < lines;) {
        QVector<QByteArray> batch;
        batch.reserve(batchSize);
        for (; sent < lines && batch.size() < batchSize; ++sent)
            batch.append(payloads.make(sent));
        processDatagrams(*viewer->window, batch);
        QCoreApplication::processEvents();
    }
    // Lay the whole of every pane out, as scrolling through it would.
    for (QTextEdit *pane : qAsConst(viewer->panes))
        pane->document()->size();
    spinFor(300);
    *after = residentBytes();
    if (viewer->received() != lines) {
        say(QStringLiteral("error: %1 lines stored, %2 expected")
                .arg(viewer->received())
                .arg(lines));
        std::exit(2);
    }
    if (*before < 0 || *after < 0)
        return -1;
    return double(*after - *before) / double(lines);
}

QString number(double value, int decimals = 0)
{
    return value < 0 ? QStringLiteral("-") : QString::number(value, 'f', decimals);
}

void Bench::soak(double seconds, double intervalSeconds)
{
    auto viewer = openViewer();
    if (historyLimit >= 0)
        viewer->window->setHistoryLimit(historyLimit);
    auto *listener = viewer->window->findChild<UdpListener *>();

    QProcess sender;
    sender.setProcessChannelMode(QProcess::ForwardedErrorChannel);
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

    say(QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
            .arg(QStringLiteral("seconds"), 8)
            .arg(QStringLiteral("received/s"), 11)
            .arg(QStringLiteral("resident MiB"), 13)
            .arg(QStringLiteral("texts held per pane"), 28)
            .arg(QStringLiteral("stall ms"), 9)
            .arg(QStringLiteral("dropped"), 9)
            .arg(QStringLiteral("lost"), 9));
    QElapsedTimer clock;
    clock.start();
    stallMeter.start();
    sender.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--sender"), QStringLiteral("--port"),
                  QString::number(viewer->port), QStringLiteral("--seconds"),
                  QString::number(seconds), QStringLiteral("--report-ms"), QStringLiteral("200")});

    const qint64 intervalMs = qMax<qint64>(100, qint64(intervalSeconds * 1000));
    qint64 previousReceived = 0, previousMs = 0, summedReceived = 0, maxResident = 0;
    double longestStall = 0, firstRate = -1;
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
        const double stall = stallMeter.takeLongestMs();
        if (!senderDone)
            longestStall = qMax(longestStall, stall);
        say(QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                .arg(nowMs / 1000.0, 8, 'f', 1)
                .arg(rate, 11, 'f', 0)
                .arg(resident / 1048576.0, 13, 'f', 1)
                .arg(held.join(QLatin1Char(' ')), 28)
                .arg(stall, 9, 'f', 1)
                .arg(listener ? listener->droppedDatagrams() : -1, 9)
                .arg(sentSoFar - received, 9));
    }
    stallMeter.stop();
    const qint64 received = viewer->received();
    const double lastMinuteRate =
        lastMinuteMs > 0 ? double(lastMinuteReceived) * 1000.0 / double(lastMinuteMs) : -1;
    say(QStringLiteral("soak: seconds=%1 sent=%2 received=%3 summed=%4 lost=%5 dropped=%6 "
                       "first_interval_per_s=%7 last_minute_per_s=%8 ratio=%9 longest_stall_ms=%10 "
                       "resident_mib=%11 max_resident_mib=%12 load=%13")
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
            .arg(number(residentBytes() / 1048576.0, 1))
            .arg(number(maxResident / 1048576.0, 1))
            .arg(loadAverage().replace(QLatin1Char(' '), QLatin1Char('/'))));
}

void Bench::fillFirstPane(Viewer &viewer, qint64 texts)
{
    // Fed as the socket drain would feed them; every fourth sequence number is pane 1's.
    Payloads payloads;
    const int batchSize = 2048;
    for (qint64 sent = 0; sent < texts;) {
        QVector<QByteArray> batch;
        batch.reserve(batchSize);
        for (; sent < texts && batch.size() < batchSize; ++sent)
            batch.append(payloads.make(sent * paneCount));
        processDatagrams(*viewer.window, batch);
        QCoreApplication::processEvents();
    }
}

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

// Types the word into the find bar of a pane that holds `texts` texts, a letter at a time as a
// quick typist would, first while nothing arrives and then while a flood does. A keystroke's
// latency is the time from posting the key until the pane has painted after the field took it:
// the search, the count and the highlights are all done by then.
void Bench::findLatency(qint64 texts, const QString &word, double seconds)
{
    // The pauses while the pane fills and while typing must not clear the panes when a flood
    // starts.
    auto viewer = openViewer("timeoutEnabled = 0\n");
    viewer->window->setHistoryLimit(historyLimit >= 0 ? historyLimit
                                                      : int(qMax<qint64>(texts, 100000)));
    QElapsedTimer fillClock;
    fillClock.start();
    fillFirstPane(*viewer, texts);
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
        sender.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        stallMeter.start();
        sender.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--sender"), QStringLiteral("--port"),
                      QString::number(viewer->port), QStringLiteral("--seconds"),
                      QString::number(seconds)});
        sender.waitForStarted();
        while (sender.state() != QProcess::NotRunning)
            meanwhile();
        stallMeter.stop();
        spinFor(quietMs); // what is still in the socket
        return stallMeter.longestMs();
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

void printRun(const Run &run)
{
    say(QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
            .arg(run.name, -14)
            .arg(run.sent, 9)
            .arg(run.senderSeconds > 0 ? run.sent / run.senderSeconds : 0, 9, 'f', 0)
            .arg(run.received, 9)
            .arg(run.lost(), 8)
            .arg(run.rate, 12, 'f', 0)
            .arg(number(run.stallMs, 1), 10)
            .arg(run.paints < 0 ? QStringLiteral("-") : QString::number(run.paints), 7)
            .arg(number(run.cpuPerDatagramUs, 1), 8));
}

} // namespace

int main(int argc, char *argv[])
{
    keepFreedMemoryForReuse(); // as the viewer does
    const bool sender = argc > 1 && qstrcmp(argv[1], "--sender") == 0;
    if (!sender && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window reads and writes its settings in a home of its own, never the real one.
    QTemporaryDir home;
    if (!sender) {
        qputenv("HOME", home.path().toLocal8Bit());
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
            qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    }

    passMessage = qInstallMessageHandler(dropSizeHintsNotice);
    std::unique_ptr<QCoreApplication> application;
    if (sender)
        application = std::make_unique<QCoreApplication>(argc, argv);
    else
        application = std::make_unique<QApplication>(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Floods a Corvane window with datagrams and reports throughput, stalls, loss and "
        "memory."));
    parser.addHelpOption();
    const QCommandLineOption modeOption(
        QStringLiteral("mode"),
        QStringLiteral("all, flood, paced, memory, burst, soak or find (default all; burst, "
                       "soak and find are not in all)."),
        QStringLiteral("mode"), QStringLiteral("all"));
    const QCommandLineOption secondsOption(QStringLiteral("seconds"),
                                           QStringLiteral("Length of the flood (default 10)."),
                                           QStringLiteral("seconds"), QStringLiteral("10"));
    const QCommandLineOption countOption(
        QStringLiteral("count"), QStringLiteral("Datagrams in the paced stream (default 100000)."),
        QStringLiteral("count"), QStringLiteral("100000"));
    const QCommandLineOption rateOption(
        QStringLiteral("rate"),
        QStringLiteral("Datagrams a second in the paced stream (default 20000)."),
        QStringLiteral("rate"), QStringLiteral("20000"));
    const QCommandLineOption linesOption(
        QStringLiteral("lines"),
        QStringLiteral("Lines stored for the memory figure (default 200000)."),
        QStringLiteral("lines"), QStringLiteral("200000"));
    const QCommandLineOption quickOption(
        QStringLiteral("quick"),
        QStringLiteral("A short run: 2 s of flood, 10000 paced, 20000 lines."));
    const QCommandLineOption bufferOption(
        QStringLiteral("receive-buffer"),
        QStringLiteral("Give the viewer's socket this receive buffer instead of its own."),
        QStringLiteral("bytes"));
    const QCommandLineOption shapeAllOption(
        QStringLiteral("shape-all"),
        QStringLiteral("Experiment: let the panes shape all text, as QTextEdit does by default."));
    const QCommandLineOption noBareOption(
        QStringLiteral("no-bare"),
        QStringLiteral("Skip the bare socket run of the flood (for profiling the viewer)."));
    const QCommandLineOption intervalOption(
        QStringLiteral("interval"),
        QStringLiteral("Soak: seconds between two rows of figures (default 10)."),
        QStringLiteral("seconds"), QStringLiteral("10"));
    const QCommandLineOption historyOption(
        QStringLiteral("history"),
        QStringLiteral("Give the viewer's panes this history limit instead of their default."),
        QStringLiteral("texts"));
    const QCommandLineOption reportOption(
        QStringLiteral("report-ms"),
        QStringLiteral("Sender: print how many it sent this often (used internally)."),
        QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption leadTableOption(
        QStringLiteral("lead-table"),
        QStringLiteral("Sender: send a large table first (used internally)."));
    const QCommandLineOption textsOption(
        QStringLiteral("texts"),
        QStringLiteral("Find: the texts in the pane searched (default 100000)."),
        QStringLiteral("texts"), QStringLiteral("100000"));
    const QCommandLineOption wordOption(QStringLiteral("word"),
                                        QStringLiteral("Find: the word typed (default lazy)."),
                                        QStringLiteral("word"), QStringLiteral("lazy"));
    const QCommandLineOption senderOption(QStringLiteral("sender"),
                                          QStringLiteral("Be the sender (used internally)."));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Sender: the port to send to."),
                                        QStringLiteral("port"));
    parser.addOptions({modeOption, secondsOption, countOption, rateOption, linesOption, quickOption,
                       bufferOption, shapeAllOption, noBareOption, intervalOption, historyOption,
                       reportOption, leadTableOption, textsOption, wordOption, senderOption,
                       portOption});
    parser.process(*application);

    const bool quick = parser.isSet(quickOption);
    auto option = [&](const QCommandLineOption &opt, double quickValue) {
        return quick && !parser.isSet(opt) ? quickValue : parser.value(opt).toDouble();
    };
    const double seconds = option(secondsOption, 2);
    const qint64 count = qint64(option(countOption, 10000));
    const qint64 rate = qint64(option(rateOption, 20000));
    const qint64 lines = qint64(option(linesOption, 20000));

    if (sender) {
        // A paced sender is told its count; an endless one only its time.
        return runSender(quint16(parser.value(portOption).toUInt()),
                         parser.isSet(countOption) ? count : 0, parser.isSet(rateOption) ? rate : 0,
                         seconds, parser.value(reportOption).toLongLong(),
                         parser.isSet(leadTableOption));
    }

    const QString mode = parser.value(modeOption);
    const bool all = mode == QLatin1String("all");
    if (!all && mode != QLatin1String("flood") && mode != QLatin1String("paced")
        && mode != QLatin1String("memory") && mode != QLatin1String("soak")
        && mode != QLatin1String("burst") && mode != QLatin1String("find")) {
        say(QStringLiteral("error: unknown mode %1").arg(mode));
        return 2;
    }
    if (seconds <= 0 || count <= 0 || rate <= 0 || lines <= 0) {
        say(QStringLiteral("error: --seconds, --count, --rate and --lines must be positive"));
        return 2;
    }

    QDir(home.path()).mkpath(QStringLiteral(".corvane"));
    Bench bench(home.path());
    bench.receiveBuffer = parser.value(bufferOption).toInt();
    bench.shapeAll = parser.isSet(shapeAllOption);
    if (parser.isSet(historyOption))
        bench.historyLimit = parser.value(historyOption).toInt();

    say(QStringLiteral("corvane-bench: load average %1, %2 cores")
            .arg(loadAverage())
            .arg(QThread::idealThreadCount()));
    if (mode == QLatin1String("burst")) {
        // A large table that keeps the window busy, followed at once by --count small datagrams.
        const Run burst = bench.viewerBurst(parser.isSet(countOption) ? count : 20000);
        printRun(burst);
        say(QStringLiteral("burst: sent=%1 received=%2 lost=%3 stall_ms=%4")
                .arg(burst.sent)
                .arg(burst.received)
                .arg(burst.lost())
                .arg(number(burst.stallMs, 1)));
        return 0;
    }
    if (mode == QLatin1String("find")) {
        // Typing in the find bar over a full pane, idle and in a flood.
        const qint64 texts = parser.value(textsOption).toLongLong();
        const QString word = parser.value(wordOption);
        if (texts <= 0 || word.isEmpty()) {
            say(QStringLiteral("error: --texts must be positive and --word not empty"));
            return 2;
        }
        bench.findLatency(texts, word, seconds);
        return 0;
    }
    if (mode == QLatin1String("soak")) {
        // An endless flood: rate, memory, texts held, stalls and losses as time goes on.
        bench.soak(parser.isSet(secondsOption) || quick ? seconds : 300,
                   parser.value(intervalOption).toDouble());
        return 0;
    }
    say(QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
            .arg(QStringLiteral("run"), -14)
            .arg(QStringLiteral("sent"), 9)
            .arg(QStringLiteral("sent/s"), 9)
            .arg(QStringLiteral("received"), 9)
            .arg(QStringLiteral("lost"), 8)
            .arg(QStringLiteral("received/s"), 12)
            .arg(QStringLiteral("stall ms"), 10)
            .arg(QStringLiteral("paints"), 7)
            .arg(QStringLiteral("cpu us"), 8));

    // Memory first: windows of the other runs would leave freed heap behind for this one to
    // reuse, and the figure would come out too low.
    double perLine = -1;
    if (all || mode == QLatin1String("memory")) {
        qint64 before = 0, after = 0;
        perLine = bench.memoryPerLine(lines, &before, &after);
        say(QStringLiteral("memory: %1 lines, resident %2 MiB before, %3 MiB after, %4 bytes "
                           "a line")
                .arg(lines)
                .arg(number(before / 1048576.0, 1))
                .arg(number(after / 1048576.0, 1))
                .arg(number(perLine)));
    }

    Run bare, flood, paced;
    if (all || mode == QLatin1String("flood")) {
        if (!parser.isSet(noBareOption)) {
            bare = bench.bareSocket(seconds);
            printRun(bare);
        }
        flood = bench.viewerFlood(seconds);
        printRun(flood);
    }
    if (all || mode == QLatin1String("paced")) {
        paced = bench.viewerPaced(count, rate);
        printRun(paced);
    }

    if (bench.grantedBuffer >= 0)
        say(QStringLiteral("viewer socket receive buffer: %1 bytes").arg(bench.grantedBuffer));
    const double ratio = bare.rate > 0 && flood.sent >= 0 ? flood.rate / bare.rate : -1;
    say(QStringLiteral("summary: sent=%1 received=%2 lost=%3 viewer_per_s=%4 bare_per_s=%5 "
                       "ratio=%6 longest_stall_ms=%7 paced_sent=%8 paced_received=%9 "
                       "paced_lost=%10 paced_stall_ms=%11 bytes_per_line=%12 load=%13")
            .arg(flood.sent >= 0 ? QString::number(flood.sent) : QStringLiteral("-"))
            .arg(flood.sent >= 0 ? QString::number(flood.received) : QStringLiteral("-"))
            .arg(flood.sent >= 0 ? QString::number(flood.lost()) : QStringLiteral("-"))
            .arg(flood.sent >= 0 ? number(flood.rate) : QStringLiteral("-"))
            .arg(bare.sent >= 0 ? number(bare.rate) : QStringLiteral("-"))
            .arg(number(ratio, 2))
            .arg(flood.sent >= 0 ? number(flood.stallMs, 1) : QStringLiteral("-"))
            .arg(paced.sent >= 0 ? QString::number(paced.sent) : QStringLiteral("-"))
            .arg(paced.sent >= 0 ? QString::number(paced.received) : QStringLiteral("-"))
            .arg(paced.sent >= 0 ? QString::number(paced.lost()) : QStringLiteral("-"))
            .arg(paced.sent >= 0 ? number(paced.stallMs, 1) : QStringLiteral("-"))
            .arg(number(perLine))
            .arg(loadAverage().replace(QLatin1Char(' '), QLatin1Char('/'))));
    return 0;
}
