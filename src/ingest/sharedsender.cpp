// A sender's address held once and shared by every text that came from it.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ingest/sharedsender.h"

SharedSender::SharedSender(const SenderAddress &address)
    : shared(address.isNull() ? nullptr : new Shared(address))
{ }

const SenderAddress &SharedSender::address() const
{
    static const SenderAddress none;
    return shared ? shared->address : none;
}

SharedSender RecentSenders::share(const SenderAddress &address)
{
    // Most texts come from the sender of the text before: the newest are looked at first.
    for (size_t i = 0; i < senders.size(); ++i) {
        const size_t at = (last + senders.size() - i) % senders.size();
        if (senders[at].address() == address)
            return senders[at];
    }
    if (address.isNull())
        return SharedSender();
    // A new one takes the place of the one that came in first.
    last = (last + 1) % senders.size();
    senders[last] = SharedSender(address);
    return senders[last];
}
