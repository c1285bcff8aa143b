// Batches appended pane by pane: within a turn's share, the rest in the turns after, in order.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "panes/batchappender.h"
#include "window/turnscheduler.h"

#include <QtTest>

class BatchAppenderTest : public QObject
{
    Q_OBJECT

private slots:
    void appendsPaneByPane_data();
    void appendsPaneByPane();
    void finishesOrForgetsWhatIsLeft_data();
    void finishesOrForgetsWhatIsLeft();
};

namespace {

// What the panes were given, one entry per append: "<pane>:<texts joined by |>".
struct Recorder
{
    QStringList appended;
    BatchAppender::AppendToPane function()
    {
        return [this](int pane, const QVector<KeptText> &texts) {
            QStringList joined;
            for (const KeptText &text : texts)
                joined.append(text.text);
            appended.append(QStringLiteral("%1:%2").arg(pane).arg(joined.join(QLatin1Char('|'))));
        };
    }
};

// "a,b;;c;" gives pane 0 the texts a and b, pane 2 the text c, and panes 1 and 3 none.
BatchAppender::Texts batch(const QString &panes)
{
    BatchAppender::Texts texts;
    const QStringList parts = panes.split(QLatin1Char(';'));
    for (int pane = 0; pane < paneCount && pane < parts.size(); ++pane) {
        if (parts.at(pane).isEmpty())
            continue;
        for (const QString &text : parts.at(pane).split(QLatin1Char(','))) {
            KeptText kept;
            kept.text = text;
            texts[pane].append(kept);
        }
    }
    return texts;
}

} // namespace

void BatchAppenderTest::appendsPaneByPane_data()
{
    QTest::addColumn<int>("shareMs");
    QTest::addColumn<QString>("texts");
    QTest::addColumn<QStringList>("atOnce");
    QTest::addColumn<QStringList>("inTheEnd");

    const QString four = QStringLiteral("a,b;c;d,e,f;g");
    const QStringList allFour = {"0:a|b", "1:c", "2:d|e|f", "3:g"};
    QTest::newRow("time to spare: all at once") << 10000 << four << allFour << allFour;
    QTest::newRow("no time: one pane a turn") << 0 << four << QStringList {"0:a|b"} << allFour;
    QTest::newRow("no time, panes without texts skipped")
        << 0 << QStringLiteral(";x;;y,z") << QStringList {"1:x"} << QStringList {"1:x", "3:y|z"};
    QTest::newRow("no time, only the last pane")
        << 0 << QStringLiteral(";;;y") << QStringList {"3:y"} << QStringList {"3:y"};
    QTest::newRow("nothing to append")
        << 0 << QStringLiteral(";;;") << QStringList() << QStringList();
    // An empty text is a text: the pane shows an empty line for it.
    QTest::newRow("an empty text")
        << 0 << QStringLiteral(",;;;") << QStringList {"0:|"} << QStringList {"0:|"};
}

void BatchAppenderTest::appendsPaneByPane()
{
    QFETCH(int, shareMs);
    QFETCH(QString, texts);
    QFETCH(QStringList, atOnce);
    QFETCH(QStringList, inTheEnd);

    Recorder recorder;
    BatchAppender appender(recorder.function());
    TurnScheduler turns(nullptr, &appender, nullptr);
    appender.setShareOfTurnMs(shareMs);
    QSignalSpy appended(&appender, &BatchAppender::batchAppended);
    QSignalSpy turnsWanted(&appender, &BatchAppender::nextTurnWanted);

    appender.append(batch(texts));
    QCOMPARE(recorder.appended, atOnce);
    const bool whole = atOnce == inTheEnd;
    QCOMPARE(appended.count(), whole ? 1 : 0);
    QCOMPARE(appender.isAppending(), !whole);
    if (!whole)
        QVERIFY(appended.wait(5000));
    QCOMPARE(recorder.appended, inTheEnd);
    QCOMPARE(appended.count(), 1);
    QVERIFY(!appender.isAppending());
    // One turn wanted for each pane that had to wait.
    QCOMPARE(turnsWanted.count(), inTheEnd.size() - atOnce.size());
}

void BatchAppenderTest::finishesOrForgetsWhatIsLeft_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<QStringList>("inTheEnd");
    QTest::addColumn<int>("batchesAppended");

    QTest::newRow("finish") << "finish" << QStringList {"0:a", "1:b", "3:c"} << 1;
    QTest::newRow("discard") << "discard" << QStringList {"0:a"} << 0;
    // The batch going in is whole before the next starts: no pane takes the new texts before
    // the old ones.
    QTest::newRow("next batch") << "next" << QStringList {"0:a", "1:b", "3:c", "0:n"} << 1;
}

void BatchAppenderTest::finishesOrForgetsWhatIsLeft()
{
    QFETCH(QString, then);
    QFETCH(QStringList, inTheEnd);
    QFETCH(int, batchesAppended);

    Recorder recorder;
    BatchAppender appender(recorder.function());
    TurnScheduler turns(nullptr, &appender, nullptr);
    appender.setShareOfTurnMs(0);
    QSignalSpy appended(&appender, &BatchAppender::batchAppended);
    appender.append(batch(QStringLiteral("a;b;;c")));
    QCOMPARE(recorder.appended, QStringList {"0:a"});

    if (then == QLatin1String("finish"))
        appender.finish();
    else if (then == QLatin1String("discard"))
        appender.discard();
    else
        appender.append(batch(QStringLiteral("n;o;p;q")));
    QCOMPARE(recorder.appended, inTheEnd);
    QCOMPARE(appended.count(), batchesAppended);

    if (then != QLatin1String("next")) {
        // Nothing is left for a later turn.
        QVERIFY(!appender.isAppending());
        for (int turn = 0; turn < 3; ++turn)
            QCoreApplication::processEvents();
        QCOMPARE(recorder.appended, inTheEnd);
        QCOMPARE(appended.count(), batchesAppended);
    } else {
        QVERIFY(appended.wait(5000));
        QCOMPARE(recorder.appended, inTheEnd + QStringList({"1:o", "2:p", "3:q"}));
    }
}

QTEST_GUILESS_MAIN(BatchAppenderTest)
#include "tst_batchappender.moc"
