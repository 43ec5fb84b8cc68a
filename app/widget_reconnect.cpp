// The main window's auto-reconnect: a controller unplugged while connected
// and plugged in again within the window is reconnected with the ordinary
// start-up exchange, the editor's pedal and message slot kept. The decisions
// are ReconnectPolicy's; this file listens to the link and acts on them.
#include "app/widget.h"
#include "ui_widget.h"

#include "core/logging.h"
#include "device/serialport.h"
#include "upgrade/upgrade_dialog.h"

#include <QTimer>

void Widget::setUpReconnect()
{
    reconnectTimer = new QTimer(this);
    connect(reconnectTimer, &QTimer::timeout, this, &Widget::reconnectPoll);
    setReconnectTimings(m_reconnectTimings);
    reconnectClock.start();
    // After pedalMidiDataSlot, which selects the first pedal on a handshake reply.
    connect(handle, &SerialPort::pedalMidiDataSignal, this, &Widget::restoreReconnectPedal);
    connect(handle, &SerialPort::holderChanged, this, [this](SerialPort::Holder holder) {
        const bool windowLetGo = reconnectLastHolder == SerialPort::Holder::MainWindow
                                 && holder == SerialPort::Holder::Nobody;
        reconnectLastHolder = holder;
        if (holder != SerialPort::Holder::MainWindow)
            reconnectPedal = -1;
        // Whoever closes the port on an unplug (the upgrade dialog hears the
        // error first), the error stays recorded on it; a Disconnect leaves none.
        const QSerialPort::SerialPortError error = handle->error();
        if (windowLetGo && (error == QSerialPort::ResourceError || error == QSerialPort::ReadError))
            reconnectLinkLost();
        // However briefly the upgrade holds the link, the wait ends with it.
        if (holder == SerialPort::Holder::FirmwareUpgrade
            && reconnectPolicy.state() == ReconnectPolicy::State::Waiting)
            reconnectPoll();
    });
}

void Widget::setReconnectTimings(const ReconnectTimings &timings)
{
    m_reconnectTimings = timings;
    reconnectPolicy.setTimings({timings.windowMs, timings.retryMs});
    if (reconnectTimer)
        reconnectTimer->setInterval(timings.pollMs);
}

bool Widget::reconnectBlocked() const
{
    return handle->holder() == SerialPort::Holder::FirmwareUpgrade || ug_dlg->isBusy()
           || autoUpgradeActive;
}

void Widget::armReconnect(const QString &portName, const QString &description)
{
    ControllerPort controller{portName, description, QString()};
    for (const ControllerPort &present : handle->presentControllers()) {
        if (present.portName == portName) {
            controller.serialNumber = present.serialNumber;
            break;
        }
    }
    reconnectPolicy.connected(controller);
    reconnectTimer->stop();
}

void Widget::reconnectLinkLost()
{
    if (!reconnectPolicy.lost(handle->presentControllers(), reconnectClock.elapsed(),
                              reconnectBlocked()))
        return;
    qCDebug(lcLink) << "Waiting for" << reconnectPolicy.controller().description << "to return";
    setStatusNote(StatusLine::waitingNote(statusState.port, m_reconnectTimings.windowMs));
    reconnectTimer->start();
}

void Widget::reconnectPoll()
{
    const ReconnectPolicy::Decision decision = reconnectPolicy.poll(
        handle->presentControllers(), reconnectClock.elapsed(), reconnectBlocked());
    if (reconnectPolicy.state() != ReconnectPolicy::State::Waiting)
        reconnectTimer->stop();

    switch (decision.kind) {
    case ReconnectPolicy::Decision::None:
    case ReconnectPolicy::Decision::Cancelled: // the upgrade's own line says what holds the link
        return;
    case ReconnectPolicy::Decision::Expired:
        // The port as the line named it when the controller went.
        setStatusNote(StatusLine::notReturnedNote(statusState.port, m_reconnectTimings.windowMs));
        return;
    case ReconnectPolicy::Decision::Ambiguous:
        setStatusNote(StatusLine::ambiguousNote(decision.ports));
        return;
    case ReconnectPolicy::Decision::Reconnect:
        break;
    }

    const ControllerPort &target = decision.target;
    qCDebug(lcLink) << "Reconnecting to" << target.portName << target.description;
    if (handle->isOpen()) {
        reconnectTimer->stop();
        return;
    }
    // The connect reads the model from the list's current entry: without the
    // controller's own entry it would take another's.
    const int pedal = ui->Pedal_Number->currentIndex();
    if (handle->selectDevice(target) && connectToPort(target.portName, true)) {
        reconnectPedal = pedal;
        statusState.reconnected = true;
        refreshStatusLine();
        return;
    }
    qCWarning(lcLink) << "Reconnect to" << target.portName << "failed:" << handle->errorString();
    const bool retrying = reconnectPolicy.attemptFailed(reconnectClock.elapsed());
    if (!retrying)
        reconnectTimer->stop();
    setStatusNote(StatusLine::reconnectFailedNote(target.portName, retrying));
}

void Widget::restoreReconnectPedal(const Protocol::MsgPackage &package)
{
    if (reconnectPedal < 0 || package.type != Protocol::HandshadeReplyCmd)
        return;
    // Six-byte status frames travel as type 0 too and name no count.
    const int pedals = package.frame.size() > 5 ? quint8(package.frame.at(5)) : -1;
    if (pedals < 0 || pedals >= 10)
        return;
    if (reconnectPedal < ui->Pedal_Number->count())
        ui->Pedal_Number->setCurrentIndex(reconnectPedal);
    reconnectPedal = -1;
}
