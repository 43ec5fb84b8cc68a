#include "update/appversion.h"

#include <QStringList>

namespace AppVersion {

QString versionTextPath()
{
    return QStringLiteral("download/Product/Stompwright/Update/Stompwright_UpdateWin.txt");
}

QString productName()
{
    return QStringLiteral("Stompwright");
}

QString installerPath(const QString &release)
{
    return QStringLiteral("download/Product/Stompwright/Update/Stompwright_V%1.exe").arg(release);
}

QString savedInstallerPath(const QString &tempDir, const QString &release)
{
    return tempDir + QLatin1Char('/') + release + QStringLiteral(".exe");
}

QString withoutV(const QString &version)
{
    return version.startsWith(QLatin1Char('V')) ? version.mid(1) : version;
}

QString releaseNumber(const QString &token)
{
    return token.section(QLatin1Char('V'), 1, 1);
}

int compareVersions(const QString &a, const QString &b)
{
    const QStringList x = a.split(QLatin1Char('.'));
    const QStringList y = b.split(QLatin1Char('.'));
    const int n = qMax(x.size(), y.size());
    for (int i = 0; i < n; ++i) {
        const int p = x.value(i).toInt();
        const int q = y.value(i).toInt();
        if (p != q)
            return p < q ? -1 : 1;
    }
    return 0;
}

bool isOffered(bool manual, const QString &current, const QString &release)
{
    if (manual)
        return compareVersions(current, release) < 0;
    return release.section(QLatin1Char('.'), 0, 0).toInt()
           > current.section(QLatin1Char('.'), 0, 0).toInt();
}

} // namespace AppVersion
