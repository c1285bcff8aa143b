// Writes a range of a pane's kept texts into a document, each as the pane's look shows it.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TEXTWRITER_H
#define TEXTWRITER_H

#include "panes/panetext.h"

#include <QPalette>

#include <deque>

class PaneLook;
class QTextDocument;

// Plain texts of one line go in as runs that share paragraphs (sharedparagraphs.h), with one
// insertion for a run; a text that breaks lines, a highlighted one and rich text each have
// paragraphs of their own. Made for one write, with what the pane looks like then.
class TextWriter
{
public:
    // The look may be null: every text shows as it is. The palette gives the prefixes their
    // colour; the margin keeps the plain texts' lines even in the pane's font.
    TextWriter(const PaneLook *look, int paneNumber, const QPalette &palette,
               qreal evenLinesMargin);

    // Writes the shown texts among kept[from, to) at the document's end, and sets the length of
    // each as written. Returns how much the lengths of those texts with their breaks grew (a
    // text not measured before counts whole, with its break).
    int write(QTextDocument *document, std::deque<PaneText> &kept, size_t from, size_t to) const;

private:
    const PaneLook *look;
    int paneNumber;
    QPalette palette;
    qreal evenLinesMargin;
};

#endif // TEXTWRITER_H
