#include "mainwindow.h"
#include "testsupport.h"

#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QtTest>

// Texts in quantity: a pane on a tab nobody has looked at yet must lay its texts out as it
// will show them. Laid out for the few dozen pixels its viewport had before the window was
// sized, every text became a tall stack of short lines, and a flood of some tens of thousands
// of texts froze the window for minutes.
class FloodTest : public QObject
{
    Q_OBJECT

private slots:
    void hiddenPanesLayOutAsTheyWillBeShown();
};

namespace {

// Lines that the pane's layout gives the first paragraph, laid out completely first.
int linesOfFirstText(QTextEdit *log)
{
    log->document()->size();
    const QTextLayout *layout = log->document()->firstBlock().layout();
    return layout ? layout->lineCount() : 0;
}

} // namespace

void FloodTest::hiddenPanesLayOutAsTheyWillBeShown()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    auto *log1 = window.findChild<QTextEdit *>(QStringLiteral("uiLog1"));
    auto *log3 = window.findChild<QTextEdit *>(QStringLiteral("uiLog3"));
    QVERIFY(tabs && log1 && log3);
    QCOMPARE(tabs->currentIndex(), 0);

    // Short enough for one line in a window of the default size.
    const QString text = QStringLiteral("connected to db, 12 rows");
    QVERIFY(sendDatagram(port, message({"Net", "Db", "UI", "Misc"}, text, {}, text)));
    QTRY_COMPARE(log3->toPlainText(), text);
    QTRY_COMPARE(log1->toPlainText(), text);
    QVERIFY(!log3->isVisible());

    QCOMPARE(linesOfFirstText(log1), 1);
    QCOMPARE(linesOfFirstText(log3), 1);

    // Once its tab is shown, the pane still reads it on one line.
    tabs->setCurrentIndex(2);
    QTRY_VERIFY(log3->isVisible());
    QCOMPARE(linesOfFirstText(log3), 1);
    QCOMPARE(log3->toPlainText(), text);
}

QTEST_MAIN(FloodTest)
#include "tst_flood.moc"
