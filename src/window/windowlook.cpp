// Decides, from rules, senders and prefixes, how each text shows in the window's panes.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/windowlook.h"

#include <QDateTime>

quint64 WindowLook::match(const KeptText &text, int pane) const
{
    return matchRules ? matchRules(text.text, pane) : 0;
}

bool WindowLook::showsEverythingPlain(int pane) const
{
    return !(rulesActive && rulesActive(pane)) && !senderHidden && !prefixes.times
        && !prefixes.sincePrevious && !prefixes.senders;
}

TextLook WindowLook::look(const KeptText &text, int pane, const KeptText *previousShown) const
{
    TextLook shown;
    if (senderHidden && senderHidden(text.sender.address())) {
        shown.shown = false;
        return shown;
    }
    if (judgeRules && rulesActive && rulesActive(pane)) {
        const RuleVerdict verdict = judgeRules(text.ruleMatches, pane);
        if (verdict.hidden) {
            shown.shown = false;
            return shown;
        }
        shown.background = verdict.background;
        shown.foreground = verdict.foreground;
    }
    if (prefixes.sincePrevious) {
        const QString since = previousShown
            ? timeSinceText(previousShown->arrivalTime, text.arrivalTime)
            : timeSinceText(text.arrivalTime, text.arrivalTime);
        if (!since.isEmpty())
            shown.prefix = since + QLatin1Char(' ');
    } else if (prefixes.times) {
        const QString time = arrivalTimeText(text.arrivalTime);
        if (!time.isEmpty())
            shown.prefix = time + QLatin1Char(' ');
    }
    if (prefixes.senders && !text.sender.isNull()) {
        const QString name = senderName ? senderName(text.sender.address()) : QString();
        shown.prefix += (name.isEmpty() ? text.sender.toString() : name) + QLatin1Char(' ');
    }
    return shown;
}

QString arrivalTimeText(qint64 arrivalTime)
{
    if (arrivalTime <= 0)
        return QString();
    // Texts come many a second: the local time of a second is worked out once (through the
    // time zone, which costs microseconds) and its milliseconds added to it.
    static thread_local qint64 lastSecond = -1;
    static thread_local QString lastSecondText;
    const qint64 ms = arrivalTime / 1000000;
    const qint64 second = ms / 1000;
    if (second != lastSecond) {
        lastSecond = second;
        lastSecondText =
            QDateTime::fromMSecsSinceEpoch(second * 1000).toString(QStringLiteral("HH:mm:ss."));
    }
    return lastSecondText + QStringLiteral("%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

QString timeSinceText(qint64 previousArrival, qint64 arrivalTime)
{
    if (previousArrival <= 0 || arrivalTime <= 0)
        return QString();
    const qint64 ms = (arrivalTime - previousArrival) / 1000000;
    const QString sign = ms < 0 ? QStringLiteral("-") : QStringLiteral("+");
    const qint64 magnitude = ms < 0 ? -ms : ms;
    return sign + QString::number(magnitude / 1000) + QLatin1Char('.')
        + QStringLiteral("%1").arg(magnitude % 1000, 3, 10, QLatin1Char('0'))
        + QStringLiteral(" s");
}
