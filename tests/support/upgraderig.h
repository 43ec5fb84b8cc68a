#pragma once

#include "sim/localdownloadserver.h"
#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"
#include "support/fakedevicesource.h"
#include "support/fakefiledialogs.h"
#include "support/modalwatcher.h"
#include "support/recordinglink.h"
#include "upgrade/upgrade_dialog.h"

#include <QComboBox>
#include <QTemporaryDir>

/// The upgrade dialog on its own link in front of one simulated controller
/// in its upgrade mode, reached over the controller's pseudo-terminal, with a
/// local download server as the vendor's. Pacings are shortened; boxes are
/// answered Ok and recorded in `boxes`. The server holds an update text for
/// the device's own version, so the check after a connect offers nothing.
class UpgradeRig
{
public:
    explicit UpgradeRig(const QString &model = QStringLiteral("ZT-3"));
    ~UpgradeRig();

    /// Shortened pacings: 2 ms blocks, 40 ms finalizing, 150 ms erase timeout.
    static upgrade_dialog::Timings fastTimings();

    /// Lists the device, connects and waits for the model and version lines.
    bool connect();
    /// Waits until the online check that follows a connect has ended without an offer.
    bool onlineCheckDone();
    /// Writes the image to a file and loads it with Open File; true when it is the dialog's image then.
    bool loadImage(const QByteArray &image, const QString &fileName = QStringLiteral("image.bin"));
    /// Loads the image, presses Upgrade and waits for the success box.
    bool upgradeWith(const QByteArray &image);
    QString log() const;
    int state() const { return dialog.state(); }

    ModalWatcher boxes;
    LocalDownloadServer server;
    SimulatedController device;
    SimulatedDeviceSource source;
    ScopedDeviceSource scopedSource{&source};
    FakeFileDialogs files;
    QTemporaryDir dir;
    QComboBox mainList;
    RecordingLink link{&mainList};
    upgrade_dialog dialog{nullptr, &link};
};
