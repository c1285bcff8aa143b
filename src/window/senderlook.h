// Gives the window's look the senders muted or soloed, their names and the View prefixes.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SENDERLOOK_H
#define SENDERLOOK_H

#include "files/viewfile.h"
#include "protocol/panes.h"

#include <QObject>

#include <array>

class LogPane;
class SourceRegistry;
class WindowLook;

// Fills in the look's sender hooks from the registry and its prefixes from the View menu's
// choices, and has every pane show its kept texts anew when either changes. The hook that
// hides senders is set only while some are hidden, so the panes keep their fastest way
// otherwise.
class SenderLook : public QObject
{
    Q_OBJECT

public:
    SenderLook(WindowLook *look, SourceRegistry *registry,
               const std::array<LogPane *, paneCount> &panes, QObject *parent = nullptr);

    void setPrefixes(const ViewChoices &choices);

private:
    void followHidden();
    void refreshPanes();

    WindowLook *look;
    SourceRegistry *registry;
    std::array<LogPane *, paneCount> panes;
};

#endif // SENDERLOOK_H
