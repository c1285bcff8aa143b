// Writes received texts into one of the window's log panes.
#ifndef LOGPANE_H
#define LOGPANE_H

#include <QObject>
#include <QStringList>

class QTextEdit;

// Attached to a pane (a QTextEdit of the window's form) and owned by it. It gives the pane a
// document that loads no files, and adds texts in batches, each one a paragraph of its own at
// the end, as QTextEdit::append would, at a fraction of the cost.
class LogPane : public QObject
{
    Q_OBJECT

public:
    explicit LogPane(QTextEdit *view);

    QTextEdit *view() const { return pane; }

    // Adds the texts in order. Markup shows as rich text, anything else as it is written. The
    // view keeps following the end if it was there. A pane on a hidden tab lays the texts out
    // for `hiddenWidth`, the width it will have when shown, when that is 0 or more.
    void append(const QStringList &texts, qreal hiddenWidth = -1);
    void clear();

private:
    QTextEdit *pane;
};

#endif // LOGPANE_H
