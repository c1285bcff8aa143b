// Resource loading for log panes: the program's own bundle, and placeholders for the rest.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/logdocument.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QUrl>

LogDocument::LogDocument(QObject *parent) : QTextDocument(parent) { }

QVariant LogDocument::loadResource(int type, const QUrl &name)
{
    // The bundle's own files, named "qrc:/..." or ":/...", are read here and only from the
    // bundle: left to Qt, a name that the bundle lacks would be tried as a path relative to
    // the working directory.
    QString bundlePath;
    if (name.scheme() == QLatin1String("qrc"))
        bundlePath = QLatin1Char(':') + QDir::cleanPath(QLatin1Char('/') + name.path());
    else if (name.scheme().isEmpty() && name.path().startsWith(QLatin1String(":/")))
        bundlePath = QLatin1Char(':') + QDir::cleanPath(name.path().mid(1));
    if (!bundlePath.isEmpty() && QFile::exists(bundlePath)) {
        QFile file(bundlePath);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            if (type == QTextDocument::StyleSheetResource)
                return QString::fromUtf8(bytes);
            if (type == QTextDocument::ImageResource) {
                const QImage image = QImage::fromData(bytes);
                if (!image.isNull())
                    return image;
            } else {
                return bytes;
            }
        }
    }

    // A null answer would make the text engine try the name as a file itself, so refused
    // names get a harmless, non-null stand-in of the requested kind.
    if (type == QTextDocument::ImageResource) {
        static const QImage placeholder = [] {
            QImage image(1, 1, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            return image;
        }();
        return placeholder;
    }
    return QString(QLatin1String(""));
}

QString shownText(const QTextDocument &document)
{
    // The raw text marks paragraphs, lines and the frames of tables with characters of Qt's
    // own; toPlainText() makes each a line feed, and so does this.
    QString text = document.toRawText();
    for (QChar &c : text) {
        switch (c.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xfdd0: // the start of a frame
        case 0xfdd1: // the end of a frame
            c = QLatin1Char('\n');
            break;
        default:
            break;
        }
    }
    return text;
}
