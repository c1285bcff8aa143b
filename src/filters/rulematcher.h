// Whether a text matches one rule's pattern: plain text, or a regular expression run by RE2.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RULEMATCHER_H
#define RULEMATCHER_H

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QStringMatcher>
#include <QVector>

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
    // The pattern as a regular expression of RE2's that matches the same, case and all.
    QByteArray expressionText() const { return asExpression; }

private:
    bool usable = false;
    QString fault;
    QStringMatcher plain;
    std::shared_ptr<const re2::RE2> expression;
    QByteArray asExpression;
};

// Several matchers, each with its bit, run over a text in one pass (RE2::Set): ten rules cost
// little more than one. Should RE2 run out of the memory it allows itself, they run one at a
// time instead.
class CombinedMatcher
{
public:
    using Matchers = QVector<QPair<quint64, RuleMatcher>>;

    CombinedMatcher() = default;
    explicit CombinedMatcher(const Matchers &matchers);

    // The bits of the matchers that match the text, given as it is and in UTF-8.
    quint64 match(const QString &text, const QByteArray &utf8) const;

private:
    struct Combined;
    Matchers matchers;
    std::shared_ptr<const Combined> combined;
};

// The text a pane shows for a received text: markup that the pane shows as rich text becomes
// its plain text, parsed as the pane parses it (no resource loaded); any other text is itself.
QString shownPlainText(const QString &text);

#endif // RULEMATCHER_H
