// The rules that decide whether a received text is shown as markup.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/richtext.h"

#include "panes/logdocument.h"

#include <QPair>
#include <QSet>
#include <QStringView>
#include <QTextCursor>
#include <QTextFrame>
#include <QVector>

namespace {

// Qt lays out a table inside a table cell several times for every layout of that cell, so
// layout time doubles with each level of nesting: here 16 levels take about a second, 20
// about 14 s, and a datagram of 1 KB can nest 30. Markup that nests tables deeper than this
// is shown as the plain text it is.
const int maxTableNesting = 6;

bool nestsTablesTooDeep(const QString &html)
{
    // Only a table element makes a frame, and its tag has to spell the name out.
    if (!html.contains(QLatin1String("table"), Qt::CaseInsensitive))
        return false;
    // Parsed the way a pane parses it, resources refused alike, but never laid out.
    LogDocument parsed;
    QTextCursor(&parsed).insertHtml(html);
    QVector<QPair<const QTextFrame *, int>> pending;
    pending.append(qMakePair(parsed.rootFrame(), 0));
    while (!pending.isEmpty()) {
        const QPair<const QTextFrame *, int> next = pending.takeLast();
        if (next.second > maxTableNesting)
            return true;
        for (const QTextFrame *child : next.first->childFrames())
            pending.append(qMakePair(child, next.second + 1));
    }
    return false;
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isHexDigit(QChar c)
{
    return isAsciiDigit(c) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
        || c == QLatin1Char('\r') || c == QLatin1Char('\f');
}

// The elements of Qt's rich text. A tag of any other element is dropped by the text engine,
// and with it the characters of a log line that only looked like a tag.
bool isKnownElement(const QString &name)
{
    static const QSet<QString> known = {
        "a",      "address", "b",     "big", "blockquote", "body",  "br",    "center",
        "cite",   "code",    "dd",    "dfn", "div",        "dl",    "dt",    "em",
        "font",   "h1",      "h2",    "h3",  "h4",         "h5",    "h6",    "head",
        "hr",     "html",    "i",     "img", "kbd",        "li",    "meta",  "nobr",
        "ol",     "p",       "pre",   "qt",  "s",          "samp",  "small", "span",
        "strong", "style",   "sub",   "sup", "table",      "tbody", "td",    "tfoot",
        "th",     "thead",   "title", "tr",  "tt",         "u",     "ul",    "var"};
    return known.contains(name.toLower());
}

// Reads the markup of a text from the start, one construct at a time. Each reader returns
// false for anything that is not exactly what it reads, and leaves `pos` after it otherwise.
class MarkupReader
{
public:
    explicit MarkupReader(const QString &text) : text(text) { }

    bool readsWhole()
    {
        while (pos < text.size()) {
            const QChar c = text.at(pos);
            if (c == QLatin1Char('&')) {
                if (!entity())
                    return false;
            } else if (c == QLatin1Char('<')) {
                if (!markupAt())
                    return false;
            } else {
                ++pos;
            }
        }
        return true;
    }

private:
    bool at(QLatin1String literal, Qt::CaseSensitivity cs = Qt::CaseSensitive) const
    {
        return QStringView(text).mid(pos).startsWith(literal, cs);
    }
    QChar current() const { return pos < text.size() ? text.at(pos) : QChar(); }

    void skipBlanks()
    {
        while (pos < text.size() && isBlank(text.at(pos)))
            ++pos;
    }

    // "&name;", "&#123;" or "&#x1F;".
    bool entity()
    {
        ++pos;
        int digits = 0;
        if (current() == QLatin1Char('#')) {
            ++pos;
            const bool hex = current() == QLatin1Char('x') || current() == QLatin1Char('X');
            if (hex)
                ++pos;
            while (hex ? isHexDigit(current()) : isAsciiDigit(current())) {
                ++pos;
                ++digits;
            }
        } else {
            if (!isAsciiLetter(current()))
                return false;
            while (isAsciiLetter(current()) || isAsciiDigit(current())) {
                ++pos;
                ++digits;
            }
        }
        if (digits == 0 || current() != QLatin1Char(';'))
            return false;
        ++pos;
        return true;
    }

    bool markupAt()
    {
        if (at(QLatin1String("<!--"))) {
            const int end = text.indexOf(QLatin1String("-->"), pos + 4);
            if (end < 0)
                return false;
            pos = end + 3;
            return true;
        }
        if (at(QLatin1String("<!doctype"), Qt::CaseInsensitive)) {
            const int end = text.indexOf(QLatin1Char('>'), pos);
            const int nextOpen = text.indexOf(QLatin1Char('<'), pos + 1);
            if (end < 0 || (nextOpen >= 0 && nextOpen < end))
                return false;
            pos = end + 1;
            return true;
        }
        return tag();
    }

    QString name()
    {
        const int start = pos;
        if (!isAsciiLetter(current()))
            return QString();
        while (isAsciiLetter(current()) || isAsciiDigit(current()))
            ++pos;
        return text.mid(start, pos - start);
    }

    // "<name attribute=value ...>", "<name/>" or "</name>", of an element Qt knows.
    bool tag()
    {
        ++pos;
        const bool closing = current() == QLatin1Char('/');
        if (closing)
            ++pos;
        if (!isKnownElement(name()))
            return false;
        if (closing) {
            skipBlanks();
            return closeTag();
        }
        for (;;) {
            const int before = pos;
            skipBlanks();
            if (current() == QLatin1Char('>'))
                return closeTag();
            if (current() == QLatin1Char('/')) {
                ++pos;
                return closeTag();
            }
            if (pos == before || !attribute())
                return false;
        }
    }

    bool closeTag()
    {
        if (current() != QLatin1Char('>'))
            return false;
        ++pos;
        return true;
    }

    // name, name=value, name="value" or name='value'.
    bool attribute()
    {
        auto nameStart = [](QChar c) {
            return isAsciiLetter(c) || c == QLatin1Char('_') || c == QLatin1Char(':');
        };
        auto nameRest = [&](QChar c) {
            return nameStart(c) || isAsciiDigit(c) || c == QLatin1Char('-')
                || c == QLatin1Char('.');
        };
        if (!nameStart(current()))
            return false;
        while (nameRest(current()))
            ++pos;
        const int afterName = pos;
        skipBlanks();
        if (current() != QLatin1Char('=')) {
            pos = afterName;
            return true;
        }
        ++pos;
        skipBlanks();
        const QChar quote = current();
        if (quote == QLatin1Char('"') || quote == QLatin1Char('\'')) {
            const int end = text.indexOf(quote, pos + 1);
            if (end < 0)
                return false;
            pos = end + 1;
            return true;
        }
        const int start = pos;
        static const QString notUnquoted = QStringLiteral("\"'=<>`");
        while (pos < text.size() && !isBlank(text.at(pos)) && !notUnquoted.contains(text.at(pos)))
            ++pos;
        return pos > start;
    }

    const QString &text;
    int pos = 0;
};

// Qt::mightBeRichText() sees markup only at a "<" or an "&lt;". Most log lines hold neither
// character, and looking for them is cheaper than Qt's test, which every text that
// arrives goes through.
bool holdsMarkupCharacters(const QString &text)
{
    // Qt looks for one character many at a time.
    return text.contains(QLatin1Char('<')) || text.contains(QLatin1Char('&'));
}

} // namespace

bool isLosslessMarkup(const QString &text)
{
    return MarkupReader(text).readsWhole();
}

bool showsAsRichText(const QString &text)
{
    return holdsMarkupCharacters(text) && Qt::mightBeRichText(text) && isLosslessMarkup(text)
        && !nestsTablesTooDeep(text);
}
