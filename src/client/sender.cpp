// corvane::Sender: texts to panes under four captions, over a channel of its own.
// SPDX-License-Identifier: MIT
#include "corvane/client.h"

#include "channel.h"
#include "encoding.h"

#include <mutex>

namespace corvane {

class Sender::Private
{
public:
    explicit Private(const QString &address) : channel(address) { }
    Private(const QString &host, quint16 port) : channel(host, port) { }

    Channel channel;
    mutable std::mutex mutex;
    QStringList captions; // under mutex
    TextFormat format = TextFormat::AsIs; // under mutex
};

Sender::Sender() : d(new Private(defaultAddress())) { }

Sender::Sender(const QString &address) : d(new Private(address)) { }

Sender::Sender(const QString &host, quint16 port) : d(new Private(host, port)) { }

Sender::~Sender() = default;

bool Sender::isValid() const
{
    return d->channel.isValid();
}

QHostAddress Sender::peerAddress() const
{
    return d->channel.peerAddress();
}

quint16 Sender::peerPort() const
{
    return d->channel.peerPort();
}

void Sender::setCaptions(const QStringList &captions)
{
    const std::lock_guard<std::mutex> lock(d->mutex);
    d->captions = captions;
}

QStringList Sender::captions() const
{
    const std::lock_guard<std::mutex> lock(d->mutex);
    return d->captions;
}

void Sender::setTextFormat(TextFormat format)
{
    const std::lock_guard<std::mutex> lock(d->mutex);
    d->format = format;
}

TextFormat Sender::textFormat() const
{
    const std::lock_guard<std::mutex> lock(d->mutex);
    return d->format;
}

bool Sender::send(int pane, const QString &text)
{
    if (pane < 1 || pane > paneCount) {
        d->channel.drop(SendError,
                        QStringLiteral("pane %1 does not exist; panes are 1 to 4").arg(pane));
        return false;
    }
    PaneTexts texts;
    texts[pane - 1] = text;
    return send(texts);
}

bool Sender::send(const PaneTexts &texts)
{
    // Nothing is encoded while the datagrams would be dropped anyway.
    if (d->channel.dropIfQuiet())
        return false;
    const QByteArrayList payloads = datagrams(texts);
    if (payloads.isEmpty()) {
        d->channel.drop(SendError,
                        QStringLiteral("the tab captions alone leave no room for a text"));
        return false;
    }
    bool allSent = true;
    for (const QByteArray &payload : payloads)
        allSent = d->channel.sendCounted(payload) && allSent;
    return allSent;
}

QByteArrayList Sender::datagrams(const PaneTexts &texts) const
{
    QStringList captions;
    TextFormat format;
    {
        const std::lock_guard<std::mutex> lock(d->mutex);
        captions = d->captions;
        format = d->format;
    }
    return datagramsWithin(captions, texts, format, maxDatagramSize - d->channel.countRoom());
}

bool Sender::sendDatagram(const QByteArray &payload)
{
    return d->channel.send(payload);
}

bool Sender::sendCountedDatagram(const QByteArray &payload)
{
    return d->channel.sendCounted(payload);
}

quint64 Sender::droppedCount() const
{
    return d->channel.droppedCount();
}

Sender::Error Sender::error() const
{
    return d->channel.error();
}

QString Sender::errorString() const
{
    return d->channel.errorString();
}

} // namespace corvane
