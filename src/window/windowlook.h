// How the window's panes show their texts: the rules, the senders muted, the prefixes, combined.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef WINDOWLOOK_H
#define WINDOWLOOK_H

#include "panes/panelook.h"

#include <functional>

// What the rules decide for a text from the rule slots that match it.
struct RuleVerdict
{
    bool hidden = false;
    QColor background;
    QColor foreground;
};

// The one look the window gives all four panes. The parts that change how texts show fill in
// the hooks below (an empty hook decides nothing), and after a change of theirs have the panes
// refresh.
class WindowLook : public PaneLook
{
public:
    // Which rule slots match a text arriving in a pane.
    std::function<quint64(const QString &text, int pane)> matchRules;
    // What the slots that matched mean for a pane's text.
    std::function<RuleVerdict(quint64 matches, int pane)> judgeRules;
    // Whether any rule is on for a pane.
    std::function<bool(int pane)> rulesActive;
    // Whether a sender's texts are hidden (muted, or another sender soloed); left empty while
    // every sender shows, so that the panes take their fastest way.
    std::function<bool(const SenderAddress &sender)> senderHidden;
    // The name a sender goes by in front of its texts; empty for its address and port.
    std::function<QString(const SenderAddress &sender)> senderName;

    struct Prefixes
    {
        bool times = false;
        bool sincePrevious = false; // instead of times
        bool senders = false;
    };
    Prefixes prefixes;

    quint64 match(const KeptText &text, int pane) const override;
    TextLook look(const KeptText &text, int pane, const KeptText *previousShown) const override;
    bool showsEverythingPlain(int pane) const override;
};

// "HH:MM:SS.mmm" in local time for an arrival time in nanoseconds since the epoch, empty when
// it is not known.
QString arrivalTimeText(qint64 arrivalTime);
// "+0.012 s": the time from one arrival to the next, in seconds to the millisecond; empty when
// either is not known.
QString timeSinceText(qint64 previousArrival, qint64 arrivalTime);

#endif // WINDOWLOOK_H
