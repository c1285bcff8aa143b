// Reads the ends of a time range.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/timerange.h"

#include <QDateTime>
#include <QRegularExpression>

TimeBound TimeBound::parse(const QString &given)
{
    TimeBound bound;
    const QString text = given.trimmed();
    if (text.isEmpty())
        return bound;
    static const QRegularExpression duration(QStringLiteral("^-([0-9]{1,9})([smhd])$"));
    const QRegularExpressionMatch match = duration.match(text);
    if (match.hasMatch()) {
        static const QString units = QStringLiteral("smhd");
        static const qint64 seconds[] = {1, 60, 3600, 86400};
        bound.kind = BeforeEnd;
        bound.nanoseconds =
            match.captured(1).toLongLong() * seconds[units.indexOf(match.captured(2))] * 1000000000;
        return bound;
    }
    QDateTime time;
    for (const char *format :
         {"yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm",
          "yyyy-MM-ddTHH:mm:ss.zzz", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-ddTHH:mm", "yyyy-MM-dd"}) {
        time = QDateTime::fromString(text, QString::fromLatin1(format));
        if (time.isValid())
            break;
    }
    if (!time.isValid()) {
        for (const char *format : {"HH:mm:ss.zzz", "HH:mm:ss", "HH:mm"}) {
            const QTime clock = QTime::fromString(text, QString::fromLatin1(format));
            if (clock.isValid()) {
                time = QDateTime(QDate::currentDate(), clock);
                break;
            }
        }
    }
    bound.kind = time.isValid() ? At : Invalid;
    bound.nanoseconds = time.isValid() ? time.toMSecsSinceEpoch() * 1000000 : 0;
    return bound;
}

qint64 TimeBound::resolve(qint64 endNanoseconds, qint64 open) const
{
    switch (kind) {
    case At:
        return nanoseconds;
    case BeforeEnd:
        return endNanoseconds - nanoseconds;
    case Open:
    case Invalid:
        break;
    }
    return open;
}
