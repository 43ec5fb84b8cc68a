#pragma once

#include "upgrade/upgradeports.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

/// The rules of the main window's automatic firmware upgrade: which update
/// text a connected controller is checked against, when a version counts as
/// newer there, and which device list entries are upgrade devices.
namespace AutoUpgrade {

/// A model the automatic check knows; index 0 (no word) for any other.
struct CheckModel {
    int index = 0;
    QString word;     ///< model word, product name of the version line and image folder
    QString textPath; ///< update text, relative to the download server
};

/// The first of QRX-10, QRX-20, QRX-30, ZT-3, ZT-1 (indexes 1 to 5) found in
/// the reported model, case-sensitive.
CheckModel checkModelFor(const QString &deviceModel);

/// Only major and minor count: the token is newer when its first number is
/// greater, or the first numbers are equal and its second is greater.
bool newerMajorMinor(const QString &deviceVersion, const QString &token);

/// An upgrade device's name: one of QRX-10, QRX-20, ZT-3, ZT-1 and one of
/// "BootLoad", "Bootloader", " B", in any letter case.
bool isBootloaderName(const QString &text);

/// The upgrade devices that may be the controller just restarted into its
/// upgrade mode: those passing isBootloaderName whose port was not among the
/// ports present before the restart.
QList<UpgradePort> newCandidates(const QList<UpgradePort> &present, const QStringList &before);

/// The question of the "Update Available" box.
QString offerText(const QString &word, const QString &deviceVersion, const QString &token,
                  const QString &description);

/// AA CC 02 00 09 0D 0A: a controller in normal mode restarts into its upgrade mode.
QByteArray enterUpgradeCommand();

} // namespace AutoUpgrade
