// The filter rules without a window: matching, verdicts, slots and the rules file.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/atomicfile.h"
#include "filters/rulesdialog.h"
#include "filters/ruleset.h"
#include "filters/rulesfile.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

// "hide DEBUG re case off panes=13 bg=#ff0000": the action and pattern, then what differs
// from a rule's defaults.
FilterRule ruleOf(const QString &written)
{
    const QStringList words = written.split(QLatin1Char(' '));
    FilterRule rule;
    rule.action = FilterRule::Action(actionOfName(words.at(0)));
    rule.pattern = words.value(1);
    for (const QString &word : words.mid(2)) {
        if (word == QLatin1String("re"))
            rule.regex = true;
        else if (word == QLatin1String("case"))
            rule.caseSensitive = true;
        else if (word == QLatin1String("off"))
            rule.enabled = false;
        else if (word.startsWith(QLatin1String("panes="))) {
            rule.panes = 0;
            for (QChar pane : word.mid(6))
                rule.panes |= 1 << (pane.digitValue() - 1);
        } else if (word.startsWith(QLatin1String("bg=")))
            rule.background = QColor(word.mid(3));
    }
    return rule;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

} // namespace

class FilterRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void matching_data();
    void matching();
    void pathologicalPatternFinishes();
    void verdicts_data();
    void verdicts();
    void changesMatchAgainOnlyWhatChanged();
    void dialogEditsTheRulesInOrder();
    void readingJson_data();
    void readingJson();
    void roundTrip();
    void faultyFileIsKeptUntilTheRulesChange_data();
    void faultyFileIsKeptUntilTheRulesChange();
};

void FilterRulesTest::matching_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");
    QTest::addColumn<bool>("usable");
    QTest::newRow("plain") << "DEBUG" << false << false << "a debug line" << true << true;
    QTest::newRow("plain, case") << "DEBUG" << false << true << "a debug line" << false << true;
    QTest::newRow("plain, case matches") << "DEB" << false << true << "DEBUG" << true << true;
    QTest::newRow("plain takes dots as dots") << "a.c" << false << false << "abc" << false << true;
    QTest::newRow("plain, not in text") << "warn" << false << false << "error" << false << true;
    QTest::newRow("plain, beyond Latin-1")
        << "ÄRGER" << false << false << "viel ärger" << true << true;
    QTest::newRow("regex") << "ERR(OR)?|FATAL" << true << true << "FATAL: x" << true << true;
    QTest::newRow("regex, case") << "^err" << true << true << "ERR x" << false << true;
    QTest::newRow("regex, no case") << "^err" << true << false << "ERR x" << true << true;
    QTest::newRow("regex, no case beyond ASCII")
        << "ärger" << true << false << "ÄRGER" << true << true;
    QTest::newRow("regex, anchored in the text") << "b$" << true << false << "ab" << true << true;
    QTest::newRow("invalid regex") << "(unclosed" << true << false << "(unclosed" << false << false;
    QTest::newRow("backreference refused") << "(a)\\1" << true << false << "aa" << false << false;
    QTest::newRow("empty pattern") << "" << false << false << "anything" << false << false;
}

void FilterRulesTest::matching()
{
    QFETCH(QString, pattern);
    QFETCH(bool, regex);
    QFETCH(bool, caseSensitive);
    QFETCH(QString, text);
    const RuleMatcher matcher(pattern, regex, caseSensitive);
    QTEST(matcher.matches(text), "matches");
    QTEST(matcher.isUsable(), "usable");
    QCOMPARE(matcher.error().isEmpty(), matcher.isUsable());
}

void FilterRulesTest::pathologicalPatternFinishes()
{
    // A backtracking engine would take longer than the universe has left on either text.
    const RuleMatcher matcher(QStringLiteral("(a+)+$"), true, false);
    const QString all(65536, QLatin1Char('a'));
    QVERIFY(matcher.matches(all));
    QVERIFY(matcher.matches(all + QLatin1Char('b')) == false);
}

void FilterRulesTest::verdicts_data()
{
    QTest::addColumn<QStringList>("rules");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pane");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<QString>("background"); // empty: none

    const QString red = QStringLiteral("#ff0000"), blue = QStringLiteral("#0000ff");
    QTest::newRow("no rules") << QStringList() << "x" << 0 << false << "";
    QTest::newRow("hide") << QStringList {"hide DEBUG"} << "DEBUG x" << 0 << true << "";
    QTest::newRow("hide, no match") << QStringList {"hide DEBUG"} << "INFO x" << 0 << false << "";
    QTest::newRow("hide, other pane")
        << QStringList {"hide DEBUG panes=2"} << "DEBUG" << 0 << false << "";
    QTest::newRow("hide, its pane")
        << QStringList {"hide DEBUG panes=24"} << "DEBUG" << 3 << true << "";
    QTest::newRow("hide, off") << QStringList {"hide DEBUG off"} << "DEBUG" << 0 << false << "";
    QTest::newRow("hide, plain takes dots as dots")
        << QStringList {"hide a.c", "hide (x re"} << "abc" << 0 << false << "";
    QTest::newRow("hide, any case beyond ASCII")
        << QStringList {"hide ÄRGER", "hide x case"} << "viel ärger" << 0 << true << "";
    QTest::newRow("hide, regex in its case")
        << QStringList {"hide ^A re case", "hide b"} << "a" << 0 << false << "";
    QTest::newRow("hide, pathological pattern on 64 KB")
        << QStringList {"hide (a+)+$ re", "hide b"} << QString(65536, QLatin1Char('a')) << 0 << true
        << "";
    QTest::newRow("hide, invalid regex") << QStringList {"hide ( re"} << "(" << 0 << false << "";
    QTest::newRow("show only, match") << QStringList {"show net"} << "net up" << 0 << false << "";
    QTest::newRow("show only, no match") << QStringList {"show net"} << "disk" << 0 << true << "";
    QTest::newRow("show only, either")
        << QStringList {"show net", "show disk"} << "disk" << 0 << false << "";
    QTest::newRow("show only, other pane")
        << QStringList {"show net panes=1"} << "disk" << 1 << false << "";
    QTest::newRow("show only, off") << QStringList {"show net off"} << "disk" << 0 << false << "";
    QTest::newRow("hide wins over show only")
        << QStringList {"show net", "hide down"} << "net down" << 0 << true << "";
    QTest::newRow("highlight") << QStringList {"highlight ERROR bg=" + red} << "ERROR" << 0 << false
                               << red;
    QTest::newRow("first highlight decides")
        << QStringList {"highlight ERR bg=" + red, "highlight ERROR bg=" + blue} << "ERROR" << 0
        << false << red;
    QTest::newRow("first that matches decides")
        << QStringList {"highlight WARN bg=" + red, "highlight ERROR bg=" + blue} << "ERROR" << 0
        << false << blue;
    QTest::newRow("highlight off")
        << QStringList {"highlight ERR bg=" + red + " off", "highlight ERROR bg=" + blue} << "ERROR"
        << 0 << false << blue;
    QTest::newRow("hidden, no colour")
        << QStringList {"highlight ERR bg=" + red, "hide ERR"} << "ERR" << 0 << true << "";
    QTest::newRow("markup matched as shown")
        << QStringList {"hide <b>"} << "<b>bold</b> text" << 0 << false << "";
    QTest::newRow("markup's plain text matched")
        << QStringList {"hide bold text"} << "<b>bold</b> text" << 0 << true << "";
    QTest::newRow("text that is not markup as written")
        << QStringList {"hide a<b"} << "if a<b && c>d" << 0 << true << "";
}

void FilterRulesTest::verdicts()
{
    QFETCH(QStringList, rules);
    QFETCH(QString, text);
    QFETCH(int, pane);
    QFETCH(QString, background);
    RuleSet set;
    for (const QString &rule : rules)
        QVERIFY(set.append(ruleOf(rule)));
    const FilterVerdict verdict = set.judge(set.match(text, pane), pane);
    QTEST(verdict.hidden, "hidden");
    QCOMPARE(verdict.background.isValid() ? verdict.background.name() : QString(), background);
    // A colour of the text's own that reads on the background, whatever the window's palette.
    QCOMPARE(verdict.foreground.isValid(), !background.isEmpty());
    QCOMPARE(set.isActive(pane), std::any_of(rules.begin(), rules.end(), [&](const QString &written) {
                 const FilterRule rule = ruleOf(written);
                 return rule.enabled && rule.appliesTo(pane)
                     && RuleMatcher(rule.pattern, rule.regex, false).isUsable();
             }));
}

void FilterRulesTest::changesMatchAgainOnlyWhatChanged()
{
    RuleSet set;
    QSignalSpy rematch(&set, &RuleSet::matchingChanged);
    QSignalSpy refresh(&set, &RuleSet::verdictsChanged);
    QSignalSpy edited(&set, &RuleSet::rulesEdited);
    set.append(ruleOf(QStringLiteral("hide a")));
    set.append(ruleOf(QStringLiteral("highlight b panes=2")));
    set.append(ruleOf(QStringLiteral("highlight c")));
    QCOMPARE(rematch.count(), 3);
    QCOMPARE(rematch.at(1), (QVariantList {quint64(2), 2}));
    // The order decides the colour alone; no slot moves.
    set.move(2, 0);
    QCOMPARE(rematch.count(), 3);
    QCOMPARE(refresh.count(), 1);
    QCOMPARE(set.match(QStringLiteral("abc"), 1), quint64(7));
    // A new pattern: its slot alone.
    FilterRule changed = set.rule(2);
    changed.pattern = QStringLiteral("bb");
    set.replace(2, changed);
    QCOMPARE(rematch.last(), (QVariantList {quint64(2), 2}));
    // Switched off, then on: the verdicts, then its slot again.
    changed.enabled = false;
    set.replace(2, changed);
    QCOMPARE(refresh.count(), 2);
    changed.enabled = true;
    set.replace(2, changed);
    QCOMPARE(rematch.count(), 5);
    // A removed rule's slot goes to the next rule.
    set.remove(1);
    set.append(ruleOf(QStringLiteral("show d panes=4")));
    QCOMPARE(rematch.last(), (QVariantList {quint64(1), 8}));
    QCOMPARE(edited.count(), 9);
    // The find bar's filter: a slot of its own, never saved.
    set.setFindFilter(2, QStringLiteral("x"), false);
    QCOMPARE(rematch.last(), (QVariantList {quint64(1) << RuleSet::findSlot, 4}));
    QVERIFY(set.judge(set.match(QStringLiteral("y"), 2), 2).hidden);
    set.setFindFilter(-1, QString(), false);
    QVERIFY(!set.judge(set.match(QStringLiteral("y"), 2), 2).hidden);
    QCOMPARE(edited.count(), 9);
    while (set.append(FilterRule())) { }
    QCOMPARE(set.count(), RuleSet::maxRules);
    QVERIFY(set.isFull());
}

void FilterRulesTest::dialogEditsTheRulesInOrder()
{
    RuleSet set;
    set.append(ruleOf(QStringLiteral("hide a")));
    set.append(ruleOf(QStringLiteral("show b")));
    RulesDialog dialog(&set, {"1", "2", "3", "4"});
    auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("rulesTable"));
    auto button = [&](const char *name) {
        return dialog.findChild<QPushButton *>(QString::fromLatin1(name));
    };
    auto patterns = [&] {
        QStringList all;
        for (int i = 0; i < set.count(); ++i)
            all.append(set.rule(i).pattern);
        return all;
    };
    QCOMPARE(table->rowCount(), 2);

    button("ruleAdd")->click();
    auto *pattern = qobject_cast<QLineEdit *>(table->cellWidget(2, RulesDialog::PatternColumn));
    pattern->setText(QStringLiteral("c"));
    QVERIFY(QMetaObject::invokeMethod(pattern, "editingFinished"));
    auto *kind = qobject_cast<QComboBox *>(table->cellWidget(2, RulesDialog::KindColumn));
    kind->setCurrentIndex(FilterRule::Hide);
    QVERIFY(QMetaObject::invokeMethod(kind, "activated", Q_ARG(int, FilterRule::Hide)));
    QCOMPARE(patterns(), QStringList({"a", "b", "c"}));
    QCOMPARE(set.rule(2).action, FilterRule::Hide);

    // The new rule is the selected one: up, then the one below it goes.
    button("ruleUp")->click();
    QCOMPARE(patterns(), QStringList({"a", "c", "b"}));
    table->selectRow(2);
    button("ruleRemove")->click();
    QCOMPARE(patterns(), QStringList({"a", "c"}));
    QCOMPARE(table->rowCount(), 2);

    // Rules made elsewhere show at once; a full set says so.
    while (set.append(ruleOf(QStringLiteral("highlight x")))) { }
    QCOMPARE(table->rowCount(), RuleSet::maxRules);
    QVERIFY(!button("ruleAdd")->isEnabled());
    QVERIFY(!dialog.findChild<QLabel *>(QStringLiteral("rulesFull"))->isHidden());
}

void FilterRulesTest::readingJson_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("fault");
    QTest::newRow("the README's example")
        << QByteArray(R"({"rules": [{"action": "hide", "pattern": "DEBUG", "regex": false,
            "caseSensitive": false, "panes": [1, 2, 3, 4], "enabled": true},
            {"action": "highlight", "pattern": "ERROR|FATAL", "regex": true,
             "caseSensitive": true, "panes": [1, 2, 3, 4], "background": "#ffc8c8",
             "enabled": true}]})")
        << QStringList {"hide DEBUG", "highlight ERROR|FATAL re case bg=#ffc8c8"} << false;
    QTest::newRow("panes left out, defaults")
        << QByteArray(R"({"rules": [{"action": "show", "pattern": "x"}]})")
        << QStringList {"show x"} << false;
    QTest::newRow("some panes") << QByteArray(
        R"({"rules": [{"action": "show", "pattern": "x", "panes": [3, 1]}]})")
                                << QStringList {"show x panes=13"} << false;
    QTest::newRow("unknown members ignored")
        << QByteArray(R"({"version": 7, "rules": [{"action": "hide", "pattern": "x",
            "comment": "noise", "enabled": false}]})")
        << QStringList {"hide x off"} << false;
    QTest::newRow("empty") << QByteArray(R"({"rules": []})") << QStringList() << false;
    QTest::newRow("not JSON") << QByteArray("{\"rules\": [") << QStringList() << true;
    QTest::newRow("no rules list") << QByteArray(R"({"rule": []})") << QStringList() << true;
    QTest::newRow("a list") << QByteArray(R"([])") << QStringList() << true;
    const char *wrong[] = {
        R"("action": "drop", "pattern": "x")",
        R"("action": "hide")",
        R"("action": "hide", "pattern": 5)",
        R"("action": "hide", "pattern": "x", "regex": "yes")",
        R"("action": "hide", "pattern": "x", "enabled": 1)",
        R"("action": "hide", "pattern": "x", "panes": [0])",
        R"("action": "hide", "pattern": "x", "panes": [1.5])",
        R"("action": "hide", "pattern": "x", "panes": 1)",
        R"("action": "highlight", "pattern": "x", "background": "red")",
        R"("action": "highlight", "pattern": "x", "foreground": "#fff")",
    };
    for (const char *members : wrong) {
        QTest::newRow(members) << QByteArray("{\"rules\": [{\"action\": \"hide\", \"pattern\": "
                                             "\"kept\"}, {")
                + members + "}, 7]}"
                               << QStringList {"hide kept"} << true;
    }
}

void FilterRulesTest::readingJson()
{
    QFETCH(QByteArray, json);
    QFETCH(QStringList, expected);
    const RulesRead read = rulesFromJson(json);
    QVector<FilterRule> rules;
    for (const QString &written : expected)
        rules.append(ruleOf(written));
    QCOMPARE(read.rules, rules);
    QTEST(!read.fault.isEmpty(), "fault");
}

void FilterRulesTest::roundTrip()
{
    QVector<FilterRule> rules;
    for (const char *written :
         {"hide \"quoted\"\\\u00e9 case", "show ^a.*b$ re panes=24 off", "highlight x bg=#c8dcff"})
        rules.append(ruleOf(QString::fromUtf8(written)));
    rules[2].foreground = QColor(QStringLiteral("#102030"));
    const RulesRead read = rulesFromJson(rulesToJson(rules));
    QCOMPARE(read.fault, QString());
    QCOMPARE(read.rules, rules);
}

void FilterRulesTest::faultyFileIsKeptUntilTheRulesChange_data()
{
    QTest::addColumn<QByteArray>("content"); // "dir": a directory where the file should be
    QTest::addColumn<int>("rulesRead");
    QTest::newRow("missing") << QByteArray() << 0;
    QTest::newRow("valid") << QByteArray(R"({"rules": [{"action": "hide", "pattern": "a"}]})") << 1;
    QTest::newRow("invalid JSON") << QByteArray("{\"rules\"") << 0;
    QTest::newRow("one rule wrong")
        << QByteArray(R"({"rules": [{"action": "hide", "pattern": "a"}, {"action": 1}]})") << 1;
    QTest::newRow("unreadable") << QByteArray("dir") << 0;
}

void FilterRulesTest::faultyFileIsKeptUntilTheRulesChange()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("filters.json"));
    if (content == "dir")
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("filters.json")));
    else if (!content.isEmpty())
        QCOMPARE(writeFileAtomically(path, content), QString());
    const bool faulty =
        content == "dir" || (!content.isEmpty() && !rulesFromJson(content).fault.isEmpty());

    RulesFile file(path);
    const RulesRead read = file.read();
    QTEST(int(read.rules.size()), "rulesRead");
    QCOMPARE(read.fault.contains(path), faulty);
    QVERIFY(!read.fault.contains(QLatin1Char('\n')));
    // Nothing is written until the rules change; then the old file goes aside.
    QVERIFY(!QFile::exists(path + QLatin1String(".bad")));
    const QVector<FilterRule> rules {ruleOf(QStringLiteral("show b"))};
    QCOMPARE(file.write(rules), QString());
    QCOMPARE(rulesFromJson(readAll(path)).rules, rules);
    if (content != "dir")
        QCOMPARE(readAll(path + QLatin1String(".bad")), faulty ? content : QByteArray("(none)"));
    else
        QVERIFY(QFileInfo(path + QLatin1String(".bad")).isDir());
    // Once only: the next change leaves that copy alone.
    QCOMPARE(file.write({}), QString());
    QCOMPARE(QFile::exists(path + QLatin1String(".bad")), faulty);
}

QTEST_MAIN(FilterRulesTest)
#include "tst_filterrules.moc"
