// Finds a pattern in the pane on show: its matches, the current one, and their highlights.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef LOGFINDER_H
#define LOGFINDER_H

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVector>

class LogPane;
class QTextEdit;

// Searches one pane, the one on show, while there is a pattern. It keeps a copy of the pane's
// shown text, its whole history and not only what its document holds, and the matches in it; as
// texts arrive or the oldest go, it searches only around what changed, and the current match stays
// on its text. The current match is the pane's selection. Matches are highlighted (extra
// selections) only in and near the view, and again whenever the view moves: a pane can hold
// hundreds of thousands of matches, and highlighting them all would cost far more than finding
// them.
class LogFinder : public QObject
{
    Q_OBJECT

public:
    explicit LogFinder(QObject *parent = nullptr);

    // Searches this pane from now on, or none; the pane before loses its highlights. Goes to
    // the first match at or after the top of the view.
    void setView(QTextEdit *view);
    // Searches afresh and goes to the first match at or after the top of the view.
    void setPattern(const QString &pattern, Qt::CaseSensitivity sensitivity);

public slots:
    void findNext();
    void findPrevious();

signals:
    // After every search, move and change: the current match's index (-1 for none) and the
    // number of matches.
    void resultChanged(int current, int count);

private:
    void readAndSearch();
    void takeChange(int position, int removed, int added);
    void checkWholeText();
    void readAgain();
    void goTo(int index);
    void showHighlights();
    int topOfView() const;

    QPointer<QTextEdit> view;
    QPointer<LogPane> pane;
    QString pattern;
    Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive;
    // The view's shown text, while there is a pattern to find in it.
    QString text;
    bool textRead = false;
    QVector<int> matches;
    int current = -1;
    QTimer highlightTimer;
    QVector<QMetaObject::Connection> connections;
};

#endif // LOGFINDER_H
