// Writes a range of a pane's kept texts into a document, each as the pane's look shows it.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/textwriter.h"

#include "panes/panelook.h"
#include "panes/richtext.h"
#include "panes/sharedparagraphs.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QVector>

#include <utility>

TextWriter::TextWriter(const PaneLook *paneLook, int number, const QPalette &panePalette,
                       qreal margin)
    : look(paneLook), paneNumber(number), palette(panePalette), evenLinesMargin(margin)
{ }

int TextWriter::write(QTextDocument *document, std::deque<PaneText> &kept, size_t from,
                      size_t to) const
{
    int grown = 0;
    // New texts start in the pane's own formats, never in those of wherever the user clicked
    // last or of the text before them: a plain text always looks the same.
    const QTextBlockFormat paneBlockFormat;
    const QTextCharFormat paneCharFormat;
    // Paragraphs of one-line plain texts lie one line spacing apart, as the lines within them.
    const QTextBlockFormat runFormat = withEvenLines(paneBlockFormat, evenLinesMargin);
    // What goes in front of a text (its time, its sender) is written half way to the
    // background, so that it reads on light and dark palettes alike and stays out of the way.
    const QColor text = palette.color(QPalette::Text);
    const QColor base = palette.color(QPalette::Base);
    QTextCharFormat prefixFormat;
    prefixFormat.setForeground(QColor((text.red() + base.red()) / 2,
                                      (text.green() + base.green()) / 2,
                                      (text.blue() + base.blue()) / 2));
    const bool allPlain = !look || look->showsEverythingPlain(paneNumber);
    const KeptText *previousShown = nullptr;
    for (size_t index = from; index-- > 0;) {
        if (kept[index].shown) {
            previousShown = &kept[index].text;
            break;
        }
    }

    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();

    // Runs of plain texts of one line go in with one insertion, which costs far less than one
    // per text (one more for each prefix).
    struct Piece
    {
        QString text;
        bool prefix;
    };
    QVector<Piece> plainRun;
    auto addToRun = [&](const QString &piece, bool isPrefix) {
        if (!isPrefix && !plainRun.isEmpty() && !plainRun.constLast().prefix)
            plainRun.last().text += piece;
        else
            plainRun.append({piece, isPrefix});
    };
    bool empty = document->isEmpty();
    auto startParagraph = [&](const QTextBlockFormat &format, const QTextCharFormat &textFormat) {
        if (empty) {
            if (cursor.blockFormat() != format)
                cursor.setBlockFormat(format);
            cursor.setCharFormat(textFormat);
        } else {
            cursor.insertBlock(format, textFormat);
        }
        empty = false;
    };
    auto flushPlainRun = [&] {
        if (plainRun.isEmpty())
            return;
        startParagraph(runFormat, paneCharFormat);
        for (const Piece &piece : std::as_const(plainRun))
            cursor.insertText(piece.text, piece.prefix ? prefixFormat : paneCharFormat);
        plainRun.clear();
    };
    bool inRun = false;
    bool lastCanShare = false;
    int sharing = 0; // the texts in the run's last paragraph
    for (size_t index = from; index < to; ++index) {
        PaneText &entry = kept[index];
        if (!entry.shown)
            continue;
        const TextLook shown =
            allPlain ? TextLook() : look->look(entry.text, paneNumber, previousShown);
        previousShown = &entry.text;
        const QString &text = entry.text.text;
        const bool rich = showsAsRichText(text);
        const bool canShare = !rich && canShareParagraph(text);
        const bool marked = shown.background.isValid() || shown.foreground.isValid();
        if (rich || marked || (!canShare && breaksLines(text))) {
            // Not in the run: its paragraphs keep the spacing the pane's format gives them,
            // and a marked text has a paragraph of its own, coloured across the pane.
            flushPlainRun();
            inRun = false;
            QTextBlockFormat blockFormat = canShare ? runFormat : paneBlockFormat;
            QTextCharFormat textFormat = paneCharFormat;
            if (shown.background.isValid())
                blockFormat.setBackground(shown.background);
            if (shown.foreground.isValid())
                textFormat.setForeground(shown.foreground);
            startParagraph(blockFormat, textFormat);
            const int start = cursor.position();
            if (!shown.prefix.isEmpty())
                cursor.insertText(shown.prefix, prefixFormat);
            if (rich)
                cursor.insertHtml(text);
            else
                cursor.insertText(text, textFormat);
            const int length = cursor.position() - start;
            grown += entry.length < 0 ? length + 1 : length - entry.length;
            entry.length = length;
        } else {
            if (inRun) {
                if (canShare && lastCanShare && sharing < textsPerSharedParagraph) {
                    addToRun(QString(QChar::LineSeparator), false);
                    ++sharing;
                } else {
                    addToRun(QString(QChar::ParagraphSeparator), false);
                    sharing = 1;
                }
            } else {
                inRun = true;
                sharing = 1;
            }
            lastCanShare = canShare;
            if (!shown.prefix.isEmpty())
                addToRun(shown.prefix, true);
            addToRun(text, false);
        }
    }
    flushPlainRun();
    cursor.endEditBlock();
    return grown;
}
