// The registry's muting and names, and the prefixes, as the panes' look; panes refreshed.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/senderlook.h"

#include "panes/logpane.h"
#include "sources/sourceregistry.h"
#include "window/windowlook.h"

SenderLook::SenderLook(WindowLook *look, SourceRegistry *registry,
                       const std::array<LogPane *, paneCount> &panes, QObject *parent)
    : QObject(parent), look(look), registry(registry), panes(panes)
{
    look->senderName = [registry](const SenderAddress &sender) { return registry->nameOf(sender); };
    connect(registry, &SourceRegistry::hiddenChanged, this, &SenderLook::followHidden);
}

void SenderLook::setPrefixes(const ViewChoices &choices)
{
    look->prefixes.times = choices.times;
    look->prefixes.sincePrevious = choices.sincePrevious;
    look->prefixes.senders = choices.senders;
    refreshPanes();
}

void SenderLook::followHidden()
{
    if (registry->hidesAny()) {
        const SourceRegistry *senders = registry;
        look->senderHidden = [senders](const SenderAddress &sender) {
            return senders->isHidden(sender);
        };
    } else {
        look->senderHidden = nullptr;
    }
    refreshPanes();
}

void SenderLook::refreshPanes()
{
    for (LogPane *pane : panes)
        pane->refresh();
}
