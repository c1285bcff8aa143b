// Keeps the lines of a pane's plain texts evenly spaced when the document's font changes.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/evenlineskeeper.h"

#include "panes/sharedparagraphs.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

EvenLinesKeeper::EvenLinesKeeper(QTextEdit *view, QObject *parent)
    : QObject(parent), pane(view), documentFont(view->document()->defaultFont())
{
    connect(pane->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged,
            this, &EvenLinesKeeper::fontMayHaveChanged);
}

void EvenLinesKeeper::fontMayHaveChanged()
{
    if (!queued && pane->document()->defaultFont() != documentFont) {
        queued = true; // not while the layout is busy with the font
        QMetaObject::invokeMethod(this, &EvenLinesKeeper::keepLinesEven, Qt::QueuedConnection);
    }
}

// Each paragraph of plain texts takes the margin that keeps its lines even in its font.
void EvenLinesKeeper::keepLinesEven()
{
    queued = false;
    QTextDocument *document = pane->document();
    if (document->defaultFont() == documentFont)
        return;
    documentFont = document->defaultFont();
    QTextCursor cursor(document);
    cursor.beginEditBlock();

    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        if (!hasEvenLines(format)) // the spacers too
            continue;
        const QTextCharFormat text =
            block.begin().atEnd() ? block.charFormat() : block.begin().fragment().charFormat();
        const QTextBlockFormat even = withEvenLines(format, marginFor(text));
        if (even != format) {
            cursor.setPosition(block.position());
            cursor.setBlockFormat(even);
        }
    }
    cursor.endEditBlock();
    emit fontChanged();
}

qreal EvenLinesKeeper::marginFor(const QTextCharFormat &format)
{
    const QTextDocument *document = pane->document();
    const QFont font = format.font().resolve(document->defaultFont());
    QPaintDevice *device = document->documentLayout()->paintDevice();
    const int dpi = device ? device->logicalDpiY() : 0;
    if (font != marginFont || dpi != marginDpi) {
        marginFont = font;
        marginDpi = dpi;
        fontMargin = evenLinesMargin(font, device);
    }
    return fontMargin;
}
