#include "core/configlocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ConfigLocation {

namespace {
const QString kConfigFile = QStringLiteral("config.ini");
}

bool isInstalled(const QString &programDir)
{
    if (programDir.isEmpty())
        return false;
    const QString entry = QStringLiteral("../share/applications/%1.desktop")
                              .arg(QLatin1String(desktopId));
    return QFileInfo(QDir(programDir).filePath(entry)).isFile();
}

QString configFilePath(const Facts &facts)
{
    if (isInstalled(facts.programDir) && !facts.userConfigDir.isEmpty())
        return QDir(facts.userConfigDir).absoluteFilePath(kConfigFile);
    return QDir(facts.currentDir).absoluteFilePath(kConfigFile);
}

Facts systemFacts()
{
    return {QCoreApplication::applicationDirPath(), QDir::currentPath(),
            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)};
}

QString prepareConfigFile(const Facts &facts)
{
    if (isInstalled(facts.programDir) && !facts.userConfigDir.isEmpty())
        QDir().mkpath(facts.userConfigDir);
    return configFilePath(facts);
}

QString configFilePath()
{
    return prepareConfigFile(systemFacts());
}

} // namespace ConfigLocation
