// Writes received texts into one of the window's log panes.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LOGPANE_H
#define LOGPANE_H

#include "panes/edgespacers.h"
#include "panes/historywindow.h"
#include "panes/kepttext.h"
#include "panes/panetext.h"

#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class EvenLinesKeeper;
class PaneFollower;
class PaneLook;
class QMenu;
class QTextDocument;
class QTextEdit;

// Attached to a pane (a QTextEdit of the window's form) and owned by it. The pane keeps every
// text it received within its history limits, with what is known of it (KeptText), and shows
// those its PaneLook lets it show, as the look says; a change of look shows them anew, so a
// text hidden by a rule comes back when the rule goes. It gives the pane a
// document that loads no files, and adds texts in batches at the end, looking as
// QTextEdit::append would show them, at a fraction of the cost: each text a paragraph of its
// own, or a line of a paragraph shared with plain texts that arrived with it
// (sharedparagraphs.h), where texts of one plain line all lie one line spacing apart, in any
// font (EvenLinesKeeper); TextWriter writes them. A triple click selects one text, as it selects
// a paragraph (TripleClick).
//
// The document holds only a window of the shown texts, a few thousand around the view
// (HistoryWindow): following, the newest; reading further up, those around the reader. The
// first and last paragraphs are spacers as high as the shown texts outside the window would be
// (EdgeSpacers), so that the text edit's own scroll bar says where in the whole history the
// view is; when the view comes near an edge of the window or into those spacers, the window
// moves with it.
// Find, Save and Copy all see the whole history through the history*() functions.
class LogPane : public QObject
{
    Q_OBJECT

public:
    explicit LogPane(QTextEdit *view);

    QTextEdit *view() const { return pane; }

    // What decides which texts show and how, and the pane's number for it; none shows every
    // text as it is. Call refresh() for the texts already kept.
    void setLook(const PaneLook *look, int paneNumber);
    // Keeps the texts in order, and shows those the look lets through. Markup shows as rich
    // text, anything else as it is written. The view follows them or holds still, as the
    // follow state says, and the user's selection stays where it is.
    void append(const QVector<KeptText> &texts);
    void append(const QStringList &texts);
    // Shows the kept texts anew, as the look decides now. A pane that follows keeps following;
    // one that holds still keeps the text at its top, or the next one shown after it.
    void refresh();
    // Lets the caller change what is noted of every kept text (which rules match it); call
    // refresh() after.
    void updateMatches(const std::function<void(KeptText &)> &update);
    // Kept texts that the look hides.
    int hiddenCount() const { return hidden; }
    // Empties the pane; it follows new texts, or not, as before.
    void clear();

    // Whether the view follows new texts: see PaneFollower for what the user does to change it.
    bool isFollowing() const;
    void setFollowing(bool follow);

    // The shown texts that the document holds at most once its window moves (following, it
    // holds a tenth more before its oldest leave); for tests, which need not send thousands.
    void setWindowCapacity(int texts);
    int windowCapacity() const { return window.capacity(); }
    // The whole history as shown, written into a document of its own (for Save).
    std::unique_ptr<QTextDocument> historyDocument();
    // The whole history's shown text, as LogSearch::shownText() gives it for a document that
    // held every shown text: its length, and the part between two of its positions.
    int historyLength() const { return qMax(0, historyChars - 1); }
    QString historyText(int start, int end);
    // Where the document starts in the history's shown text: a history position less this is
    // a document position, while it lies in the document.
    int windowStart() const;
    // The history position at the start of the line at the top of the view.
    int historyPositionAtTop() const;
    // Selects that part of the history, moving the window there when it is outside, and shows it.
    void selectInHistory(int start, int end);

    // The pane's whole text, as plain text, to the clipboard: every character as shown (see
    // shownText()). An empty pane leaves the clipboard as it is.
    void copyAll();
    // The name of that command, in the menus that offer it.
    static QString copyAllText();
    // The pane's context menu: the text edit's own entries, then "Copy all" and "Clear this
    // pane". The position is in the coordinates of the pane's viewport; the caller owns the
    // menu.
    QMenu *createContextMenu(const QPoint &position);

    // The most texts the pane keeps, 0 for no limit. A pane that holds more lets the oldest
    // go, whole texts, a tenth of the limit at a time, when trimHistory() is called (at once
    // for a new limit): every removal makes Qt move each text that stays, so removing a few
    // texts as they arrive would cost far more than the texts themselves.
    void setHistoryLimit(int texts);
    int historyLimit() const { return limit; }
    // The most bytes of text the pane keeps, two a character, 0 for no limit; the pane lets
    // the oldest texts go as above once it holds more, whichever of the two limits it reaches
    // first. The newest text always stays, however large.
    void setHistorySize(qint64 bytes);
    qint64 historySize() const { return byteLimit; }
    // The texts the pane keeps now, shown or not, their bytes, and how many of the oldest must
    // go for the pane to be within both limits.
    int textCount() const { return int(kept.size()); }
    qint64 textBytes() const;
    int textsOverLimit() const;
    void trimHistory();
    // Who frees the texts that go from the history; without one, they are freed here.
    using TextRelease = std::function<void(std::vector<QString> &&texts)>;
    void setTextRelease(TextRelease release) { textRelease = std::move(release); }

signals:
    void followingChanged(bool following);
    void hiddenCountChanged(int hidden);
    // The user asked for this pane alone to be emptied; the window decides what else goes
    // with its texts (its count, the texts still to come in).
    void clearRequested();
    // The context menu is made, its own entries in it: others may add theirs (the filter rules
    // add rules made from the selected text).
    void contextMenuMade(QMenu *menu);
    // The history's shown text changed (as historyText() gives it): at `position`, `removed`
    // characters gave way to `added`.
    void historyChanged(int position, int removed, int added);
    // The history's shown text was written anew (a refresh, a clear).
    void historyRewritten();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int decideFrom(size_t first);
    void writeTexts(QTextDocument *document, size_t from, size_t to);
    void measureRichTexts(size_t first);
    int measureRichText(const QString &text);
    int documentChars(size_t from, size_t to) const;
    size_t shownIndex(int ordinal) const;
    int shownOrdinal(size_t index) const;
    void appendToWindow(size_t first);
    int dropFromWindowStart(int texts);
    void moveWindowAround(int ordinal, bool keepSelection);
    const KeptText *previousShownBefore(size_t index) const;
    void measureTextHeight();
    void setEdgeMargins(bool exactly = false);
    void viewMoved();
    void followingChangedTo(bool follow);
    size_t textAtDocumentPosition(int position, int *into) const;
    int documentPositionOf(size_t index) const;
    void layOutWhileShown();
    void remeasureForFont();
    void showContextMenu(const QPoint &position);
    bool isAllSelected() const;
    QTextEdit *pane;
    // Kept apart from the pane, which still sends events while it is destroyed.
    QWidget *viewport;
    PaneFollower *follower;
    EvenLinesKeeper *evenLines = nullptr;
    int limit = 0;
    qint64 byteLimit = 0;
    // How many of the oldest texts hold at least this many bytes, all but the newest at most.
    int oldestTextsHolding(qint64 bytes) const;
    // Every text kept, oldest first: the shown ones in [windowBegin, windowEnd) are the
    // document, in order, each followed by a break but the last.
    std::deque<PaneText> kept;
    size_t windowBegin = 0;
    size_t windowEnd = 0;
    HistoryWindow window;
    // The sum of the shown texts' lengths, each with the break after it.
    int historyChars = 0;
    // How high a shown text outside the window is taken to be, in pixels, and the spacers that
    // stand for those texts now.
    qreal textHeight = 0;
    EdgeSpacers spacers;
    // Set while the pane itself moves the view or the window.
    bool movingWindow = false;
    bool viewMoveQueued = false;
    std::unique_ptr<QTextDocument> richMeasure;
    qint64 keptBytes = 0;
    int hidden = 0;
    // The newest text shown, an index into kept; -1 when none is.
    qint64 lastShown = -1;
    const PaneLook *look = nullptr;
    int paneNumber = 0;
    TextRelease textRelease;
    QTimer exactMargins;
};

#endif // LOGPANE_H
