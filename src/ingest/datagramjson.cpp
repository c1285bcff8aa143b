// Reads a datagram's JSON object, dropping repeated members before Qt's reader sees them.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/datagramjson.h"

#include <QHash>
#include <QJsonDocument>
#include <QString>
#include <QVector>

#include <algorithm>
#include <cstring>

// Qt 5.15's JSON reader keeps the last of several members with the same name in an object,
// but never frees an array or object that an earlier one of them held: one 64 KB datagram
// of `"a":[0],` repeated leaks about 770 KB for good. So the payload is scanned first, and
// each such earlier value, which the reader would drop anyway, is replaced by `null`. The
// reader then gives the very same object, and frees everything.
//
// Qt 6.4's reader keeps the last member too and frees the others (300 such datagrams: no
// growth, where Qt 5.15 grew by 223 MiB). The scan stays on both: the object is the same
// either way, and one way of reading is one thing to test.

namespace {

// Deeper than the reader's own limit of 1024: what lies beyond, the reader refuses.
const int maxDepth = 1100;

struct Span
{
    int begin;
    int end;
};

class RepeatScanner
{
public:
    explicit RepeatScanner(const QByteArray &json) : text(json) { }

    // Spans of the earlier values to drop. Scanning stops at the first thing that is no JSON:
    // the reader refuses such a payload, and what came before has been looked at.
    QVector<Span> scan()
    {
        // The reader skips one UTF-8 byte order mark in front of the text, and so must the
        // scan, or the payload would look like no JSON and nothing would be dropped.
        if (text.startsWith("\xef\xbb\xbf"))
            pos = 3;
        skipSpace();
        value(0);
        return dropped;
    }

private:
    bool atEnd() const { return pos >= text.size(); }
    static bool endsScalar(char c) { return c && std::strchr(",]} \t\n\r", c); }
    char current() const { return text.at(pos); }

    void skipSpace()
    {
        while (!atEnd()
               && (current() == ' ' || current() == '\t' || current() == '\n' || current() == '\r'))
            ++pos;
    }

    bool value(int depth)
    {
        if (atEnd())
            return false;
        switch (current()) {
        case '{':
            return object(depth + 1);
        case '[':
            return array(depth + 1);
        case '"':
            return string(nullptr);
        default:
            // A number, true, false or null: the reader judges it.
            while (!atEnd() && !endsScalar(current()))
                ++pos;
            return true;
        }
    }

    bool array(int depth)
    {
        if (depth > maxDepth)
            return false;
        ++pos;
        skipSpace();
        if (!atEnd() && current() == ']') {
            ++pos;
            return true;
        }
        for (;;) {
            if (!value(depth))
                return false;
            skipSpace();
            if (atEnd())
                return false;
            if (current() == ']') {
                ++pos;
                return true;
            }
            if (current() != ',')
                return false;
            ++pos;
            skipSpace();
        }
    }

    bool object(int depth)
    {
        if (depth > maxDepth)
            return false;
        // For each name, where its latest value is, if that value is an array or object.
        QHash<QString, Span> heldContainers;
        ++pos;
        skipSpace();
        if (!atEnd() && current() == '}') {
            ++pos;
            return true;
        }
        for (;;) {
            QString name;
            if (atEnd() || current() != '"' || !string(&name))
                return false;
            skipSpace();
            if (atEnd() || current() != ':')
                return false;
            ++pos;
            skipSpace();
            const int begin = pos;
            const bool container = !atEnd() && (current() == '{' || current() == '[');
            if (!value(depth))
                return false;
            const auto earlier = heldContainers.constFind(name);
            if (earlier != heldContainers.constEnd())
                dropped.append(earlier.value());
            if (container)
                heldContainers.insert(name, Span {begin, pos});
            else
                heldContainers.remove(name);
            skipSpace();
            if (atEnd())
                return false;
            if (current() == '}') {
                ++pos;
                return true;
            }
            if (current() != ',')
                return false;
            ++pos;
            skipSpace();
        }
    }

    // Reads a string; decodes it into *decoded when asked, as the reader would.
    bool string(QString *decoded)
    {
        ++pos;
        int runStart = pos;
        auto flushRun = [&] {
            if (decoded)
                *decoded += QString::fromUtf8(text.constData() + runStart, pos - runStart);
        };
        while (!atEnd()) {
            const char c = current();
            if (c == '"') {
                flushRun();
                ++pos;
                return true;
            }
            if (c != '\\') {
                ++pos;
                continue;
            }
            flushRun();
            ++pos;
            if (atEnd())
                return false;
            const char escaped = current();
            ++pos;
            if (escaped == 'u') {
                if (pos + 4 > text.size())
                    return false;
                bool ok = false;
                const ushort unit = text.mid(pos, 4).toUShort(&ok, 16);
                if (!ok)
                    return false;
                pos += 4;
                if (decoded)
                    decoded->append(QChar(unit));
            } else if (decoded) {
                static const char from[] = "bfnrt";
                static const char to[] = "\b\f\n\r\t";
                const char *known = escaped ? std::strchr(from, escaped) : nullptr;
                decoded->append(QLatin1Char(known ? to[known - from] : escaped));
            }
            runStart = pos;
        }
        return false;
    }

    const QByteArray &text;
    int pos = 0;
    QVector<Span> dropped;
};

} // namespace

QJsonObject datagramObject(const QByteArray &payload)
{
    QVector<Span> dropped = RepeatScanner(payload).scan();
    if (dropped.isEmpty())
        return QJsonDocument::fromJson(payload).object();

    // Spans nest when a dropped value holds repeats of its own; the outer one covers them.
    std::sort(dropped.begin(), dropped.end(),
              [](const Span &a, const Span &b) { return a.begin < b.begin; });
    QByteArray cleaned;
    cleaned.reserve(payload.size());
    int copied = 0;
    for (const Span &span : qAsConst(dropped)) {
        if (span.begin < copied)
            continue;
        cleaned.append(payload.constData() + copied, span.begin - copied);
        cleaned.append("null");
        copied = span.end;
    }
    cleaned.append(payload.constData() + copied, payload.size() - copied);
    return QJsonDocument::fromJson(cleaned).object();
}
