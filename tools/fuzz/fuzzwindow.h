#pragma once

// The offscreen application and main window that the fuzz targets driving
// the window share: no devices, quiet logging, and modal boxes (range
// warnings) closed as soon as their event loop runs.
#include "app/widget.h"
#include "device/devicesource.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace FuzzWindow {

class NoDevices : public DeviceSource
{
public:
    QList<SerialPortRecord> serialPorts() const override { return {}; }
    QList<UsbDeviceRecord> usbDevices() const override { return {}; }
};

inline void quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "fatal: %s\n", qPrintable(message));
        std::abort();
    }
}

/// Starts the application; call once, from LLVMFuzzerInitialize. The
/// application lives until the process ends: destroying it in the exit
/// handlers would run after Qt's thread storage is gone.
inline void startApplication(const char *name)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet);
    static int argc = 1;
    static QByteArray programName(name);
    static char *argv[] = {programName.data(), nullptr};
    auto *app = new QApplication(argc, argv);
    static NoDevices none;
    DeviceSource::setCurrent(&none);
    auto *closer = new QTimer(app);
    QObject::connect(closer, &QTimer::timeout, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->done(0);
    });
    closer->start(0);
}

} // namespace FuzzWindow

// Qt and fontconfig keep their caches for the life of the process; what the
// window leaves behind is not a finding.
extern "C" const char *__asan_default_options()
{
    return "detect_leaks=0";
}
