// Which received texts a pane shows as rich text, and which as the plain text they are.
#ifndef RICHTEXT_H
#define RICHTEXT_H

#include <QString>

// True when the pane should show the text as markup rather than as it is written.
bool showsAsRichText(const QString &text);

#endif // RICHTEXT_H
