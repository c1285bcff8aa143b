// Chooses the interface language at start-up.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TRANSLATION_H
#define TRANSLATION_H

// Installs the Spanish catalogue when the system's language is Spanish, whatever the
// territory. Must run after the application object exists and before any window is built,
// since windows translate their texts once, when they are built.
void installInterfaceTranslator();

#endif // TRANSLATION_H
