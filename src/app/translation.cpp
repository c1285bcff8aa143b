// Installs the Spanish catalogue for a Spanish locale.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/translation.h"

#include "app/qtcompat.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

namespace {

// Never removed once installed. The application object owns it, so it goes only when the
// application does, at the end of main, and is not left behind as a leak.
void installCatalogue(const QString &name, const QString &directory)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(name, directory, QString(), QString()))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

void installInterfaceTranslator()
{
    const QString language = QLocale().name().split(QLatin1Char('_')).first();
    if (language != QLatin1String("es"))
        return;

    installCatalogue(QStringLiteral("corvane_es"), QStringLiteral(":/corvane/languages"));
    // Qt's own texts (the panes' context menu, the file dialog) come from Qt's catalogue,
    // where the system has it (Debian's qttranslations5-l10n, or qt6-translations-l10n).
    installCatalogue(QStringLiteral("qtbase_es"), corvane::qtTranslationsPath());
}
