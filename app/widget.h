#pragma once

#include "device/protocol.h"

#include <QList>
#include <QSerialPort>
#include <QString>
#include <QWidget>

class QAction;
class QActionGroup;
class QMenu;
class QSettings;
class QShowEvent;

class CustomDialog;
class SerialPort;
class Upgrade_message_Dialog;
class upgrade_dialog;

namespace Ui {
class Widget;
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

    /// The form, for the window's own units and for tests.
    Ui::Widget *form() const { return ui; }

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

    // ---- device link (app/widget_connection.cpp) ----
    void on_connectButton_clicked();
    void handleSerialError(QSerialPort::SerialPortError error);
    /// Identity replies: a copy of every receive buffer.
    void rec_data(QByteArray data);
    /// Every frame the link cuts from the stream.
    void pedalMidiDataSlot(Protocol::MsgPackage data);

    // ---- pedal editor and commands (pedal/) ----

protected:
    void showEvent(QShowEvent *event) override;

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
    QSettings *settings = nullptr;

    // ---- device link state ----
    void disconnectDevice();
    void setModelFeaturesVisible(bool visible);

    // ---- pedal editor state ----

    void fillConstructorLists();
    /// The eleven widgets only some controller models show.
    QList<QWidget *> modelDependentWidgets() const;
};
