// A label at the end of the status row that is made only when it first has something to say.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef STATUSLABEL_H
#define STATUSLABEL_H

#include <QObject>

class QBoxLayout;
class QLabel;
class QWidget;

// Until the label is first shown, the window is as it always was.
class StatusLabel : public QObject
{
    Q_OBJECT

public:
    // The label goes at the end of the layout, into the widget that holds it.
    StatusLabel(QWidget *holder, QBoxLayout *layout, QObject *parent = nullptr);

protected:
    // Shows the text, making the label with this name and tooltip the first time.
    void showText(const QString &text, const QString &objectName, const QString &toolTip);
    void hide();
    // The label, once made.
    QLabel *shownLabel() const { return label; }

private:
    QWidget *holder;
    QBoxLayout *layout;
    QLabel *label = nullptr;
};

#endif // STATUSLABEL_H
