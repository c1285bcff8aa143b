// corvane-send: feeds a running Corvane viewer from the command line or from a pipe.
//
// Every datagram is one JSON object built by Qt's JSON writer (through the client library,
// which also splits long texts), so quotes, backslashes, control characters and non-ASCII text
// are escaped the way any JSON reader expects.
// SPDX-License-Identifier: GPL-3.0-or-later

#include <corvane/client.h>

#include "app/qtcompat.h"
#include "replay.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <QThread>

#include <cstdio>

namespace {

enum ExitCode {
    ExitSent = 0,
    ExitUsage = 2,
    ExitHost = 3,
    ExitSend = 4,
    ExitInput = 5,
};

const char description[] =
    "Sends log texts to a running Corvane viewer as UDP datagrams.\n"
    "\n"
    "Each datagram is one JSON object in UTF-8. \"tabs\" names the viewer's four tabs and\n"
    "\"log1\" to \"log4\" carry the texts for its four panes; a pane without a text is left\n"
    "out. For example:\n"
    "\n"
    "  {\"tabs\":[\"Net\",\"Db\",\"UI\",\"Misc\"],\"log1\":\"connected\",\"log3\":\"button "
    "pressed\"}\n"
    "\n"
    "Each datagram also carries \"seq\", its number in this run from 1, and \"app\",\n"
    "\"corvane-send\": the viewer counts from them the datagrams lost on the way.\n"
    "\n"
    "With --log1 to --log4 one datagram is sent. With --pane N every line read from the\n"
    "standard input is sent to pane N as a datagram of its own, as soon as it arrives; blank\n"
    "lines are skipped. A text too long for one datagram (65507 bytes of JSON) is sent in\n"
    "several, split at line breaks where it can be. Input that is not valid UTF-8 is\n"
    "repaired with U+FFFD replacement characters.\n"
    "\n"
    "With --replay FILE the datagrams of a recording that the viewer made (corvane --record)\n"
    "are sent again in the order they came, at their own pace times --speed.";

const char epilogue[] =
    "\n"
    "Examples:\n"
    "  corvane-send --tabs \"Net,Db,UI,Misc\" --log1 connected --log3 \"button pressed\"\n"
    "  make 2>&1 | corvane-send --pane 4 --tabs \",,,Build\" --rate 100\n"
    "  corvane-send --replay monday.sqlite --speed 10\n"
    "\n"
    "Exit status: 0 when everything was sent, 2 for a wrong command line, 3 when the host\n"
    "does not resolve, 4 when a datagram could not be sent, 5 when the standard input\n"
    "or the recording could not be read.\n";

void printError(const QString &message)
{
    std::fprintf(stderr, "corvane-send: %s\n", qUtf8Printable(message));
}

// The slowest rate taken: one datagram a day. Below it the wait between two datagrams would
// be long enough to overflow the clock's count of nanoseconds (--rate 1e-11 is one datagram
// in three thousand years), and no pipe is read that slowly on purpose.
constexpr double minimumRate = 1.0 / 86400;

// Sends texts to one viewer through the client library, at most `rate` datagrams a second
// when rate is above zero.
class PacedSender
{
public:
    PacedSender(const QString &host, quint16 port, const QStringList &captions, double rate)
        : sender(host, port), intervalNs(rate > 0 ? qint64(1e9 / rate) : 0)
    {
        sender.setCaptions(captions);
    }

    // The host's name did not resolve.
    bool hasAddressError() const { return sender.error() == corvane::Sender::AddressError; }

    // Sends one message with a text for each pane (index 0 is pane 1; empty texts are left
    // out), as one datagram when it fits, else as the library splits it.
    bool send(const corvane::PaneTexts &texts)
    {
        // With room left in each for the number the sender adds.
        const QByteArrayList payloads = sender.datagrams(texts);
        if (payloads.isEmpty()) {
            error = QStringLiteral("the tab captions alone leave no room for a text");
            return false;
        }
        for (const QByteArray &payload : payloads) {
            if (!sendPayload(payload))
                return false;
        }
        return true;
    }

    QString errorString() const { return error.isEmpty() ? sender.errorString() : error; }

private:
    bool sendPayload(const QByteArray &payload)
    {
        if (intervalNs > 0) {
            if (clock.isValid()) {
                const qint64 waitNs = intervalNs - clock.nsecsElapsed();
                if (waitNs > 0)
                    QThread::usleep(quint64(waitNs / 1000));
            }
            clock.start();
        }
        // A viewer that is not running is no error: the datagram is lost, as UDP's are, and
        // a viewer started later gets the lines that follow.
        return sender.sendCountedDatagram(payload)
            || sender.error() == corvane::Sender::ViewerAbsent;
    }

    corvane::Sender sender;
    qint64 intervalNs;
    QElapsedTimer clock;
    QString error;
};

// Arguments are taken as UTF-8 whatever the locale says, and repaired like the input lines.
QStringList utf8Arguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromUtf8(argv[i]));
    return arguments;
}

// Four captions from "A,B,C,D". A missing or empty entry keeps the viewer's default caption
// for its place, so ",,Build" renames only the third tab.
bool parseCaptions(const QString &option, QStringList *captions, QString *error)
{
    captions->clear();
    if (option.isNull())
        return true;
    const QStringList given = option.split(QLatin1Char(','));
    if (given.size() > corvane::paneCount) {
        *error = QStringLiteral("--tabs takes at most four captions, got %1").arg(given.size());
        return false;
    }
    for (const QString &caption : given)
        captions->append(caption.trimmed());
    return true;
}

// Streams standard input to one pane, a datagram a line, each sent as soon as it is read.
int sendLines(PacedSender &sender, int pane)
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        printError(QStringLiteral("cannot read the standard input: %1").arg(input.errorString()));
        return ExitInput;
    }
    // Opened on the C stream, the file hands over what the pipe holds as soon as it arrives.
    QTextStream lines(&input);
    corvane::useUtf8(lines);
    QString line;
    while (lines.readLineInto(&line)) {
        // A line ends at "\n"; the stream drops a "\r" before it.
        if (line.isEmpty())
            continue;
        corvane::PaneTexts texts;
        texts[pane] = line;
        if (!sender.send(texts)) {
            printError(sender.errorString());
            return ExitSend;
        }
    }
    if (input.error() != QFileDevice::NoError) {
        printError(QStringLiteral("cannot read the standard input: %1").arg(input.errorString()));
        return ExitInput;
    }
    return ExitSent;
}

// --replay: nothing else to send goes with it.
int replay(const QCommandLineParser &parser, const QString &path, const QString &host, quint16 port,
           const QString &speedText)
{
    for (const char *other : {"log1", "log2", "log3", "log4", "pane", "tabs", "rate"}) {
        if (parser.isSet(QString::fromLatin1(other))) {
            printError(QStringLiteral("--replay sends the recording alone, without --%1")
                           .arg(QString::fromLatin1(other)));
            return ExitUsage;
        }
    }
    bool ok = false;
    const double speed = speedText.toDouble(&ok);
    if (!ok || speed < 0 || !qIsFinite(speed)) {
        printError(QStringLiteral("speed \"%1\" is no factor of the recorded pace (0 or more)")
                       .arg(speedText));
        return ExitUsage;
    }
    corvane::Sender sender(host, port);
    if (!sender.isValid()) {
        printError(sender.errorString());
        return ExitHost;
    }
    QString error;
    if (!replayRecording(path, sender, speed, &error)) {
        printError(error);
        return sender.error() == corvane::Sender::NoError ? ExitInput : ExitSend;
    }
    return ExitSent;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-send"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(description));
    // A help option of our own: Qt's adds --help-all for toolkit options this program lacks.
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Shows this help."));
    parser.addOption(helpOption);
    const QCommandLineOption versionOption = parser.addVersionOption();
    QCommandLineOption logOptions[corvane::paneCount] = {
        {QStringLiteral("log1"), QStringLiteral("Text for pane 1."), QStringLiteral("text")},
        {QStringLiteral("log2"), QStringLiteral("Text for pane 2."), QStringLiteral("text")},
        {QStringLiteral("log3"), QStringLiteral("Text for pane 3."), QStringLiteral("text")},
        {QStringLiteral("log4"), QStringLiteral("Text for pane 4."), QStringLiteral("text")},
    };
    for (const QCommandLineOption &option : logOptions)
        parser.addOption(option);
    const QCommandLineOption paneOption(
        QStringLiteral("pane"),
        QStringLiteral("Send each line of the standard input to pane <n> (1 to 4)."),
        QStringLiteral("n"));
    const QCommandLineOption tabsOption(
        QStringLiteral("tabs"),
        QStringLiteral("The four tab captions, separated by commas. Missing or empty ones "
                       "are the viewer's defaults: Log 1, Log 2, Log 3, Log4."),
        QStringLiteral("captions"));
    const QCommandLineOption hostOption(QStringLiteral("host"),
                                        QStringLiteral("The viewer's host (127.0.0.1)."),
                                        QStringLiteral("host"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("The viewer's UDP port (1947)."),
                                        QStringLiteral("port"), QStringLiteral("1947"));
    const QCommandLineOption rateOption(
        QStringLiteral("rate"),
        QStringLiteral("Send at most <n> datagrams a second (0, the default, for no limit)."),
        QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption replayOption(
        QStringLiteral("replay"),
        QStringLiteral("Send the datagrams of the recording <file> again, in order."),
        QStringLiteral("file"));
    const QCommandLineOption speedOption(
        QStringLiteral("speed"),
        QStringLiteral("With --replay, the recording's pace times <x> (1, the default, as it "
                       "came; 0 as fast as they go)."),
        QStringLiteral("x"), QStringLiteral("1"));
    parser.addOptions(
        {paneOption, tabsOption, hostOption, portOption, rateOption, replayOption, speedOption});

    if (!parser.parse(utf8Arguments(argc, argv))) {
        printError(parser.errorText());
        return ExitUsage;
    }
    if (parser.isSet(helpOption)) {
        std::fputs(qUtf8Printable(parser.helpText()), stdout);
        std::fputs(epilogue, stdout);
        return ExitSent;
    }
    if (parser.isSet(versionOption)) {
        std::printf("corvane-send %s\n", CORVANE_VERSION);
        return ExitSent;
    }
    if (!parser.positionalArguments().isEmpty()) {
        printError(QStringLiteral("unexpected argument \"%1\"; texts go after --log1 to --log4")
                       .arg(parser.positionalArguments().first()));
        return ExitUsage;
    }

    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port < 1 || port > 65535) {
        printError(QStringLiteral("port \"%1\" is out of range (1 to 65535)")
                       .arg(parser.value(portOption)));
        return ExitUsage;
    }
    const double rate = parser.value(rateOption).toDouble(&ok);
    if (!ok || rate < 0 || !qIsFinite(rate)) {
        printError(QStringLiteral("rate \"%1\" is not a number of datagrams a second")
                       .arg(parser.value(rateOption)));
        return ExitUsage;
    }
    if (rate > 0 && rate < minimumRate) {
        printError(QStringLiteral("rate \"%1\" is out of range: the slowest is one datagram a "
                                  "day (%2), 0 is no limit")
                       .arg(parser.value(rateOption))
                       .arg(minimumRate));
        return ExitUsage;
    }
    if (parser.isSet(replayOption))
        return replay(parser, parser.value(replayOption), parser.value(hostOption), quint16(port),
                      parser.value(speedOption));
    if (parser.isSet(speedOption)) {
        printError(QStringLiteral("--speed goes with --replay"));
        return ExitUsage;
    }
    int pane = -1;
    if (parser.isSet(paneOption)) {
        pane = parser.value(paneOption).toInt(&ok) - 1;
        if (!ok || pane < 0 || pane >= corvane::paneCount) {
            printError(QStringLiteral("pane \"%1\" does not exist; panes are 1 to 4")
                           .arg(parser.value(paneOption)));
            return ExitUsage;
        }
    }
    QStringList captions;
    QString error;
    if (!parseCaptions(parser.value(tabsOption), &captions, &error)) {
        printError(error);
        return ExitUsage;
    }
    corvane::PaneTexts texts;
    bool haveTexts = false;
    for (int i = 0; i < corvane::paneCount; ++i) {
        texts[i] = parser.value(logOptions[i]);
        haveTexts = haveTexts || parser.isSet(logOptions[i]);
    }
    if (!haveTexts && pane < 0 && !parser.isSet(tabsOption)) {
        printError(QStringLiteral("nothing to send: give --log1 to --log4, --tabs or --pane "
                                  "(see --help)"));
        return ExitUsage;
    }

    PacedSender sender(parser.value(hostOption), quint16(port), captions, rate);
    if (sender.hasAddressError()) {
        printError(sender.errorString());
        return ExitHost;
    }
    // The texts given as options go first, then the stream, if any.
    if ((haveTexts || pane < 0) && !sender.send(texts)) {
        printError(sender.errorString());
        return ExitSend;
    }
    return pane < 0 ? ExitSent : sendLines(sender, pane);
}
