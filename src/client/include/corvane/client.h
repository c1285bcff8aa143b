// Corvane's client library: sends texts and Qt's log messages to a running Corvane viewer.
// SPDX-License-Identifier: MIT
#ifndef CORVANE_CLIENT_H
#define CORVANE_CLIENT_H

#include <QByteArrayList>
#include <QHash>
#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

namespace corvane {

// The viewer has four panes, numbered 1 to 4 here as in the datagram's "log1" to "log4".
constexpr int paneCount = 4;
// Where a viewer listens unless told otherwise: 127.0.0.1, this port.
constexpr quint16 defaultPort = 1947;
// The largest payload one UDP datagram carries over IPv4 (65535 bytes less the IP and UDP
// headers). No datagram is made larger, over IPv6 either.
constexpr int maxDatagramSize = 65507;

// A text for each pane; element 0 is pane 1. An empty text adds nothing to its pane.
using PaneTexts = std::array<QString, paneCount>;

// How the viewer is to show a text.
enum class TextFormat {
    // The text goes as it is: the viewer shows it as rich text if it takes it for markup.
    AsIs,
    // The viewer shows the text exactly as written, every character, run of spaces, tab and
    // line break, even when it looks like markup ("a<b", "<b>"). See exactText().
    Exact,
};

struct Address
{
    QString host;
    quint16 port = defaultPort;
};

// Reads "host:port", "host", "[IPv6]:port", "[IPv6]" or a bare IPv6 address (which takes no
// port: write "[::1]:1947"). A missing port is defaultPort; a port is 1 to 65535. Surrounding
// white space is ignored. Nothing for anything else.
std::optional<Address> parseAddress(const QString &text);

// The environment variable CORVANE_ADDRESS if it is set and not empty, else "127.0.0.1:1947".
QString defaultAddress();

// The text in the form the viewer shows exactly as written: a text with neither '<' nor '&'
// cannot be taken for markup and is returned as it is; any other is HTML-escaped and wrapped
// in an element that keeps white space ("\r\n" becomes "\n", which shows the same).
QString exactText(const QString &text);

// The datagrams that carry one message: four tab captions and a text for each pane. Captions
// that are missing or empty are the viewer's defaults ("Log 1", "Log 2", "Log 3", "Log4");
// any beyond the fourth are left out. All of it goes in one datagram when that fits in
// maxDatagramSize; otherwise each pane's text goes on its own, split over as many datagrams as
// it needs, at line breaks where it can be and never inside a character (each piece shows as
// a paragraph of its own). A message without texts is one datagram that only names the tabs.
// Empty only when the captions alone leave no room for a text.
QByteArrayList datagrams(const QStringList &captions, const PaneTexts &texts,
                         TextFormat format = TextFormat::AsIs);

// Sends texts to one viewer over UDP. It never blocks and never fails the program: a datagram
// that cannot go now is dropped and counted, never retried, and nothing is ever printed.
//
// The socket is connected to the viewer, so the system reports when datagrams find nobody
// listening there. The sender then drops what it is given for a tenth of a second without
// trying (error() is ViewerAbsent), so a program that logs heavily with no viewer running
// pays next to nothing for it. A datagram that found no viewer is lost, as UDP's are; the
// system reports it late and never for every one, so droppedCount() counts what the sender
// knows of.
//
// Each datagram of send() also carries "seq", the sender's count of such datagrams from 1, and
// "app", the program's name (QCoreApplication::applicationName(), or the executable's), from
// which the viewer tells which datagrams were lost on the way; so does sendCountedDatagram().
// sendDatagram() adds neither.
//
// Every function may be called from any thread.
class Sender
{
public:
    enum Error {
        NoError,
        // The address does not parse or the host name does not resolve: nothing is sent.
        AddressError,
        // No viewer was listening moments ago.
        ViewerAbsent,
        // The system did not take the datagram (no route, full send buffer, and so on) or it
        // would be too large.
        SendError,
    };

    // To defaultAddress().
    Sender();
    // To "host:port" as parseAddress() reads it. A host name is resolved here, once, and
    // this may block while the name is looked up; an IPv4 address is preferred.
    explicit Sender(const QString &address);
    Sender(const QString &host, quint16 port);
    ~Sender();
    Sender(const Sender &) = delete;
    Sender &operator=(const Sender &) = delete;

    // False when error() is AddressError.
    bool isValid() const;
    QHostAddress peerAddress() const;
    quint16 peerPort() const;

    // The captions sent with every text; the defaults are the viewer's own.
    void setCaptions(const QStringList &captions);
    QStringList captions() const;
    // AsIs unless set.
    void setTextFormat(TextFormat format);
    TextFormat textFormat() const;

    // Sends a text to pane 1 to 4. True when every datagram it took went out.
    bool send(int pane, const QString &text);
    // Sends a text to each pane, as datagrams() splits them.
    bool send(const PaneTexts &texts);
    // The datagrams send() sends for these texts: as corvane::datagrams() makes them with
    // this sender's captions and format, with room left in each for "seq" and "app".
    QByteArrayList datagrams(const PaneTexts &texts) const;
    // Sends one payload as it is, such as one of datagrams().
    bool sendDatagram(const QByteArray &payload);
    // Sends one payload of datagrams() with "seq" and "app" added, as send() does; as it is
    // when they would make it too large for a datagram.
    bool sendCountedDatagram(const QByteArray &payload);

    // Datagrams dropped so far.
    quint64 droppedCount() const;
    // Why the last datagram that was not sent was dropped, or NoError if none was.
    Error error() const;
    QString errorString() const;

private:
    class Private;
    std::unique_ptr<Private> d;
};

struct MessageHandlerOptions
{
    // "host:port" as parseAddress() reads it; empty for defaultAddress().
    QString address;
    // The tab captions. By default each kind of message has its pane: debug, info, warning,
    // and critical and fatal together.
    QStringList captions = {QStringLiteral("Debug"), QStringLiteral("Info"),
                            QStringLiteral("Warning"), QStringLiteral("Error")};
    // Logging categories to panes 1 to 4, which then take the place of the kinds: a name
    // maps that category, a name ending in '*' every category that starts with what comes
    // before it ("app.net.*"; "*" alone is every category). The longest match wins; a
    // message whose category nothing matches goes by its kind.
    QHash<QString, int> categoryPanes;
    TextFormat textFormat = TextFormat::Exact;
};

// Sends every message of qDebug, qInfo, qWarning, qCritical and qFatal to the viewer,
// formatted by qFormatLogMessage (so QT_MESSAGE_PATTERN applies), and passes it on to the
// handler that was installed before, so the program's own output stays as it was. Messages may
// come from any thread; a fatal message is sent before the previous handler gets it. A message
// raised while a message is being sent goes to the previous handler only. Calling it again
// replaces the options. False when the address is no use (nothing is sent, and each message
// counts as dropped) or a category maps to no pane (that entry is ignored).
bool installMessageHandler(const MessageHandlerOptions &options = MessageHandlerOptions());
// Puts back the handler that was installed before.
void removeMessageHandler();
// Datagrams the message handler has dropped since it was last installed.
quint64 droppedMessageCount();

} // namespace corvane

#endif // CORVANE_CLIENT_H
