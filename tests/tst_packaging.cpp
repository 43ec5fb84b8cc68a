// The installed program: where it keeps config.ini, and the files the package
// installs for the desktop and udev, checked against what the program and
// the controllers are.
#include "app/customdialog.h"
#include "core/configlocation.h"
#include "device/portaccess.h"
#include "sim/simulatedmodel.h"
#include "support/scopedcurrentdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kLinux = QStringLiteral(SW_TEST_DATA "/../../packaging/linux");
const QString kDesktopId = QLatin1String(ConfigLocation::desktopId);

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

/// One udev rule line: its key/operator/value triples.
struct UdevRule
{
    struct Key
    {
        QString name, op, value;
    };
    QList<Key> keys;
    QString value(const QString &name, const QString &op) const
    {
        for (const Key &k : keys)
            if (k.name == name && k.op == op)
                return k.value;
        return QString();
    }
};

/// The rules of a rules file; a line that does not parse whole as
/// comma-separated KEY op "value" pairs fails the test.
QList<UdevRule> parseRules(const QString &text)
{
    static const QRegularExpression pair(QStringLiteral(
        "^\\s*([A-Z_]+(?:\\{[A-Za-z_0-9]+\\})?)\\s*(==|!=|\\+=|-=|:=|=)\\s*\"([^\"]*)\"\\s*(,|$)"));
    QList<UdevRule> rules;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        UdevRule rule;
        QString rest = line;
        while (!rest.trimmed().isEmpty()) {
            const QRegularExpressionMatch m = pair.match(rest);
            if (!m.hasMatch()) {
                QTest::qFail(qPrintable(QStringLiteral("unparsed: ") + rest), __FILE__, __LINE__);
                return {};
            }
            rule.keys.append({m.captured(1), m.captured(2), m.captured(3)});
            rest = rest.mid(m.capturedLength());
        }
        rules.append(rule);
    }
    return rules;
}

QString hex4(int id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

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

    void udevRule_coversEveryControllerWithUaccessAndModemManagerIgnore();
    void desktopFiles_agreeWithProgramAndControllers();
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

void tst_Packaging::udevRule_coversEveryControllerWithUaccessAndModemManagerIgnore()
{
    const QString name = QLatin1String(PortAccess::udevRuleName);
    // logind's 73-seat-late.rules turns the uaccess tag into an ACL: the tag
    // must be set by a file sorted before it.
    QVERIFY(name.left(2).toInt() > 0 && name.left(2).toInt() < 73);
    const QString text = readText(kLinux + QLatin1Char('/') + name);
    QVERIFY(!text.isEmpty());
    const QList<UdevRule> rules = parseRules(text);
    QVERIFY(!rules.isEmpty());

    QSet<QString> modelIds;
    QSet<QString> vendors;
    for (const SimulatedModel &m : SimulatedModel::all()) {
        vendors.insert(hex4(m.vendorId));
        modelIds.insert(hex4(m.productId));
        modelIds.insert(hex4(m.bootloaderProductId));
    }
    QCOMPARE(vendors.size(), 1);

    QStringList subsystems;
    QStringList labels;
    QStringList gotos;
    for (const UdevRule &rule : rules) {
        if (!rule.value(QStringLiteral("LABEL"), QStringLiteral("=")).isEmpty())
            labels.append(rule.value(QStringLiteral("LABEL"), QStringLiteral("=")));
        if (!rule.value(QStringLiteral("GOTO"), QStringLiteral("=")).isEmpty())
            gotos.append(rule.value(QStringLiteral("GOTO"), QStringLiteral("=")));
        const QString subsystem = rule.value(QStringLiteral("SUBSYSTEM"), QStringLiteral("=="));
        if (subsystem.isEmpty())
            continue;
        // The USB device itself carries the attributes; its tty finds them
        // on a parent (ATTRS).
        const QString attr = subsystem == QLatin1String("usb") ? QStringLiteral("ATTR")
                                                                : QStringLiteral("ATTRS");
        subsystems.append(subsystem);
        QCOMPARE(rule.value(attr + QStringLiteral("{idVendor}"), QStringLiteral("==")),
                 *vendors.constBegin());
        const QStringList products =
            rule.value(attr + QStringLiteral("{idProduct}"), QStringLiteral("=="))
                .split(QLatin1Char('|'));
        QCOMPARE(QSet<QString>(products.begin(), products.end()), modelIds);
        QCOMPARE(products.size(), modelIds.size());
        QCOMPARE(rule.value(QStringLiteral("TAG"), QStringLiteral("+=")), QStringLiteral("uaccess"));
        QCOMPARE(rule.value(QStringLiteral("ENV{ID_MM_DEVICE_IGNORE}"), QStringLiteral("=")),
                 QStringLiteral("1"));
    }
    subsystems.sort();
    QCOMPARE(subsystems, (QStringList{"tty", "usb"}));
    for (const QString &target : qAsConst(gotos))
        QVERIFY2(labels.contains(target), qPrintable(target));
}

void tst_Packaging::desktopFiles_agreeWithProgramAndControllers()
{
    const QString entryPath = kLinux + QLatin1Char('/') + kDesktopId + QStringLiteral(".desktop");
    QSettings entry(entryPath, QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    QCOMPARE(entry.value(QStringLiteral("Exec")).toString(), QStringLiteral("stompwright"));
    QCOMPARE(entry.value(QStringLiteral("Icon")).toString(), QStringLiteral("stompwright"));
    QCOMPARE(entry.value(QStringLiteral("Name")).toString(), QStringLiteral("Stompwright"));

    const QString meta =
        readText(kLinux + QLatin1Char('/') + kDesktopId + QStringLiteral(".metainfo.xml"));
    QVERIFY(meta.contains(QStringLiteral("<id>%1</id>").arg(kDesktopId)));
    QVERIFY(meta.contains(
        QStringLiteral("<launchable type=\"desktop-id\">%1.desktop</launchable>").arg(kDesktopId)));
    QVERIFY(meta.contains(QStringLiteral("<binary>stompwright</binary>")));

    // The release is the version the About dialog shows.
    const QString version = CustomDialog(nullptr).versionText().mid(1);
    QVERIFY(meta.contains(QStringLiteral("<release version=\"%1\"").arg(version)));

    // Software centres offer the program for every controller in normal mode.
    QSet<QString> modaliases;
    static const QRegularExpression modalias(QStringLiteral("<modalias>([^<]*)</modalias>"));
    for (auto it = modalias.globalMatch(meta); it.hasNext();)
        modaliases.insert(it.next().captured(1));
    QSet<QString> expected;
    for (const SimulatedModel &m : SimulatedModel::all())
        expected.insert(QStringLiteral("usb:v%1p%2d*").arg(hex4(m.vendorId).toUpper(),
                                                           hex4(m.productId).toUpper()));
    QCOMPARE(modaliases, expected);
}

QTEST_MAIN(tst_Packaging)
#include "tst_packaging.moc"
