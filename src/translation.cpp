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

    // The translator lives as long as the process: it is never removed once installed.
    auto *translator = new QTranslator;
    if (translator->load(QStringLiteral("corvane_es"), QStringLiteral(":/corvane/languages"),
                         QString(), QString()))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}
