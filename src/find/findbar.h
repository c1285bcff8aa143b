// The find bar at the foot of the window: what to find, whether case matters, whether to show
// only what matches, and the count.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef FINDBAR_H
#define FINDBAR_H

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;

// A row at the foot of the window rather than a dialog, so that the pane stays in sight and in
// reach. It only collects what the user asks for; finding is LogFinder's work.
class FindBar : public QWidget
{
    Q_OBJECT

public:
    explicit FindBar(QWidget *parent = nullptr);

    QString pattern() const;
    Qt::CaseSensitivity caseSensitivity() const;
    // Whether the "Filter" switch is on: the pane is to show only the texts that contain the
    // pattern while the bar is open.
    bool isFiltering() const;

public slots:
    // Shows the bar with the keyboard in its field, what the field holds selected.
    void open();
    // Hides the bar.
    void dismiss();
    // "3 of 17"; current is the index of the current match, -1 for none.
    void showResult(int current, int count);

signals:
    // The pattern or the case sensitivity changed.
    void searchChanged();
    void filterSwitched(bool on);
    void nextRequested();
    void dismissed();

private:
    QLineEdit *field;
    QCheckBox *caseSensitive;
    QCheckBox *filter;
    QLabel *count;
};

#endif // FINDBAR_H
