// Batched insertion of received texts into a log pane, and what the pane shows meanwhile.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/logpane.h"

#include "panes/logdocument.h"
#include "panes/panefollower.h"
#include "panes/panelook.h"
#include "panes/richtext.h"
#include "panes/sharedparagraphs.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QClipboard>
#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <algorithm>
#include <utility>

LogPane::LogPane(QTextEdit *view)
    : QObject(view), pane(view), viewport(view->viewport()), follower(new PaneFollower(view))
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
    documentFont = pane->document()->defaultFont();
    // Zooming sets the document's font without telling the pane; the layout then changes size.
    connect(pane->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged,
            this, &LogPane::fontMayHaveChanged);
    pane->installEventFilter(this);
    viewport->installEventFilter(this);
    connect(follower, &PaneFollower::followingChanged, this, &LogPane::followingChanged);
    pane->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pane, &QWidget::customContextMenuRequested, this, &LogPane::showContextMenu);
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
        follower->restoreView();
    } else if (!document->pageSize().isNull()) {
        document->setPageSize(QSizeF(0, 0));
    }
    fontMayHaveChanged(); // a pane not on show is not laid out when its font changes
}

void LogPane::fontMayHaveChanged()
{
    if (!evenLinesQueued && pane->document()->defaultFont() != documentFont) {
        evenLinesQueued = true; // not while the layout is busy with the font
        QMetaObject::invokeMethod(this, &LogPane::keepLinesEven, Qt::QueuedConnection);
    }
}

// The document's font changed: each paragraph of plain texts takes the margin that keeps its
// lines even in its font (sharedparagraphs.h).
void LogPane::keepLinesEven()
{
    evenLinesQueued = false;
    QTextDocument *document = pane->document();
    if (document->defaultFont() == documentFont)
        return;
    documentFont = document->defaultFont();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        if (!hasEvenLines(format))
            continue;
        const QTextCharFormat text =
            block.begin().atEnd() ? block.charFormat() : block.begin().fragment().charFormat();
        const QTextBlockFormat even = withEvenLines(format, evenLinesMarginFor(text));
        if (even != format) {
            cursor.setPosition(block.position());
            cursor.setBlockFormat(even);
        }
    }
    cursor.endEditBlock();
}

qreal LogPane::evenLinesMarginFor(const QTextCharFormat &format)
{
    const QTextDocument *document = pane->document();
    const QFont font = format.font().resolve(document->defaultFont());
    QPaintDevice *device = document->documentLayout()->paintDevice();
    const int dpi = device ? device->logicalDpiY() : 0;
    if (font != evenLinesFont || dpi != evenLinesDpi) {
        evenLinesFont = font;
        evenLinesDpi = dpi;
        evenLinesFontMargin = evenLinesMargin(font, device);
    }
    return evenLinesFontMargin;
}

bool LogPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == pane && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        QMetaObject::invokeMethod(this, &LogPane::layOutWhileShown, Qt::QueuedConnection);
    if (watched == viewport && event->type() == QEvent::MouseButtonDblClick) {
        const auto *click = static_cast<QMouseEvent *>(event);
        if (click->button() == Qt::LeftButton) {
            sinceDoubleClick.start();
            doubleClickPoint = click->pos();
        }
    }
    if (watched == viewport && event->type() == QEvent::MouseButtonPress
        && isTripleClick(static_cast<QMouseEvent *>(event))) {
        selectTextAt(static_cast<QMouseEvent *>(event)->pos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// As the text edit tells one: a press soon after a double click, close to where it was.
bool LogPane::isTripleClick(const QMouseEvent *press) const
{
    const QStyleHints *hints = QGuiApplication::styleHints();
    return press->button() == Qt::LeftButton && sinceDoubleClick.isValid()
        && sinceDoubleClick.elapsed() < hints->mouseDoubleClickInterval()
        && (press->pos() - doubleClickPoint).manhattanLength() < hints->startDragDistance();
}

// The text edit's triple click selects the paragraph, with the break after it. A paragraph
// can hold several texts a line each, so this selects the text, with the break after it,
// within the paragraph: a text of several paragraphs is still selected a paragraph at a time.
void LogPane::selectTextAt(const QPoint &position)
{
    const QTextCursor clicked = pane->cursorForPosition(position);
    const int at = clicked.position();
    int textStart = 0;
    int textEnd = 0;
    for (const Kept &entry : kept) {
        if (!entry.shown)
            continue;
        textEnd = textStart + entry.length;
        if (at < textEnd)
            break;
        textStart = textEnd;
    }
    if (at >= textEnd) // the end of the newest text
        textStart = qMax(0, textStart - (lastShown >= 0 ? kept[size_t(lastShown)].length : 0));
    const QTextBlock paragraph = clicked.block();
    const int lastPosition = pane->document()->characterCount() - 1;
    QTextCursor selection(pane->document());
    selection.setPosition(qMax(textStart, paragraph.position()));
    selection.setPosition(
        std::min({textEnd, paragraph.position() + paragraph.length(), lastPosition}),
        QTextCursor::KeepAnchor);
    follower->setTextCursor(selection);
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection())
        clipboard->setText(selection.selection().toPlainText(), QClipboard::Selection);
}

void LogPane::setLook(const PaneLook *paneLook, int number)
{
    look = paneLook;
    paneNumber = number;
}

void LogPane::append(const QStringList &texts)
{
    QVector<KeptText> keep;
    keep.reserve(texts.size());
    for (const QString &text : texts) {
        KeptText kept;
        kept.text = text;
        keep.append(kept);
    }
    append(keep);
}

void LogPane::append(const QVector<KeptText> &texts)
{
    if (texts.isEmpty())
        return;
    const size_t first = kept.size();
    for (const KeptText &text : texts) {
        kept.push_back({text, 0, false});
        if (look)
            kept.back().text.ruleMatches = look->match(text, paneNumber);
        keptBytes += 2 * qint64(text.text.size());
    }
    const int hiddenBefore = hidden;
    showFrom(first);
    if (hidden != hiddenBefore)
        emit hiddenCountChanged(hidden);
}

// Writes the kept texts from `first` on at the document's end, those the look lets through.
void LogPane::showFrom(size_t first)
{
    QTextDocument *document = pane->document();
    // A resize of a hidden pane gives its document a page size again.
    if (!pane->isVisible() && !document->pageSize().isNull())
        document->setPageSize(QSizeF(0, 0));

    // A cursor at the end moves on with the texts, as QTextEdit::append moves it, so that
    // Page Up and the arrow keys start from the newest text; a selection stays as it is.
    const QTextCursor userCursor = pane->textCursor();
    const bool selecting = userCursor.hasSelection();
    const int selectionAnchor = userCursor.anchor();
    const int selectionEnd = userCursor.position();
    const QTextCharFormat charFormat = userCursor.charFormat();
    // New texts start in the pane's own formats, never in those of wherever the user clicked
    // last or of the text before them: a plain text always looks the same.
    const QTextBlockFormat paneBlockFormat;
    const QTextCharFormat paneCharFormat;
    keepLinesEven(); // before the texts, if the font changed since the last
    // Paragraphs of one-line plain texts lie one line spacing apart, as the lines within them.
    const QTextBlockFormat runFormat =
        withEvenLines(paneBlockFormat, evenLinesMarginFor(paneCharFormat));
    // What goes in front of a text (its time, its sender) is written half way to the
    // background, so that it reads on light and dark palettes alike and stays out of the way.
    const QPalette palette = pane->palette();
    const QColor text = palette.color(QPalette::Text);
    const QColor base = palette.color(QPalette::Base);
    QTextCharFormat prefixFormat;
    prefixFormat.setForeground(QColor((text.red() + base.red()) / 2,
                                      (text.green() + base.green()) / 2,
                                      (text.blue() + base.blue()) / 2));
    const bool allPlain = !look || look->showsEverythingPlain(paneNumber);

    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();

    // Runs of plain texts of one line go in with one insertion, which costs far less than one
    // per text (one more for each prefix). Each text's length is noted for the history: the
    // paragraph break in front of a text counts for the text shown before it.
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
    qint64 runStart = -1; // the kept index of the first text of the run
    auto startParagraph = [&](qint64 index, const QTextBlockFormat &format,
                              const QTextCharFormat &textFormat) {
        if (empty) {
            if (cursor.blockFormat() != format)
                cursor.setBlockFormat(format);
            cursor.setCharFormat(textFormat);
        } else {
            cursor.insertBlock(format, textFormat);
            if (index >= 0)
                ++kept[size_t(index)].length;
        }
        empty = false;
    };
    qint64 beforeRun = -1; // the text shown before the run, which its first break ends
    auto flushPlainRun = [&] {
        if (plainRun.isEmpty())
            return;
        startParagraph(beforeRun, runFormat, paneCharFormat);
        for (const Piece &piece : std::as_const(plainRun))
            cursor.insertText(piece.text, piece.prefix ? prefixFormat : paneCharFormat);
        plainRun.clear();
    };
    bool lastCanShare = false;
    int sharing = 0; // the texts in the run's last paragraph
    for (size_t index = first; index < kept.size(); ++index) {
        Kept &entry = kept[index];
        const TextLook shown =
            allPlain ? TextLook()
                     : look->look(entry.text, paneNumber,
                                  lastShown >= 0 ? &kept[size_t(lastShown)].text : nullptr);
        if (!shown.shown) {
            entry.shown = false;
            ++hidden;
            continue;
        }
        entry.shown = true;
        const QString &text = entry.text.text;
        const bool rich = showsAsRichText(text);
        const bool canShare = !rich && canShareParagraph(text);
        const bool marked = shown.background.isValid() || shown.foreground.isValid();
        if (rich || marked || (!canShare && breaksLines(text))) {
            // Not in the run: its paragraphs keep the spacing the pane's format gives them,
            // and a marked text has a paragraph of its own, coloured across the pane.
            flushPlainRun();
            runStart = -1;
            QTextBlockFormat blockFormat = canShare ? runFormat : paneBlockFormat;
            QTextCharFormat textFormat = paneCharFormat;
            if (shown.background.isValid())
                blockFormat.setBackground(shown.background);
            if (shown.foreground.isValid())
                textFormat.setForeground(shown.foreground);
            startParagraph(lastShown, blockFormat, textFormat);
            const int start = cursor.position();
            if (!shown.prefix.isEmpty())
                cursor.insertText(shown.prefix, prefixFormat);
            if (rich)
                cursor.insertHtml(text);
            else
                cursor.insertText(text, textFormat);
            entry.length = cursor.position() - start;
        } else {
            if (runStart >= 0) {
                if (canShare && lastCanShare && sharing < textsPerSharedParagraph) {
                    addToRun(QString(QChar::LineSeparator), false);
                    ++sharing;
                } else {
                    addToRun(QString(QChar::ParagraphSeparator), false);
                    sharing = 1;
                }
                ++kept[size_t(lastShown)].length;
            } else {
                runStart = qint64(index);
                beforeRun = lastShown;
                sharing = 1;
            }
            lastCanShare = canShare;
            if (!shown.prefix.isEmpty())
                addToRun(shown.prefix, true);
            addToRun(text, false);
            // A CR LF pair goes in as one paragraph break.
            entry.length = int(shown.prefix.size() + text.size() - text.count(QLatin1String("\r\n")));
        }
        lastShown = qint64(index);
    }
    flushPlainRun();
    cursor.endEditBlock();
    // Like append(), give the pane's own cursor back the format it had: otherwise it would
    // take on the format of the rich text before it.
    if (!selecting)
        pane->setCurrentCharFormat(charFormat);
    const QTextCursor moved = pane->textCursor();
    if (selecting && (moved.anchor() != selectionAnchor || moved.position() != selectionEnd)) {
        QTextCursor selection(document);
        selection.setPosition(selectionAnchor);
        selection.setPosition(selectionEnd, QTextCursor::KeepAnchor);
        follower->setTextCursor(selection);
    }
    follower->restoreView();
}

void LogPane::updateMatches(const std::function<void(KeptText &)> &update)
{
    for (Kept &entry : kept)
        update(entry.text);
}

// The document and what was noted of the texts shown in it go; the texts stay kept.
void LogPane::forgetShown()
{
    pane->clear();
    for (Kept &entry : kept) {
        entry.shown = false;
        entry.length = 0;
    }
    hidden = 0;
    lastShown = -1;
}

void LogPane::refresh()
{
    // The text at the top of a view that holds still, and how far into it its top line is.
    const int heldLine = follower->heldLine();
    size_t heldText = kept.size();
    int intoText = 0;
    if (heldLine >= 0) {
        int start = 0;
        for (size_t index = 0; index < kept.size(); ++index) {
            if (!kept[index].shown)
                continue;
            if (heldLine < start + kept[index].length) {
                heldText = index;
                intoText = heldLine - start;
                break;
            }
            start += kept[index].length;
        }
    }
    const int hiddenBefore = hidden;
    // Written without a layout, then laid out anew as a pane is when it is shown: Qt lays a
    // whole document out in steps between events, where an edit of that size would be laid
    // out in one go, standing the window still for as long.
    pane->document()->setPageSize(QSizeF(0, 0));
    forgetShown();
    showFrom(0);
    layOutWhileShown();
    int newLine = heldLine < 0 ? heldLine : -1;
    if (heldText < kept.size()) {
        // That text, or the first one shown after it when it is hidden now.
        int start = 0;
        for (size_t index = 0; index < kept.size(); ++index) {
            if (!kept[index].shown)
                continue;
            if (index >= heldText) {
                newLine = index == heldText ? start + qMin(intoText, kept[index].length) : start;
                break;
            }
            start += kept[index].length;
        }
    }
    follower->rewritten(newLine);
    if (hidden != hiddenBefore)
        emit hiddenCountChanged(hidden);
}

void LogPane::clear()
{
    const bool hadHidden = hidden > 0;
    pane->clear();
    kept.clear();
    keptBytes = 0;
    hidden = 0;
    lastShown = -1;
    follower->cleared();
    if (hadHidden)
        emit hiddenCountChanged(0);
}

bool LogPane::isFollowing() const
{
    return follower->isFollowing();
}

void LogPane::setFollowing(bool follow)
{
    follower->setFollowing(follow);
}

void LogPane::copyAll()
{
    if (!pane->document()->isEmpty())
        QGuiApplication::clipboard()->setText(shownText(*pane->document()));
}

QString LogPane::copyAllText()
{
    return tr("Copy all");
}

QMenu *LogPane::createContextMenu(const QPoint &position)
{
    // The text edit wants the place in the document, which the view shows scrolled.
    const QPoint scrolled(pane->horizontalScrollBar()->value(), pane->verticalScrollBar()->value());
    QMenu *menu = pane->createStandardContextMenu(position + scrolled);
    menu->addSeparator();
    QAction *copyAllAction = menu->addAction(copyAllText());
    connect(copyAllAction, &QAction::triggered, this, &LogPane::copyAll);
    copyAllAction->setObjectName(QStringLiteral("actionCopyAll"));
    copyAllAction->setEnabled(!pane->document()->isEmpty());
    QAction *clearAction = menu->addAction(tr("Clear this pane"));
    clearAction->setObjectName(QStringLiteral("actionClearPane"));
    connect(clearAction, &QAction::triggered, this, &LogPane::clearRequested);
    emit contextMenuMade(menu);
    return menu;
}

void LogPane::showContextMenu(const QPoint &position)
{
    QMenu *menu = createContextMenu(position);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(pane->viewport()->mapToGlobal(position));
}

void LogPane::setHistoryLimit(int texts)
{
    limit = qMax(0, texts);
    trimHistory();
}

void LogPane::setHistorySize(qint64 bytes)
{
    byteLimit = qMax(qint64(0), bytes);
    trimHistory();
}

qint64 LogPane::textBytes() const
{
    return keptBytes;
}

int LogPane::oldestTextsHolding(qint64 bytes) const
{
    int texts = 0;
    for (qint64 held = 0; held < bytes && texts < textCount() - 1; ++texts)
        held += 2 * qint64(kept[size_t(texts)].text.text.size());
    return texts;
}

int LogPane::textsOverLimit() const
{
    const int overCount = limit > 0 ? qMax(0, textCount() - limit) : 0;
    const qint64 overBytes = byteLimit > 0 ? textBytes() - byteLimit : 0;
    return overBytes > 0 ? qMax(overCount, oldestTextsHolding(overBytes)) : overCount;
}

void LogPane::trimHistory()
{
    int drop = textsOverLimit();
    if (drop == 0)
        return;
    // A tenth of each limit reached goes beyond it, so that the next texts do not trim again.
    if (limit > 0 && textCount() > limit)
        drop = qMax(drop, textCount() - limit + limit / 10);
    if (byteLimit > 0 && textBytes() > byteLimit)
        drop = qMax(drop, oldestTextsHolding(textBytes() - byteLimit + byteLimit / 10));
    int end = 0;
    int hiddenGoing = 0;
    for (int i = 0; i < drop; ++i) {
        const Kept &entry = kept[size_t(i)];
        keptBytes -= 2 * qint64(entry.text.text.size());
        if (entry.shown)
            end += entry.length;
        else
            ++hiddenGoing;
    }
    kept.erase(kept.begin(), kept.begin() + drop);
    lastShown = qMax(qint64(-1), lastShown - drop);
    if (hiddenGoing > 0) {
        hidden -= hiddenGoing;
        emit hiddenCountChanged(hidden);
    }
    if (end == 0)
        return;

    // In one go, so that the layout moves the texts that stay only once. The paragraph that
    // now comes first keeps its own format.
    QTextCursor cursor(pane->document());
    cursor.setPosition(end);
    cursor.setPosition(0, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    follower->textsRemovedFromStart(end);
}
