#pragma once

#include "app/statusline.h"
#include "backup/backupengine.h"
#include "backup/controllerbackup.h"
#include "core/boxqueue.h"
#include "device/protocol.h"
#include "device/reconnectpolicy.h"
#include "device/serialport.h"
#include "monitor/framecapture.h"
#include "monitor/monitorexport.h"
#include "monitor/monitorpause.h"

#include <deque>
#include <functional>
#include <QDateTime>
#include <QElapsedTimer>

#include <QList>
#include <QMap>
#include <QPoint>
#include <QPointer>
#include <QSerialPort>
#include <QStringList>
#include <QString>
#include <QWidget>

class QAction;
class QActionGroup;
class QComboBox;
class QGraphicsPixmapItem;
class QGraphicsRotation;
class QGraphicsScene;
class QGraphicsView;
class QStandardItemModel;
class QTableView;
class QLabel;
class QMenu;
class QPushButton;
class QSettings;
class QTimer;
class QShowEvent;

class BackupEngine;
class MidiOutput;
class CustomDialog;
class QProgressDialog;
struct EditorSnapshot;
class MyCustomPlot;
class SerialPort;
class QNetworkReply;
class UpdateCheckDialog;
class Upgrade_message_Dialog;
class upgrade_dialog;

namespace Ui {
class Widget;
}
namespace RangeRules {
struct Check;
}

/// The main window and hub of the application: it owns the form, the device
/// link, the dialogs and the models, and wires them together.
class Widget : public QWidget
{
    Q_OBJECT

public:
    explicit Widget(QWidget *parent = nullptr);
    ~Widget() override;

    /// Enables the connection controls according to whether the link is open.
    void updateConnectState();

    /// Height the status line adds under the form (its own and the layout's spacing).
    int statusLineGrowth() const;

    /// The form, for the window's own units and for tests.
    Ui::Widget *form() const { return ui; }
    /// The firmware upgrade dialog, made with the window.
    upgrade_dialog *upgradeDialog() const { return ug_dlg; }
    /// The update progress dialog, made with the window.
    Upgrade_message_Dialog *progressDialog() const { return upgradeMessageDialog; }
    /// The check dialog of the last application update check while that
    /// check runs or its dialog is open; null otherwise.
    UpdateCheckDialog *lastUpdateCheckDialog() const;

    /// Pacings and limits of the automatic upgrade and the update checks, in
    /// milliseconds. The product uses the defaults; tests shorten them.
    struct AutoUpgradeTimings {
        int preparationMs = 3000;      ///< the "Preparing for the upgrade..." pause
        int scanIntervalMs = 150;      ///< upgrade device scan
        int deviceTimeoutMs = 20000;   ///< for the upgrade device to show up
        int transferTimeoutMs = 30000; ///< one download request
    };
    AutoUpgradeTimings autoUpgradeTimings() const { return m_autoTimings; }
    void setAutoUpgradeTimings(const AutoUpgradeTimings &timings) { m_autoTimings = timings; }

    /// Pacing of the auto-reconnect, in milliseconds. The product uses the
    /// defaults; tests shorten them.
    struct ReconnectTimings {
        int windowMs = 30000; ///< how long an unplugged controller is waited for
        int pollMs = 250;     ///< how often the present controllers are looked at meanwhile
        int retryMs = 1000;   ///< after a failed open, before the next try
    };
    ReconnectTimings reconnectTimings() const { return m_reconnectTimings; }
    void setReconnectTimings(const ReconnectTimings &timings);

    // ---- live monitor (monitor/widget_monitor.cpp) ----
    /// Bytes the link reads at a time: 25 four-byte event frames, one drain batch.
    static constexpr int liveReadLimit = 25 * 4;
    /// Queue intake for one live event frame (a PadelUploadCmd package).
    void enqueuePedalFrame(const QByteArray &frame);
    /// Handles one frame: filter, table row, pedal picture.
    void handlePedalFrame(const QByteArray &frame);
    /// Appends one row to the three MIDI data tables.
    void appendEventRow(const QString &event, const QString &number, const QString &value,
                        const QString &channel);
    /// Empties the three MIDI data tables.
    void clearEventTables();
    /// Tilt and press the pedal pictures for a live value.
    void updateExpressionPedal(int value);
    void updateHiHatPedal(int value);
    void updateSwitchPedal(int value);

    /// Monitor state, for tests and benchmarks.
    int queuedPedalFrames() const { return int(frameQueue.size()); }
    bool pedalFrameDrainPending() const { return frameDrainPending; }
    /// Frames the full queue has discarded since the window was made.
    qint64 droppedPedalFrames() const { return pedalFramesDropped; }
    /// Frames handled (filtered ones included) since the window was made.
    qint64 handledPedalFrames() const { return pedalFramesHandled; }
    /// The tilting image of a pedal type (1 expression, 2 switch, 3 hi-hat); null when absent.
    QGraphicsPixmapItem *pedalPictureItem(int pedalType) const;
    QGraphicsRotation *switchPedalRotation() const { return switchRotation; }
    /// Every frame since the last Connect (or since the window was made), up to its bound.
    const FrameCapture &monitorCapture() const { return frameCapture; }
    /// The Pause toggle beside the tables, its counts and note.
    const MonitorPause &monitorPause() const { return pauseState; }

    /// The MIDI output every live event frame is forwarded to (app/widget_midiout.cpp).
    MidiOutput *midiOutputSink() const { return midiOutput; }

signals:
    void send_mtd_version(QString MTD, QString version);
    void send_possvalue(int value);
    void done();
    /// Model and version of this connection are known: the online firmware
    /// check for the model is due (once per connection).
    void firmwareCheckDue(QString model);

public slots:
    /// File > Exit: asks "Exit software?" and quits on Ok.
    void confirmExit();

    // ---- menus and settings (app/widget_menus.cpp) ----
    /// Applies config.ini (see ConfigLocation): note naming and CC names.
    void loadConfig();
    /// Refills the six note lists in a naming convention (1, 2 or 3), keeping their selections.
    void applyNoteNaming(int mode);
    /// Remembers the naming chosen in the "MIDI Note=60 Name" menu.
    void saveNoteNaming(QAction *action);
    /// "Show CC Name": controller lists with names or plain numbers.
    void toggleShowCCName(bool checked);
    void confirmFactoryReset();
    void openEnglishManual();
    void openChineseManual();
    void showAboutDialog();
    /// Setting > Firmware Upgrade: shows the upgrade dialog with a fresh device list and log.
    void show_ug_dlg_Dialog();

    // ---- automatic firmware upgrade (upgrade/widget_autoupgrade.cpp) ----
    /// Asks the download server for the connected controller's update text.
    void startFirmwareCheck();
    void handleFirmwareInfo(QNetworkReply *reply);
    void startAutoUpgradeByName(QNetworkReply *reply);
    void startAutoScan(QByteArray binData);
    void autoScanTick();
    void waitConnected();
    void autoUpgradeFail(QString reason);

    // ---- application update (app/widget_appupdate.cpp) ----
    /// Looks for a newer release of the application: at every show of the
    /// window (manual false) and from Help > Check for Update (manual true).
    void checkForAppUpdate(bool manual);

    // ---- controller backup (app/widget_backup.cpp) ----
    /// File > Back Up Controller...: every message slot of every pedal into a file.
    void backUpController();
    /// File > Restore Controller...: a backup file back into the controller.
    void restoreController();

    // ---- preset files (presets/widget_presets.cpp) ----
    void loadPresetFile();
    void savePresetFile();
    void savePresetFileAs();

    // ---- device link (app/widget_connection.cpp) ----
    void on_connectButton_clicked();
    void handleSerialError(QSerialPort::SerialPortError error);
    /// Identity replies: a copy of every receive buffer.
    void rec_data(QByteArray data);

    // ---- configuration replies (pedal/widget_replies.cpp) ----
    /// Every frame the link cuts from the stream.
    void pedalMidiDataSlot(Protocol::MsgPackage data);
    /// Writes a 24-byte configuration reply into the editor through the
    /// selectors' ordinary setters, so every reaction runs.
    void applyPedalReply(const QByteArray &r);

    // ---- pedal editor and commands (pedal/) ----
    /// Fills frame with the 24-byte set command for the editor's current state.
    void buildPedalMessage(QByteArray &frame);
    /// Switch event lists with or without "Tempo"; run on connect and disconnect.
    void rebuildSwitchEventLists(bool withTempo);

    void on_setButton_6_clicked();
    void on_setButton_9_clicked();
    void on_setButton_7_clicked();
    void on_checkButton_clicked();
    void on_checkButton_2_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_deleteButton_clicked();

    void Changed_stack(QString text);
    void syncComboBoxIndexes(int index);
    void Changed_stack_switch(QString text);
    void syncComboBoxIndexes_switch(int index);
    void syncComboBoxIndexes_modeswitch(int index);
    void Changed_stack_hat(QString text);
    void syncComboBoxIndexes_hat(int index);
    void Changed_stack_type(QString text);
    void syncComboBoxIndexes_type(int index);
    void Changed_stack_mode(QString text);
    void onComboBoxIndexChanged_mode(int index);

    void on_switch_cc_comboBox_mode_currentIndexChanged(QString text);
    void on_switch_note_comboBox_mode_currentIndexChanged(QString text);
    void on_switch_pc_comboBox_mode_currentIndexChanged(QString text);
    void on_expression_trigger_level_currentIndexChanged(QString text);
    void on_expression_trigger_level_activated(QString text);
    void on_hat_trigger_level_currentIndexChanged(QString text);
    void on_expression_cc_comboBox_ctl_currentIndexChanged(QString text);
    void on_switch_note_comboBox_nno_currentIndexChanged(QString text);
    void on_Message_Number_currentIndexChanged(int index);

    // ---- live monitor ----
    void on_clearButton_clicked();
    void on_clearButton_2_clicked();
    void on_clearButton_3_clicked();

    // ---- range checks and curve passes (pedal/widget_ranges.cpp) ----
    void on_expression_cc_comboBox_valmin_currentIndexChanged(int index);
    void on_expression_cc_comboBox_valmax_currentIndexChanged(int index);
    void on_expression_cc_comboBox_gain_currentIndexChanged(int index);
    void on_expression_cc_comboBox_ql_currentIndexChanged(int index);
    void on_expression_note_comboBox_valmin_currentIndexChanged(int index);
    void on_expression_note_comboBox_valmax_currentIndexChanged(int index);
    void on_expression_note_comboBox_gain_currentIndexChanged(int index);
    void on_expression_note_comboBox_ql_currentIndexChanged(int index);
    void on_expression_pitch_comboBox_valmin_currentIndexChanged(int index);
    void on_expression_pitch_comboBox_valmax_currentIndexChanged(int index);
    void on_expression_pitch_comboBox_gain_currentIndexChanged(int index);
    void on_expression_pitch_comboBox_ql_currentIndexChanged(int index);
    void on_expression_ch_comboBox_val1_currentIndexChanged(int index);
    void on_expression_ch_comboBox_val2_currentIndexChanged(int index);
    void on_expression_ch_comboBox_gain_currentIndexChanged(int index);
    void on_expression_ch_comboBox_ql_currentIndexChanged(int index);
    void on_hat_cc_comboBox_valmin_currentIndexChanged(int index);
    void on_hat_cc_comboBox_valmax_currentIndexChanged(int index);
    void on_hat_cc_comboBox_gain_currentIndexChanged(int index);
    void on_hat_cc_comboBox_ql_currentIndexChanged(int index);
    void on_hat_note_comboBox_valmin_currentIndexChanged(int index);
    void on_hat_note_comboBox_valmax_currentIndexChanged(int index);
    void on_hat_note_comboBox_gain_currentIndexChanged(int index);
    void on_hat_note_comboBox_ql_currentIndexChanged(int index);
    void on_switch_cc_comboBox_valmin_currentIndexChanged(int index);
    void on_switch_cc_comboBox_valmax_currentIndexChanged(int index);
    void on_switch_note_comboBox_valmin_currentIndexChanged(int index);
    void on_switch_note_comboBox_valmax_currentIndexChanged(int index);
    void on_switch_pc_comboBox_valmin_currentIndexChanged(int index);
    void on_switch_pc_comboBox_valmax_currentIndexChanged(int index);
    /// A response curve point is grabbed (true) or released (false).
    void moveflagchange(bool flag);

    // ---- response curves (curve/widget_curve.cpp) ----
    void rec_max_min_gain(int max, int min, int gain, int cgain);
    void rec_max_min_gain_hat(int max, int min, int gain, int cgain);
    /// Handle corners of a curve editor, in global screen coordinates.
    void drawCirclesOnWidget(QPoint startCoord, QPoint endCoord);

    // The legacy panel, which is never shown.
    void on_Pedal_Type_currentIndexChanged(int index);
    void on_comboBox_SPS_status_currentTextChanged(QString text);
    void on_comboBox_EPS_status_currentTextChanged(QString text);
    void on_comboBox_HHS_status_currentTextChanged(QString text);
    void on_comboBox_SPS_mode_currentTextChanged(QString text);
    void on_comboBox_HHS_TL_currentIndexChanged(int index);

public:
    // Commands without a button of their name in the form. Kept out of the
    // slots so that the form's by-name wiring does not warn about them.
    void on_setButton_2_clicked();
    void on_setButton_3_clicked();
    void on_setButton_4_clicked();
    void on_setButton_5_clicked();
    void on_setButton_clicked();
    void on_setButton_8_clicked();
    void on_checkButton_3_clicked();

    /// Builds (or rebuilds) a response curve editor from its page's selectors.
    void setupExpressionCurve();
    void setupHiHatCurve();
    /// The curve editors; null until first built.
    MyCustomPlot *expressionCurvePlot() const { return expressionCurve; }
    MyCustomPlot *hiHatCurvePlot() const { return hiHatCurve; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    /// The drain of frameQueue; only ever started by a queued call from the intake.
    void processPedalFrames();

    // Boxes for controller replies, posted to the event queue (pedal/widget_replies.cpp).
    void showReplyInformation(QString text);
    void showLatestReleaseNotice();
    /// Whoever holds the link, the window's controls follow.
    void onLinkHolderChanged(SerialPort::Holder holder);

private:
    upgrade_dialog *ug_dlg = nullptr;
    bool showCCName = false;
    int noteNameMode = 2;
    Ui::Widget *ui = nullptr;
    bool updateDialogShown = false;
    QString deviceMtd = QStringLiteral("xx");
    QString deviceVersion = QStringLiteral("xx");
    int modelVariant = 1;
    Upgrade_message_Dialog *upgradeMessageDialog = nullptr;
    SerialPort *handle = nullptr;
    CustomDialog *aboutDialog = nullptr;
    QMenu *noteNameMenu = nullptr;
    QActionGroup *noteNameGroup = nullptr;
    QAction *actionC3 = nullptr;
    QAction *actionC4 = nullptr;
    QAction *actionC5 = nullptr;
    QAction *showCCNameAction = nullptr;
    /// Setting > Factory Reset: enabled while a controller is connected.
    QAction *factoryResetAction = nullptr;
    QSettings *settings = nullptr;

    // ---- automatic firmware upgrade ----
    AutoUpgradeTimings m_autoTimings;
    QTimer *scanTimer = nullptr;
    QTimer *timeoutTimer = nullptr;
    QByteArray autoBinData;
    /// Ports of upgrade devices present before the enter-upgrade command.
    QStringList upgradePortsBefore;
    /// New upgrade devices the last scan tick found.
    QStringList lastCandidatePorts;
    /// The automatic upgrade has handed its image to the upgrade dialog and
    /// follows its state until the erase starts.
    bool autoHandedOver = false;
    /// The window held the link last (before any upgrade took it over).
    bool windowHadLink = false;
    /// Checks the downloaded image, then restarts the controller into its upgrade mode.
    void enterUpgradeMode(const QByteArray &image);
    /// Model word of the check under way.
    QString checkWord;
    void releaseAutoTimers();

    // ---- application update ----
    QPointer<UpdateCheckDialog> updateCheckDialog;
    void handleAppVersionText(UpdateCheckDialog *dialog, QNetworkReply *reply, bool manual);
    void downloadInstaller(UpdateCheckDialog *dialog);
    void onInstallerDownloaded(UpdateCheckDialog *dialog, QNetworkReply *reply);
    void openDownloadPage(UpdateCheckDialog *dialog);
    /// Closes the dialog of a failed installer download and says why in a box.
    void failInstallerDownload(UpdateCheckDialog *dialog, const QString &message);

    // ---- menus and settings ----
    /// Absolute path of config.ini, taken when the settings are loaded.
    QString configPath;
    void buildMenus();

    // ---- controller backup ----
    BackupEngine *backupEngine = nullptr;
    QProgressDialog *backupProgress = nullptr;
    QAction *backupAction = nullptr;
    QAction *restoreAction = nullptr;
    /// Where the backup under way is saved.
    QString backupFileName;
    void buildBackupMenu(QMenu *file);
    void updateBackupActions(bool connected);
    void showBackupProgress(const QString &label, int total);
    /// Whether the connected controller has told its model and pedal count; says so when not.
    bool controllerKnown(const QString &title);
    /// The engine's job ended: saves, asks or reports (backupEngine->lastOutcome()).
    void backupJobEnded();
    /// What decides the ask form of a backup or restore, as the Check button reads it.
    BackupEngine::AskContext backupAskContext() const;
    /// Model, firmware version, time and pedal count of a backup of the connected controller.
    ControllerBackup backupHeader() const;
    /// Checks a file read for a restore against the connected controller and
    /// starts the restore; says what is wrong and returns false otherwise.
    bool beginRestore(const ControllerBackup::Reading &reading, const QString &title);
    // ---- automatic backups (app/widget_autobackup.cpp) ----
    /// What waits for an automatic backup: the step that may erase the controller.
    enum class EraseStep { None, FactoryReset, Upgrade };
    /// An automatic backup file and what it was made for.
    struct AutoBackup {
        QString model;
        QString path;
        QDateTime created;
        EraseStep before = EraseStep::None;
        bool isNull() const { return path.isEmpty(); }
    };
    EraseStep autoBackupFor = EraseStep::None;
    /// The backup made before the upgrade now under way; empty when none.
    AutoBackup upgradeBackup;
    /// The offer to make once when this model connects again; empty when none.
    AutoBackup restoreOffer;
    bool restoreOfferPosted = false;
    /// The automatic upgrade's question and version, kept while its backup runs.
    QString upgradeQuestion;
    QString upgradeToken;
    /// Backs the controller up into the automatic backups, then asks about the step.
    void backUpBeforeErase(EraseStep step);
    /// The automatic backup ended (outcome), or could not start (reason).
    void autoBackupEnded(const BackupEngine::Outcome *outcome, const QString &reason);
    /// Saves an automatic backup and deletes the model's oldest beyond the kept number.
    AutoBackup saveAutoBackup(const ControllerBackup &backup, QString *error) const;
    void askFactoryReset(const AutoBackup &backup, const QString &note);
    void askUpgrade(const AutoBackup &backup, const QString &note);
    /// Downloads the image of the accepted version and goes on with the upgrade.
    void downloadUpgradeImage(const QString &token);
    /// After an identity reply: posts the restore offer when its model is back.
    void maybeOfferRestore();
    void offerRestore();

    // ---- MIDI output ----
    MidiOutput *midiOutput = nullptr;
    QMenu *midiOutputMenu = nullptr;
    void buildMidiOutputMenu(QMenu *setting);
    /// Fills the menu, the chosen entry ticked; with the ports there are now when listPorts.
    void refreshMidiOutputMenu(bool listPorts);
    void chooseMidiOutput(const QString &setting);

    // ---- preset files ----
    /// The file last named in a save dialog; empty when that dialog was cancelled.
    QString presetFileName;
    void writePreset(const QString &fileName, int save);

    // ---- device link state ----
    /// Opens portName and runs the start-up exchange, the device list's
    /// current entry naming the model; quietly: a failed open shows no box.
    bool connectToPort(const QString &portName, bool quietly);
    void disconnectDevice();

    // ---- auto-reconnect (app/widget_reconnect.cpp) ----
    ReconnectTimings m_reconnectTimings;
    ReconnectPolicy reconnectPolicy;
    /// Looks at the present controllers while an unplugged one is waited for.
    QTimer *reconnectTimer = nullptr;
    QElapsedTimer reconnectClock;
    /// The pedal selected before a reconnect; put back when the controller
    /// tells its pedal count (which selects the first pedal). -1: none.
    int reconnectPedal = -1;
    /// The link's holder as last announced: a loss is the window's link closing on an unplug.
    SerialPort::Holder reconnectLastHolder = SerialPort::Holder::Nobody;
    /// From the automatic upgrade's restart command until it hands the
    /// controller to the upgrade dialog's erase, or fails.
    bool autoUpgradeActive = false;
    void setUpReconnect();
    bool reconnectBlocked() const;
    void armReconnect(const QString &portName, const QString &description);
    void reconnectLinkLost();
    void reconnectPoll();
    void restoreReconnectPedal(const Protocol::MsgPackage &package);
    void setModelFeaturesVisible(bool visible);

    // ---- status line (app/widget_status.cpp) ----
    /// The line under the form: link, identity, pedal count and the last note.
    QLabel *statusLine = nullptr;
    StatusLine::State statusState;
    /// The last command whose reply names no slot (set, delete, factory reset).
    StatusLine::Command lastCommand;
    void buildStatusLine();
    void refreshStatusLine();
    void setStatusNote(const QString &note);
    void statusHolderChanged(SerialPort::Holder holder);
    void statusReplySeen(const Protocol::MsgPackage &package);
    void statusIdentitySeen();
    /// True when a controller is connected; otherwise says so in the status line.
    bool commandReady(StatusLine::Action action);

    // ---- keyboard (app/widget_keyboard.cpp) ----
    /// Shortcuts, tab order and accessible names; run once the form is complete.
    void setUpKeyboard();

    // ---- pedal editor state ----
    /// Item text of each event code (index = code), and the code of each text.
    QStringList eventNames;
    QMap<QString, int> eventCodes;

    void initPedalEditor();
    /// Puts every event page of a pedal type ("expression", "hat") except the
    /// page of eventKey back to its defaults.
    void resetEventPages(const QString &pedalKey, const QString &eventKey);
    void syncCurveFromPage();
    void rebuildExpressionTriggerList(bool pitchBend);
    void fillControllerList(QComboBox *box, bool numbered);
    void applySwitchMode(const QString &text, QComboBox *maximum, QLabel *label);
    QList<QComboBox *> expressionEventSelectors() const;
    QList<QComboBox *> switchEventSelectors() const;
    /// The mode selector of each switch page, in page order.
    QList<QComboBox *> switchModeSelectors() const;
    QList<QComboBox *> pedalTypeSelectors() const;
    EditorSnapshot editorSnapshot() const;
    /// Code of the expression response curve; 0 while there is none.
    int expressionCurveCode() const;
    void sendSetCommand();
    void sendShortAsk();
    void sendDelete();

    // ---- configuration replies ----
    /// Brings the picture of a pedal type (1 expression, 2 switch, 3 hi-hat) into view.
    void showPedalPicture(int pedalType);
    /// Reply boxes open one at a time, in the order they were posted: a box
    /// posted while another is open waits here until that one is closed.
    BoxQueue replyBoxes;

    // ---- range checks and curve passes ----
    /// False while the constructor fills the selectors: the range and curve
    /// reactions then check, store and pass nothing.
    bool editorWired = false;
    /// Last maximum each "own to last" maximum selector accepted (see widget_ranges.cpp).
    QMap<const QComboBox *, int> lastAcceptedMax;

    /// The selectors of one page that has a response curve.
    struct CurvePage {
        QComboBox *min = nullptr;
        QComboBox *max = nullptr;
        QComboBox *gain = nullptr;
        QComboBox *curve = nullptr;
    };
    /// The page of a range, gain or curve selector of the expression and hi-hat pedals.
    CurvePage curvePageOf(const QComboBox *box) const;
    CurvePage selectedExpressionPage() const;
    CurvePage selectedHiHatPage() const;
    /// Reaction of a range, gain or curve selector of the expression and hi-hat pages.
    void curvePageSelectorChanged(QComboBox *box, int index);
    /// Reaction of a range selector of the switch CC, NOTE and PC pages.
    void switchRangeChanged(QComboBox *box, QComboBox *min, QComboBox *max, QComboBox *mode,
                            int index);
    void refuseRange(const RangeRules::Check &check, QComboBox *box, QComboBox *min);
    void passToCurve(QComboBox *box, const CurvePage &page, int index);

    // ---- response curves ----
    void buildCurve(MyCustomPlot *&plot, QWidget *container, const CurvePage &page,
                    double rangeScale);
    MyCustomPlot *expressionCurve = nullptr;
    MyCustomPlot *hiHatCurve = nullptr;
    /// True while a curve point is dragged: the selectors' reactions leave the curves alone.
    bool curveDragging = false;
    QPoint circleStart;
    QPoint circleEnd;

    void fillConstructorLists();
    /// The eleven widgets only some controller models show.
    QList<QWidget *> modelDependentWidgets() const;

    // ---- live monitor ----
    /// A live frame waiting to be handled, and when it arrived.
    struct QueuedFrame
    {
        QByteArray bytes;
        qint64 arrivedUs;
    };
    /// Live frames waiting to be handled, oldest first; at most 250.
    std::deque<QueuedFrame> frameQueue;
    /// A drain has been scheduled or is running.
    bool frameDrainPending = false;
    /// Rows of an expression Note at the trigger level: events whose pictures stay still.
    int triggerIgnoreCount = 0;
    qint64 pedalFramesDropped = 0;
    qint64 pedalFramesHandled = 0;

    /// One model per table view: Expression, Switch, Hi-Hat page.
    QStandardItemModel *expressionEventModel = nullptr;
    QStandardItemModel *switchEventModel = nullptr;
    QStandardItemModel *hatEventModel = nullptr;
    QList<QTableView *> eventViews() const;
    QList<QStandardItemModel *> eventModels() const;
    /// The newest rows (at most 1000) with their serial numbers: tables of
    /// pages not shown catch up from here when shown.
    struct LoggedRow
    {
        QString event, number, value, channel;
        /// The frame of the row, and when it arrived; no bytes for a row
        /// appended without a frame (appendEventRow).
        CapturedFrame frame;
    };
    QList<LoggedRow> eventLog;
    qint64 eventLogSerial = 0;
    /// Serial of the last log row each table (Expression, Switch, Hi-Hat) holds.
    qint64 tableSerial[3] = {0, 0, 0};
    bool tableIsLive(int table) const;
    /// Brings a table up to the rows it shows: the log's newest, or while
    /// paused those there were at the pause.
    void syncEventTable(int table);
    void addEventRow(const LoggedRow &row);
    void handleFrame(const QByteArray &frame, qint64 arrivedUs);

    /// Pause: the log's rows at the pause and the serial of its last one.
    MonitorPause pauseState;
    QList<LoggedRow> pausedLog;
    qint64 pausedSerial = 0;
    QList<QPushButton *> pauseButtons;
    QList<QLabel *> pauseNotes;
    /// The Export... buttons' menu: the rows shown or all since Connect, as CSV or MIDI file.
    QMenu *exportMenu = nullptr;
    /// Refreshes the notes beside Pause while paused: a few times a second,
    /// not at every frame.
    QTimer *pauseNoteTimer = nullptr;
    void setMonitorPaused(bool paused);
    void refreshPauseNotes();
    void setupMonitorControls();

    /// Arrival times: microseconds since the Unix epoch, counted on the
    /// monotonic clock from the window's start.
    QElapsedTimer monitorClock;
    qint64 monitorEpochUs = 0;
    qint64 monitorNowUs() const { return monitorEpochUs + monitorClock.nsecsElapsed() / 1000; }
    FrameCapture frameCapture;
    /// The rows of an export: those of the tables, or every frame captured.
    QVector<ExportRow> monitorExportRows(bool sinceConnect) const;
    void exportMonitor(bool sinceConnect, MonitorExport::Format format);
    /// While a drain batch runs, trimming and scrolling the tables wait for
    /// the batch's end (finishTableBatch), before the event loop paints.
    bool tableBatchOpen = false;
    bool tableRowsAdded = false;
    void finishTableBatch();
    /// Holds back (true) or allows the repaints of the visible tables and pictures.
    void setMonitorPaintFrozen(bool frozen);
    bool monitorPaintFrozen = false;
    void setupEventTables();

    QGraphicsScene *expressionScene = nullptr;
    QGraphicsView *expressionView = nullptr;
    QGraphicsPixmapItem *expressionPedal = nullptr;
    QGraphicsScene *switchScene = nullptr;
    QGraphicsView *switchView = nullptr;
    QGraphicsPixmapItem *switchPedal = nullptr;
    QGraphicsRotation *switchRotation = nullptr;
    QGraphicsScene *hatScene = nullptr;
    QGraphicsView *hatView = nullptr;
    QGraphicsPixmapItem *hatPedal = nullptr;
    QGraphicsPixmapItem *hatBase = nullptr;
    void setupExpressionPicture();
    void setupHiHatPicture();
    void setupSwitchPicture();
};
