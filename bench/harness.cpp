// The flood benchmark's shared harness: payloads, meters, the viewer and the driving loop.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "harness.h"

#include "ingest/udplistener.h"
#include "panes/logpane.h"
#include "window/directfeed.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTabWidget>
#include <QTextEdit>
#include <QUdpSocket>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

namespace bench {

void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

QString number(double value, int decimals)
{
    return value < 0 ? QStringLiteral("-") : QString::number(value, 'f', decimals);
}

namespace {

// The offscreen platform says this whenever a main window is shown, which would put it between
// the table's rows; every other message goes through as before.
QtMessageHandler passMessage = nullptr;

void dropSizeHintsNotice(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text != QLatin1String("This plugin does not support propagateSizeHints()"))
        passMessage(type, context, text);
}

quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QHostAddress::LocalHost), 0);
    return probe.localPort();
}

} // namespace

void quietSizeHintsNotice()
{
    passMessage = qInstallMessageHandler(dropSizeHintsNotice);
}

Payloads::Payloads()
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

const QByteArray &Payloads::make(qint64 sequence)
{
    QByteArray &payload = templates[sequence % paneCount];
    char *digits = payload.data() + numberOffset;
    for (int i = 9; i >= 0; --i) {
        digits[i] = char('0' + sequence % 10);
        sequence /= 10;
    }
    return payload;
}

qint64 Payloads::sequenceIn(const QString &text)
{
    const int hash = text.lastIndexOf(QLatin1Char('#'));
    bool ok = false;
    const qint64 sequence = hash >= 0 ? text.mid(hash + 1, 10).toLongLong(&ok) : -1;
    return ok ? sequence : -1;
}

// The processor time of the calling thread.
static qint64 threadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

StallMeter::StallMeter()
{
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(1);
    connect(&timer, &QTimer::timeout, this, [this] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 cpuNow = threadCpuNs();
        if (recording) {
            longestNs = qMax(longestNs, now - lastNs);
            longestCpuNs = qMax(longestCpuNs, cpuNow - lastCpuNs);
        }
        lastNs = now;
        lastCpuNs = cpuNow;
    });
    clock.start();
    timer.start();
}

void StallMeter::start()
{
    longestNs = 0;
    longestCpuNs = 0;
    lastCpuNs = threadCpuNs();
    lastNs = clock.nsecsElapsed();
    recording = true;
}

double StallMeter::takeLongestMs()
{
    // The gap since the last shot counts here, so the next shot must not count it again: a
    // stall just before a row was taken showed in that row and the next.
    const qint64 now = clock.nsecsElapsed();
    const qint64 cpuNow = threadCpuNs();
    const double longest = qMax(longestNs, now - lastNs) / 1e6;
    longestNs = 0;
    lastNs = now;
    longestCpuNs = qMax(longestCpuNs, cpuNow - lastCpuNs);
    lastCpuNs = cpuNow;
    return longest;
}

double StallMeter::takeLongestOwnMs()
{
    const double longest = longestCpuNs / 1e6;
    longestCpuNs = 0;
    return longest;
}

bool PaintCounter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        ++paints;
    return QObject::eventFilter(watched, event);
}

void Arrivals::update(qint64 count)
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

double Arrivals::rate() const
{
    if (firstNs < 0 || lastNs <= firstNs)
        return 0;
    return double(last - firstCount) * 1e9 / double(lastNs - firstNs);
}

int textsHeld(const QTextEdit *pane)
{
    const auto *log = pane->findChild<LogPane *>(QString(), Qt::FindDirectChildrenOnly);
    return log ? log->textCount() : pane->document()->blockCount();
}

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

void printRunHeader()
{
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

qint64 Viewer::received() const
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

void Viewer::feed(qint64 count, qint64 step)
{
    Payloads payloads;
    const int batchSize = 2048;
    for (qint64 sent = 0; sent < count;) {
        QVector<QByteArray> batch;
        batch.reserve(batchSize);
        for (; sent < count && batch.size() < batchSize; ++sent)
            batch.append(payloads.make(sent * step));
        processDatagrams(*window, batch);
        QCoreApplication::processEvents();
    }
}

std::unique_ptr<Viewer> Harness::openViewer(const QByteArray &moreConfig)
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
    for (const auto &wanted : {std::make_pair(sourcesOpen, "actionSources"),
                               std::make_pair(showTimes, "actionShowTimes")}) {
        auto *action = viewer->window->findChild<QAction *>(QLatin1String(wanted.second));
        if (wanted.first && action && !action->isChecked())
            action->trigger();
    }
    // Offscreen, a window paints only once shown; painting is part of the cost.
    viewer->panes.first()->viewport()->installEventFilter(&viewer->paintCounter);
    viewer->window->show();
    spinFor(300);
    return viewer;
}

void Harness::startSender(QProcess &sender, const QStringList &arguments)
{
    sender.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sender.start(QCoreApplication::applicationFilePath(),
                 QStringList {QStringLiteral("--sender")} + arguments);
}

Run Harness::drive(const QString &name, const QStringList &senderArgs,
                   const std::function<qint64()> &received)
{
    Run run;
    run.name = name;
    Arrivals arrivals;
    QProcess sender;
    stallMeter.start();
    takeLongestPauseMs();
    takePacePercent();
    const qint64 cpuBefore = cpuMicroseconds();
    startSender(sender, senderArgs);
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
    const double pauseMs = takeLongestPauseMs();
    const double pace = takePacePercent();
    QString line = QStringLiteral("%1: longest stall %2 ms, of it the window's own processor time "
                                  "%3 ms")
                       .arg(name)
                       .arg(number(run.stallMs, 1))
                       .arg(number(stallMeter.longestOwnMs(), 1));
    if (pauseMs >= 0)
        line += QStringLiteral("; the machine's longest pause %1 ms, its pace %2%")
                        .arg(number(pauseMs, 1), number(pace));
    say(line);
    return run;
}

} // namespace bench
