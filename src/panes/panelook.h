// What decides how a pane shows the texts it keeps: whether, with which colours, after what.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PANELOOK_H
#define PANELOOK_H

#include "panes/kepttext.h"

#include <QColor>
#include <QString>

// How one kept text shows in its pane.
struct TextLook
{
    bool shown = true;
    // The text's background across the pane's width, and its own colour; invalid for the
    // pane's own.
    QColor background;
    QColor foreground;
    // Goes in front of the text in a muted colour (its arrival time, its sender), or nothing.
    // Find, Save and Copy see it as part of the text.
    QString prefix;
};

// Given to the panes by the window, which combines in it everything that changes how texts
// show (rules, muted senders, prefixes). A pane asks match() once for each text that enters
// it, and look() whenever it shows the text: look() must be quick and match nothing again.
class PaneLook
{
public:
    virtual ~PaneLook() = default;
    // The rule slots that match the text, for KeptText::ruleMatches.
    virtual quint64 match(const KeptText &text, int pane) const = 0;
    // How the text shows in the pane. `previousShown` is the text shown before it in that
    // pane, or null for the first.
    virtual TextLook look(const KeptText &text, int pane, const KeptText *previousShown) const = 0;
    // Whether every text shows as it is: shown, no colours, no prefix. Panes then take the
    // fastest way in.
    virtual bool showsEverythingPlain(int pane) const = 0;
};

#endif // PANELOOK_H
