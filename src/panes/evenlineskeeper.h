// Keeps the lines of a pane's plain texts evenly spaced when the document's font changes.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef EVENLINESKEEPER_H
#define EVENLINESKEEPER_H

#include <QFont>
#include <QObject>

class QTextCharFormat;
class QTextEdit;

// Paragraphs of plain texts have a margin that makes them lie one line spacing apart
// (sharedparagraphs.h), and that margin depends on the font. Zooming sets the document's font
// without telling the pane: this notices it by the layout changing size and gives each such
// paragraph the margin for the new font, once the layout is done with it.
class EvenLinesKeeper : public QObject
{
    Q_OBJECT

public:
    // Watches the pane's document, which it keeps for its life.
    EvenLinesKeeper(QTextEdit *pane, QObject *parent);

    // Gives the paragraphs their margins later, when the document's font is not the one they
    // have them for (a pane not on show is not laid out when its font changes).
    void fontMayHaveChanged();
    // Gives the paragraphs their margins now, if the document's font changed since the last time.
    void keepLinesEven();
    // The margin that keeps lines in this format even in the document's font.
    qreal marginFor(const QTextCharFormat &format);

signals:
    // The paragraphs have their margins for the document's new font.
    void fontChanged();

private:
    QTextEdit *pane;
    // The document's font that the paragraphs of plain texts have their margins for, and the
    // margin last worked out, with the font and resolution it is for.
    QFont documentFont;
    bool queued = false;
    QFont marginFont;
    int marginDpi = -1;
    qreal fontMargin = 0;
};

#endif // EVENLINESKEEPER_H
