// The rules that decide whether a received text is shown as markup.
#include "richtext.h"

#include "logdocument.h"

#include <QPair>
#include <QTextCursor>
#include <QTextFrame>
#include <QVector>

namespace {

// Qt lays out a table inside a table cell several times for every layout of that cell, so
// layout time doubles with each level of nesting: here 16 levels take about a second, 20
// about 14 s, and a datagram of 1 KB can nest 30. Markup that nests tables deeper than this
// is shown as the plain text it is.
const int maxTableNesting = 6;

bool nestsTablesTooDeep(const QString &html)
{
    // Only a table element makes a frame, and its tag has to spell the name out.
    if (!html.contains(QLatin1String("table"), Qt::CaseInsensitive))
        return false;
    // Parsed the way a pane parses it, resources refused alike, but never laid out.
    LogDocument parsed;
    QTextCursor(&parsed).insertHtml(html);
    QVector<QPair<const QTextFrame *, int>> pending;
    pending.append(qMakePair(parsed.rootFrame(), 0));
    while (!pending.isEmpty()) {
        const QPair<const QTextFrame *, int> next = pending.takeLast();
        if (next.second > maxTableNesting)
            return true;
        for (const QTextFrame *child : next.first->childFrames())
            pending.append(qMakePair(child, next.second + 1));
    }
    return false;
}

} // namespace

bool showsAsRichText(const QString &text)
{
    return Qt::mightBeRichText(text) && !nestsTablesTooDeep(text);
}
