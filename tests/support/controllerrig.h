#pragma once

#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"
#include "support/modalwatcher.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

class SerialPort;
class Widget;
namespace Ui {
class Widget;
}

/// A main window in front of one simulated controller, which it reaches over
/// the controller's pseudo-terminal as it would reach a real one. The boxes
/// the window opens (reply verdicts, range warnings) are answered Ok and
/// recorded in `boxes`. The download server is a closed local port until the
/// test sets another.
class ControllerRig
{
public:
    /// statusAfterHandshake: value of the six-byte status reply the
    /// controller sends after each handshake reply; -1 sends none.
    explicit ControllerRig(const QString &model, int statusAfterHandshake = -1);
    ~ControllerRig();

    /// Connects and waits until the window has the pedal list and the answer
    /// to the start-up ask, and the controller has received the identity
    /// queries sent after the open; then forgets what the controller received.
    bool connect();

    QList<QByteArray> commands(ControllerCommand::Kind kind) const
    {
        return controller.commandsOf(kind);
    }
    SerialPort *link() const;

    ModalWatcher boxes;
    SimulatedController controller;
    SimulatedDeviceSource source;
    std::unique_ptr<Widget> window;
    Ui::Widget *ui = nullptr;
};
