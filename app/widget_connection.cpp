// The main window's side of the device link: connect and disconnect, a lost
// port and the identity replies.
#include "app/widget.h"
#include "ui_widget.h"

#include "device/identity.h"
#include "device/serialport.h"
#include "pedal/configcommands.h"
#include "core/logging.h"
#include "upgrade/upgrade_dialog.h"
#include "upgrade/upgrade_message_dialog.h"

#include <QTimer>

namespace {

/// After an open: the first ask for a stored message, then the identity query (ms).
constexpr int kAskDelayMs = 500;
constexpr int kIdentityDelayMs = 600;

bool showsModelFeatures(const QString &description)
{
    return description.contains(QLatin1String("QRX-10"))
           || description.contains(QLatin1String("QRX-20"))
           || description.contains(QLatin1String("ZT-3"));
}

bool offersTempo(const QString &description)
{
    return description.contains(QLatin1String("ZT-1"))
           || description.contains(QLatin1String("ZT-3"));
}

} // namespace

void Widget::on_connectButton_clicked()
{
    if (handle->holder() == SerialPort::Holder::FirmwareUpgrade)
        return; // the upgrade dialog's until it lets go
    if (handle->isOpen()) {
        reconnectPolicy.userDisconnected();
        disconnectDevice();
        return;
    }

    connectToPort(ui->comboBox_ComDevices->currentData(Qt::UserRole).toString(), false);
}

bool Widget::connectToPort(const QString &portName, bool quietly)
{
    const bool opened = quietly ? handle->openQuietly(portName, 115200)
                                : handle->openPort(portName, 115200);
    if (opened) {
        handle->setHolder(SerialPort::Holder::MainWindow);
        // The progress dialog hears the window from the first successful
        // connect on, each signal once however often the window connects.
        connect(this, &Widget::send_mtd_version, upgradeMessageDialog,
                &Upgrade_message_Dialog::rec_mtd_version, Qt::UniqueConnection);
        connect(this, &Widget::send_possvalue, upgradeMessageDialog,
                &Upgrade_message_Dialog::rec_possvalue, Qt::UniqueConnection);
        connect(this, &Widget::done, upgradeMessageDialog, &Upgrade_message_Dialog::upgrade_done,
                Qt::UniqueConnection);
        // A controller taken back after an unplug was already offered its
        // firmware check on this connection's first identity; asking again on
        // every drop of a loose cable would only nag.
        if (!quietly)
            updateDialogShown = false;
        deviceMtd = QStringLiteral("xx");
        deviceVersion = QStringLiteral("xx");
        ug_dlg->forgetDevice();
        handle->forwardIdentity = false;

        handle->write(ConfigCommands::handshake());
        QTimer::singleShot(kAskDelayMs, this, [this] {
            handle->write(ConfigCommands::askShort(ui->Pedal_Number->currentIndex(),
                                                   ui->Message_Number->currentIndex()));
        });
        QTimer::singleShot(kIdentityDelayMs, this, [this] {
            handle->write(Identity::identityQuery());
            handle->flush();
        });

        const QString description = ui->comboBox_ComDevices->currentText();
        setModelFeaturesVisible(showsModelFeatures(description));
        if (offersTempo(description))
            rebuildSwitchEventLists(true);
        armReconnect(portName, description);
    }
    updateConnectState();
    return opened;
}

void Widget::disconnectDevice()
{
    handle->clear(QSerialPort::AllDirections);
    handle->close();
    clearEventTables();
    rebuildSwitchEventLists(false);
    setModelFeaturesVisible(false);
    updateConnectState();
}

void Widget::setModelFeaturesVisible(bool visible)
{
    for (QWidget *w : modelDependentWidgets())
        w->setVisible(visible);
}

void Widget::handleSerialError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError)
        return;
    qCWarning(lcLink) << "Serial device dropped:" << error << handle->errorString();
    // An unplugged device shows as ResourceError on most drivers; a vanished
    // pseudo-terminal or some USB serial drivers report ReadError instead, and
    // keep reporting it on every poll while the port stays open. Both end the
    // connection once.
    // The upgrade dialog hears the error first and may have closed the port
    // already; the controls follow either way.
    const QSerialPort::SerialPortError current = handle->error();
    if (current == QSerialPort::ResourceError || current == QSerialPort::ReadError) {
        if (handle->isOpen())
            handle->close();
        updateConnectState();
    }
}

void Widget::rec_data(QByteArray data)
{
    const Identity::WindowReading reading = Identity::readForWindow(data);
    if (reading.ignored) {
        qCDebug(lcLink) << "Not an identity reply:" << data;
        return;
    }
    if (reading.hasVersion) {
        deviceVersion = reading.version;
        qCDebug(lcLink) << "version data::" << deviceVersion;
    }
    if (reading.hasModel) {
        deviceMtd = reading.model;
        modelVariant = Identity::modelVariant(deviceMtd);
        qCDebug(lcLink) << "Device:" << deviceMtd;
        maybeOfferRestore();
    }
    // A device the upgrade dialog talks to is none of the window's.
    if (!updateDialogShown && handle->holder() == SerialPort::Holder::MainWindow
        && deviceMtd != QLatin1String("xx")
        && deviceVersion != QLatin1String("xx") && !Identity::byteSixIsO(data)) {
        updateDialogShown = true;
        emit firmwareCheckDue(deviceMtd);
        startFirmwareCheck();
    }
}
