#include "support/controllerrig.h"

#include "app/widget.h"
#include "device/devicesource.h"
#include "device/serialport.h"
#include "ui_widget.h"
#include "update/downloadserver.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

ControllerRig::ControllerRig(const QString &model, int statusAfterHandshake)
    : controller(model)
{
    // Automatic backups go to a test folder, never into the user's data.
    QStandardPaths::setTestModeEnabled(true);
    // The firmware check after a connect finds no server unless a test
    // points the base at one of its own.
    DownloadServer::setBase(QUrl(QStringLiteral("http://127.0.0.1:9")));
    controller.behaviour().setStatusAfterHandshake(statusAfterHandshake);
    source.addController(&controller);
    DeviceSource::setCurrent(&source);
    window = std::make_unique<Widget>();
    ui = window->form();
}

ControllerRig::~ControllerRig()
{
    window.reset();
    DeviceSource::setCurrent(nullptr);
    DownloadServer::setBase(QUrl());
}

SerialPort *ControllerRig::link() const
{
    return window->findChild<SerialPort *>();
}

bool ControllerRig::connect()
{
    const int entry = ui->comboBox_ComDevices->findText(controller.model().usbDescription);
    if (entry < 0 || !link())
        return false;
    QSignalSpy frames(link(), &SerialPort::pedalMidiDataSignal);
    const auto configurationReplies = [&frames] {
        return std::count_if(frames.cbegin(), frames.cend(), [](const QList<QVariant> &args) {
            return args.first().value<Protocol::MsgPackage>().type == Protocol::CheckPadelReply;
        });
    };
    // The start-up ask names the first pedal; a controller without pedals leaves it unanswered.
    const bool askAnswered = controller.behaviour().pedalCount() > 0;

    ui->comboBox_ComDevices->setCurrentIndex(entry);
    ui->connectButton->click();
    if (!QTest::qWaitFor([&] {
            return ui->Pedal_Number->count() == controller.behaviour().pedalCount()
                   && controller.commandsOf(ControllerCommand::Ask).size() == 1
                   && controller.commandsOf(ControllerCommand::Identity).size() == 1
                   && controller.commandsOf(ControllerCommand::Version).size() == 1
                   && (!askAnswered || configurationReplies() == 1);
        }))
        return false;
    controller.clearRecords();
    return true;
}
