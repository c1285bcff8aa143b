// The document behind a log pane, which loads no file that a text names.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LOGDOCUMENT_H
#define LOGDOCUMENT_H

#include <QTextDocument>

// The document behind a log pane. Received texts may carry rich-text markup, and markup can
// name resources (images, style sheets) by path or URL. A pane must never read a local file,
// a device or a pipe because a sender asked it to, so only the program's own compiled-in
// resources are loaded; every other name resolves to an empty placeholder.
class LogDocument : public QTextDocument
{
    Q_OBJECT

public:
    explicit LogDocument(QObject *parent = nullptr);

protected:
    QVariant loadResource(int type, const QUrl &name) override;
};

// The document's text as a pane shows it, character for character, each paragraph and each
// line of a shared paragraph ended by a line feed but the last. Unlike toPlainText(), which
// makes every no-break space a plain space, no character changes.
QString shownText(const QTextDocument &document);

#endif // LOGDOCUMENT_H
