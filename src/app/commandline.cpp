// Reads the viewer's options with QCommandLineParser.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <limits>

namespace {

// The options' texts are translated in a context of their own, there being no window yet.
struct CommandLineTexts
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

// "1000", "512K", "64M", "1G": bytes, a suffix counting KiB, MiB or GiB; -1 for anything else.
qint64 bytesOfSize(const QString &size)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,19})([KMG]?)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(size);
    if (!match.hasMatch())
        return -1;
    bool ok = false;
    const qint64 number = match.captured(1).toLongLong(&ok);
    const QString unit = match.captured(2).toUpper();
    const int shift = unit.isEmpty() ? 0 : 10 * int(QStringLiteral("KMG").indexOf(unit) + 1);
    if (!ok || number > (std::numeric_limits<qint64>::max() >> shift))
        return -1;
    return number << shift;
}

CommandLine fail(CommandLine result, const QString &error)
{
    result.action = CommandLine::Fail;
    result.message = QStringLiteral("corvane: ") + error;
    return result;
}

// --record, --record-limit, --open, --export, --from and --to, once the rest is read.
CommandLine readRecordingOptions(const QCommandLineParser &parser, CommandLine result)
{
    result.recordPath = parser.value(QStringLiteral("record"));
    result.openPath = parser.value(QStringLiteral("open"));
    result.exportPath = parser.value(QStringLiteral("export"));
    const int sources = int(parser.isSet(QStringLiteral("record")))
        + int(parser.isSet(QStringLiteral("open"))) + int(parser.isSet(QStringLiteral("export")));
    if (sources > 1)
        return fail(result, CommandLineTexts::tr("--record, --open and --export go one at a time"));
    for (const QString &name :
         {QStringLiteral("record"), QStringLiteral("open"), QStringLiteral("export")}) {
        if (parser.isSet(name) && parser.value(name).isEmpty())
            return fail(result, CommandLineTexts::tr("--%1 takes the name of a file").arg(name));
    }
    if (parser.isSet(QStringLiteral("record-limit"))) {
        const QString limit = parser.value(QStringLiteral("record-limit"));
        const qint64 bytes = bytesOfSize(limit);
        if (bytes < 0) {
            return fail(
                result,
                CommandLineTexts::tr("--record-limit takes a size in bytes such as 500000, 64M or "
                                     "1G, 0 for no limit, not \"%1\"")
                    .arg(limit));
        }
        result.recordLimit = bytes;
    }
    const bool readsRecording = !result.openPath.isEmpty() || !result.exportPath.isEmpty();
    TimeBound *bounds[] = {&result.range.from, &result.range.to};
    const QString names[] = {QStringLiteral("from"), QStringLiteral("to")};
    for (int i = 0; i < 2; ++i) {
        if (!parser.isSet(names[i]))
            continue;
        if (!readsRecording)
            return fail(result,
                        CommandLineTexts::tr("--%1 goes with --open or --export").arg(names[i]));
        *bounds[i] = TimeBound::parse(parser.value(names[i]));
        if (bounds[i]->kind != TimeBound::At && bounds[i]->kind != TimeBound::BeforeEnd) {
            return fail(
                result,
                CommandLineTexts::tr("--%1 takes a local time such as \"2026-12-08 10:00\" or "
                                     "\"10:00\", or a duration back from the end such as -10m, "
                                     "not \"%2\"")
                    .arg(names[i], parser.value(names[i])));
        }
    }
    if (!result.exportPath.isEmpty())
        result.action = CommandLine::Export;
    return result;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(CommandLineTexts::tr(
        "Shows the log texts that programs send it as UDP datagrams, in four panes."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        CommandLineTexts::tr("Shows this help and exits."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           CommandLineTexts::tr("Shows the version and exits."));
    const QCommandLineOption historyOption(
        QStringLiteral("history"),
        CommandLineTexts::tr(
            "Keeps at most <texts> texts in each pane, letting the oldest go; 0 keeps all. "
            "The default is %1.")
            .arg(defaultHistoryLimit),
        CommandLineTexts::tr("texts"));
    const QCommandLineOption historySizeOption(
        QStringLiteral("history-size"),
        CommandLineTexts::tr(
            "Keeps at most <size> bytes of text in each pane, two a character, letting the "
            "oldest texts go; K, M or G after the number count KiB, MiB or GiB, and 0 "
            "keeps all. The default is %1M. The pane lets texts go at whichever limit it "
            "reaches first, this or --history.")
            .arg(defaultHistoryBytes >> 20),
        CommandLineTexts::tr("size"));
    const QCommandLineOption recordOption(
        QStringLiteral("record"),
        CommandLineTexts::tr(
            "Records every datagram that arrives to the SQLite file <file>, appending "
            "when it is a recording already."),
        CommandLineTexts::tr("file"));
    const QCommandLineOption recordLimitOption(
        QStringLiteral("record-limit"),
        CommandLineTexts::tr(
            "Lets the oldest datagrams of the recording go when its file reaches <size> "
            "bytes; K, M or G after the number count KiB, MiB or GiB, and 0 keeps all. "
            "The default is %1G.")
            .arg(defaultRecordLimit >> 30),
        CommandLineTexts::tr("size"));
    const QCommandLineOption openOption(
        QStringLiteral("open"),
        CommandLineTexts::tr(
            "Shows the recording <file> instead of listening: the newest texts of each "
            "pane within the history limits."),
        CommandLineTexts::tr("file"));
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        CommandLineTexts::tr(
            "Writes the recording <file> to the standard output as JSON lines, one "
            "object a text, and exits."),
        CommandLineTexts::tr("file"));
    const QCommandLineOption fromOption(
        QStringLiteral("from"),
        CommandLineTexts::tr(
            "With --open or --export, the texts from <time> on: a local time such as "
            "\"2026-12-08 10:00\" or \"10:00\" (today), or a duration back from the "
            "recording's end such as -10m (s, m, h, d)."),
        CommandLineTexts::tr("time"));
    const QCommandLineOption toOption(
        QStringLiteral("to"),
        CommandLineTexts::tr(
            "With --open or --export, the texts up to <time>, given as for --from."),
        CommandLineTexts::tr("time"));
    const QCommandLineOption filtersOption(
        QStringLiteral("filters"),
        CommandLineTexts::tr("Reads and keeps the filter and highlight rules in <file> instead of "
                             "~/.corvane/filters.json, so that a team can share them."),
        CommandLineTexts::tr("file"));
    parser.addOptions({helpOption, versionOption, historyOption, historySizeOption, filtersOption,
                       recordOption, recordLimitOption, openOption, exportOption, fromOption,
                       toOption});
    // Qt's own options, which QApplication takes out of the arguments. They are read here
    // before there is one, so they are known, left out of the help and left to it.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char *name :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
          "geometry", "qwindowtitle", "title", "qwindowicon", "icon", "style", "stylesheet",
          "session", "display", "name", "qmljsdebugger"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLine result;
    auto fail = [&](const QString &error) {
        result.action = CommandLine::Fail;
        result.message = QStringLiteral("corvane: ") + error;
        return result;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(helpOption)) {
        result.action = CommandLine::ShowHelp;
        result.message = parser.helpText();
        return result;
    }
    if (parser.isSet(versionOption)) {
        result.action = CommandLine::ShowVersion;
        result.message = QStringLiteral("corvane %1\n").arg(QStringLiteral(CORVANE_VERSION));
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(CommandLineTexts::tr("unexpected argument \"%1\"")
                        .arg(parser.positionalArguments().first()));
    if (parser.isSet(historyOption)) {
        bool ok = false;
        const int limit = parser.value(historyOption).toInt(&ok);
        if (!ok || limit < 0) {
            return fail(CommandLineTexts::tr(
                            "--history takes a whole number of texts, 0 for no limit, not \"%1\"")
                            .arg(parser.value(historyOption)));
        }
        result.historyLimit = limit;
    }
    if (parser.isSet(historySizeOption)) {
        const qint64 bytes = bytesOfSize(parser.value(historySizeOption));
        if (bytes < 0) {
            return fail(
                CommandLineTexts::tr("--history-size takes a size in bytes such as 500000, 64M or "
                                     "1G, 0 for no limit, not \"%1\"")
                    .arg(parser.value(historySizeOption)));
        }
        result.historyBytes = bytes;
    }
    if (parser.isSet(filtersOption)) {
        result.rulesFile = parser.value(filtersOption);
        if (result.rulesFile.isEmpty())
            return fail(CommandLineTexts::tr("--filters takes the name of a rules file"));
    }
    return readRecordingOptions(parser, result);
}
