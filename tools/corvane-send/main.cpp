// corvane-send: feeds a running Corvane viewer from the command line or from a pipe.
//
// Every datagram is one JSON object built by Qt's JSON writer, so quotes, backslashes, control
// characters and non-ASCII text are escaped the way any JSON reader expects.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QHostInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QUdpSocket>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int paneCount = 4;

// The largest payload one UDP datagram carries over IPv4: 65535 bytes less the IP and UDP
// headers. IPv6 allows a little more; staying below the smaller limit keeps one rule for both.
constexpr int maxPayload = 65507;

enum ExitCode {
    ExitSent = 0,
    ExitUsage = 2,
    ExitHost = 3,
    ExitSend = 4,
    ExitInput = 5,
};

const char *const defaultCaptions[paneCount] = {"Log 1", "Log 2", "Log 3", "Log4"};

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
    "With --log1 to --log4 one datagram is sent. With --pane N every line read from the\n"
    "standard input is sent to pane N as a datagram of its own, as soon as it arrives; blank\n"
    "lines are skipped. A text too long for one datagram (65507 bytes of JSON) is sent in\n"
    "several, split at line breaks where it can be. Input that is not valid UTF-8 is\n"
    "repaired with U+FFFD replacement characters.";

const char epilogue[] =
    "\n"
    "Examples:\n"
    "  corvane-send --tabs \"Net,Db,UI,Misc\" --log1 connected --log3 \"button pressed\"\n"
    "  make 2>&1 | corvane-send --pane 4 --tabs \",,,Build\" --rate 100\n"
    "\n"
    "Exit status: 0 when everything was sent, 2 for a wrong command line, 3 when the host\n"
    "does not resolve, 4 when a datagram could not be sent, 5 when the standard input\n"
    "could not be read.\n";

void printError(const QString &message)
{
    std::fprintf(stderr, "corvane-send: %s\n", qUtf8Printable(message));
}

// Sends texts to one viewer, at most `rate` datagrams a second when rate is above zero.
class Sender
{
public:
    Sender(const QHostAddress &host, quint16 port, const QStringList &captions, double rate)
        : host(host),
          port(port),
          tabs(QJsonArray::fromStringList(captions)),
          intervalNs(rate > 0 ? qint64(1e9 / rate) : 0)
    { }

    // Sends one message with a text for each pane (index 0 is pane 1; empty texts are left
    // out). It goes as one datagram when it fits, else each pane's text on its own, split over
    // as many datagrams as it needs.
    bool send(const QString (&texts)[paneCount])
    {
        QJsonObject object;
        object.insert(QStringLiteral("tabs"), tabs);
        for (int pane = 0; pane < paneCount; ++pane) {
            if (!texts[pane].isEmpty())
                object.insert(logKey(pane), texts[pane]);
        }
        const QByteArray whole = QJsonDocument(object).toJson(QJsonDocument::Compact);
        if (whole.size() <= maxPayload)
            return sendPayload(whole);
        for (int pane = 0; pane < paneCount; ++pane) {
            if (!texts[pane].isEmpty() && !sendSplit(pane, texts[pane]))
                return false;
        }
        return true;
    }

    QString errorString() const { return error; }

private:
    static QString logKey(int pane) { return QStringLiteral("log%1").arg(pane + 1); }

    QByteArray encode(int pane, const QString &text) const
    {
        QJsonObject object;
        object.insert(QStringLiteral("tabs"), tabs);
        object.insert(logKey(pane), text);
        return QJsonDocument(object).toJson(QJsonDocument::Compact);
    }

    // The end of the longest piece of text from start on whose datagram fits. Escaping makes
    // the encoded size of a character anything from 1 to 6 bytes, so the size is measured
    // rather than estimated; it grows with the piece, which makes a binary search exact.
    int fittingEnd(int pane, const QString &text, int start) const
    {
        // Every character costs at least one byte, which bounds the search.
        int fits = start;
        int tooLong = qMin(text.size(), start + maxPayload) + 1;
        while (tooLong - fits > 1) {
            const int middle = fits + (tooLong - fits) / 2;
            if (encode(pane, text.mid(start, middle - start)).size() <= maxPayload)
                fits = middle;
            else
                tooLong = middle;
        }
        // Never part the two halves of a character outside the Basic Multilingual Plane.
        if (fits > start && fits < text.size() && text.at(fits).isLowSurrogate())
            --fits;
        return fits;
    }

    bool sendSplit(int pane, const QString &text)
    {
        int start = 0;
        while (start < text.size()) {
            int end = fittingEnd(pane, text, start);
            if (end == start) {
                error = QStringLiteral("the tab captions alone leave no room for a text");
                return false;
            }
            int next = end;
            if (end < text.size()) {
                // A piece becomes a paragraph of its own in the viewer, so a line break at
                // the cut is shown by the cut itself and need not be sent.
                const int lineBreak = text.lastIndexOf(QLatin1Char('\n'), end - 1);
                if (lineBreak > start) {
                    end = lineBreak;
                    next = lineBreak + 1;
                }
            }
            if (!sendPayload(encode(pane, text.mid(start, end - start))))
                return false;
            start = next;
        }
        return true;
    }

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
        if (socket.writeDatagram(payload, host, port) != payload.size()) {
            error = QStringLiteral("cannot send to %1 port %2: %3")
                        .arg(host.toString())
                        .arg(port)
                        .arg(socket.errorString());
            return false;
        }
        return true;
    }

    QUdpSocket socket;
    QHostAddress host;
    quint16 port;
    QJsonArray tabs;
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
    for (int pane = 0; pane < paneCount; ++pane)
        captions->append(QString::fromLatin1(defaultCaptions[pane]));
    if (option.isNull())
        return true;
    const QStringList given = option.split(QLatin1Char(','));
    if (given.size() > paneCount) {
        *error = QStringLiteral("--tabs takes at most four captions, got %1").arg(given.size());
        return false;
    }
    for (int pane = 0; pane < given.size(); ++pane) {
        const QString caption = given.at(pane).trimmed();
        if (!caption.isEmpty())
            (*captions)[pane] = caption;
    }
    return true;
}

bool resolveHost(const QString &name, QHostAddress *address, QString *error)
{
    if (address->setAddress(name))
        return true;
    const QHostInfo info = QHostInfo::fromName(name);
    const QList<QHostAddress> found = info.addresses();
    if (info.error() != QHostInfo::NoError || found.isEmpty()) {
        *error = QStringLiteral("cannot resolve host \"%1\": %2")
                     .arg(name,
                          info.error() != QHostInfo::NoError ? info.errorString()
                                                             : QStringLiteral("no address"));
        return false;
    }
    // The viewer listens on IPv4 unless told otherwise.
    *address = found.first();
    for (const QHostAddress &candidate : found) {
        if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
            *address = candidate;
            break;
        }
    }
    return true;
}

// Streams standard input to one pane, a datagram a line, each sent as soon as it is read.
int sendLines(Sender &sender, int pane)
{
    char *line = nullptr;
    size_t capacity = 0;
    ssize_t length;
    int result = ExitSent;
    while ((length = getline(&line, &capacity, stdin)) >= 0) {
        if (length > 0 && line[length - 1] == '\n')
            --length;
        if (length > 0 && line[length - 1] == '\r')
            --length;
        if (length == 0)
            continue;
        QString texts[paneCount];
        texts[pane] = QString::fromUtf8(line, int(length));
        if (!sender.send(texts)) {
            printError(sender.errorString());
            result = ExitSend;
            break;
        }
    }
    if (result == ExitSent && std::ferror(stdin)) {
        printError(QStringLiteral("cannot read the standard input"));
        result = ExitInput;
    }
    std::free(line);
    return result;
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
    QCommandLineOption logOptions[paneCount] = {
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
    parser.addOptions({paneOption, tabsOption, hostOption, portOption, rateOption});

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
    int pane = -1;
    if (parser.isSet(paneOption)) {
        pane = parser.value(paneOption).toInt(&ok) - 1;
        if (!ok || pane < 0 || pane >= paneCount) {
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
    QString texts[paneCount];
    bool haveTexts = false;
    for (int i = 0; i < paneCount; ++i) {
        texts[i] = parser.value(logOptions[i]);
        haveTexts = haveTexts || parser.isSet(logOptions[i]);
    }
    if (!haveTexts && pane < 0 && !parser.isSet(tabsOption)) {
        printError(QStringLiteral("nothing to send: give --log1 to --log4, --tabs or --pane "
                                  "(see --help)"));
        return ExitUsage;
    }

    QHostAddress host;
    if (!resolveHost(parser.value(hostOption), &host, &error)) {
        printError(error);
        return ExitHost;
    }

    Sender sender(host, quint16(port), captions, rate);
    // The texts given as options go first, then the stream, if any.
    if ((haveTexts || pane < 0) && !sender.send(texts)) {
        printError(sender.errorString());
        return ExitSend;
    }
    return pane < 0 ? ExitSent : sendLines(sender, pane);
}
