#pragma once

#include <QString>

/// The application's own releases on the download server: the version text
/// "Stompwright_V<release>" at the start of the update text, the installer
/// next to it, and the rules by which a release counts as newer.
namespace AppVersion {

/// The update text of the application, relative to the download server.
QString versionTextPath();
/// "Stompwright", the product name of the version line.
QString productName();
/// The installer of a release ("4.1.0"), relative to the download server.
QString installerPath(const QString &release);
/// Where a downloaded installer is kept: "<tempDir>/<release>.exe".
QString savedInstallerPath(const QString &tempDir, const QString &release);

/// The version text without one leading "V": "V4.0.1" gives "4.0.1".
QString withoutV(const QString &version);
/// The release number of a token: what follows its first "V".
QString releaseNumber(const QString &token);

/// -1, 0 or 1 as a is older than, equal to or newer than b; both split at
/// ".", parts that are not numbers count 0, a missing part counts 0.
int compareVersions(const QString &a, const QString &b);

/// Whether a release is offered: the check at start-up looks at the major
/// number only, the one the user asks for at the whole version.
bool isOffered(bool manual, const QString &current, const QString &release);

} // namespace AppVersion
