#pragma once

#include <QString>

/// A controller present on a serial port, as the device list knows it.
struct ControllerPort {
    QString portName;
    /// The bus-reported USB description: the device list's text.
    QString description;
    /// Empty where the system reports none.
    QString serialNumber;

    friend bool operator==(const ControllerPort &a, const ControllerPort &b)
    {
        return a.portName == b.portName && a.description == b.description
               && a.serialNumber == b.serialNumber;
    }
};
