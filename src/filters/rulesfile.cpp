// The rules file's JSON: {"rules": [{"action": "hide", "pattern": "DEBUG", ...}, ...]}.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filters/rulesfile.h"

#include "files/atomicfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

struct RulesFileTexts
{
    Q_DECLARE_TR_FUNCTIONS(RulesFile)
};

// "#rrggbb" only, as the file documents it.
bool readColour(const QJsonValue &value, QColor *colour)
{
    static const QRegularExpression form(QStringLiteral("^#[0-9a-fA-F]{6}$"));
    if (!value.isString() || !form.match(value.toString()).hasMatch())
        return false;
    *colour = QColor(value.toString());
    return true;
}

bool readPanes(const QJsonValue &value, int *panes)
{
    if (!value.isArray())
        return false;
    int bits = 0;
    for (const QJsonValue &number : value.toArray()) {
        const double pane = number.toDouble(0);
        if (!number.isDouble() || pane != int(pane) || pane < 1 || pane > paneCount)
            return false;
        bits |= 1 << (int(pane) - 1);
    }
    *panes = bits;
    return true;
}

// The rule, or the fault that keeps it out.
QString readRule(const QJsonValue &value, FilterRule *rule)
{
    if (!value.isObject())
        return RulesFileTexts::tr("is not an object");
    const QJsonObject object = value.toObject();
    const int action = actionOfName(object.value(QLatin1String("action")).toString());
    if (action < 0)
        return RulesFileTexts::tr("\"action\" is not \"hide\", \"show\" or \"highlight\"");
    rule->action = FilterRule::Action(action);
    const QJsonValue pattern = object.value(QLatin1String("pattern"));
    if (!pattern.isString())
        return RulesFileTexts::tr("\"pattern\" is not a string");
    rule->pattern = pattern.toString();
    for (auto flag : {qMakePair(QStringLiteral("regex"), &rule->regex),
                      qMakePair(QStringLiteral("caseSensitive"), &rule->caseSensitive),
                      qMakePair(QStringLiteral("enabled"), &rule->enabled)}) {
        const QJsonValue member = object.value(flag.first);
        if (member.isUndefined())
            continue;
        if (!member.isBool())
            return RulesFileTexts::tr("\"%1\" is not true or false").arg(flag.first);
        *flag.second = member.toBool();
    }
    const QJsonValue panes = object.value(QLatin1String("panes"));
    if (!panes.isUndefined() && !readPanes(panes, &rule->panes))
        return RulesFileTexts::tr("\"panes\" is not a list of pane numbers from 1 to 4");
    for (auto colour : {qMakePair(QStringLiteral("background"), &rule->background),
                        qMakePair(QStringLiteral("foreground"), &rule->foreground)}) {
        const QJsonValue member = object.value(colour.first);
        if (!member.isUndefined() && !readColour(member, colour.second))
            return RulesFileTexts::tr("\"%1\" is not a colour such as \"#ffc8c8\"")
                .arg(colour.first);
    }
    return QString();
}

// A JSON string, quotes and escapes as QJsonDocument writes them.
QByteArray quoted(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray {text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray boolean(bool value)
{
    return value ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
}

} // namespace

RulesRead rulesFromJson(const QByteArray &json)
{
    RulesRead result;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        result.fault = RulesFileTexts::tr("not valid JSON at byte %1: %2")
                           .arg(error.offset)
                           .arg(error.errorString());
        return result;
    }
    const QJsonValue rules = document.object().value(QLatin1String("rules"));
    if (!document.isObject() || !rules.isArray()) {
        result.fault = RulesFileTexts::tr("no \"rules\" list");
        return result;
    }
    const QJsonArray array = rules.toArray();
    for (int i = 0; i < array.size(); ++i) {
        FilterRule rule;
        const QString fault = readRule(array.at(i), &rule);
        if (fault.isEmpty())
            result.rules.append(rule);
        else if (result.fault.isEmpty())
            result.fault = RulesFileTexts::tr("rule %1: %2").arg(i + 1).arg(fault);
    }
    return result;
}

QByteArray rulesToJson(const QVector<FilterRule> &rules)
{
    QByteArray json = "{\"rules\": [";
    for (int i = 0; i < rules.size(); ++i) {
        const FilterRule &rule = rules.at(i);
        json += i ? ",\n  " : "\n  ";
        json += "{\"action\": " + quoted(actionName(rule.action));
        json += ", \"pattern\": " + quoted(rule.pattern);
        json += ", \"regex\": " + boolean(rule.regex);
        json += ", \"caseSensitive\": " + boolean(rule.caseSensitive);
        json += ", \"panes\": [";
        QByteArrayList panes;
        for (int pane = 0; pane < paneCount; ++pane) {
            if (rule.appliesTo(pane))
                panes.append(QByteArray::number(pane + 1));
        }
        json += panes.join(", ") + "]";
        if (rule.background.isValid())
            json += ", \"background\": " + quoted(rule.background.name());
        if (rule.foreground.isValid())
            json += ", \"foreground\": " + quoted(rule.foreground.name());
        json += ", \"enabled\": " + boolean(rule.enabled) + "}";
    }
    json += rules.isEmpty() ? "]}\n" : "\n]}\n";
    return json;
}

RulesRead RulesFile::read()
{
    RulesRead result;
    QFile file(filePath);
    if (!file.exists())
        return result;
    if (!file.open(QIODevice::ReadOnly))
        result.fault = file.errorString();
    else
        result = rulesFromJson(file.readAll());
    keepAside = !result.fault.isEmpty();
    if (keepAside) {
        result.fault =
            RulesFileTexts::tr("the rules file %1 was not read whole (%2); it is left as it "
                               "is until the rules change")
                .arg(QDir::toNativeSeparators(filePath), result.fault);
    }
    return result;
}

QString RulesFile::write(const QVector<FilterRule> &rules)
{
    if (keepAside) {
        const QString aside = filePath + QLatin1String(".bad");
        QFile::remove(aside);
        if (QFile::exists(filePath) && !QFile::rename(filePath, aside))
            return RulesFileTexts::tr("the old file could not be kept as %1")
                .arg(QDir::toNativeSeparators(aside));
        keepAside = false;
    }
    return writeFileAtomically(filePath, rulesToJson(rules));
}
