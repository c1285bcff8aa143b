// Every sender the viewer heard from: what it sent, how fast, when, and what it lost.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SOURCEREGISTRY_H
#define SOURCEREGISTRY_H

#include "ingest/logmessage.h"
#include "sources/sequencecounter.h"

#include <QHash>
#include <QObject>
#include <QVector>

#include <array>

// One sender as the registry knows it.
struct Source
{
    SenderAddress sender;
    QString app; // the latest name it gave, empty if none
    quint64 texts = 0;
    qint64 lastSeen = 0; // the latest arrival time
    SequenceCounter sequence;
    bool muted = false;
    bool soloed = false;

    // Texts a second over the ten seconds up to `now` (arrival times, nanoseconds).
    double rate(qint64 now) const;

    // Texts in each of the last ten seconds, by arrival time; the one of `second` is at
    // second % 10.
    std::array<quint32, 10> perSecond {};
    qint64 latestSecond = 0;
};

// The senders in the order they first came, one row each, counted as batches arrive. Counting
// a message costs a comparison with the previous message's sender, and a hash lookup when it
// came from another one.
//
// Muting a sender hides its texts; soloing some hides every other sender's.
class SourceRegistry : public QObject
{
    Q_OBJECT

public:
    explicit SourceRegistry(QObject *parent = nullptr);

    void count(const QVector<LogMessage> &messages);

    int size() const { return int(sources.size()); }
    const Source &at(int row) const { return sources.at(row); }
    // The program's name a sender gave, or an empty one.
    QString nameOf(const SenderAddress &sender) const;

    void setMuted(int row, bool muted);
    void setSoloed(int row, bool soloed);
    // Whether any sender's texts are hidden now.
    bool hidesAny() const { return mutedCount > 0 || soloedCount > 0; }
    bool isHidden(const SenderAddress &sender) const;

    // Beyond this many senders new ones are not listed (their texts still show): a flood from
    // every port of a network cannot take the viewer's memory.
    static constexpr int maxSources = 10000;

signals:
    // Some sender's texts were hidden or shown: the panes have to be shown anew.
    void hiddenChanged();

private:
    Source *sourceOf(const LogMessage &message);

    QVector<Source> sources;
    QHash<SenderAddress, int> rows;
    int lastRow = -1; // the previous message's sender
    int mutedCount = 0;
    int soloedCount = 0;
};

#endif // SOURCEREGISTRY_H
