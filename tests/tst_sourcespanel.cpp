// The Sources panel and the View prefixes in a window, with senders on loopback.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sources/sourcesmodel.h"
#include "testsupport.h"
#include "window/mainwindow.h"

#include <QAction>
#include <QDockWidget>
#include <QTableView>
#include <QtTest>

class SourcesPanelTest : public QObject
{
    Q_OBJECT

private slots:
    void panelCountsEachSenderAndItsLoss();
    void prefixesShowAndAreKept();
};

namespace {

// A program of its own on loopback, numbering what it sends.
class NumberedSender
{
public:
    NumberedSender() { socket.bind(QHostAddress(QHostAddress::LocalHost), 0); }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(socket.localPort()); }
    void send(quint16 port, int seq, const QString &app, const QString &text)
    {
        const QByteArray payload = QStringLiteral(R"({"log1":"%1","seq":%2,"app":"%3"})")
                                       .arg(text)
                                       .arg(seq)
                                       .arg(app)
                                       .toUtf8();
        QCOMPARE(socket.writeDatagram(payload, QHostAddress::LocalHost, port),
                 qint64(payload.size()));
    }

private:
    QUdpSocket socket;
};

// The panel's rows as "sender program texts lost", in the order the panel shows them.
QStringList panelRows(const QAbstractItemModel *model)
{
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (const int column :
             {SourcesModel::Sender, SourcesModel::Program, SourcesModel::Texts, SourcesModel::Lost})
            cells.append(model->index(row, column).data().toString());
        rows.append(cells.join(' '));
    }
    return rows;
}

} // namespace

void SourcesPanelTest::panelCountsEachSenderAndItsLoss()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    WindowWidgets w(window);
    window.show();
    window.findChild<QAction *>("actionSources")->trigger();
    auto *table = window.findChild<QTableView *>("sourcesTable");
    QVERIFY(table && table->isVisibleTo(&window));

    NumberedSender alpha;
    NumberedSender beta;
    for (int seq = 1; seq <= 5; ++seq)
        alpha.send(port, seq, "alpha", QStringLiteral("a%1").arg(seq));
    // Beta skips 3 and 4 on purpose.
    for (const int seq : {1, 2, 5, 6})
        beta.send(port, seq, "beta", QStringLiteral("b%1").arg(seq));
    QTRY_VERIFY(w.logs[0]->toPlainText().contains("b6") && w.logs[0]->toPlainText().contains("a5"));
    QTRY_COMPARE(panelRows(table->model()),
                 QStringList({alpha.address() + " alpha 5 0", beta.address() + " beta 4 2"}));

    // Muted, beta's texts are hidden; soloed, only beta's show.
    QAbstractItemModel *model = table->model();
    QVERIFY(model->setData(model->index(1, SourcesModel::Muted), Qt::Checked, Qt::CheckStateRole));
    QTRY_COMPARE(w.logs[0]->toPlainText(), QStringLiteral("a1\na2\na3\na4\na5"));
    QVERIFY(
        model->setData(model->index(1, SourcesModel::Muted), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(model->setData(model->index(1, SourcesModel::Solo), Qt::Checked, Qt::CheckStateRole));
    QTRY_COMPARE(w.logs[0]->toPlainText(), QStringLiteral("b1\nb2\nb5\nb6"));
}

void SourcesPanelTest::prefixesShowAndAreKept()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    NumberedSender alpha;
    {
        MainWindow window;
        WindowWidgets w(window);
        alpha.send(port, 1, "alpha", "first");
        QTRY_COMPARE(w.logs[0]->toPlainText(), QStringLiteral("first"));
        window.findChild<QAction *>("actionShowSenders")->trigger();
        QTRY_COMPARE(w.logs[0]->toPlainText(), QStringLiteral("alpha first"));
        window.findChild<QAction *>("actionTimeSincePrevious")->trigger();
        alpha.send(port, 2, "alpha", "second");
        QTRY_VERIFY(w.logs[0]->toPlainText().contains("second"));
        const QStringList lines = w.logs[0]->toPlainText().split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0), QStringLiteral("+0.000 s alpha first")); // nothing before it
        QVERIFY2(
            QRegularExpression(R"(^\+\d+\.\d{3} s alpha second$)").match(lines.at(1)).hasMatch(),
            qPrintable(lines.at(1)));
        // Show times takes the place of the time since the previous text.
        window.findChild<QAction *>("actionShowTimes")->trigger();
        QVERIFY(!window.findChild<QAction *>("actionTimeSincePrevious")->isChecked());
        QTRY_VERIFY(QRegularExpression(R"(^\d\d:\d\d:\d\d\.\d{3} alpha first\n)")
                        .match(w.logs[0]->toPlainText())
                        .hasMatch());
    }
    // Kept in a file of their own, not in the settings.
    QVERIFY(!home.readConfig().toLower().contains("sender"));
    QVERIFY(!home.readConfig().toLower().contains("previous"));
    MainWindow window;
    QVERIFY(window.findChild<QAction *>("actionShowTimes")->isChecked());
    QVERIFY(window.findChild<QAction *>("actionShowSenders")->isChecked());
    QVERIFY(!window.findChild<QAction *>("actionTimeSincePrevious")->isChecked());
}

QTEST_MAIN(SourcesPanelTest)
#include "tst_sourcespanel.moc"
