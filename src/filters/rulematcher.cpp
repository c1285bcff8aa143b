// Plain patterns through QStringMatcher, regular expressions through RE2 on UTF-8.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filters/rulematcher.h"

#include "panes/logdocument.h"
#include "panes/richtext.h"

#include <QCoreApplication>
#include <QTextCursor>

#include <re2/re2.h>
#include <re2/set.h>

#include <vector>

namespace {
struct RuleMatcherTexts
{
    Q_DECLARE_TR_FUNCTIONS(RuleMatcher)
};
} // namespace

RuleMatcher::RuleMatcher(const QString &pattern, bool regex, bool caseSensitive)
{
    if (pattern.isEmpty()) {
        fault = RuleMatcherTexts::tr("No pattern");
        return;
    }
    const QByteArray utf8 = pattern.toUtf8();
    const QByteArray group = caseSensitive ? "(?:" : "(?i:";
    if (!regex) {
        plain = QStringMatcher(pattern, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
        asExpression = group
            + QByteArray::fromStdString(
                           RE2::QuoteMeta(re2::StringPiece(utf8.constData(), size_t(utf8.size()))))
            + ')';
        usable = true;
        return;
    }
    RE2::Options options;
    options.set_log_errors(false);
    options.set_case_sensitive(caseSensitive);
    options.set_never_capture(true);
    auto compiled = std::make_shared<const RE2>(
        re2::StringPiece(utf8.constData(), size_t(utf8.size())), options);
    if (!compiled->ok()) {
        fault = RuleMatcherTexts::tr("Not a valid regular expression: %1")
                    .arg(QString::fromStdString(compiled->error()));
        return;
    }
    expression = std::move(compiled);
    asExpression = group + utf8 + ')';
    usable = true;
}

bool RuleMatcher::matches(const QString &text, const QByteArray &utf8) const
{
    if (!usable)
        return false;
    if (expression)
        return RE2::PartialMatch(re2::StringPiece(utf8.constData(), size_t(utf8.size())),
                                 *expression);
    return plain.indexIn(text) >= 0;
}

bool RuleMatcher::matches(const QString &text) const
{
    return matches(text, expression ? text.toUtf8() : QByteArray());
}

struct CombinedMatcher::Combined
{
    explicit Combined(const RE2::Options &options) : set(options, RE2::UNANCHORED) { }
    RE2::Set set;
};

CombinedMatcher::CombinedMatcher(const Matchers &matchers) : matchers(matchers)
{
    RE2::Options options;
    options.set_log_errors(false);
    options.set_never_capture(true);
    auto made = std::make_shared<Combined>(options);
    for (const auto &matcher : matchers) {
        const QByteArray expression = matcher.second.expressionText();
        if (made->set.Add(re2::StringPiece(expression.constData(), size_t(expression.size())),
                          nullptr)
            < 0)
            return;
    }
    if (!matchers.isEmpty() && made->set.Compile())
        combined = std::move(made);
}

quint64 CombinedMatcher::match(const QString &text, const QByteArray &utf8) const
{
    quint64 matches = 0;
    if (combined) {
        std::vector<int> matched;
        RE2::Set::ErrorInfo error;
        if (combined->set.Match(re2::StringPiece(utf8.constData(), size_t(utf8.size())), &matched,
                                &error)
            || error.kind == RE2::Set::kNoError) {
            for (int index : matched)
                matches |= matchers.at(index).first;
            return matches;
        }
    }
    for (const auto &matcher : matchers) {
        if (matcher.second.matches(text, utf8))
            matches |= matcher.first;
    }
    return matches;
}

QString shownPlainText(const QString &text)
{
    if (!showsAsRichText(text))
        return text;
    LogDocument parsed;
    QTextCursor(&parsed).insertHtml(text);
    return shownText(parsed);
}
