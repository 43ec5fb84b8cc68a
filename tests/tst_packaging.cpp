// The installed program: where it keeps config.ini, and the files the package
// installs for the desktop and udev, checked against what the program and
// the controllers are.
#include "core/configlocation.h"
#include "support/scopedcurrentdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

/// A program directory <root>/bin, with the desktop entry installed beside it
/// in <root>/share/applications when `installed`.
QString programDir(const QTemporaryDir &root, bool installed)
{
    QDir dir(root.path());
    dir.mkpath(QStringLiteral("bin"));
    if (installed) {
        dir.mkpath(QStringLiteral("share/applications"));
        QFile entry(dir.filePath(QStringLiteral("share/applications/%1.desktop")
                                     .arg(QLatin1String(ConfigLocation::desktopId))));
        if (!entry.open(QIODevice::WriteOnly))
            return QString();
    }
    return dir.filePath(QStringLiteral("bin"));
}

} // namespace

class tst_Packaging : public QObject
{
    Q_OBJECT

private slots:
    void configLocation_installedUsesUserDirBuildTreeUsesCurrentDir_data();
    void configLocation_installedUsesUserDirBuildTreeUsesCurrentDir();
    void configLocation_testProgramIsABuildTree();
};

void tst_Packaging::configLocation_installedUsesUserDirBuildTreeUsesCurrentDir_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("entryName");
    QTest::addColumn<bool>("userDirKnown");
    QTest::addColumn<bool>("expectUserDir");

    const QString id = QLatin1String(ConfigLocation::desktopId);
    QTest::newRow("build tree") << false << QString() << true << false;
    QTest::newRow("installed with desktop entry") << true << id << true << true;
    QTest::newRow("installed, no user config dir") << true << id << false << false;
    QTest::newRow("another program's desktop entry") << false << "other" << true << false;
}

void tst_Packaging::configLocation_installedUsesUserDirBuildTreeUsesCurrentDir()
{
    QFETCH(bool, installed);
    QFETCH(QString, entryName);
    QFETCH(bool, userDirKnown);
    QFETCH(bool, expectUserDir);

    QTemporaryDir root;
    const QString program = programDir(root, installed);
    QVERIFY(!program.isEmpty());
    if (!installed && !entryName.isEmpty()) {
        QDir(root.path()).mkpath(QStringLiteral("share/applications"));
        QFile other(root.filePath("share/applications/" + entryName + ".desktop"));
        QVERIFY(other.open(QIODevice::WriteOnly));
    }
    ConfigLocation::Facts facts;
    facts.programDir = program;
    facts.currentDir = root.filePath(QStringLiteral("home"));
    facts.userConfigDir = userDirKnown ? root.filePath(QStringLiteral("home/.config/stompwright"))
                                       : QString();
    QCOMPARE(ConfigLocation::isInstalled(program), installed);
    const QString expected = expectUserDir ? facts.userConfigDir + QStringLiteral("/config.ini")
                                           : facts.currentDir + QStringLiteral("/config.ini");
    QCOMPARE(ConfigLocation::configFilePath(facts), expected);
    // Only the user's configuration directory is created on start; the
    // working directory is the user's own.
    QVERIFY(!QFileInfo::exists(facts.currentDir + QStringLiteral("/.config")));
    QCOMPARE(ConfigLocation::prepareConfigFile(facts), expected);
    QCOMPARE(QFileInfo(expected).absoluteDir().exists(), expectUserDir);
}

void tst_Packaging::configLocation_testProgramIsABuildTree()
{
    // The settings tests rely on this: a program of the build tree keeps
    // config.ini in its working directory.
    ScopedCurrentDir cwd;
    QCOMPARE(ConfigLocation::configFilePath(), cwd.filePath(QStringLiteral("config.ini")));
}

QTEST_MAIN(tst_Packaging)
#include "tst_packaging.moc"
