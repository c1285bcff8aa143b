// A one-pass reader for datagrams of printable ASCII strings in the usual members.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/plaindatagram.h"

#include <QVarLengthArray>

#include <cstring>
#include <utility>

namespace {

// 999,999,999,999,999 is below 2^53, which a double holds exactly.
const long maxCountDigits = 15;

class PlainReader
{
public:
    PlainReader(const char *begin, const char *end) : pos(begin), end(end) { }

    bool read(LogMessage *message)
    {
        skipSpace();
        if (!take('{'))
            return false;
        skipSpace();
        if (take('}'))
            return finish(message);
        for (;;) {
            if (!member())
                return false;
            skipSpace();
            if (take('}'))
                return finish(message);
            if (!take(','))
                return false;
            skipSpace();
        }
    }

private:
    // The members this reader knows, each of which may come once.
    enum Member { Tabs, Log1, Log2, Log3, Log4, Seq, App, Unknown };

    bool member()
    {
        const char *keyBegin;
        const char *keyEnd;
        if (!string(&keyBegin, &keyEnd))
            return false;
        const Member key = memberNamed(keyBegin, int(keyEnd - keyBegin));
        if (key == Unknown || (seen & (1u << key)))
            return false;
        seen |= 1u << key;
        skipSpace();
        if (!take(':'))
            return false;
        skipSpace();
        if (key == Tabs)
            return tabs();
        if (key == Seq)
            return count();
        const char *textBegin;
        const char *textEnd;
        if (!string(&textBegin, &textEnd))
            return false;
        if (key == App) {
            appBegin = textBegin;
            appEnd = textEnd;
        } else {
            texts[size_t(key - Log1)] = QString::fromLatin1(textBegin, int(textEnd - textBegin));
        }
        return true;
    }

    // A sender's count: a positive integer written plainly, small enough that the JSON
    // reader's double holds it exactly. Zero, a sign, a fraction or an exponent are left to
    // the JSON reader.
    bool count()
    {
        const char *const digitsBegin = pos;
        quint64 value = 0;
        while (pos < end && *pos >= '0' && *pos <= '9') {
            value = value * 10 + quint64(*pos - '0');
            ++pos;
        }
        const long digits = long(pos - digitsBegin);
        if (digits == 0 || digits > maxCountDigits || *digitsBegin == '0')
            return false;
        if (pos < end && (*pos == '.' || *pos == 'e' || *pos == 'E'))
            return false;
        seq = value;
        return true;
    }

    static Member memberNamed(const char *name, int size)
    {
        if (size == 4 && std::memcmp(name, "tabs", 4) == 0)
            return Tabs;
        if (size == 4 && std::memcmp(name, "log", 3) == 0 && name[3] >= '1' && name[3] <= '4')
            return Member(Log1 + (name[3] - '1'));
        if (size == 3 && std::memcmp(name, "seq", 3) == 0)
            return Seq;
        if (size == 3 && std::memcmp(name, "app", 3) == 0)
            return App;
        return Unknown;
    }

    // An array of strings: its bytes are kept to compare with the previous datagram's.
    bool tabs()
    {
        tabsBegin = pos;
        if (!take('['))
            return false;
        skipSpace();
        if (!take(']')) {
            for (;;) {
                const char *captionBegin;
                const char *captionEnd;
                if (!string(&captionBegin, &captionEnd))
                    return false;
                // Only the first four name tabs; a long array of more costs no memory.
                if (captionSpans.size() < paneCount)
                    captionSpans.append({captionBegin, captionEnd});
                skipSpace();
                if (take(']'))
                    break;
                if (!take(','))
                    return false;
                skipSpace();
            }
        }
        tabsEnd = pos;
        return true;
    }

    // A string of printable ASCII without escapes; its contents lie between the two ends.
    bool string(const char **contentBegin, const char **contentEnd)
    {
        if (!take('"'))
            return false;
        *contentBegin = pos;
        while (pos < end) {
            const unsigned char c = static_cast<unsigned char>(*pos);
            if (c == '"') {
                *contentEnd = pos++;
                return true;
            }
            if (c < 0x20 || c >= 0x7f || c == '\\')
                return false;
            ++pos;
        }
        return false;
    }

    bool finish(LogMessage *message)
    {
        skipSpace();
        if (pos != end)
            return false;
        message->captions = captions();
        message->texts = std::move(texts);
        message->seq = seq;
        if (appBegin)
            message->app = appName();
        return true;
    }

    // The program's name, shared with the previous datagram's on this thread when the same.
    QString appName() const
    {
        thread_local QByteArray lastApp;
        thread_local QString lastName;
        const int size = int(appEnd - appBegin);
        if (size != lastApp.size()
            || std::memcmp(appBegin, lastApp.constData(), size_t(size)) != 0) {
            lastApp = QByteArray(appBegin, size);
            lastName = QString::fromLatin1(lastApp);
        }
        return lastName;
    }

    // The captions, shared with the previous datagram read on this thread when its "tabs"
    // were the same bytes: a flood names the same four tabs every time.
    QStringList captions()
    {
        thread_local QByteArray lastTabs;
        thread_local QStringList lastCaptions;
        const int tabsSize = int(tabsEnd - tabsBegin);
        if (tabsBegin && tabsSize == lastTabs.size()
            && std::memcmp(tabsBegin, lastTabs.constData(), size_t(tabsSize)) == 0) {
            return lastCaptions;
        }
        QStringList made;
        made.reserve(paneCount);
        for (const Span &span : captionSpans)
            made.append(QString::fromLatin1(span.begin, int(span.end - span.begin)));
        for (int pane = made.size(); pane < paneCount; ++pane)
            made.append(defaultCaption(pane));
        if (tabsBegin) {
            lastTabs = QByteArray(tabsBegin, tabsSize);
            lastCaptions = made;
        }
        return made;
    }

    void skipSpace()
    {
        while (pos < end && (*pos == ' ' || *pos == '\t' || *pos == '\n' || *pos == '\r'))
            ++pos;
    }

    bool take(char c)
    {
        if (pos < end && *pos == c) {
            ++pos;
            return true;
        }
        return false;
    }

    struct Span
    {
        const char *begin;
        const char *end;
    };

    const char *pos;
    const char *const end;
    unsigned seen = 0;
    const char *tabsBegin = nullptr;
    const char *tabsEnd = nullptr;
    QVarLengthArray<Span, paneCount> captionSpans;
    const char *appBegin = nullptr;
    const char *appEnd = nullptr;
    quint64 seq = 0;
    std::array<QString, paneCount> texts;
};

} // namespace

bool readPlainDatagram(const QByteArray &payload, LogMessage *message)
{
    return PlainReader(payload.constBegin(), payload.constEnd()).read(message);
}
