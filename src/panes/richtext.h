// Which received texts a pane shows as rich text, and which as the plain text they are.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RICHTEXT_H
#define RICHTEXT_H

#include <QString>

// True when the text is markup that a pane shows without dropping any of its characters:
// every "<" opens a well-formed tag (with well-formed attributes) or closing tag of an element
// Qt's rich text knows, a comment or a document type, and every "&" starts an entity such as
// "&lt;", "&#60;" or "&#x3c;". A log line such as "a<b && c>d" or "std::vector<int>" is not.
bool isLosslessMarkup(const QString &text);

// True when the pane should show the text as markup rather than as it is written: it looks
// like markup from its start (Qt::mightBeRichText), is lossless markup, and nests no tables
// so deep that laying it out would freeze the window.
bool showsAsRichText(const QString &text);

#endif // RICHTEXT_H
