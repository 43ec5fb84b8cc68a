#pragma once

#include <QString>

/// Where the program keeps config.ini. Started from a build tree (or any
/// place without an installed desktop entry beside it) it keeps the file in
/// the working directory. The installed program keeps it in the user's
/// configuration directory: a desktop launcher starts it in the home folder,
/// where a stray config.ini would not belong.
namespace ConfigLocation {

/// Desktop entry id of the installed program (<id>.desktop), also its AppStream id.
inline const char desktopId[] = "com.veltrano.stompwright";

/// What the decision looks at.
struct Facts
{
    QString programDir;    ///< directory of the running executable
    QString currentDir;    ///< the working directory
    QString userConfigDir; ///< QStandardPaths::AppConfigLocation
};

/// True when <programDir>/../share/applications/<desktopId>.desktop exists,
/// as it does for the program installed by the package or `cmake --install`.
bool isInstalled(const QString &programDir);

/// Absolute path of config.ini for these facts.
QString configFilePath(const Facts &facts);

/// The facts of this process.
Facts systemFacts();

/// configFilePath(facts), after creating the user's configuration directory
/// when the file is to live there.
QString prepareConfigFile(const Facts &facts);

/// config.ini of this process, prepared.
QString configFilePath();

} // namespace ConfigLocation
