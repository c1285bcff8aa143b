// Resource loading for log panes: the program's own bundle, and placeholders for the rest.
#include "logdocument.h"

#include <QImage>
#include <QUrl>

LogDocument::LogDocument(QObject *parent) : QTextDocument(parent) { }

QVariant LogDocument::loadResource(int type, const QUrl &name)
{
    const bool ownResource = name.scheme() == QLatin1String("qrc")
        || (name.scheme().isEmpty() && name.path().startsWith(QLatin1String(":/")));
    if (ownResource)
        return QTextDocument::loadResource(type, name);

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
