// A sender's address held once and shared by every text that came from it.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SHAREDSENDER_H
#define SHAREDSENDER_H

#include "ingest/datagramorigin.h"

#include <QExplicitlySharedDataPointer>
#include <QSharedData>

#include <array>

// A pane keeps hundreds of thousands of texts, most from a handful of senders: each holds a
// pointer to its sender's address, shared and never changed, instead of the address itself.
// The address goes with the last text that holds it. A null pointer is the null sender.
class SharedSender
{
public:
    SharedSender() = default;
    explicit SharedSender(const SenderAddress &address);

    const SenderAddress &address() const;
    bool isNull() const { return !shared; }
    QString toString() const { return address().toString(); }

    bool operator==(const SharedSender &other) const
    {
        return shared == other.shared || address() == other.address();
    }
    bool operator!=(const SharedSender &other) const { return !(*this == other); }

private:
    struct Shared : QSharedData
    {
        explicit Shared(const SenderAddress &address) : address(address) { }
        const SenderAddress address;
    };
    QExplicitlySharedDataPointer<Shared> shared;
};

// The last few senders that texts came from, so that the texts of each share its address, even
// while a few senders take turns. Only these few are held here: a flood from ever new ports
// holds no more addresses than the texts kept from it.
class RecentSenders
{
public:
    SharedSender share(const SenderAddress &address);

private:
    std::array<SharedSender, 8> senders;
    size_t last = 0; // the one that came in last
};

#endif // SHAREDSENDER_H
