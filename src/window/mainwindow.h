// The viewer's one window: it builds the form and wires the parts that do the work.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "window/logmenus.h"
#include "ingest/logmessage.h"
#include "ingest/sharedsender.h"
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
class Recorder;
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
    // A window shows what its socket receives, or a recording, without listening
    // (record/recordingview.h fills it).
    enum class Source { Socket, Recording };

    // The filter rules are read from, and saved to, `rulesFile`; empty for
    // ~/.corvane/filters.json.
    explicit MainWindow(QWidget *parent = nullptr, const QString &rulesFile = QString(),
                        Source source = Source::Socket);
    ~MainWindow() override;

    // The most texts each pane keeps, 0 for no limit; panes start with defaultHistoryLimit.
    void setHistoryLimit(int texts);
    // The most bytes of text each pane keeps, 0 for no limit; panes start with
    // defaultHistoryBytes.
    void setHistorySize(qint64 bytes);

    // Asks where "Save log as..." writes, an empty name for nowhere. The window asks with a
    // file dialog unless given another way (tests choose the name without a modal dialog).
    void setSavePathChooser(LogMenus::SavePathChooser chooser);

    // Records every datagram that arrives to the file from now on (record/recorder.h); its
    // oldest go when the file reaches limitBytes, 0 for never.
    void record(const QString &path, qint64 limitBytes);

private slots:
    void slStartServer();
    void slPendingDatagrams(const QVector<LogMessage> &messages);
    void slClearLogs();
    void slClearPane(int pane);
    void slShowAbout();
    void slOpenRecording(const QString &path);

private:
    // Tests and the benchmark hand payloads to the window as one batch, exactly as if they had
    // just been read from the socket in one go, and find them in the panes on return
    // (window/directfeed.h).
    friend void processDatagrams(MainWindow &window, const QVector<QByteArray> &payloads);
    // A recording's messages go the same way, as one batch (record/recordingview.h).
    friend void feedRecording(MainWindow &window, const QString &path,
                              const QVector<LogMessage> &messages);

    // Reads the filter rules and has the panes show by them.
    void useRules(const QString &rulesFile);
    void loadConfig();
    void saveConfig();
    void useSettings(const Settings &settings);
    Settings currentSettings() const;

    MainWindowForm *ui;
    Source source;
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
    Recorder *recorder;
    qint64 recordLimit;
    // How the panes show their texts, which every pane is given.
    WindowLook *look;
    // The filter rules, their file, and their dialog.
    PaneRules *paneRules;
    // "Log" and "View", after "File".
    LogMenus *logMenus;
    // Every sender heard from, and the panel that lists them.
    SourceRegistry *sourceRegistry;
    SourcesDock *sourcesDock;
    // Gives the texts of each sender one address to share.
    RecentSenders recentSenders;
    // The View menu's times and senders in front of the texts.
    ViewPrefixes *viewPrefixes;
};

#endif // MAINWINDOW_H
