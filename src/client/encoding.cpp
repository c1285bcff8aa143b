// A message as the viewer reads it: the JSON of its datagrams, long texts split, exact text.
// SPDX-License-Identifier: MIT
#include "encoding.h"

#include "protocol/panes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace corvane {

static_assert(paneCount == ::paneCount, "the library and the viewer count the same panes");

namespace {

QString logKey(int index)
{
    static const QString keys[paneCount] = {QStringLiteral("log1"), QStringLiteral("log2"),
                                            QStringLiteral("log3"), QStringLiteral("log4")};
    return keys[index];
}

QJsonArray tabsArray(const QStringList &captions)
{
    QJsonArray tabs;
    for (int index = 0; index < paneCount; ++index) {
        const QString caption = captions.value(index);
        tabs.append(caption.isEmpty() ? defaultCaption(index) : caption);
    }
    return tabs;
}

QString shown(const QString &text, TextFormat format)
{
    return format == TextFormat::Exact ? exactText(text) : text;
}

// Exact text that may be taken for markup goes inside these, escaped.
const QString exactOpening = QStringLiteral("<span style=\"white-space:pre-wrap\">");
const QString exactClosing = QStringLiteral("</span>");

QByteArray encode(const QJsonArray &tabs, int index, const QString &text)
{
    QJsonObject object;
    object.insert(QStringLiteral("tabs"), tabs);
    object.insert(logKey(index), text);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// The bytes a character takes in a JSON string as Qt writes it: an escape for controls, '"'
// and '\\', UTF-8 for the rest, and an escape for half of a surrogate pair on its own.
int jsonBytes(const QString &text, int at)
{
    const char16_t c = text.at(at).unicode();
    if (c < 0x20)
        return (c == '\b' || c == '\f' || c == '\n' || c == '\r' || c == '\t') ? 2 : 6;
    if (c == '"' || c == '\\' || (c >= 0x80 && c < 0x800))
        return 2;
    if (c < 0x80)
        return 1;
    if (QChar::isHighSurrogate(c))
        return at + 1 < text.size() && text.at(at + 1).isLowSurrogate() ? 2 : 6;
    if (QChar::isLowSurrogate(c))
        return at > 0 && text.at(at - 1).isHighSurrogate() ? 2 : 6;
    return 3;
}

// The same for exactText()'s escaped form, in which "\r\n" is one '\n'.
int escapedBytes(const QString &text, int at, int start)
{
    switch (text.at(at).unicode()) {
    case '<':
    case '>':
        return 4; // &lt; &gt;
    case '&':
        return 5; // &amp;
    case '"':
        return 6; // &quot;
    case '\n':
        return at > start && text.at(at - 1) == QLatin1Char('\r') ? 0 : 2; // replaces the '\r'
    default:
        return jsonBytes(text, at);
    }
}

int jsonStringBytes(const QString &text)
{
    int bytes = 0;
    for (int at = 0; at < text.size(); ++at)
        bytes += jsonBytes(text, at);
    return bytes;
}

// The end of the longest piece of text from start on that takes at most `room` bytes in its
// datagram, found in one pass: each character adds what it costs, as it is and as exact text
// escapes it, which exact text pays once the piece holds a '<' or a '&'.
int fittingEnd(const QString &text, int start, TextFormat format, qint64 room)
{
    static const qint64 exactWrapping =
        jsonStringBytes(exactOpening) + jsonStringBytes(exactClosing);
    qint64 asIs = 0;
    qint64 escaped = exactWrapping;
    bool markup = false;
    int end = start;
    for (; end < text.size(); ++end) {
        asIs += jsonBytes(text, end);
        if (format == TextFormat::Exact) {
            escaped += escapedBytes(text, end, start);
            markup = markup || text.at(end) == QLatin1Char('<') || text.at(end) == QLatin1Char('&');
        }
        if ((markup ? escaped : asIs) > room)
            break;
    }
    // Never part the two halves of a character outside the Basic Multilingual Plane.
    if (end > start && end < text.size() && text.at(end).isLowSurrogate())
        --end;
    return end;
}

// Whether every '<' of the text is closed by a '>' before the next one, as in markup. A log
// line such as "x < y" is shown as it is written, and is cut at line breaks regardless.
bool tagsClose(const QString &text)
{
    bool open = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('<')) {
            if (open)
                return false;
            open = true;
        } else if (c == QLatin1Char('>')) {
            open = false;
        }
    }
    return !open;
}

// Where a piece of markup, the start of `rest` up to `end`, ends instead: never inside a tag
// or an entity such as "&amp;", and else before its last opening tag, so that the next piece
// starts as markup and the viewer takes it for markup. A cut at a line break between tags
// stays. Nothing moves to the piece's start.
int outsideMarkup(QStringView rest, int end, bool atLineBreak)
{
    const QStringView piece = rest.left(end);
    const int tag = int(piece.lastIndexOf(QLatin1Char('<')));
    const bool inTag = tag >= 0 && piece.lastIndexOf(QLatin1Char('>')) < tag;
    if (atLineBreak && !inTag)
        return end;
    int opening = tag;
    while (opening > 0 && rest.at(opening + 1) == QLatin1Char('/'))
        opening = int(piece.left(opening).lastIndexOf(QLatin1Char('<')));
    if (opening > 0)
        return opening;
    if (inTag)
        return tag > 0 ? tag : end;
    // The longest entity names take ten characters with their '&' and ';'.
    const int entity = int(piece.lastIndexOf(QLatin1Char('&')));
    if (entity > 0 && end - entity < 10 && piece.lastIndexOf(QLatin1Char(';')) < entity)
        return entity;
    return end;
}

bool appendSplit(const QJsonArray &tabs, int index, const QString &text, TextFormat format,
                 int limit, QByteArrayList *out)
{
    const qint64 room = limit - encode(tabs, index, QString()).size();
    const bool markup =
        format == TextFormat::AsIs && text.contains(QLatin1Char('<')) && tagsClose(text);
    int start = 0;
    while (start < text.size()) {
        int end = fittingEnd(text, start, format, room);
        if (end == start)
            return false;
        int next = end;
        const QStringView rest = QStringView(text).mid(start);
        if (end < text.size()) {
            // A piece becomes a paragraph of its own in the viewer, so a line break at the
            // cut is shown by the cut itself and need not be sent.
            const int lineBreak = int(rest.left(end - start).lastIndexOf(QLatin1Char('\n')));
            if (lineBreak > 0) {
                end = start + lineBreak;
                next = end + 1;
                if (end > start + 1 && text.at(end - 1) == QLatin1Char('\r'))
                    --end;
            }
            // Markup sent as it is would show a tag cut in two as text.
            if (markup) {
                const int outside = start + outsideMarkup(rest, end - start, lineBreak > 0);
                if (outside < end)
                    end = next = outside;
            }
        }
        QByteArray payload = encode(tabs, index, shown(text.mid(start, end - start), format));
        // Should Qt escape a character otherwise than counted here, the piece gives up the
        // excess, each character being at least a byte.
        while (payload.size() > limit) {
            end = qMax(start, end - int(payload.size() - limit));
            if (end > start && text.at(end).isLowSurrogate())
                --end;
            if (end == start)
                return false;
            next = end;
            payload = encode(tabs, index, shown(text.mid(start, end - start), format));
        }
        out->append(payload);
        start = next;
    }
    return true;
}

} // namespace

QString exactText(const QString &text)
{
    if (!text.contains(QLatin1Char('<')) && !text.contains(QLatin1Char('&')))
        return text;
    // The pane's rich text keeps spaces, tabs and line breaks inside this element. It breaks
    // a line at '\r' and again at '\n', where plain text takes "\r\n" as one line break.
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return exactOpening + normalised.toHtmlEscaped() + exactClosing;
}

QByteArrayList datagrams(const QStringList &captions, const PaneTexts &texts, TextFormat format)
{
    return datagramsWithin(captions, texts, format, maxDatagramSize);
}

QByteArrayList datagramsWithin(const QStringList &captions, const PaneTexts &texts,
                               TextFormat format, int limit)
{
    const QJsonArray tabs = tabsArray(captions);
    QJsonObject object;
    object.insert(QStringLiteral("tabs"), tabs);
    for (int index = 0; index < paneCount; ++index) {
        if (!texts[index].isEmpty())
            object.insert(logKey(index), shown(texts[index], format));
    }
    const QByteArray whole = QJsonDocument(object).toJson(QJsonDocument::Compact);
    if (whole.size() <= limit)
        return {whole};

    QByteArrayList result;
    for (int index = 0; index < paneCount; ++index) {
        if (!texts[index].isEmpty()
            && !appendSplit(tabs, index, texts[index], format, limit, &result))
            return {};
    }
    return result;
}

} // namespace corvane
