// Batched insertion of received texts into a log pane, and what the pane shows meanwhile.
#include "logpane.h"

#include "logdocument.h"
#include "richtext.h"

#include <QEvent>
#include <QFont>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>

LogPane::LogPane(QTextEdit *view) : QObject(view), pane(view)
{
    pane->setDocument(new LogDocument(pane));
    // A log shows what arrived: no key may change it, and nothing that arrived can be undone.
    // Selecting, copying and moving through the text with the keyboard stay.
    pane->setReadOnly(true);
    pane->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    pane->document()->setUndoRedoEnabled(false);
    // Shaping (kerning, ligatures) is a third of the cost of showing a text, and Latin log
    // lines do not need it; scripts that do are still shaped. Without it a datagram costs 30%
    // less processor time, and a flood gets through half as fast again.
    QFont font = pane->font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    pane->setFont(font);
    pane->installEventFilter(this);
    layOutWhileShown();
}

// Laying texts out is most of what a text costs, and a pane that nobody sees needs no layout:
// a document without a page size is not laid out at all. A pane not on show keeps its texts
// that way, and is laid out for its own width when it is shown. (Laid out on a hidden tab, it
// used the width its viewport had before the window was laid out, a few dozen pixels, and
// a flood of some tens of thousands of texts froze the window for minutes.)
void LogPane::layOutWhileShown()
{
    QTextDocument *document = pane->document();
    if (pane->isVisible()) {
        if (document->pageSize().isNull())
            pane->setLineWrapColumnOrWidth(pane->lineWrapColumnOrWidth()); // lays out anew
    } else if (!document->pageSize().isNull()) {
        document->setPageSize(QSizeF(0, 0));
    }
}

bool LogPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == pane && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        QMetaObject::invokeMethod(this, &LogPane::layOutWhileShown, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void LogPane::append(const QStringList &texts)
{
    if (texts.isEmpty())
        return;
    QTextDocument *document = pane->document();
    // A resize of a hidden pane gives its document a page size again.
    if (!pane->isVisible() && !document->pageSize().isNull())
        document->setPageSize(QSizeF(0, 0));

    const QTextCursor userCursor = pane->textCursor();
    const bool followEnd = userCursor.atEnd();
    const QTextCharFormat charFormat = userCursor.charFormat();

    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();

    // Runs of plain texts go in with one insertion, which costs far less than one per text.
    // Each text's length is noted for the history: the paragraph break in front of a text
    // counts for the text before it.
    QString plainRun;
    size_t firstOfRun = 0; // the index of the first text in plainRun
    bool empty = document->isEmpty();
    auto startParagraph = [&](size_t textIndex) {
        if (empty) {
            cursor.setCharFormat(charFormat);
        } else { // the paragraph format where the pane's cursor is now, as append() takes it
            cursor.insertBlock(pane->textCursor().blockFormat(), charFormat);
            if (textIndex > 0)
                ++textLengths[textIndex - 1];
        }
        empty = false;
    };
    auto flushPlainRun = [&] {
        if (plainRun.isEmpty())
            return;
        startParagraph(firstOfRun);
        cursor.insertText(plainRun, charFormat);
        plainRun.clear();
    };
    bool runStarted = false;
    for (const QString &text : texts) {
        if (showsAsRichText(text)) {
            flushPlainRun();
            runStarted = false;
            startParagraph(textLengths.size());
            const int start = cursor.position();
            cursor.insertHtml(text);
            textLengths.push_back(cursor.position() - start);
        } else {
            if (runStarted) {
                plainRun += QChar::ParagraphSeparator;
                ++textLengths.back();
            } else {
                firstOfRun = textLengths.size();
            }
            plainRun += text;
            // A CR LF pair goes in as one paragraph break.
            textLengths.push_back(text.size() - text.count(QLatin1String("\r\n")));
            runStarted = true;
        }
    }
    flushPlainRun();
    cursor.endEditBlock();
    // Like append(), give the pane's own cursor back the format it had: otherwise it would
    // take on the format of the rich text before it, and the next plain text with it.
    if (!userCursor.hasSelection())
        pane->setCurrentCharFormat(charFormat);

    if (followEnd)
        pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum());
}

void LogPane::clear()
{
    pane->clear();
    textLengths.clear();
}

void LogPane::setHistoryLimit(int texts)
{
    limit = qMax(0, texts);
    trimHistory();
}

void LogPane::trimHistory()
{
    if (textsOverLimit() == 0)
        return;
    const int drop = textCount() - limit + limit / 10;
    int end = 0;
    for (int i = 0; i < drop; ++i)
        end += textLengths[size_t(i)];
    textLengths.erase(textLengths.begin(), textLengths.begin() + drop);

    // In one go, so that the layout moves the texts that stay only once. The paragraph that
    // now comes first keeps its own format.
    QTextCursor cursor(pane->document());
    cursor.setPosition(end);
    cursor.setPosition(0, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}
