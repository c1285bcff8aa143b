// Batched insertion of received texts into a log pane, and what the pane shows meanwhile.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/logpane.h"

#include "find/logsearch.h"
#include "panes/evenlineskeeper.h"
#include "panes/logdocument.h"
#include "panes/panefollower.h"
#include "panes/panelook.h"
#include "panes/paragraphat.h"
#include "panes/richtext.h"
#include "panes/textwriter.h"
#include "panes/tripleclick.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QClipboard>
#include <QEvent>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <utility>

LogPane::LogPane(QTextEdit *view)
    : QObject(view),
      pane(view),
      viewport(view->viewport()),
      follower(new PaneFollower(view)),
      spacers(view)
{
    pane->setDocument(new LogDocument(pane));
    // A log shows what arrived: no key may change it, and nothing that arrived can be undone.
    // Selecting, copying and moving through the text with the keyboard stay.
    pane->setReadOnly(true);
    pane->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    pane->document()->setUndoRedoEnabled(false);
    // A scroll bar that came only once the texts overflowed would narrow the pane: every text
    // would wrap anew and be painted again, a stall as the first texts of a flood arrive.
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Shaping (kerning, ligatures) is a third of the cost of showing a text, and Latin log
    // lines do not need it; scripts that do are still shaped. Without it a datagram costs 30%
    // less processor time, and a flood gets through half as fast again.
    QFont font = pane->font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    pane->setFont(font);
    evenLines = new EvenLinesKeeper(pane, this);
    connect(evenLines, &EvenLinesKeeper::fontChanged, this, &LogPane::remeasureForFont);
    pane->installEventFilter(this);
    new TripleClick(
        pane, follower,
        [this](int position) -> std::optional<TripleClick::TextExtent> {
            int into = 0;
            const size_t text = textAtDocumentPosition(position, &into);
            if (text >= kept.size())
                return std::nullopt;
            const int textStart = position - into;
            return TripleClick::TextExtent(textStart, textStart + kept[text].length + 1);
        },
        this);
    connect(follower, &PaneFollower::followingChanged, this, &LogPane::followingChangedTo);
    connect(follower, &PaneFollower::followingChanged, this, &LogPane::followingChanged);
    // The reader's moves: the window follows once the text edit is done with the move (a key,
    // the wheel), never in the middle of it.
    connect(pane->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (movingWindow || follower->isMovingView() || viewMoveQueued)
            return;
        viewMoveQueued = true;
        QMetaObject::invokeMethod(this, &LogPane::viewMoved, Qt::QueuedConnection);
    });
    pane->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pane, &QWidget::customContextMenuRequested, this, &LogPane::showContextMenu);
    exactMargins.setSingleShot(true);
    exactMargins.setInterval(250);
    connect(&exactMargins, &QTimer::timeout, this, [this] { setEdgeMargins(true); });
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
        measureTextHeight();
        setEdgeMargins();
        follower->restoreView();
    } else if (!document->pageSize().isNull()) {
        document->setPageSize(QSizeF(0, 0));
    }
    evenLines->fontMayHaveChanged(); // a pane not on show is not laid out when its font changes
}

// The texts outside the window are as high as the window's in the document's new font.
void LogPane::remeasureForFont()
{
    textHeight = 0;
    measureTextHeight();
    setEdgeMargins();
}

bool LogPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == pane && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        QMetaObject::invokeMethod(this, &LogPane::layOutWhileShown, Qt::QueuedConnection);
    if (watched == pane && event->type() == QEvent::KeyPress && window.before() > 0
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::MoveToStartOfDocument)) {
        // The oldest text is in the window before the text edit goes to the document's top.
        follower->setFollowing(false);
        moveWindowAround(0, false);
        follower->holdAt(-1, 0);
    }
    if (watched == pane && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy) && isAllSelected()) {
        // Everything selected means the whole history, not the part of it the document holds.
        copyAll();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool LogPane::isAllSelected() const
{
    const QTextCursor cursor = pane->textCursor();
    return cursor.hasSelection() && cursor.selectionStart() == 0
        && cursor.selectionEnd() == pane->document()->characterCount() - 1;
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
    const int lengthBefore = historyLength();
    appendToWindow(first);
    if (historyLength() != lengthBefore)
        emit historyChanged(lengthBefore, 0, historyLength() - lengthBefore);
    if (hidden != hiddenBefore)
        emit hiddenCountChanged(hidden);
}

// Decides for the kept texts from `first` on whether and how long they show; returns how many
// show.
int LogPane::decideFrom(size_t first)
{
    const bool allPlain = !look || look->showsEverythingPlain(paneNumber);
    int shown = 0;
    for (size_t index = first; index < kept.size(); ++index) {
        PaneText &entry = kept[index];
        const TextLook seen = allPlain
            ? TextLook()
            : look->look(entry.text, paneNumber,
                         lastShown >= 0 ? &kept[size_t(lastShown)].text : nullptr);
        entry.shown = seen.shown;
        if (!entry.shown) {
            ++hidden;
            continue;
        }
        const QString &text = entry.text.text;
        if (showsAsRichText(text)) {
            // Measured as it is written, or by measureRichTexts() if it stays out of the
            // window: below zero until then, with the prefix's length.
            entry.length = -1 - int(seen.prefix.size());
        } else {
            // A CR LF pair goes in as one paragraph break.
            entry.length =
                int(seen.prefix.size() + text.size() - text.count(QLatin1String("\r\n")));
            historyChars += entry.length + 1;
        }
        lastShown = qint64(index);
        ++shown;
    }
    return shown;
}

// Rich texts from `first` on that were not written yet get their lengths.
void LogPane::measureRichTexts(size_t first)
{
    for (size_t index = first; index < kept.size(); ++index) {
        PaneText &entry = kept[index];
        if (entry.shown && entry.length < 0) {
            entry.length = -1 - entry.length + measureRichText(entry.text.text);
            historyChars += entry.length + 1;
        }
    }
}

// How many positions rich text takes in a document, written as the pane writes it.
int LogPane::measureRichText(const QString &text)
{
    if (!richMeasure) {
        richMeasure = std::make_unique<LogDocument>();
        richMeasure->setUndoRedoEnabled(false);
    }
    richMeasure->clear();
    QTextCursor cursor(richMeasure.get());
    cursor.insertHtml(text);
    return cursor.position();
}

// The new texts from `first` on: those the window takes go into the document, the window lets
// its oldest go when it follows and is full, and the margins grow for the rest.
void LogPane::appendToWindow(size_t first)
{
    const int shown = decideFrom(first);
    const int taken = window.arrive(shown, follower->isFollowing());
    const size_t writeFrom = windowEnd;
    if (window.reachesEnd())
        windowEnd = kept.size();
    else if (taken > 0)
        windowEnd = shownIndex(window.before() + window.inside());
    if (windowEnd > writeFrom) {
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
        evenLines->keepLinesEven(); // before the texts, if the font changed since the last
        writeTexts(document, writeFrom, windowEnd);
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
    }
    measureRichTexts(first);
    // The window's oldest going and the spacer growing for them, laid out in one go.
    QTextCursor edit(pane->document());
    edit.beginEditBlock();
    const int removed = dropFromWindowStart(window.overflow(follower->isFollowing()));
    setEdgeMargins();
    edit.endEditBlock();
    if (removed > 0)
        follower->textsRemovedFromStart(removed);
    follower->restoreView();
}

// The document positions that the shown texts in [from, to) take, each with its break.
int LogPane::documentChars(size_t from, size_t to) const
{
    int chars = 0;
    for (size_t index = from; index < to; ++index) {
        if (kept[index].shown)
            chars += kept[index].length + 1;
    }
    return chars;
}

// The kept index of the shown text with this number, counted from the oldest; past the end,
// the number of kept texts.
size_t LogPane::shownIndex(int ordinal) const
{
    for (size_t index = 0; index < kept.size(); ++index) {
        if (kept[index].shown && ordinal-- == 0)
            return index;
    }
    return kept.size();
}

// How many shown texts come before the kept text.
int LogPane::shownOrdinal(size_t index) const
{
    int ordinal = 0;
    for (size_t before = 0; before < index && before < kept.size(); ++before)
        ordinal += kept[before].shown ? 1 : 0;
    return ordinal;
}

int LogPane::documentPositionOf(size_t index) const
{
    return spacers.documentOffset()
        + documentChars(windowBegin, qBound(windowBegin, index, windowEnd));
}

// The text of the window at a document position, and how far into it the position is; the
// newest text of the window for a position past its end.
size_t LogPane::textAtDocumentPosition(int position, int *into) const
{
    int start = spacers.documentOffset();
    size_t last = kept.size();
    for (size_t index = windowBegin; index < windowEnd; ++index) {
        if (!kept[index].shown)
            continue;
        last = index;
        if (position < start + kept[index].length + 1) {
            *into = qBound(0, position - start, kept[index].length);
            return index;
        }
        start += kept[index].length + 1;
    }
    *into = last < kept.size() ? kept[last].length : 0;
    return last;
}

// The window's oldest texts leave the document, and stay kept. In one go, so that the layout
// moves the texts that stay only once. The paragraph that now comes first keeps its own format.
// Returns the document positions that went.
int LogPane::dropFromWindowStart(int texts)
{
    if (texts <= 0)
        return 0;
    size_t index = windowBegin;
    int chars = 0;
    for (int leaving = texts; leaving > 0; ++index) {
        if (kept[index].shown) {
            chars += kept[index].length + 1;
            --leaving;
        }
    }
    windowBegin = index;
    const int offset = spacers.documentOffset();
    QTextCursor cursor(pane->document());
    cursor.setPosition(offset + chars);
    cursor.setPosition(offset, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    return chars;
}

// Writes the shown texts among the kept ones in [from, to) at the document's end.
void LogPane::writeTexts(QTextDocument *document, size_t from, size_t to)
{
    const TextWriter writer(look, paneNumber, pane->palette(),
                            evenLines->marginFor(QTextCharFormat()));
    historyChars += writer.write(document, kept, from, to);
}

// The document anew, holding the window around the shown text with this number. The reader's
// selection stays on its texts, as far as the window holds them.
void LogPane::moveWindowAround(int ordinal, bool keepSelection)
{
    const bool wasMoving = std::exchange(movingWindow, true);
    const QTextCursor userCursor = pane->textCursor();
    int anchorInto = 0;
    int positionInto = 0;
    const size_t anchorText = textAtDocumentPosition(userCursor.anchor(), &anchorInto);
    const size_t positionText = textAtDocumentPosition(userCursor.position(), &positionInto);
    const bool selecting = keepSelection && userCursor.hasSelection();

    window.moveAround(ordinal);
    windowBegin = shownIndex(window.before());
    windowEnd = window.reachesEnd() ? kept.size() : shownIndex(window.before() + window.inside());
    pane->clear();
    spacers.forget();
    evenLines->keepLinesEven();
    writeTexts(pane->document(), windowBegin, windowEnd);
    measureTextHeight();
    setEdgeMargins();

    QTextCursor cursor(pane->document());
    const int end = pane->document()->characterCount() - 1;
    auto placeOf = [&](size_t index, int into) {
        if (index < windowBegin)
            return 0;
        if (index >= windowEnd)
            return end;
        return qMin(end, documentPositionOf(index) + into);
    };
    if (selecting) {
        cursor.setPosition(placeOf(anchorText, anchorInto));
        cursor.setPosition(placeOf(positionText, positionInto), QTextCursor::KeepAnchor);
    } else if (follower->isFollowing()) {
        cursor.movePosition(QTextCursor::End);
    }
    follower->setTextCursor(cursor);
    movingWindow = wasMoving;
}

// Outside the window, a shown text is taken to be as high as the window's texts are on
// average; the margins stand for them. Measured only where the pane is laid out.
void LogPane::measureTextHeight()
{
    QTextDocument *document = pane->document();
    if (textHeight <= 0)
        textHeight = QFontMetricsF(document->defaultFont()).lineSpacing();
    if (!pane->isVisible() || document->pageSize().isNull() || window.inside() == 0)
        return;
    const qreal height = document->documentLayout()->documentSize().height()
        - 2 * document->documentMargin() - spacers.top() - spacers.bottom();
    if (height > 0)
        textHeight = height / window.inside();
}

// Sets the spacers' heights for the shown texts outside the window.
void LogPane::setEdgeMargins(bool exactly)
{
    if (textHeight <= 0)
        measureTextHeight();
    const int outside = window.before() + window.after();
    const qreal height =
        outside > 0 ? qMin(textHeight, EdgeSpacers::largestHeight / outside) : textHeight;
    qreal top = window.inside() > 0 ? qRound(window.before() * height) : 0;
    const qreal bottom = window.inside() > 0 ? qRound(window.after() * height) : 0;
    // A view that follows stays at the end whatever the spacer above: while texts arrive, it
    // changes, laying the window out anew, only when it is a page or a fiftieth off, and once
    // they have stopped for a moment, the scroll bar is made exact.
    const qreal topMargin = spacers.top();
    if (!exactly && follower->isFollowing() && top > 0 && topMargin > 0 && top != topMargin
        && qAbs(top - topMargin) < qMax<qreal>(viewport->height(), topMargin / 50)) {
        top = topMargin;
        exactMargins.start();
    }
    if (spacers.setHeights(top, bottom))
        follower->textsRemovedFromStart(1);
}

// The reader moved the view: near an edge of the window, or into a margin, the window moves
// to hold what the view shows, and the view stays on it.
void LogPane::viewMoved()
{
    viewMoveQueued = false;
    QTextDocument *document = pane->document();
    if (movingWindow || !pane->isVisible() || document->pageSize().isNull() || window.total() == 0)
        return;
    const int value = pane->verticalScrollBar()->value();
    const qreal y = value - document->documentMargin();
    const qreal windowHeight = document->documentLayout()->documentSize().height()
        - 2 * document->documentMargin() - spacers.top() - spacers.bottom();
    const int outside = window.before() + window.after();
    const qreal height =
        outside > 0 ? qMin(textHeight, EdgeSpacers::largestHeight / outside) : textHeight;
    const int top = window.textAtHeight(y, height, windowHeight);
    const int bottom = window.textAtHeight(y + viewport->height(), height, windowHeight);
    if (!window.nearEdge(top, bottom))
        return;
    if (y >= spacers.top() && y < spacers.top() + windowHeight) {
        const int line = lineStartAtHeight(document, value);
        const int offset = value - qRound(lineTop(document, line));
        int into = 0;
        const size_t index = textAtDocumentPosition(line, &into);
        // Around the middle of the view, which holds still.
        moveWindowAround(shownOrdinal(index) + (bottom - top) / 2, true);
        follower->holdAt(documentPositionOf(index) + into, offset);
    } else {
        const size_t index = shownIndex(top);
        moveWindowAround((top + bottom) / 2, true);
        follower->holdAt(documentPositionOf(index), 0);
    }
}

void LogPane::followingChangedTo(bool follow)
{
    // The spacer above, left a little off while following, is set right for the reader.
    if (!follow)
        QMetaObject::invokeMethod(this, [this] { setEdgeMargins(); }, Qt::QueuedConnection);
    if (follow && !window.reachesEnd()) {
        moveWindowAround(window.total(), false);
        follower->restoreView();
    }
}

void LogPane::setWindowCapacity(int texts)
{
    window.setCapacity(texts);
    refresh();
}

void LogPane::updateMatches(const std::function<void(KeptText &)> &update)
{
    for (PaneText &entry : kept)
        update(entry.text);
}

void LogPane::refresh()
{
    // The text at the top of a view that holds still, and how far into it its top line is.
    const int heldLine = follower->heldLine();
    size_t heldText = kept.size();
    int intoText = 0;
    if (heldLine >= 0)
        heldText = textAtDocumentPosition(heldLine, &intoText);
    else if (heldLine == -1 && !follower->isFollowing())
        heldText = windowBegin;
    const int hiddenBefore = hidden;
    hidden = 0;
    lastShown = -1;
    historyChars = 0;
    decideFrom(0);
    // That text, or the first one shown after it when it is hidden now.
    while (heldText < kept.size() && !kept[heldText].shown) {
        ++heldText;
        intoText = 0;
    }
    window.clear();
    int total = 0;
    for (const PaneText &entry : kept)
        total += entry.shown ? 1 : 0;
    window.arrive(total, true);
    const bool holding = !follower->isFollowing() && heldText < kept.size();
    // The selection's texts may show with other lengths now: it goes, as the text it was in.
    moveWindowAround(holding ? shownOrdinal(heldText) : total, false);
    measureRichTexts(0);
    follower->rewritten(holding
                            ? documentPositionOf(heldText) + qMin(intoText, kept[heldText].length)
                            : (heldLine < 0 ? heldLine : -1));
    emit historyRewritten();
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
    windowBegin = windowEnd = 0;
    window.clear();
    historyChars = 0;
    spacers.forget();
    follower->cleared();
    emit historyRewritten();
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
    if (historyChars > 0)
        QGuiApplication::clipboard()->setText(shownText(*historyDocument()));
}

std::unique_ptr<QTextDocument> LogPane::historyDocument()
{
    auto document = std::make_unique<LogDocument>();
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(pane->document()->defaultFont());
    writeTexts(document.get(), 0, kept.size());
    return document;
}

int LogPane::windowStart() const
{
    return documentChars(0, windowBegin) - spacers.documentOffset();
}

int LogPane::historyPositionAtTop() const
{
    const QTextDocument *document = pane->document();
    return windowStart() + lineStartAtHeight(document, pane->verticalScrollBar()->value());
}

// The shown text of a text outside the window, as LogSearch::shownText() gives it.
QString LogPane::historyText(int start, int end)
{
    QString text;
    int position = 0;
    const QTextDocument *document = pane->document();
    const int windowAt = windowStart();
    for (size_t index = 0; index < kept.size() && position < end; ++index) {
        const PaneText &entry = kept[index];
        if (!entry.shown)
            continue;
        const int next = position + entry.length + 1;
        if (next > start) {
            QString piece;
            if (index >= windowBegin && index < windowEnd) {
                // Block by block: a cursor's selection would grow to whole tables when it
                // ends in one.
                const int from = position - windowAt;
                const int to = from + entry.length;
                const QTextBlock first = document->findBlock(from);
                for (QTextBlock block = first; block.isValid() && block.position() < to;
                     block = block.next())
                    piece += block.text() + QLatin1Char('\n');
                piece = piece.mid(from - first.position(), entry.length);
            } else if (showsAsRichText(entry.text.text)) {
                const std::unique_ptr<QTextDocument> alone = [&] {
                    auto one = std::make_unique<LogDocument>();
                    one->setUndoRedoEnabled(false);
                    return one;
                }();
                QTextCursor cursor(alone.get());
                const TextLook seen = look && !look->showsEverythingPlain(paneNumber)
                    ? look->look(entry.text, paneNumber, previousShownBefore(index))
                    : TextLook();
                cursor.insertText(seen.prefix);
                cursor.insertHtml(entry.text.text);
                piece = alone->toRawText();
            } else {
                const TextLook seen = look && !look->showsEverythingPlain(paneNumber)
                    ? look->look(entry.text, paneNumber, previousShownBefore(index))
                    : TextLook();
                piece = seen.prefix + entry.text.text;
                piece.replace(QLatin1String("\r\n"), QLatin1String("\n"));
                piece.replace(QLatin1Char('\r'), QLatin1Char('\n'));
            }
            piece.resize(entry.length, QLatin1Char(' '));
            text += LogSearch::shownText(piece) + QLatin1Char('\n');
        }
        position = next;
    }
    const int first = qMax(0, start - (position - text.size()));
    return text.mid(first, end - start);
}

const KeptText *LogPane::previousShownBefore(size_t index) const
{
    while (index-- > 0) {
        if (kept[index].shown)
            return &kept[index].text;
    }
    return nullptr;
}

void LogPane::selectInHistory(int start, int end)
{
    int position = 0;
    size_t index = 0;
    for (; index < kept.size(); ++index) {
        if (!kept[index].shown)
            continue;
        if (start < position + kept[index].length + 1)
            break;
        position += kept[index].length + 1;
    }
    if (index < kept.size() && (index < windowBegin || index >= windowEnd)) {
        follower->setFollowing(false);
        moveWindowAround(shownOrdinal(index), false);
        follower->holdAt(documentPositionOf(index), 0);
    }
    const int at = windowStart();
    const int last = pane->document()->characterCount() - 1;
    QTextCursor cursor(pane->document());
    cursor.setPosition(qBound(0, start - at, last));
    cursor.setPosition(qBound(0, end - at, last), QTextCursor::KeepAnchor);
    pane->setTextCursor(cursor);
    pane->ensureCursorVisible();
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
    copyAllAction->setEnabled(historyChars > 0);
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
    int shownGoing = 0;
    int hiddenGoing = 0;
    int charsGoing = 0;
    for (int i = 0; i < drop; ++i) {
        const PaneText &entry = kept[size_t(i)];
        keptBytes -= 2 * qint64(entry.text.text.size());
        if (entry.shown) {
            ++shownGoing;
            charsGoing += entry.length + 1;
        } else {
            ++hiddenGoing;
        }
    }
    const int lengthBefore = historyLength();
    const int end = documentChars(windowBegin, qMax(windowBegin, qMin(windowEnd, size_t(drop))));
    const int windowGoing = window.forget(shownGoing);
    if (textRelease) {
        std::vector<QString> going;
        going.reserve(size_t(drop));
        for (int i = 0; i < drop; ++i)
            going.push_back(std::move(kept[size_t(i)].text.text));
        textRelease(std::move(going));
    }
    kept.erase(kept.begin(), kept.begin() + drop);
    historyChars -= charsGoing;
    lastShown = qMax(qint64(-1), lastShown - drop);
    windowBegin = windowBegin > size_t(drop) ? windowBegin - size_t(drop) : 0;
    windowEnd = windowEnd > size_t(drop) ? windowEnd - size_t(drop) : 0;
    if (hiddenGoing > 0) {
        hidden -= hiddenGoing;
        emit hiddenCountChanged(hidden);
    }
    if (window.inside() == 0 && windowGoing > 0) {
        // The whole window went: the view goes to the oldest text kept.
        moveWindowAround(0, false);
        follower->holdAt(-1, 0);
    } else if (end > 0) {
        // In one go, so that the layout moves the texts that stay only once. The paragraph
        // that now comes first keeps its own format.
        const int offset = spacers.documentOffset();
        QTextCursor cursor(pane->document());
        cursor.setPosition(offset + end);
        cursor.setPosition(offset, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        follower->textsRemovedFromStart(end);
    }
    setEdgeMargins();
    if (historyLength() != lengthBefore)
        emit historyChanged(0, lengthBefore - historyLength(), 0);
}
