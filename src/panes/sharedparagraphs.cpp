// Which plain texts a pane may put into one paragraph, one line each.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/sharedparagraphs.h"

#include <QTextLayout>
#include <QtMath>

namespace {

// Marks a paragraph of plain texts of one line; never written out as HTML.
constexpr int evenLinesProperty = QTextFormat::UserProperty;

// A character that would end or change a shared line: line and paragraph breaks, other
// controls (the tab excepted), and the marks Qt keeps for frames and objects.
bool breaksOrMarks(char32_t c)
{
    if (c < 0x20)
        return c != '\t';
    return (c >= 0x7f && c <= 0x9f) || c == QChar::LineSeparator || c == QChar::ParagraphSeparator
        || c == 0xfdd0 || c == 0xfdd1 || c == QChar::ObjectReplacementCharacter;
}

// A character whose writing direction is not left to right, or that changes the direction
// of what follows: in a shared paragraph it would reorder, or be reordered by, its neighbours.
bool turnsDirection(char32_t c)
{
    switch (QChar::direction(c)) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirAN:
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirPDF:
    case QChar::DirLRI:
    case QChar::DirRLI:
    case QChar::DirFSI:
    case QChar::DirPDI:
        return true;
    default:
        return false;
    }
}

} // namespace

bool canShareParagraph(const QString &text)
{
    if (text.isEmpty())
        return false;
    const int size = text.size();
    for (int i = 0; i < size; ++i) {
        char32_t c = text.at(i).unicode();
        if (c >= 0x20 && c < 0x7f)
            continue; // the common case: printable ASCII
        if (QChar::isHighSurrogate(c) && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (breaksOrMarks(c) || turnsDirection(c))
            return false;
    }
    return true;
}

bool breaksLines(const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            return true;
    }
    return false;
}

qreal evenLinesMargin(const QFont &font, QPaintDevice *device)
{
    // Laid out as the document lays out a line, so that the figures are the layout's own.
    QTextLayout layout(QStringLiteral("0"), font, device);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLeadingIncluded(true);
    layout.endLayout();
    const qreal spacing = qCeil(line.ascent() + line.descent() + line.leading());
    return qMin(spacing - line.height(), qreal(0));
}

QTextBlockFormat withEvenLines(QTextBlockFormat format, qreal margin)
{
    format.setProperty(evenLinesProperty, true);
    if (margin < 0) {
        format.setTopMargin(margin);
        format.setBottomMargin(margin);
    } else {
        format.clearProperty(QTextFormat::BlockTopMargin);
        format.clearProperty(QTextFormat::BlockBottomMargin);
    }
    return format;
}

bool hasEvenLines(const QTextBlockFormat &format)
{
    return format.boolProperty(evenLinesProperty);
}

QTextBlockFormat withoutEvenLines(QTextBlockFormat format)
{
    if (hasEvenLines(format)) {
        format.clearProperty(evenLinesProperty);
        format.clearProperty(QTextFormat::BlockTopMargin);
        format.clearProperty(QTextFormat::BlockBottomMargin);
    }
    return format;
}
