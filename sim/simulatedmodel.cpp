#include "sim/simulatedmodel.h"

namespace {
constexpr int simulatedVendorId = 0x3A1D;
}

QList<SimulatedModel> SimulatedModel::all()
{
    const auto model = [](const char *name, int productId, int pedals, const char *version) {
        SimulatedModel m;
        m.name = QString::fromLatin1(name);
        m.usbDescription = QStringLiteral("Veltrano %1 MIDI").arg(m.name);
        m.vendorId = simulatedVendorId;
        m.productId = productId;
        m.bootloaderProductId = 0x5F00 | (productId & 0xFF);
        m.pedalCount = pedals;
        m.firmwareVersion = QString::fromLatin1(version);
        return m;
    };
    return {
        model("QRX-10", 0x5110, 3, "1.0.6"),
        model("QRX-20", 0x5120, 4, "1.1.2"),
        model("QRX-30", 0x5130, 6, "2.0.1"),
        model("ZT-1", 0x5201, 2, "1.0.3"),
        model("ZT-3", 0x5203, 4, "1.2.0"),
        model("WQM-30", 0x5330, 8, "3.0.4"),
    };
}

SimulatedModel SimulatedModel::byName(const QString &name)
{
    const QList<SimulatedModel> models = all();
    for (const SimulatedModel &m : models) {
        if (m.name == name)
            return m;
    }
    return SimulatedModel();
}
