// Which plain texts a pane may put into one paragraph, one line each.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SHAREDPARAGRAPHS_H
#define SHAREDPARAGRAPHS_H

#include <QString>
#include <QTextBlockFormat>

class QFont;
class QPaintDevice;

// Every text removed from the top of a pane makes Qt's layout move each paragraph below it,
// one by one. Plain texts that arrive together therefore share paragraphs, each text a line
// of its own (after a line separator), up to this many a paragraph: a pane then holds an
// eighth of the paragraphs, and letting its oldest texts go costs an eighth as much.
constexpr int textsPerSharedParagraph = 8;

// True when the text looks the same as a line of a shared paragraph as it does in a paragraph
// of its own: it is not empty, breaks no line itself and, because a paragraph has one writing
// direction, holds nothing written or embedded right to left and no direction controls.
bool canShareParagraph(const QString &text);

// Qt sets the lines of a paragraph one line spacing apart (ascent, descent and leading, rounded
// up), but starts the next paragraph one line height below the last line, and the height leaves
// out a leading below zero. Fonts whose metrics Qt 5 rounds to pixels often have one (DejaVu
// Sans at 12 points: spacing 20 px, height 21; at 9 points 15 and 17), and then every eighth text
// of a column of shared paragraphs would stand a pixel or two further from the one above it than
// the others. Paragraphs of plain texts of one line therefore carry, when their font needs it,
// that difference as a margin below zero above and below them: between two of them the layout
// takes the larger margin, and so sets them one line spacing apart too. Texts of several lines,
// rich texts and any other paragraph with no margin, or a margin of its own, keep their
// distance. A margin is a property of a paragraph, where a line height would be worked out
// again for every line whenever the layout moves the paragraphs, as it does after a trim.

// True when the text is of several lines as the pane shows it.
bool breaksLines(const QString &text);
// The margin that does so for this font on this device (the paint device of the document's
// layout), in pixels: below zero, or 0 when the font needs none.
qreal evenLinesMargin(const QFont &font, QPaintDevice *device);
// The format for a paragraph of plain texts of one line, marked as such, with that margin.
QTextBlockFormat withEvenLines(QTextBlockFormat format, qreal margin);
bool hasEvenLines(const QTextBlockFormat &format);
// The format as it was before withEvenLines(): what any other text takes from the paragraph
// before it.
QTextBlockFormat withoutEvenLines(QTextBlockFormat format);

#endif // SHAREDPARAGRAPHS_H
