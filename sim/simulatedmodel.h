#pragma once

#include <QList>
#include <QString>

/// What a simulated controller model reports about itself.
struct SimulatedModel {
    QString name;            // model reply text, e.g. "ZT-3"
    QString usbDescription;  // bus-reported product string, e.g. "Veltrano ZT-3 MIDI"
    int vendorId = 0;
    int productId = 0;
    int bootloaderProductId = 0; // product id while in firmware-upgrade mode
    int pedalCount = 0;      // handshake reply byte 5
    QString firmwareVersion; // version reply text after the "V"

    /// QRX-10, QRX-20, QRX-30, ZT-1, ZT-3 and WQM-30.
    static QList<SimulatedModel> all();
    /// The model of that name; a model with an empty name when there is none.
    static SimulatedModel byName(const QString &name);
};
