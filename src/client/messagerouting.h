// Which pane a Qt log message goes to: by its kind, or by its logging category.
// SPDX-License-Identifier: MIT
#ifndef CORVANE_MESSAGEROUTING_H
#define CORVANE_MESSAGEROUTING_H

#include <QHash>
#include <QPair>
#include <QString>
#include <QVector>
#include <QtGlobal>

namespace corvane {

class MessageRouting
{
public:
    // Category names, or prefixes ending in '*', to panes 1 to 4, as MessageHandlerOptions
    // describes them. Entries that name no pane are left out.
    explicit MessageRouting(const QHash<QString, int> &categoryPanes = {});

    // False when an entry named no pane.
    bool isValid() const { return valid; }
    // The pane, 1 to 4, of a message of this kind and category (null reads as "default").
    int pane(QtMsgType type, const char *category) const;
    // Debug 1, info 2, warning 3, critical and fatal 4.
    static int paneOfKind(QtMsgType type);

private:
    QHash<QString, int> names;
    QVector<QPair<QString, int>> prefixes; // longest first
    bool valid = true;
};

} // namespace corvane

#endif // CORVANE_MESSAGEROUTING_H
