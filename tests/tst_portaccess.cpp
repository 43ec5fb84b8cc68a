// What the "Device error" box adds when a port cannot be opened: the cause and
// the fix from the system's facts (the device node's group, the user's groups,
// ModemManager, the udev rule), and how those facts are read.
#include "app/widget.h"
#include "device/portaccess.h"
#include "device/serialport.h"
#include "device/systemportaccess.h"
#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"
#include "support/modalwatcher.h"
#include "ui_widget.h"

#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <grp.h>
#include <unistd.h>

using PortAccess::NodeFacts;
using PortAccess::Situation;
using PortAccess::UserFacts;

Q_DECLARE_METATYPE(Situation)
Q_DECLARE_METATYPE(QSerialPort::SerialPortError)

namespace {

const QString kPath = QStringLiteral("/dev/ttyACM0");
const QString kRule = QStringLiteral("/usr/lib/udev/rules.d/60-stompwright.rules");

/// A device node owned by group "dialout" (rw for the group), refused to
/// alice, who is in the groups alice and audio.
Situation refusedToAlice()
{
    Situation s;
    s.error = QSerialPort::PermissionError;
    s.path = kPath;
    s.node = {true, false, QStringLiteral("dialout"), true};
    s.user = {QStringLiteral("alice"), {QStringLiteral("alice"), QStringLiteral("audio")},
              {QStringLiteral("alice"), QStringLiteral("audio")}};
    return s;
}

const QString kJoinDialout = QStringLiteral(
    "The port /dev/ttyACM0 belongs to the group \"dialout\", and the user alice is not in it. "
    "To join the group, run\n    sudo usermod -aG dialout $USER\nthen log out and log in again.");
const QString kRuleToInstall = QStringLiteral(
    "Or give the user at the computer access without the group: install the Stompwright "
    "package, or copy its udev rule 60-stompwright.rules to /etc/udev/rules.d/, then unplug the "
    "controller and plug it in again.");
const QString kRuleInstalled = QStringLiteral(
    "The udev rule /usr/lib/udev/rules.d/60-stompwright.rules gives the user at the computer "
    "access to the controller: unplug the controller and plug it in again.");

/// System facts a test sets.
struct FakeFacts : PortAccess::FactSource
{
    NodeFacts nodeFacts;
    UserFacts userFacts;
    bool modemManager = false;
    QString rule;
    mutable QStringList askedNodes;

    NodeFacts node(const QString &path) const override
    {
        askedNodes.append(path);
        return nodeFacts;
    }
    UserFacts user() const override { return userFacts; }
    bool modemManagerRunning() const override { return modemManager; }
    QString installedRule() const override { return rule; }
};

QStringList words(const QString &text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

class tst_PortAccess : public QObject
{
    Q_OBJECT

private slots:
    void explain_tellsCauseAndFixFromFacts_data();
    void explain_tellsCauseAndFixFromFacts();
    void systemLocation_namesUnderDevPathsKept();

    void systemNode_groupAndModeOfRealFile();
    void systemUser_groupsMatchId();
    void systemModemManager_foundOnlyAmongProcessDirs();
    void systemRule_firstDirectoryWins();

    void connectRefused_boxKeepsDeviceErrorAndAddsFacts_data();
    void connectRefused_boxKeepsDeviceErrorAndAddsFacts();
    void portMissing_boxKeepsDeviceErrorOnly();

    void cleanup() { PortAccess::FactSource::setCurrent(nullptr); }
};

void tst_PortAccess::explain_tellsCauseAndFixFromFacts_data()
{
    QTest::addColumn<Situation>("situation");
    QTest::addColumn<QString>("expected");

    Situation s = refusedToAlice();
    QTest::newRow("not in group, rule not installed") << s << kJoinDialout + "\n\n" + kRuleToInstall;

    s.installedRule = kRule;
    QTest::newRow("not in group, rule installed") << s << kJoinDialout + "\n\n" + kRuleInstalled;

    s = refusedToAlice();
    s.user.accountGroups.append(QStringLiteral("dialout"));
    QTest::newRow("added to group after login")
        << s
        << QStringLiteral("The port /dev/ttyACM0 belongs to the group \"dialout\". The user "
                          "alice was added to it after this session started: log out and log "
                          "in again.\n\n")
               + kRuleToInstall;

    s = refusedToAlice();
    s.node.groupMayReadWrite = false;
    s.user.sessionGroups.append(QStringLiteral("dialout"));
    QTest::newRow("in group, group without rw")
        << s
        << QStringLiteral("The port /dev/ttyACM0 belongs to the group \"dialout\". The user "
                          "alice is in it, but the group may not read and write the port.\n\n")
               + kRuleToInstall;

    s.node.groupMayReadWrite = true;
    QTest::newRow("in group with rw, still refused: no guess") << s << QString();

    s = refusedToAlice();
    s.node.group.clear();
    QTest::newRow("group unknown") << s << QString();

    s = refusedToAlice();
    s.modemManagerRunning = true;
    QTest::newRow("refused wins over ModemManager") << s << kJoinDialout + "\n\n" + kRuleToInstall;

    const QString busy = QStringLiteral(
        "The port /dev/ttyACM0 is in use. ModemManager is running and may have taken it: it "
        "probes new serial devices for modems. ");
    const QString stop = QStringLiteral("\n\nOr stop ModemManager:\n    sudo systemctl stop ModemManager");
    s = refusedToAlice();
    s.node.accessible = true;
    s.modemManagerRunning = true;
    QTest::newRow("busy, ModemManager, no rule")
        << s
        << busy
               + "The udev rule 60-stompwright.rules of the Stompwright package tells it to leave "
                 "the controller alone: install the package, or copy the rule to "
                 "/etc/udev/rules.d/, then unplug the controller and plug it in again."
               + stop;
    s.installedRule = kRule;
    QTest::newRow("busy, ModemManager, rule installed")
        << s
        << busy
               + "The udev rule /usr/lib/udev/rules.d/60-stompwright.rules tells it to leave the "
                 "controller alone: unplug the controller and plug it in again."
               + stop;

    s.modemManagerRunning = false;
    QTest::newRow("busy without ModemManager") << s << QString();

    s = refusedToAlice();
    s.node.exists = false;
    QTest::newRow("node missing") << s << QString();

    for (auto error : {QSerialPort::DeviceNotFoundError, QSerialPort::OpenError,
                       QSerialPort::ResourceError, QSerialPort::UnknownError}) {
        s = refusedToAlice();
        s.error = error;
        s.modemManagerRunning = true;
        QTest::addRow("other error %d", int(error)) << s << QString();
    }
}

void tst_PortAccess::explain_tellsCauseAndFixFromFacts()
{
    QFETCH(Situation, situation);
    QFETCH(QString, expected);
    QCOMPARE(PortAccess::explain(situation), expected);
}

void tst_PortAccess::systemLocation_namesUnderDevPathsKept()
{
    QCOMPARE(PortAccess::systemLocation(QStringLiteral("ttyACM0")), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(PortAccess::systemLocation(QStringLiteral("/dev/pts/7")), QStringLiteral("/dev/pts/7"));
    QCOMPARE(PortAccess::systemLocation(QStringLiteral("./tty0")), QStringLiteral("./tty0"));
}

void tst_PortAccess::systemNode_groupAndModeOfRealFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ttyFAKE0"));
    QFile node(path);
    QVERIFY(node.open(QIODevice::WriteOnly));
    node.close();

    const gid_t primary = getegid();
    const struct group *other = getgrnam("dialout");
    const bool chowned = other && ::chown(QFile::encodeName(path).constData(), -1, other->gr_gid) == 0;
    const QString expectedGroup = chowned ? QStringLiteral("dialout")
                                          : QString::fromLocal8Bit(getgrgid(primary)->gr_name);

    const SystemPortAccess system;
    QVERIFY(node.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                | QFile::WriteGroup));
    NodeFacts facts = system.node(path);
    QVERIFY(facts.exists);
    QCOMPARE(facts.group, expectedGroup);
    QVERIFY(facts.groupMayReadWrite);
    QCOMPARE(facts.accessible, ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0);

    QVERIFY(node.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(!system.node(path).groupMayReadWrite);

    facts = system.node(dir.filePath(QStringLiteral("gone")));
    QVERIFY(!facts.exists);
    QVERIFY(!facts.accessible);
}

void tst_PortAccess::systemUser_groupsMatchId()
{
    const auto id = [](const QStringList &args) {
        QProcess p;
        p.start(QStringLiteral("id"), args);
        if (!p.waitForFinished(10000) || p.exitCode() != 0)
            return QStringList{QStringLiteral("<id failed>")};
        return QString::fromLocal8Bit(p.readAllStandardOutput()).simplified().split(' ');
    };
    const UserFacts facts = SystemPortAccess().user();
    QCOMPARE(facts.userName, id({QStringLiteral("-un")}).value(0));
    QStringList session = facts.sessionGroups;
    QStringList expectedSession = id({QStringLiteral("-Gn")});
    session.sort();
    expectedSession.sort();
    QCOMPARE(session, expectedSession);
    QStringList account = facts.accountGroups;
    QStringList expectedAccount = id({QStringLiteral("-Gn"), facts.userName});
    account.sort();
    expectedAccount.sort();
    QCOMPARE(account, expectedAccount);
}

void tst_PortAccess::systemModemManager_foundOnlyAmongProcessDirs()
{
    QTemporaryDir proc;
    const auto process = [&proc](const QString &dir, const QByteArray &comm) {
        QDir(proc.path()).mkpath(dir);
        QFile f(proc.filePath(dir + QStringLiteral("/comm")));
        return f.open(QIODevice::WriteOnly) && f.write(comm) == comm.size();
    };
    QVERIFY(process(QStringLiteral("1"), "init\n"));
    QVERIFY(process(QStringLiteral("self"), "ModemManager\n"));
    QVERIFY(process(QStringLiteral("77"), "ModemManagerX\n"));
    const SystemPortAccess system(proc.path(), {});
    QVERIFY(!system.modemManagerRunning());
    QVERIFY(process(QStringLiteral("4242"), "ModemManager\n"));
    QVERIFY(system.modemManagerRunning());
}

void tst_PortAccess::systemRule_firstDirectoryWins()
{
    QTemporaryDir root;
    const QStringList dirs = {root.filePath(QStringLiteral("etc")), root.filePath(QStringLiteral("lib"))};
    for (const QString &d : dirs)
        QDir().mkpath(d);
    const SystemPortAccess system(QStringLiteral("/nonexistent"), dirs);
    QCOMPARE(system.installedRule(), QString());
    const auto place = [](const QString &dir) {
        QFile f(dir + QStringLiteral("/60-stompwright.rules"));
        return f.open(QIODevice::WriteOnly);
    };
    QVERIFY(place(dirs.at(1)));
    QCOMPARE(system.installedRule(), dirs.at(1) + QStringLiteral("/60-stompwright.rules"));
    QVERIFY(place(dirs.at(0)));
    QCOMPARE(system.installedRule(), dirs.at(0) + QStringLiteral("/60-stompwright.rules"));
}

void tst_PortAccess::connectRefused_boxKeepsDeviceErrorAndAddsFacts_data()
{
    QTest::addColumn<bool>("accessible");
    QTest::addColumn<bool>("modemManager");
    QTest::addColumn<QStringList>("expectedWords");

    QTest::newRow("not in group") << false << false
                                  << QStringList{"\"dialout\",", "alice", "usermod", "-aG"};
    QTest::newRow("busy under ModemManager") << true << true
                                             << QStringList{"ModemManager", "use.", "systemctl"};
    QTest::newRow("busy, nothing known") << true << false << QStringList();
}

void tst_PortAccess::connectRefused_boxKeepsDeviceErrorAndAddsFacts()
{
    QFETCH(bool, accessible);
    QFETCH(bool, modemManager);
    QFETCH(QStringList, expectedWords);

    SimulatedDeviceSource source;
    DeviceSource::setCurrent(&source);
    SimulatedController controller(QStringLiteral("ZT-3"));
    source.addController(&controller);

    // Another program holds the port: the open is refused as the system
    // refuses it, and the facts say why.
    QSerialPort holder(controller.portName());
    QVERIFY(holder.open(QIODevice::ReadWrite));

    FakeFacts facts;
    facts.nodeFacts = {true, accessible, QStringLiteral("dialout"), true};
    facts.userFacts = refusedToAlice().user;
    facts.modemManager = modemManager;
    PortAccess::FactSource::setCurrent(&facts);

    {
        Widget w;
        Ui::Widget *ui = w.form();
        QTRY_VERIFY(ui->comboBox_ComDevices->count() > 0);
        ui->comboBox_ComDevices->setCurrentIndex(0);
        ModalWatcher watcher;
        QStringList informative;
        watcher.setInspector([&informative](QMessageBox *box) {
            informative.append(box->informativeText());
        });
        ui->connectButton->click();
        QCOMPARE(watcher.texts(), QStringList{"Device error"});
        QCOMPARE(informative.size(), 1);
        QVERIFY(!w.findChild<SerialPort *>()->isOpen());
        QCOMPARE(facts.askedNodes, QStringList{controller.portName()});
        const QStringList seen = words(informative.first());
        for (const QString &word : expectedWords)
            QVERIFY2(seen.contains(word), qPrintable(informative.first()));
        if (expectedWords.isEmpty())
            QCOMPARE(informative.first(), QString());
        else
            QVERIFY(informative.first().contains(controller.portName()));
    }
    DeviceSource::setCurrent(nullptr);
}

void tst_PortAccess::portMissing_boxKeepsDeviceErrorOnly()
{
    FakeFacts facts;
    facts.nodeFacts = {true, false, QStringLiteral("dialout"), true};
    facts.userFacts = refusedToAlice().user;
    facts.modemManager = true;
    PortAccess::FactSource::setCurrent(&facts);

    QComboBox combo;
    SerialPort link(&combo, QStringLiteral("Veltrano"), nullptr);
    ModalWatcher watcher;
    QStringList informative;
    watcher.setInspector([&informative](QMessageBox *box) { informative.append(box->informativeText()); });
    QVERIFY(!link.openPort(QStringLiteral("/nonexistent/ttyACM9"), 115200));
    QCOMPARE(link.error(), QSerialPort::DeviceNotFoundError);
    QCOMPARE(watcher.texts(), QStringList{"Device error"});
    QCOMPARE(informative, QStringList{QString()});
    QVERIFY(facts.askedNodes.isEmpty());
}

QTEST_MAIN(tst_PortAccess)
#include "tst_portaccess.moc"
