// Update texts, version numbers and the online model table.
#include "update/appversion.h"
#include "upgrade/autoupgrade.h"
#include "upgrade/updatetext.h"

#include <QtTest>

using IntList = QList<int>;

class tst_UpdateText : public QObject
{
    Q_OBJECT

private slots:
    void parseVersionNumbers_data();
    void parseVersionNumbers();
    void compare_data();
    void compare();
    void read_data();
    void read();
    void onlineModel_data();
    void onlineModel();
    void autoCheckModel_data();
    void autoCheckModel();
    void autoNewer_data();
    void autoNewer();
    void bootloaderName_data();
    void bootloaderName();
    void appOffered_data();
    void appOffered();
    void appPaths_fixedNames();
};

void tst_UpdateText::parseVersionNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<IntList>("numbers");
    QTest::newRow("token") << "QRX-10_V1.2.0" << IntList{1, 2, 0};
    QTest::newRow("device text") << "V1.2.0" << IntList{1, 2, 0};
    QTest::newRow("empty part") << "V1..3" << IntList{1, 0, 3};
    QTest::newRow("trailing dot") << "V2." << IntList{2, 0};
    QTest::newRow("no V") << "1.2.0" << IntList{};
    QTest::newRow("lower-case v is no V") << "v1.2" << IntList{};
    QTest::newRow("first V counts") << "ZT-3_V1.2V9" << IntList{1, 0};
    QTest::newRow("bare V") << "V" << IntList{0};
    QTest::newRow("ten") << "V1.10" << IntList{1, 10};
}

void tst_UpdateText::parseVersionNumbers()
{
    QFETCH(QString, text);
    QFETCH(IntList, numbers);
    QCOMPARE(UpdateText::parseVersionNumbers(text), numbers);
}

void tst_UpdateText::compare_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("order");
    QTest::newRow("1.2 equals 1.2.0") << "V1.2" << "V1.2.0" << 0;
    QTest::newRow("1.2.1 newer") << "V1.2.1" << "V1.2" << 1;
    QTest::newRow("1.10 newer than 1.9") << "V1.10" << "V1.9" << 1;
    QTest::newRow("major decides") << "V1.99.99" << "V2.0" << -1;
    QTest::newRow("nothing against anything") << "1.2" << "V0.0.1" << -1;
    QTest::newRow("nothing against zeros") << "x" << "V0.0" << 0;
}

void tst_UpdateText::compare()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, order);
    const IntList x = UpdateText::parseVersionNumbers(a);
    const IntList y = UpdateText::parseVersionNumbers(b);
    QCOMPARE(UpdateText::compareVersionNumbers(x, y), order);
    QCOMPARE(UpdateText::compareVersionNumbers(y, x), -order);
}

void tst_UpdateText::read_data()
{
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("description");
    QTest::newRow("whole text") << "QRX-10"
                                << "QRX-10_V1.2.0\r\nUpdate content:\r\n- fix A\r\n- fix B\r\n"
                                << "QRX-10_V1.2.0" << "- fix A\r\n- fix B\r\n";
    QTest::newRow("version line second") << "ZT-3" << "Notes\nZT-3_V2.0\n" << "" << "";
    QTest::newRow("another product") << "ZT-1" << "ZT-3_V2.0" << "" << "";
    QTest::newRow("no label") << "WQM-30" << "WQM-30_V3.1\nfixes" << "WQM-30_V3.1" << "";
    QTest::newRow("token stops at other characters")
        << "ZT-1" << "ZT-1_V1.0.3-beta" << "ZT-1_V1.0.3" << "";
    QTest::newRow("V without digits") << "ZT-3" << "ZT-3_V\n" << "" << "";
    QTest::newRow("label on the same line") << "QRX-20" << "QRX-20_V1\nUpdate content: a\nb"
                                            << "QRX-20_V1" << "a\nb";
    QTest::newRow("application") << "Stompwright" << "Stompwright_V4.1.0\nUpdate content:\nNew"
                                 << "Stompwright_V4.1.0" << "New";
}

void tst_UpdateText::read()
{
    QFETCH(QString, product);
    QFETCH(QString, text);
    QFETCH(QString, token);
    QFETCH(QString, description);
    QCOMPARE(UpdateText::versionToken(text, product), token);
    QCOMPARE(UpdateText::description(text), description);
}

void tst_UpdateText::onlineModel_data()
{
    QTest::addColumn<QString>("reported");
    QTest::addColumn<QString>("textPath");
    QTest::newRow("QRX-10") << "QRX-10" << "download/Product/QRX-10/Update/QRX-10_Update.txt";
    QTest::newRow("QRX-20") << "QRX-20" << "download/Product/QRX-20/Update/QRX-20_Update.txt";
    QTest::newRow("WQM-30") << "WQM-30" << "download/Product/WQM-30/Update/WQM-30_Update.txt";
    QTest::newRow("ZT-3") << "ZT-3" << "download/Product/ZT-3/Update/ZT-3_Update.txt";
    QTest::newRow("ZT-1 has the old file name")
        << "ZT-1" << "download/Product/ZT-1/Update/ZT-UNO_Update.txt";
    QTest::newRow("first in order wins") << "ZT-3 QRX-10"
                                         << "download/Product/QRX-10/Update/QRX-10_Update.txt";
    QTest::newRow("QRX-30 has none") << "QRX-30" << "";
    QTest::newRow("case counts") << "zt-3" << "";
}

void tst_UpdateText::onlineModel()
{
    QFETCH(QString, reported);
    QFETCH(QString, textPath);
    const UpdateText::OnlineModel *model = UpdateText::onlineModelFor(reported);
    QCOMPARE(model ? model->textPath : QString(), textPath);
    if (model)
        QCOMPARE(UpdateText::firmwarePath(model->product, model->product + "_V1.2.0"),
                 QString("download/Product/%1/Update/%1_V1.2.0.bin").arg(model->product));
}

void tst_UpdateText::autoCheckModel_data()
{
    QTest::addColumn<QString>("reported");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("textPath");
    QTest::newRow("QRX-10") << "QRX-10" << 1 << "download/Product/QRX-10/Update/QRX-10_Update.txt";
    QTest::newRow("QRX-20") << "QRX-20" << 2 << "download/Product/QRX-20/Update/QRX-20_Update.txt";
    QTest::newRow("QRX-30 is known here") << "QRX-30" << 3
                                          << "download/Product/QRX-30/Update/QRX-30_Update.txt";
    QTest::newRow("ZT-3") << "ZT-3" << 4 << "download/Product/ZT-3/Update/ZT-3_Update.txt";
    QTest::newRow("ZT-1 old file name") << "ZT-1" << 5
                                        << "download/Product/ZT-1/Update/ZT-UNO_Update.txt";
    QTest::newRow("WQM-30 is not") << "WQM-30" << 0 << "";
    QTest::newRow("first index wins") << "ZT-1 QRX-20" << 2
                                      << "download/Product/QRX-20/Update/QRX-20_Update.txt";
}

void tst_UpdateText::autoCheckModel()
{
    QFETCH(QString, reported);
    QFETCH(int, index);
    QFETCH(QString, textPath);
    const AutoUpgrade::CheckModel model = AutoUpgrade::checkModelFor(reported);
    QCOMPARE(model.index, index);
    QCOMPARE(model.textPath, textPath);
}

void tst_UpdateText::autoNewer_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("token");
    QTest::addColumn<bool>("newer");
    QTest::addColumn<bool>("dialogNewer"); // the upgrade dialog's whole-version order
    QTest::newRow("third number alone") << "V1.2.3" << "ZT-3_V1.2.4" << false << true;
    QTest::newRow("minor") << "V1.2.9" << "ZT-3_V1.3.0" << true << true;
    QTest::newRow("major") << "V1.9" << "ZT-3_V2.0" << true << true;
    QTest::newRow("older major, newer minor") << "V2.1" << "ZT-3_V1.5" << false << false;
    QTest::newRow("equal") << "V1.2" << "ZT-3_V1.2.0" << false << false;
    QTest::newRow("no token") << "V1.2" << "" << false << false;
    QTest::newRow("device without V") << "1.2" << "ZT-3_V0.1" << true << true;
}

void tst_UpdateText::autoNewer()
{
    QFETCH(QString, device);
    QFETCH(QString, token);
    QFETCH(bool, newer);
    QFETCH(bool, dialogNewer);
    QCOMPARE(AutoUpgrade::newerMajorMinor(device, token), newer);
    QCOMPARE(UpdateText::compareVersionNumbers(UpdateText::parseVersionNumbers(token),
                                               UpdateText::parseVersionNumbers(device))
                 > 0,
             dialogNewer);
}

void tst_UpdateText::bootloaderName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("upgradeDevice");
    QTest::newRow("Bootloader") << "ZT-3 Bootloader" << true;
    QTest::newRow("BootLoad any case") << "qrx-10 BOOTLOAD" << true;
    QTest::newRow("blank B") << "ZT-1 B" << true;
    QTest::newRow("QRX-20") << "QRX-20 Bootloader (COM4)" << true;
    QTest::newRow("QRX-30 is not listed") << "QRX-30 Bootloader" << false;
    QTest::newRow("WQM-30 is not listed") << "WQM-30 Bootloader" << false;
    QTest::newRow("model without mark") << "ZT-3 Updater" << false;
    QTest::newRow("B without blank") << "ZT-3B" << false;
    QTest::newRow("mark without model") << "Generic Bootloader" << false;
}

void tst_UpdateText::bootloaderName()
{
    QFETCH(QString, name);
    QFETCH(bool, upgradeDevice);
    QCOMPARE(AutoUpgrade::isBootloaderName(name), upgradeDevice);
}

void tst_UpdateText::appOffered_data()
{
    QTest::addColumn<QString>("release");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<bool>("manual");
    QTest::newRow("4.0.2") << "4.0.2" << false << true;
    QTest::newRow("4.1.0") << "4.1.0" << false << true;
    QTest::newRow("5.0.0") << "5.0.0" << true << true;
    QTest::newRow("same") << "4.0.1" << false << false;
    QTest::newRow("older") << "3.9.9" << false << false;
    QTest::newRow("4.0.1.1") << "4.0.1.1" << false << true;
    QTest::newRow("10") << "10" << true << true;
}

void tst_UpdateText::appOffered()
{
    QFETCH(QString, release);
    QFETCH(bool, automatic);
    QFETCH(bool, manual);
    QCOMPARE(AppVersion::isOffered(false, "4.0.1", release), automatic);
    QCOMPARE(AppVersion::isOffered(true, "4.0.1", release), manual);
}

void tst_UpdateText::appPaths_fixedNames()
{
    QCOMPARE(AppVersion::withoutV("V4.0.1"), QString("4.0.1"));
    QCOMPARE(AppVersion::withoutV("4.0.1"), QString("4.0.1"));
    QCOMPARE(AppVersion::releaseNumber("Stompwright_V4.1.0"), QString("4.1.0"));
    QCOMPARE(AppVersion::installerPath("4.1.0"),
             QString("download/Product/Stompwright/Update/Stompwright_V4.1.0.exe"));
    QCOMPARE(AppVersion::savedInstallerPath("/tmp/a b", "4.1.0"), QString("/tmp/a b/4.1.0.exe"));
    QCOMPARE(AppVersion::compareVersions("1.x.2", "1.0.2"), 0);
    QCOMPARE(AutoUpgrade::enterUpgradeCommand().toHex(' '), QByteArray("aa cc 02 00 09 0d 0a"));
    QCOMPARE(AutoUpgrade::offerText("ZT-3", "V1.2.0", "ZT-3_V1.3.0", " new\n"),
             QString("The current version is ZT-3_V1.2.0\nA new version is available: "
                     "ZT-3_V1.3.0\n\nUpdate Content:\n new\n"));
}

QTEST_APPLESS_MAIN(tst_UpdateText)
#include "tst_updatetext.moc"
