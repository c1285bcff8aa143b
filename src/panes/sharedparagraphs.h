// Which plain texts a pane may put into one paragraph, one line each.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SHAREDPARAGRAPHS_H
#define SHAREDPARAGRAPHS_H

#include <QString>
#include <QTextBlockFormat>

// Every text removed from the top of a pane makes Qt's layout move each paragraph below it,
// one by one. Plain texts that arrive together therefore share paragraphs, each text a line
// of its own (after a line separator), up to this many a paragraph: a pane then holds an
// eighth of the paragraphs, and letting its oldest texts go costs an eighth as much.
constexpr int textsPerSharedParagraph = 8;

// True when the text looks the same as a line of a shared paragraph as it does in a paragraph
// of its own: it is not empty, breaks no line itself and, because a paragraph has one writing
// direction, holds nothing written or embedded right to left and no direction controls.
bool canShareParagraph(const QString &text);

// True when a paragraph in this format looks like several paragraphs in it, one for each of
// its lines: no space above or below it, no indented first line, no line height of its own,
// and no list item, heading or check box, of which each text would be one.
bool formatCanBeShared(const QTextBlockFormat &format);

#endif // SHAREDPARAGRAPHS_H
