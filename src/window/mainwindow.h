// The viewer's one window: it builds the form and wires the parts that do the work.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "window/logmenus.h"
#include "ingest/logmessage.h"
#include "protocol/panes.h"

#include <QByteArray>
#include <QHostAddress>
#include <QMainWindow>
#include <QVector>

#include <array>

class BatchAppender;
class ClearPolicy;
class LogPane;
class LossLabel;
class MainWindowForm;
class PaneRules;
class PauseGate;
class SourceRegistry;
class SourcesDock;
class TabTitles;
class UdpListener;
class ViewPrefixes;
class WindowLook;
struct Settings;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The filter rules are read from, and saved to, `rulesFile`; empty for
    // ~/.corvane/filters.json.
    explicit MainWindow(QWidget *parent = nullptr, const QString &rulesFile = QString());
    ~MainWindow() override;

    // The most texts each pane keeps, 0 for no limit; panes start with defaultHistoryLimit.
    void setHistoryLimit(int texts);
    // The most bytes of text each pane keeps, 0 for no limit; panes start with
    // defaultHistoryBytes.
    void setHistorySize(qint64 bytes);

    // Asks where "Save log as..." writes, an empty name for nowhere. The window asks with a
    // file dialog unless given another way (tests choose the name without a modal dialog).
    void setSavePathChooser(LogMenus::SavePathChooser chooser);

private slots:
    void slStartServer();
    void slPendingDatagrams(const QVector<LogMessage> &messages);
    void slClearLogs();
    void slClearPane(int pane);
    void slShowAbout();

private:
    // Tests and the benchmark hand payloads to the window as one batch, exactly as if they had
    // just been read from the socket in one go, and find them in the panes on return
    // (window/directfeed.h).
    friend void processDatagrams(MainWindow &window, const QVector<QByteArray> &payloads);

    // Reads the filter rules and has the panes show by them.
    void useRules(const QString &rulesFile);
    void loadConfig();
    void saveConfig();
    void useSettings(const Settings &settings);
    Settings currentSettings() const;

    MainWindowForm *ui;
    QString configDir;
    QHostAddress serverIp;
    quint16 serverPort;
    UdpListener *udpListener;
    std::array<LogPane *, paneCount> logPanes;
    BatchAppender *batchAppender;
    // Between the batches and the appender: holds them while the panes are paused.
    PauseGate *pauseGate;
    ClearPolicy *clearPolicy;
    TabTitles *tabTitles;
    LossLabel *lossLabel;
    // How the panes show their texts, which every pane is given.
    WindowLook *look;
    // The filter rules, their file, and their dialog.
    PaneRules *paneRules;
    // "Log" and "View", after "File".
    LogMenus *logMenus;
    // Every sender heard from, and the panel that lists them.
    SourceRegistry *sourceRegistry;
    SourcesDock *sourcesDock;
    // The View menu's times and senders in front of the texts.
    ViewPrefixes *viewPrefixes;
};

#endif // MAINWINDOW_H
