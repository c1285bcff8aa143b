// Whether a text matches one rule's pattern: plain text, or a regular expression run by RE2.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RULEMATCHER_H
#define RULEMATCHER_H

#include <QByteArray>
#include <QString>
#include <QStringMatcher>

#include <memory>

namespace re2 {
class RE2;
}

// RE2 runs in time linear in the text, whatever the pattern, so no text a sender makes up can
// hold the window: "(a+)+$" over 64 KB of "a" takes as long as any other pattern.
class RuleMatcher
{
public:
    RuleMatcher() = default;
    RuleMatcher(const QString &pattern, bool regex, bool caseSensitive);

    // False for an empty pattern and for a regular expression that RE2 refuses; such a rule
    // matches nothing and error() says why.
    bool isUsable() const { return usable; }
    QString error() const { return fault; }
    bool isRegex() const { return bool(expression); }

    // `utf8` is the same text in UTF-8, made once for all the rules that need it (isRegex()).
    bool matches(const QString &text, const QByteArray &utf8) const;
    bool matches(const QString &text) const;

private:
    bool usable = false;
    QString fault;
    QStringMatcher plain;
    std::shared_ptr<const re2::RE2> expression;
};

// The text a pane shows for a received text: markup that the pane shows as rich text becomes
// its plain text, parsed as the pane parses it (no resource loaded); any other text is itself.
QString shownPlainText(const QString &text);

#endif // RULEMATCHER_H
