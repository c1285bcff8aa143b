// Installs the Spanish catalogue for a Spanish locale.
#include "translation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

void installInterfaceTranslator()
{
    const QString language = QLocale().name().split(QLatin1Char('_')).first();
    if (language != QLatin1String("es"))
        return;

    // Never removed once installed. The application object owns it, so it goes only when the
    // application does, at the end of main, and is not left behind as a leak.
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("corvane_es"), QStringLiteral(":/corvane/languages"),
                         QString(), QString()))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}
