// The client library's pure parts: datagrams read back by the viewer, exact text, addresses.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/logmessage.h"
#include "window/mainwindow.h"
#include "messagerouting.h"
#include "panes/richtext.h"
#include "testsupport.h"

#include <corvane/client.h>

#include <QLoggingCategory>
#include <QTextEdit>
#include <QtTest>

Q_DECLARE_METATYPE(corvane::TextFormat)

class ClientFormatTest : public QObject
{
    Q_OBJECT

private slots:
    void datagramsReadBack_data();
    void datagramsReadBack();
    void exactTextShowsAsWritten_data();
    void exactTextShowsAsWritten();
    void addresses_data();
    void addresses();
    void defaultAddressComesFromTheEnvironment();
    void messageRouting_data();
    void messageRouting();
};

namespace {

using corvane::TextFormat;
using CategoryPanes = QHash<QString, int>;

const QStringList defaults = {"Log 1", "Log 2", "Log 3", "Log4"};

QString lines(int count, int width, QChar fill)
{
    QStringList result;
    for (int i = 0; i < count; ++i)
        result.append(QStringLiteral("%1: ").arg(i, 4, 10, QLatin1Char('0'))
                      + QString(width, fill));
    return result.join(QLatin1Char('\n'));
}

// What a pane shows of a text, by the viewer's own rule for telling markup.
QString shownByViewer(QTextEdit *pane, const QString &text)
{
    pane->clear();
    if (showsAsRichText(text))
        pane->insertHtml(text);
    else
        pane->insertPlainText(text);
    return pane->toPlainText();
}

} // namespace

void ClientFormatTest::datagramsReadBack_data()
{
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<TextFormat>("format");
    QTest::addColumn<QStringList>("expectedCaptions");
    QTest::addColumn<int>("datagramCount"); // -1: more than one
    QTest::addColumn<QString>("joiner"); // what the splits took out of a text

    const QStringList four = {"Net", "Db", "UI", "Misc"};
    QTest::newRow("four texts, one datagram")
        << four << QStringList {"connected", "query took 3 ms", "pressed", "idle"}
        << TextFormat::AsIs << four << 1 << QString();
    QTest::newRow("missing and empty captions are the defaults")
        << QStringList {"", "Db"} << QStringList {"", "x", "", ""} << TextFormat::AsIs
        << QStringList {"Log 1", "Db", "Log 3", "Log4"} << 1 << QString();
    QTest::newRow("a fifth caption is left out")
        << QStringList {"A", "B", "C", "D", "E"} << QStringList {"", "", "", "x"}
        << TextFormat::AsIs << QStringList {"A", "B", "C", "D"} << 1 << QString();
    QTest::newRow("no texts names the tabs")
        << four << QStringList {"", "", "", ""} << TextFormat::AsIs << four << 1 << QString();
    QTest::newRow("escapes, controls and beyond ASCII")
        << QStringList {"\"q\"", "a\\b", "Día", "中"}
        << QStringList {QStringLiteral("say \"hi\" C:\\temp\\new\ttab\n\x01\x1f ") + QChar(0)
                            + QString::fromUtf8(" Größe \xF0\x9F\x98\x80 </script>"),
                        "", "", ""}
        << TextFormat::AsIs << QStringList {"\"q\"", "a\\b", "Día", "中"} << 1 << QString();
    QTest::newRow("long text split at line breaks")
        << four << QStringList {lines(3000, 50, QLatin1Char('x')), "", "short", ""}
        << TextFormat::AsIs << four << -1 << QStringLiteral("\n");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x90\xA6");
    QTest::newRow("one long line keeps its characters whole")
        << four << QStringList {"", "a" + emoji.repeated(40000), "", ""} << TextFormat::AsIs << four
        << -1 << QString();
    QTest::newRow("escapes that cost six bytes each")
        << four << QStringList {"", "", QString(70000, QChar(0x01)), ""} << TextFormat::AsIs << four
        << -1 << QString();
    const QString links = QStringLiteral("<a href=\"https://example.org/\">x</a> &amp; ");
    QTest::newRow("markup, long: tags and entities stay whole")
        << four << QStringList {"", links.repeated(5000), "", ""} << TextFormat::AsIs << four << -1
        << QString();
    QTest::newRow("exact markup") << four << QStringList {"a<b && c>d", "<b>bold</b>", "plain", ""}
                                  << TextFormat::Exact << four << 1 << QString();
    QTest::newRow("exact markup, long")
        << four << QStringList {"", "", "", lines(3000, 30, QLatin1Char('<'))} << TextFormat::Exact
        << four << -1 << QStringLiteral("\n");
    QTest::newRow("exact, one long line of escapes")
        << four << QStringList {QStringLiteral("&<>").repeated(30000), "", "", ""}
        << TextFormat::Exact << four << -1 << QString();
}

void ClientFormatTest::datagramsReadBack()
{
    QFETCH(QStringList, captions);
    QFETCH(QStringList, texts);
    QFETCH(TextFormat, format);
    QFETCH(QStringList, expectedCaptions);
    QFETCH(int, datagramCount);
    QFETCH(QString, joiner);

    corvane::PaneTexts sent;
    std::copy(texts.cbegin(), texts.cend(), sent.begin());
    const QByteArrayList payloads = corvane::datagrams(captions, sent, format);
    if (datagramCount > 0)
        QCOMPARE(payloads.size(), datagramCount);
    else
        QVERIFY2(payloads.size() > 1, QByteArray::number(payloads.size()));

    QTextEdit view;
    QStringList pieces[corvane::paneCount];
    for (const QByteArray &payload : payloads) {
        QVERIFY2(payload.size() <= corvane::maxDatagramSize, QByteArray::number(payload.size()));
        QCOMPARE(QString::fromUtf8(payload).toUtf8(), payload); // valid UTF-8
        const LogMessage message = LogMessage::fromDatagram(payload);
        QCOMPARE(message.captions, expectedCaptions);
        for (int pane = 0; pane < corvane::paneCount; ++pane) {
            QString piece = message.texts[pane];
            if (piece.isEmpty())
                continue;
            if (format == TextFormat::Exact)
                piece = shownByViewer(&view, piece);
            // Markup split shows as markup still, no tag or entity cut in two.
            else if (showsAsRichText(texts[pane]))
                QVERIFY2(showsAsRichText(piece), qPrintable(piece.right(40)));
            // Each piece shows on its own, so neither end may hold half a character.
            QVERIFY(!piece.at(0).isLowSurrogate());
            QVERIFY(!piece.at(piece.size() - 1).isHighSurrogate());
            pieces[pane].append(piece);
        }
    }
    for (int pane = 0; pane < corvane::paneCount; ++pane) {
        const QString joined = pieces[pane].join(joiner);
        QCOMPARE(joined.size(), texts[pane].size());
        QVERIFY(joined == texts[pane]);
    }
    // Split pieces are filled, not merely small.
    if (payloads.size() > 1)
        QVERIFY2(payloads.first().size() > corvane::maxDatagramSize - 1000,
                 QByteArray::number(payloads.first().size()));

    // Captions that leave no room for a text make no datagrams at all.
    const QStringList huge = {QString(70000, QLatin1Char('c'))};
    QVERIFY(corvane::datagrams(huge, {QStringLiteral("x")}, format).isEmpty());
}

void ClientFormatTest::exactTextShowsAsWritten_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");

    // Log lines from real programs that a viewer must not take for markup.
    const QStringList asWritten = {
        "assert(a<b && c>d) failed",
        "cache <i 3> <b 4> evicted",
        "x &lt; y means x<y",
        "std::map<std::string, std::vector<int>> m;",
        "template <typename T> T max(T a, T b)",
        "cmd > out.log 2>&1 < in.txt",
        "if (n <= 0 || n >= 10) return;",
        "<?xml version=\"1.0\"?><config a='1'><item/></config>",
        "<b>bold</b> <i>italic</i> <a href=\"x.html\">link</a>",
        "<table><tr><td>cell</td></tr></table>",
        "&amp; &nbsp; &#65; &unknown;",
        "<img src=\"/etc/passwd\">",
        "  two  spaces,\ttab, trailing space ",
        "line 1\nline 2\n\nline 4 after a blank <here>",
        "\nleading and trailing breaks & more\n",
        "\t\tindented <code>",
        "emoji \xF0\x9F\x98\x80 and 中文 <b>",
        "plain text, nothing to escape",
        "quotes \" and ' and backslash \\ <",
    };
    for (const QString &text : asWritten)
        QTest::newRow(qPrintable(text.left(40))) << text << text;
    // A pane shows "\r\n" as one line break, markup or not.
    QTest::newRow("CRLF") << "a<b\r\nc"
                          << "a<b\nc";
}

void ClientFormatTest::exactTextShowsAsWritten()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);

    const QString exact = corvane::exactText(text);
    if (!text.contains(QLatin1Char('<')) && !text.contains(QLatin1Char('&')))
        QCOMPARE(exact, text); // cannot be taken for markup, so it goes as it is

    // Sent to a real window, under whatever rule the viewer has for telling markup.
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    const WindowWidgets w(window);
    QVERIFY(w.complete());
    QVERIFY(sendDatagram(port, message(defaults, exact)));
    QTRY_VERIFY(!w.logs[0]->toPlainText().isEmpty());
    QCOMPARE(w.logs[0]->toPlainText(), shown);
    // Rich text gives the pane's text back its plain format: the next text is plain as well.
    QVERIFY(sendDatagram(port, message(defaults, QStringLiteral("next  <"))));
    QTRY_COMPARE(w.logs[0]->toPlainText(), shown + QStringLiteral("\nnext  <"));
}

void ClientFormatTest::addresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");

    QTest::newRow("IPv4 and port") << "127.0.0.1:1947" << true << "127.0.0.1" << 1947;
    QTest::newRow("name and port") << "viewer.example.org:80" << true << "viewer.example.org" << 80;
    QTest::newRow("name alone") << "localhost" << true << "localhost" << 1947;
    QTest::newRow("white space around") << " 10.0.0.2:9 \n" << true << "10.0.0.2" << 9;
    QTest::newRow("IPv6 and port") << "[::1]:2000" << true << "::1" << 2000;
    QTest::newRow("IPv6 in brackets") << "[::1]" << true << "::1" << 1947;
    QTest::newRow("IPv6 with scope") << "[fe80::1%lo]:5" << true << "fe80::1%lo" << 5;
    QTest::newRow("bare IPv6 takes no port") << "::1" << true << "::1" << 1947;
    QTest::newRow("highest port") << "h:65535" << true << "h" << 65535;

    QTest::newRow("empty") << "" << false << "" << 0;
    QTest::newRow("port alone") << ":1947" << false << "" << 0;
    QTest::newRow("empty port") << "host:" << false << "" << 0;
    QTest::newRow("port 0") << "host:0" << false << "" << 0;
    QTest::newRow("port 65536") << "host:65536" << false << "" << 0;
    QTest::newRow("signed port") << "host:+80" << false << "" << 0;
    QTest::newRow("port with letters") << "host:80x" << false << "" << 0;
    QTest::newRow("two ports") << "host:80:81" << false << "" << 0;
    QTest::newRow("unclosed bracket") << "[::1:1947" << false << "" << 0;
    QTest::newRow("junk after bracket") << "[::1]1947" << false << "" << 0;
    QTest::newRow("empty port after bracket") << "[::1]:" << false << "" << 0;
    QTest::newRow("IPv4 in brackets") << "[127.0.0.1]:1947" << false << "" << 0;
    QTest::newRow("space inside") << "my host:1947" << false << "" << 0;
    QTest::newRow("URL") << "udp://host:1947" << false << "" << 0;
}

void ClientFormatTest::addresses()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, host);
    QFETCH(int, port);

    const std::optional<corvane::Address> address = corvane::parseAddress(text);
    QCOMPARE(address.has_value(), valid);
    if (valid) {
        QCOMPARE(address->host, host);
        QCOMPARE(int(address->port), port);
    }
}

void ClientFormatTest::defaultAddressComesFromTheEnvironment()
{
    const QByteArray before = qgetenv("CORVANE_ADDRESS");
    qunsetenv("CORVANE_ADDRESS");
    QCOMPARE(corvane::defaultAddress(), QStringLiteral("127.0.0.1:1947"));
    qputenv("CORVANE_ADDRESS", "  ");
    QCOMPARE(corvane::defaultAddress(), QStringLiteral("127.0.0.1:1947"));
    qputenv("CORVANE_ADDRESS", "[::1]:2000");
    QCOMPARE(corvane::defaultAddress(), QStringLiteral("[::1]:2000"));
    if (before.isNull())
        qunsetenv("CORVANE_ADDRESS");
    else
        qputenv("CORVANE_ADDRESS", before);
}

void ClientFormatTest::messageRouting_data()
{
    using Map = CategoryPanes;
    QTest::addColumn<Map>("categoryPanes");
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("category"); // null: no category
    QTest::addColumn<int>("pane");
    QTest::addColumn<bool>("valid");

    QTest::newRow("debug") << Map() << int(QtDebugMsg) << QByteArray("default") << 1 << true;
    QTest::newRow("info") << Map() << int(QtInfoMsg) << QByteArray("default") << 2 << true;
    QTest::newRow("warning") << Map() << int(QtWarningMsg) << QByteArray("app") << 3 << true;
    QTest::newRow("critical") << Map() << int(QtCriticalMsg) << QByteArray() << 4 << true;
    QTest::newRow("fatal") << Map() << int(QtFatalMsg) << QByteArray("app") << 4 << true;

    const Map map = {{"app.net", 2}, {"app.*", 1}, {"app.net.*", 3}, {"default", 4}};
    QTest::newRow("named") << map << int(QtWarningMsg) << QByteArray("app.net") << 2 << true;
    QTest::newRow("longest prefix")
        << map << int(QtDebugMsg) << QByteArray("app.net.http") << 3 << true;
    QTest::newRow("shorter prefix")
        << map << int(QtCriticalMsg) << QByteArray("app.db") << 1 << true;
    QTest::newRow("prefix needs what it names")
        << map << int(QtInfoMsg) << QByteArray("application") << 2 << true;
    QTest::newRow("unmapped goes by kind")
        << map << int(QtWarningMsg) << QByteArray("qt.core") << 3 << true;
    QTest::newRow("no category is default") << map << int(QtDebugMsg) << QByteArray() << 4 << true;
    QTest::newRow("star is every category") << Map {{"*", 2}, {"app", 3}} << int(QtCriticalMsg)
                                            << QByteArray("qt.network") << 2 << true;
    QTest::newRow("names win over the star")
        << Map {{"*", 2}, {"app", 3}} << int(QtDebugMsg) << QByteArray("app") << 3 << true;
    QTest::newRow("no pane 5") << Map {{"app", 5}, {"db", 2}} << int(QtInfoMsg) << QByteArray("app")
                               << 2 << false;
    QTest::newRow("no pane 0, others stay")
        << Map {{"app", 0}, {"db", 4}} << int(QtInfoMsg) << QByteArray("db") << 4 << false;
}

void ClientFormatTest::messageRouting()
{
    QFETCH(CategoryPanes, categoryPanes);
    QFETCH(int, type);
    QFETCH(QByteArray, category);
    QFETCH(int, pane);
    QFETCH(bool, valid);

    const corvane::MessageRouting routing(categoryPanes);
    QCOMPARE(routing.isValid(), valid);
    QCOMPARE(routing.pane(QtMsgType(type), category.isNull() ? nullptr : category.constData()),
             pane);
}

QTEST_MAIN(ClientFormatTest)
#include "tst_clientformat.moc"
