// Tests of the interface language for each locale.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "aboutbox.h"
#include "app/translation.h"
#include "panes/logpane.h"
#include "testsupport.h"
#include "window/mainwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

#include <memory>

// The interface language, from the system locale to the texts on screen. CTest runs this
// program once per locale (LANG and LC_ALL set before the application starts) and tells it
// through CORVANE_EXPECTED_LANGUAGE, "es" or "en", which language the user must see.
class LanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void mainWindowTexts();
    void listeningStatus();
    void bindFailureStatus();
    void aboutBox();
    void qtOwnTexts();

private:
    // The English text, or its Spanish translation when the interface must be Spanish.
    QString expect(const char *english, const char *spanish) const
    {
        return QString::fromUtf8(spanish_ ? spanish : english);
    }

    bool spanish_ = false;
};

void LanguageTest::initTestCase()
{
    const QByteArray expected = qgetenv("CORVANE_EXPECTED_LANGUAGE");
    QVERIFY2(expected == "es" || expected == "en", "CORVANE_EXPECTED_LANGUAGE is not set");
    spanish_ = expected == "es";
    // The way main prepares the interface, once per process and before any window.
    installInterfaceTranslator();
}

void LanguageTest::mainWindowTexts()
{
    TestHome home;
    home.useFreePort();
    MainWindow window;

    // The title is built in code and stays the same in every language.
    QCOMPARE(window.windowTitle(), QStringLiteral("Corvane v.1.0"));

    auto text = [&](const char *name) -> QString {
        QObject *object = window.findChild<QObject *>(QLatin1String(name));
        if (auto *label = qobject_cast<QLabel *>(object))
            return label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(object))
            return button->text();
        if (auto *action = qobject_cast<QAction *>(object))
            return action->text();
        if (auto *menu = qobject_cast<QMenu *>(object))
            return menu->title();
        return QStringLiteral("<no %1>").arg(QLatin1String(name));
    };
    QCOMPARE(text("menuFile"), expect("File", "Archivo"));
    QCOMPARE(text("action_About"), expect("&About", "&Acerca de"));
    QCOMPARE(text("actionE_xit"), expect("E&xit", "&Salir"));
    QCOMPARE(text("label"), expect("Server", "Servidor"));
    QCOMPARE(text("label_2"), expect("Port", "Puerto"));
    QCOMPARE(text("uiRestart"), expect("Restart", "Reiniciar"));
    QCOMPARE(text("uiTimeoutEnabled"), expect("Clear timeout", "Espera de borrado"));
    QCOMPARE(text("uiClearNow"), expect("Clear now", "Borrar ahora"));
    QCOMPARE(text("menuLog"), expect("Log", "Registro"));
    QCOMPARE(text("actionSaveLog"), expect("Save log as...", "Guardar registro como..."));
    QCOMPARE(text("actionCopyAll"), expect("Copy all", "Copiar todo"));
    QCOMPARE(text("menuView"), expect("View", "Ver"));
    QCOMPARE(text("actionFollow"), expect("Follow new texts", "Seguir los textos nuevos"));
    QCOMPARE(text("actionFind"), expect("Find...", "Buscar..."));
    QCOMPARE(text("actionFindPrevious"), expect("Find previous", "Buscar anterior"));
    QCOMPARE(text("findCaseSensitive"), expect("Case sensitive", "Distinguir may\u00fasculas"));

    // The tab captions are the user's own data, never translated.
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QVERIFY(tabs);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Log 1"));
    QCOMPARE(tabs->tabText(3), QStringLiteral("Log4"));
}

void LanguageTest::listeningStatus()
{
    TestHome home;
    const quint16 port = home.useFreePort();
    MainWindow window;
    auto *status = window.findChild<QLabel *>(QStringLiteral("uiStatusText"));
    QVERIFY(status);
    QCOMPARE(status->text(),
             expect("Listening at %1:%2", "Escuchando en %1:%2").arg("127.0.0.1").arg(port));
}

void LanguageTest::bindFailureStatus()
{
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress(QHostAddress::LocalHost), 0));
    TestHome home;
    home.writeConfig("serverPort = " + QByteArray::number(holder.localPort()) + "\n");
    MainWindow window;
    auto *status = window.findChild<QLabel *>(QStringLiteral("uiStatusText"));
    QVERIFY(status);
    QCOMPARE(status->text(),
             expect("Server bind failed. Are you running any other instance of Corvane?",
                    "Fallo al iniciar servidor. \u00bfSe est\u00e1 ejecutando ya otra "
                    "instancia de Corvane?"));
}

void LanguageTest::aboutBox()
{
    TestHome home;
    home.useFreePort();
    MainWindow window;
    window.show();
    auto *about = window.findChild<QAction *>(QStringLiteral("action_About"));
    QVERIFY(about);

    QString title, close, page;
    QVERIFY(withAboutBox(
        [&] { about->trigger(); },
        [&](QDialog *dialog) {
            title = dialog->windowTitle();
            close = dialog->findChild<QPushButton *>(QStringLiteral("uiCloseButton"))->text();
            page = dialog->findChild<QLabel *>(QStringLiteral("label_8"))->text();
            dialog->findChild<QPushButton *>(QStringLiteral("uiCloseButton"))->click();
        }));
    QCOMPARE(title, expect("About Corvane", "Acerca de Corvane"));
    QCOMPARE(close, expect("Close", "Cerrar"));

    const char *const runs[][2] = {
        {">Code - ", ">C\u00f3digo - "},
        {"Dedicated to everyone who ever found a bug by reading a log.",
         "Dedicado a todos los que alguna vez encontraron un fallo leyendo un log."},
        {"This software is free as in free beer and free speech.",
         "Este programa es libre y gratuito."},
        {"If you find this program useful please consider ",
         "Si encuentras \u00fatil este programa, por favor considera "},
        {">making a donation<", ">hacer una donaci\u00f3n<"},
    };
    for (const auto &run : runs) {
        QVERIFY2(page.contains(expect(run[0], run[1])), run[0]);
        QVERIFY2(!page.contains(expect(run[1], run[0])), run[0]);
    }
    // Names, addresses and the version read the same in both languages.
    for (const char *same : {">Corvane<", ">https://corvane.example.org<", ">v1.0<",
                             "Nadia Corvo (", ">nadia.corvo@example.org<"})
        QVERIFY2(page.contains(QLatin1String(same)), same);
}

void LanguageTest::qtOwnTexts()
{
    TestHome home;
    home.useFreePort();
    MainWindow window;
    auto *log = window.findChild<QTextEdit *>(QStringLiteral("uiLog1"));
    QVERIFY(log);
    // The pane's context menu comes from Qt, and speaks the interface's language too.
    const std::unique_ptr<QMenu> menu(log->createStandardContextMenu());
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts.append(action->text().section(QLatin1Char('\t'), 0, 0)); // less the shortcut
    QVERIFY2(texts.contains(expect("&Copy", "&Copiar")), qPrintable(texts.join(", ")));
    QVERIFY2(texts.contains(expect("Select All", "Seleccionar todo")),
             qPrintable(texts.join(", ")));

    // The pane adds its own entries after Qt's.
    auto *pane = log->findChild<LogPane *>();
    QVERIFY(pane);
    const std::unique_ptr<QMenu> paneMenu(pane->createContextMenu(QPoint(1, 1)));
    const QList<QAction *> paneEntries = paneMenu->actions();
    QCOMPARE(paneEntries.at(paneEntries.size() - 2)->text(), expect("Copy all", "Copiar todo"));
    QCOMPARE(paneEntries.last()->text(), expect("Clear this pane", "Borrar este panel"));
}

QTEST_MAIN(LanguageTest)
#include "tst_language.moc"
