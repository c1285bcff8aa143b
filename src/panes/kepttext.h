// A text kept by a pane, with what is known of it: when it came, from whom, which rules matched.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef KEPTTEXT_H
#define KEPTTEXT_H

#include "ingest/sharedsender.h"

#include <QString>

// A pane keeps every text it received within its history limits, shown or not: what it shows
// is decided from these by its PaneLook, and can be decided again (rules, prefixes) without
// losing a text.
struct KeptText
{
    QString text;
    // When the system received the datagram, nanoseconds since the epoch; 0 when not known.
    qint64 arrivalTime = 0;
    // Shared with the other texts from the same sender (RecentSenders).
    SharedSender sender;
    // Bit n is set when the rule in slot n matched the text: set by PaneLook::match() when the
    // text enters its pane, and again when that rule changes, so that showing the text matches
    // nothing.
    quint64 ruleMatches = 0;
};

#endif // KEPTTEXT_H
