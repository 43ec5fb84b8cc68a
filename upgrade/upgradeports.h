#pragma once

#include <QList>
#include <QString>

/// One serial port that can be a controller in its upgrade mode.
struct UpgradePort {
    QString name;     ///< the device list's text: the USB description, else the system's words
    QString portName; ///< e.g. COM7 or /dev/ttyACM1
};

/// Every present port whose name is not empty and is not a controller in
/// normal mode (a "Veltrano" description), in the system's order. Ports that
/// share a name are all listed.
QList<UpgradePort> presentUpgradePorts();
