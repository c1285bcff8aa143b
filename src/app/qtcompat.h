// What differs between Qt 5.15 and Qt 6 and would otherwise be spelled twice in the code.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CORVANE_QTCOMPAT_H
#define CORVANE_QTCOMPAT_H

#include <QLibraryInfo>
#include <QString>
#include <QTextStream>
#include <QtGlobal>
#ifdef QT_GUI_LIB // corvane-send links Qt Core alone
#include <QTextDocument>
#endif

namespace corvane {

// Qt 6 renamed QLibraryInfo::location() to path(); the old name warns there.
inline QString qtTranslationsPath()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

// A text stream that reads and writes UTF-8 whatever the locale. Qt 6's streams always do
// (QTextCodec and setCodec() are gone); Qt 5's follow the locale unless told.
inline void useUtf8(QTextStream &stream)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    stream.setEncoding(QStringConverter::Utf8);
#else
    stream.setCodec("UTF-8");
#endif
}

// Qt 6 scales every window by the screen's device pixel ratio, Qt 5 only when asked. Called
// before the application object exists, this keeps Qt 6 at one pixel a pixel too, so a
// window and its saved geometry are the same numbers on both; QT_ENABLE_HIGHDPI_SCALING set
// by the user still decides.
inline void keepQt5Scaling()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    if (!qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING"))
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
#endif
}

#ifdef QT_GUI_LIB
// A document as HTML that declares itself UTF-8. Qt 6 always writes the declaration; Qt 5
// writes it only when given the encoding's name.
inline QString documentHtml(const QTextDocument &document)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return document.toHtml();
#else
    return document.toHtml(QByteArrayLiteral("utf-8"));
#endif
}
#endif // QT_GUI_LIB

} // namespace corvane

#endif // CORVANE_QTCOMPAT_H
