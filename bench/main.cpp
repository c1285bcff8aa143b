// Floods a real, visible MainWindow with datagrams from a separate sender process and reports
// what got through, how fast, how long the event loop ever stood still, and how much memory a
// stored line costs. The same program, started with --sender, is that sender. This file reads
// the options and runs the modes, each in a file of its own (modes.h).
// SPDX-License-Identifier: GPL-3.0-or-later
#include "modes.h"

#include "app/memoryreuse.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

using namespace bench;

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

    quietSizeHintsNotice();
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
        QStringLiteral("all, flood, paced, memory, burst, soak, find, filter, record or reading "
                       "(default all; burst, soak, find, filter, record and reading are not in "
                       "all)."),
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
        QStringLiteral("Find: the texts in the pane searched (default 100000); filter: the "
                       "texts in the pane filtered (default 50000)."),
        QStringLiteral("texts"), QStringLiteral("100000"));
    const QCommandLineOption wordOption(QStringLiteral("word"),
                                        QStringLiteral("Find: the word typed (default lazy)."),
                                        QStringLiteral("word"), QStringLiteral("lazy"));
    const QCommandLineOption sendersOption(
        QStringLiteral("senders"),
        QStringLiteral("Flood: this many senders, each a socket of its own (default 1)."),
        QStringLiteral("count"), QStringLiteral("1"));
    const QCommandLineOption numberedOption(
        QStringLiteral("numbered"),
        QStringLiteral("Flood: datagrams carry \"seq\" and \"app\" as the client library's do."));
    const QCommandLineOption sourcesOpenOption(
        QStringLiteral("sources-open"), QStringLiteral("The viewer has its Sources panel open."));
    const QCommandLineOption showTimesOption(
        QStringLiteral("show-times"),
        QStringLiteral("The viewer shows arrival times in front of the texts."));
    const QCommandLineOption pausesOption(
        QStringLiteral("pauses"),
        QStringLiteral("Flood and soak: also note the machine's own pauses, with a real-time "
                       "thread on each core (needs root or CAP_SYS_NICE; slows the viewer a "
                       "little)."));
    const QCommandLineOption senderOption(QStringLiteral("sender"),
                                          QStringLiteral("Be the sender (used internally)."));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Sender: the port to send to."),
                                        QStringLiteral("port"));
    parser.addOptions({modeOption, secondsOption, countOption, rateOption, linesOption, quickOption,
                       bufferOption, shapeAllOption, noBareOption, intervalOption, historyOption,
                       reportOption, leadTableOption, textsOption, wordOption, senderOption,
                       portOption});
    parser.addOptions(
        {sendersOption, numberedOption, sourcesOpenOption, showTimesOption, pausesOption});
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
                         parser.isSet(leadTableOption), parser.value(sendersOption).toInt(),
                         parser.isSet(numberedOption));
    }

    const QString mode = parser.value(modeOption);
    const bool all = mode == QLatin1String("all");
    if (!all && mode != QLatin1String("flood") && mode != QLatin1String("paced")
        && mode != QLatin1String("memory") && mode != QLatin1String("soak")
        && mode != QLatin1String("burst") && mode != QLatin1String("find")
        && mode != QLatin1String("filter") && mode != QLatin1String("record")
        && mode != QLatin1String("reading")) {
        say(QStringLiteral("error: unknown mode %1").arg(mode));
        return 2;
    }
    if (seconds <= 0 || count <= 0 || rate <= 0 || lines <= 0) {
        say(QStringLiteral("error: --seconds, --count, --rate and --lines must be positive"));
        return 2;
    }

    QDir(home.path()).mkpath(QStringLiteral(".corvane"));
    Harness harness(home.path());
    harness.receiveBuffer = parser.value(bufferOption).toInt();
    harness.shapeAll = parser.isSet(shapeAllOption);
    harness.senders = qMax(1, parser.value(sendersOption).toInt());
    harness.numbered = parser.isSet(numberedOption);
    harness.sourcesOpen = parser.isSet(sourcesOpenOption);
    harness.showTimes = parser.isSet(showTimesOption);
    if (parser.isSet(pausesOption))
        harness.pauseProbe = std::make_unique<PauseProbe>();
    if (parser.isSet(historyOption))
        harness.historyLimit = parser.value(historyOption).toInt();

    say(QStringLiteral("corvane-bench: load average %1, %2 cores")
            .arg(loadAverage())
            .arg(QThread::idealThreadCount()));
    if (mode == QLatin1String("burst")) {
        // A large table that keeps the window busy, followed at once by --count small datagrams.
        const Run burst = viewerBurst(harness, parser.isSet(countOption) ? count : 20000);
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
        findLatency(harness, texts, word, seconds);
        return 0;
    }
    if (mode == QLatin1String("filter")) {
        // A pane of 50,000 texts on show filtered anew, and a flood with ten rules and none.
        const qint64 texts = parser.isSet(textsOption) ? parser.value(textsOption).toLongLong()
                                                       : defaultHistoryLimit;
        filterRun(harness, home.path(), texts, seconds);
        return 0;
    }
    if (mode == QLatin1String("record")) {
        // The flood with recording off and on, in turn, three times each.
        printRunHeader();
        recordingCost(harness, seconds, 3, home.path());
        return 0;
    }
    if (mode == QLatin1String("reading")) {
        // A hidden tab shown, and Ctrl+Home and Ctrl+End, over full panes (--texts each).
        reading(harness, parser.value(textsOption).toLongLong());
        return 0;
    }
    if (mode == QLatin1String("soak")) {
        // An endless flood: rate, memory, texts held, stalls and losses as time goes on.
        soak(harness, parser.isSet(secondsOption) || quick ? seconds : 300,
                   parser.value(intervalOption).toDouble());
        return 0;
    }
    printRunHeader();

    // Memory first: windows of the other runs would leave freed heap behind for this one to
    // reuse, and the figure would come out too low.
    double perLine = -1;
    if (all || mode == QLatin1String("memory")) {
        qint64 before = 0, after = 0;
        perLine = memoryPerLine(harness, lines, &before, &after);
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
            bare = bareSocket(harness, seconds);
            printRun(bare);
        }
        flood = viewerFlood(harness, seconds);
        printRun(flood);
    }
    if (all || mode == QLatin1String("paced")) {
        paced = viewerPaced(harness, count, rate);
        printRun(paced);
    }

    if (harness.grantedBuffer >= 0)
        say(QStringLiteral("viewer socket receive buffer: %1 bytes").arg(harness.grantedBuffer));
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
