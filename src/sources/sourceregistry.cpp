// Counting senders as their messages arrive, and hiding the ones a user muted.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sources/sourceregistry.h"

namespace {

const qint64 nsPerSecond = 1000000000;
const int rateSeconds = 10;

} // namespace

double Source::rate(qint64 now) const
{
    // The ten seconds up to now that the counts still cover; the current one counts whole.
    const qint64 second = now / nsPerSecond;
    quint64 sum = 0;
    for (qint64 past = qMax(second, latestSecond) - rateSeconds + 1;
         past <= qMin(second, latestSecond); ++past)
        sum += perSecond[size_t(past % rateSeconds)];
    return double(sum) / rateSeconds;
}

SourceRegistry::SourceRegistry(QObject *parent) : QObject(parent) { }

void SourceRegistry::count(const QVector<LogMessage> &messages)
{
    for (const LogMessage &message : messages) {
        Source *source = sourceOf(message);
        if (!source)
            continue;
        int texts = 0;
        for (const QString &text : message.texts)
            texts += text.isEmpty() ? 0 : 1;
        source->texts += quint64(texts);
        source->sequence.count(message.seq);
        if (!message.app.isEmpty() && message.app != source->app)
            source->app = message.app;
        source->lastSeen = qMax(source->lastSeen, message.arrivalTime);
        const qint64 second = message.arrivalTime / nsPerSecond;
        if (second > source->latestSecond) {
            for (qint64 past = qMax(source->latestSecond + 1, second - rateSeconds + 1);
                 past <= second; ++past)
                source->perSecond[size_t(past % rateSeconds)] = 0;
            source->latestSecond = second;
        }
        if (second > source->latestSecond - rateSeconds)
            source->perSecond[size_t(second % rateSeconds)] += quint32(texts);
    }
}

Source *SourceRegistry::sourceOf(const LogMessage &message)
{
    // Texts handed to the window directly came from no sender.
    if (message.sender.isNull())
        return nullptr;
    if (lastRow >= 0 && sources.at(lastRow).sender == message.sender)
        return &sources[lastRow];
    const auto found = rows.constFind(message.sender);
    if (found != rows.constEnd()) {
        lastRow = found.value();
        return &sources[lastRow];
    }
    if (sources.size() >= maxSources)
        return nullptr;
    lastRow = sources.size();
    rows.insert(message.sender, lastRow);
    Source source;
    source.sender = message.sender;
    sources.append(source);
    return &sources[lastRow];
}

QString SourceRegistry::nameOf(const SenderAddress &sender) const
{
    const int row = rows.value(sender, -1);
    return row >= 0 ? sources.at(row).app : QString();
}

void SourceRegistry::setMuted(int row, bool muted)
{
    Source &source = sources[row];
    if (source.muted == muted)
        return;
    source.muted = muted;
    mutedCount += muted ? 1 : -1;
    emit hiddenChanged();
}

void SourceRegistry::setSoloed(int row, bool soloed)
{
    Source &source = sources[row];
    if (source.soloed == soloed)
        return;
    source.soloed = soloed;
    soloedCount += soloed ? 1 : -1;
    emit hiddenChanged();
}

bool SourceRegistry::isHidden(const SenderAddress &sender) const
{
    if (!hidesAny())
        return false;
    const int row = rows.value(sender, -1);
    // A sender not listed is shown unless some are soloed.
    if (row < 0)
        return soloedCount > 0;
    const Source &source = sources.at(row);
    return source.muted || (soloedCount > 0 && !source.soloed);
}
