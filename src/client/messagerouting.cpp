// The pane of a Qt log message, from its kind or its logging category.
// SPDX-License-Identifier: MIT
#include "messagerouting.h"

#include <algorithm>

namespace corvane {

MessageRouting::MessageRouting(const QHash<QString, int> &categoryPanes)
{
    for (auto entry = categoryPanes.cbegin(); entry != categoryPanes.cend(); ++entry) {
        if (entry.value() < 1 || entry.value() > 4) {
            valid = false;
            continue;
        }
        if (entry.key().endsWith(QLatin1Char('*')))
            prefixes.append(qMakePair(entry.key().chopped(1), entry.value()));
        else
            names.insert(entry.key(), entry.value());
    }
    std::sort(prefixes.begin(), prefixes.end(),
              [](const QPair<QString, int> &a, const QPair<QString, int> &b) {
                  return a.first.size() > b.first.size();
              });
}

int MessageRouting::paneOfKind(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return 1;
    case QtInfoMsg:
        return 2;
    case QtWarningMsg:
        return 3;
    case QtCriticalMsg:
    case QtFatalMsg:
        break;
    }
    return 4;
}

int MessageRouting::pane(QtMsgType type, const char *category) const
{
    if (names.isEmpty() && prefixes.isEmpty())
        return paneOfKind(type);
    const QString name = QString::fromUtf8(category ? category : "default");
    const auto named = names.constFind(name);
    if (named != names.cend())
        return named.value();
    for (const QPair<QString, int> &prefix : prefixes) {
        if (name.startsWith(prefix.first))
            return prefix.second;
    }
    return paneOfKind(type);
}

} // namespace corvane
