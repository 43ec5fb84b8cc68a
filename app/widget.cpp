#include "app/widget.h"
#include "ui_widget.h"

#include "app/customdialog.h"
#include "pedal/numberitems.h"
#include "device/serialport.h"
#include "pedal/vocabulary.h"
#include "upgrade/upgrade_dialog.h"
#include "upgrade/upgrade_message_dialog.h"

#include <QAction>
#include <QCoreApplication>
#include <QMessageBox>
#include <QShowEvent>
#include <QTimer>

static void initResources()
{
    // The pictures live in the static core library; make sure a program that
    // links it registers them.
    Q_INIT_RESOURCE(resources);
}

Widget::Widget(QWidget *parent)
    : QWidget(parent)
{
    initResources();

    // 1. The form.
    ui = new Ui::Widget;
    ui->setupUi(this);

    // 2. The device link: first port scan now, then every second.
    handle = new SerialPort(ui->comboBox_ComDevices, QStringLiteral("Veltrano"), this);
    // One read brings at most one drain batch of live events (four bytes
    // each): a backlog waits in the port instead of overflowing the event
    // queue, whose oldest frames would be dropped.
    handle->setReadBufferSize(Widget::liveReadLimit);

    // 3. Widgets that only some controller models use; shown after a connect.
    for (QWidget *w : modelDependentWidgets())
        w->hide();
    ui->Hi_hat_Setting->hide();

    // 4. MIDI data table models and the message-type names.
    eventNames = Vocabulary::eventNames();
    eventCodes = Vocabulary::eventCodes();
    setupEventTables();
    // 5. About dialog.
    aboutDialog = new CustomDialog(this);
    // 6. Menu bar, settings and the initial "Show CC Name" state.
    buildMenus();
    buildStatusLine();

    // 7, 8. The status line adds its height to the form's 750 pixels.
    setMinimumSize(870, 750 + statusLineGrowth());
    setWindowTitle(tr("Stompwright V4.0.1"));

    // 9. Number and option lists of the form.
    fillConstructorLists();

    // 10. Frames from the controller.
    connect(handle, SIGNAL(pedalMidiDataSignal(Protocol::MsgPackage)), this,
            SLOT(pedalMidiDataSlot(Protocol::MsgPackage)));
    // 11. Connection controls, then the editor.
    updateConnectState();
    initPedalEditor();
    editorWired = true;

    // 12.
    ui->expression_press_note->setEnabled(false);
    ui->expression_release_note->setEnabled(false);
    ui->pedal_type_stack->setCurrentIndex(0);
    ui->expression_stackedWidget->setCurrentIndex(0);
    ui->switch_stackedWidget->setCurrentIndex(0);
    ui->hat_stackedWidget->setCurrentIndex(0);

    // 13. Firmware upgrade dialog; link errors. The dialog hears the erase
    // confirmation itself too; it acts on the first of the two calls only.
    ug_dlg = new upgrade_dialog(this, handle);
    connect(handle, &SerialPort::send_erase, ug_dlg, &upgrade_dialog::rec_erase_flag);
    connect(handle, &QSerialPort::errorOccurred, this, &Widget::handleSerialError);
    connect(handle, &SerialPort::holderChanged, this, &Widget::onLinkHolderChanged);
    // 14. Pedal pictures.
    setupExpressionPicture();
    setupHiHatPicture();
    setupSwitchPicture();

    // 15.
    ui->label_84->hide();
    loadConfig();
    ui->test->hide();

    // 16. Upgrade progress dialog; identity replies.
    upgradeMessageDialog = new Upgrade_message_Dialog(this);
    connect(handle, &SerialPort::showdata, this, &Widget::rec_data);
    // After rec_data, which records what the reply said.
    connect(handle, &SerialPort::showdata, this, &Widget::statusIdentitySeen);

    setUpReconnect();
    setUpKeyboard();
}

Widget::~Widget()
{
    delete ui;
}

QList<QWidget *> Widget::modelDependentWidgets() const
{
    return {ui->widget_8, ui->widget_10, ui->groupBox_16, ui->groupBox_2,
            ui->expression_trigger_level, ui->expression_cc_comboBox_ql,
            ui->expression_note_comboBox_ql, ui->expression_pitch_comboBox_ql,
            ui->expression_ch_comboBox_ql, ui->hat_cc_comboBox_ql, ui->hat_note_comboBox_ql};
}

void Widget::fillConstructorLists()
{
    const QStringList &channels = Vocabulary::channelItems();
    const QStringList &values = Vocabulary::valueItems();

    ui->Pedal_Number->clear();
    ui->Message_Number->addItems(channels);
    ui->Message_Number_2->clear();
    ui->Message_Number_2->addItems(channels);
    ui->Pedal_Type->addItems(Vocabulary::pedalTypeItems());
    ui->MIDI_Channel->addItems(channels);
    ui->comboBox_EPS_Gain->addItems(offThenNumbers(100));
    ui->comboBox_HHS_Gain->addItems(offThenNumbers(100));
    for (QComboBox *box : {ui->comboBox_EPS_D1_1, ui->comboBox_EPS_D1_2, ui->comboBox_EPS_D2_1,
                           ui->comboBox_EPS_D2_2})
        box->addItems(values);
    ui->comboBox_EPS_status->addItems({QStringLiteral("CC"), QStringLiteral("NOTE"),
                                       QStringLiteral("Pitch Bend"),
                                       QStringLiteral("Channel Pressure")});
    ui->comboBox_SPS_status->addItems(
        {QStringLiteral("CC"), QStringLiteral("PC"), QStringLiteral("NOTE")});
    ui->comboBox_SPS_mode->addItems(Vocabulary::triggerModeItems());
    for (QComboBox *box : {ui->comboBox_SPS_D1_1, ui->comboBox_SPS_D1_2, ui->comboBox_SPS_D2_1,
                           ui->comboBox_SPS_D2_2})
        box->addItems(values);
    ui->comboBox_HHS_status->addItems({QStringLiteral("CC"), QStringLiteral("NOTE")});
    for (QComboBox *box : {ui->comboBox_HHS_DATA1, ui->comboBox_HHS_D2_1, ui->comboBox_HHS_D2_2,
                           ui->comboBox_HHS_PN, ui->comboBox_HHS_RN})
        box->addItems(values);
    ui->comboBox_HHS_TL->addItems(Vocabulary::triggerLevelItems());
    // The controller lists of the expression and switch CC pages are filled
    // with the editor, in the form the "Show CC Name" setting asks for.
}

void Widget::updateConnectState()
{
    // While the firmware upgrade holds the link the window has no device.
    const bool upgradeHolds =
        handle != nullptr && handle->holder() == SerialPort::Holder::FirmwareUpgrade;
    const bool open = handle != nullptr && handle->isOpen() && !upgradeHolds;
    ui->comboBox_ComDevices->setEnabled(!open && !upgradeHolds);
    ui->connectButton->setEnabled(!upgradeHolds);
    ui->connectButton->setText(upgradeHolds ? tr("In use by firmware upgrade")
                               : open       ? tr("Disconnect")
                                            : tr("Connect"));
    for (QWidget *button : {ui->openButton, ui->saveButton, ui->deleteButton, ui->checkButton,
                            ui->checkButton_2, ui->setButton_6, ui->setButton_9, ui->setButton_7})
        button->setEnabled(open);
    factoryResetAction->setEnabled(open);
    updateBackupActions(open);
}

void Widget::onLinkHolderChanged(SerialPort::Holder holder)
{
    // The upgrade dialog took the link over: the window's connection ends as
    // a disconnect would end it.
    if (holder == SerialPort::Holder::FirmwareUpgrade && windowHadLink) {
        clearEventTables();
        rebuildSwitchEventLists(false);
        setModelFeaturesVisible(false);
    }
    if (holder != SerialPort::Holder::Nobody)
        windowHadLink = holder == SerialPort::Holder::MainWindow;
    updateConnectState();
}

void Widget::confirmExit()
{
    const auto answer = QMessageBox::question(this, QStringLiteral("Exit"),
                                              QStringLiteral("Exit software?"),
                                              QMessageBox::Ok | QMessageBox::Cancel);
    if (answer == QMessageBox::Ok)
        QCoreApplication::quit();
}

void Widget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Each show starts the application update check, right after the window
    // has been painted.
    QTimer::singleShot(0, this, [this] { checkForAppUpdate(false); });
}
