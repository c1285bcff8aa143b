// Plain patterns through QStringMatcher, regular expressions through RE2 on UTF-8.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filters/rulematcher.h"

#include "panes/logdocument.h"
#include "panes/richtext.h"

#include <QCoreApplication>
#include <QTextCursor>

#include <re2/re2.h>

namespace {
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(RuleMatcher)
};
} // namespace

RuleMatcher::RuleMatcher(const QString &pattern, bool regex, bool caseSensitive)
{
    if (pattern.isEmpty()) {
        fault = Texts::tr("No pattern");
        return;
    }
    if (!regex) {
        plain = QStringMatcher(pattern, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
        usable = true;
        return;
    }
    RE2::Options options;
    options.set_log_errors(false);
    options.set_case_sensitive(caseSensitive);
    options.set_never_capture(true);
    const QByteArray utf8 = pattern.toUtf8();
    auto compiled = std::make_shared<const RE2>(re2::StringPiece(utf8.constData(), size_t(utf8.size())),
                                                options);
    if (!compiled->ok()) {
        fault = Texts::tr("Not a valid regular expression: %1")
                    .arg(QString::fromStdString(compiled->error()));
        return;
    }
    expression = std::move(compiled);
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

QString shownPlainText(const QString &text)
{
    if (!Qt::mightBeRichText(text) || !showsAsRichText(text))
        return text;
    LogDocument parsed;
    QTextCursor(&parsed).insertHtml(text);
    return shownText(parsed);
}
