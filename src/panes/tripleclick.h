// Makes a triple click in a log pane select the one text clicked, not its whole paragraph.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TRIPLECLICK_H
#define TRIPLECLICK_H

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>
#include <utility>

class PaneFollower;
class QMouseEvent;
class QTextEdit;

// The text edit's triple click selects the paragraph, with the break after it. A paragraph of
// a log pane can hold several texts a line each, so this takes the press that makes a double
// click a triple one, and selects the text with the break after it, within the paragraph: a
// text of several paragraphs is still selected a paragraph at a time.
class TripleClick : public QObject
{
    Q_OBJECT

public:
    // The document positions a text takes with its break, from the first to past the last.
    using TextExtent = std::pair<int, int>;
    // Where the text at a document position lies; none where no text is.
    using TextAt = std::function<std::optional<TextExtent>(int position)>;

    // Watches the pane's viewport for the clicks; the selection is made through the follower,
    // so that the view holds still on it.
    TripleClick(QTextEdit *pane, PaneFollower *follower, TextAt textAt, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isTripleClick(const QMouseEvent *press) const;
    void selectTextAt(const QPoint &position);

    QTextEdit *pane;
    PaneFollower *follower;
    TextAt textAt;
    // The last double click, for the click that makes it a triple click.
    QElapsedTimer sinceDoubleClick;
    QPoint doubleClickPoint;
};

#endif // TRIPLECLICK_H
