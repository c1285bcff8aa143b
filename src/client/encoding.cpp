// A message as the viewer reads it: the JSON of its datagrams, long texts split, exact text.
// SPDX-License-Identifier: MIT
#include "corvane/client.h"

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

QByteArray encode(const QJsonArray &tabs, int index, const QString &text)
{
    QJsonObject object;
    object.insert(QStringLiteral("tabs"), tabs);
    object.insert(logKey(index), text);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// The end of the longest piece of text from start on whose datagram fits. Escaping makes the
// encoded size of a character anything from 1 to 6 bytes (more in exact text), so the size is
// measured rather than estimated; it grows with the piece, which makes a binary search exact.
int fittingEnd(const QJsonArray &tabs, int index, const QString &text, int start, TextFormat format)
{
    // Every character costs at least one byte, which bounds the search.
    int fits = start;
    int tooLong = qMin(text.size(), start + maxDatagramSize) + 1;
    while (tooLong - fits > 1) {
        const int middle = fits + (tooLong - fits) / 2;
        const QString piece = shown(text.mid(start, middle - start), format);
        if (encode(tabs, index, piece).size() <= maxDatagramSize)
            fits = middle;
        else
            tooLong = middle;
    }
    // Never part the two halves of a character outside the Basic Multilingual Plane.
    if (fits > start && fits < text.size() && text.at(fits).isLowSurrogate())
        --fits;
    return fits;
}

bool appendSplit(const QJsonArray &tabs, int index, const QString &text, TextFormat format,
                 QByteArrayList *out)
{
    int start = 0;
    while (start < text.size()) {
        int end = fittingEnd(tabs, index, text, start, format);
        if (end == start)
            return false;
        int next = end;
        if (end < text.size()) {
            // A piece becomes a paragraph of its own in the viewer, so a line break at the
            // cut is shown by the cut itself and need not be sent.
            const int lineBreak = text.lastIndexOf(QLatin1Char('\n'), end - 1);
            if (lineBreak > start) {
                end = lineBreak;
                next = lineBreak + 1;
                if (end > start + 1 && text.at(end - 1) == QLatin1Char('\r'))
                    --end;
            }
        }
        out->append(encode(tabs, index, shown(text.mid(start, end - start), format)));
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
    return QLatin1String("<span style=\"white-space:pre-wrap\">") + normalised.toHtmlEscaped()
        + QLatin1String("</span>");
}

QByteArrayList datagrams(const QStringList &captions, const PaneTexts &texts, TextFormat format)
{
    const QJsonArray tabs = tabsArray(captions);
    QJsonObject object;
    object.insert(QStringLiteral("tabs"), tabs);
    for (int index = 0; index < paneCount; ++index) {
        if (!texts[index].isEmpty())
            object.insert(logKey(index), shown(texts[index], format));
    }
    const QByteArray whole = QJsonDocument(object).toJson(QJsonDocument::Compact);
    if (whole.size() <= maxDatagramSize)
        return {whole};

    QByteArrayList result;
    for (int index = 0; index < paneCount; ++index) {
        if (!texts[index].isEmpty() && !appendSplit(tabs, index, texts[index], format, &result))
            return {};
    }
    return result;
}

} // namespace corvane
