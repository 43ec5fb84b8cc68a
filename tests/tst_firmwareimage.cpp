// The rules an image passes before anything is erased for it, and the
// automatic upgrade's choice of the restarted controller.
#include "upgrade/autoupgrade.h"
#include "upgrade/firmwareimage.h"

#include <QCryptographicHash>
#include <QtTest>

class tst_FirmwareImage : public QObject
{
    Q_OBJECT

private slots:
    void size_data();
    void size();
    void modelNamed_data();
    void modelNamed();
    void checksumLine_data();
    void checksumLine();
    void checksum_ofImage();
    void candidates_data();
    void candidates();
};

void tst_FirmwareImage::size_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<bool>("accepted");
    for (qint64 n : {qint64(-1), qint64(0)})
        QTest::addRow("%lld", n) << n << false;
    for (qint64 n : {qint64(1), qint64(64), FirmwareImage::maxBytes - 1, FirmwareImage::maxBytes})
        QTest::addRow("%lld", n) << n << true;
    for (qint64 n : {FirmwareImage::maxBytes + 1, qint64(1) << 40})
        QTest::addRow("%lld", n) << n << false;
}

void tst_FirmwareImage::size()
{
    QFETCH(qint64, bytes);
    QFETCH(bool, accepted);
    const QString problem = FirmwareImage::sizeProblem(bytes);
    QCOMPARE(problem.isEmpty(), accepted);
    if (bytes > FirmwareImage::maxBytes)
        QVERIFY(problem.contains(QString::number(bytes)));
}

void tst_FirmwareImage::modelNamed_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("deviceModel");
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("other");
    QTest::newRow("own model") << "ZT-3_V1.3.0.bin" << "ZT-3" << "ZT-3" << "";
    QTest::newRow("letter case") << "qrx-20_v2.bin" << "ZT-3" << "QRX-20" << "QRX-20";
    QTest::newRow("ZT-UNO is the ZT-1") << "ZT-UNO_V1.bin" << "ZT-1" << "ZT-1" << "";
    QTest::newRow("ZT-UNO on a ZT-3") << "zt-uno.bin" << "ZT-3" << "ZT-1" << "ZT-1";
    QTest::newRow("QRX-30 is not QRX-10") << "QRX-30.bin" << "QRX-10" << "QRX-30" << "QRX-30";
    QTest::newRow("WQM-30") << "WQM-30_V1.bin" << "QRX-30" << "WQM-30" << "WQM-30";
    QTest::newRow("first named wins") << "ZT-1 for QRX-10.bin" << "QRX-10" << "ZT-1" << "ZT-1";
    QTest::newRow("no model in name") << "firmware.bin" << "ZT-3" << "" << "";
    QTest::newRow("device model unknown") << "ZT-3.bin" << "" << "ZT-3" << "";
    QTest::newRow("device reports more") << "QRX-10.bin" << "QRX-10 Pro" << "QRX-10" << "";
}

void tst_FirmwareImage::modelNamed()
{
    QFETCH(QString, fileName);
    QFETCH(QString, deviceModel);
    QFETCH(QString, named);
    QFETCH(QString, other);
    QCOMPARE(FirmwareImage::modelNamedIn(fileName), named);
    QCOMPARE(FirmwareImage::otherModelNamed(fileName, deviceModel), other);
}

void tst_FirmwareImage::checksumLine_data()
{
    const QByteArray hex(64, 'a');
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("checksum");
    QTest::newRow("bare") << hex << hex;
    QTest::newRow("with new line") << hex + "\n" << hex;
    QTest::newRow("checksum tool form") << hex + "  ZT-3_V1.3.0.bin\n" << hex;
    QTest::newRow("binary marker") << hex + " *ZT-3_V1.3.0.bin\r\n" << hex;
    QTest::newRow("upper case") << QByteArray(64, 'F') << QByteArray(64, 'f');
    QTest::newRow("blanks around") << "  " + hex + " \r\n" << hex;
    QTest::newRow("second line ignored") << hex + "\n" + QByteArray(64, 'b') << hex;
    QTest::newRow("one digit short") << QByteArray(63, 'a') << QByteArray();
    QTest::newRow("one digit long") << QByteArray(65, 'a') << QByteArray();
    QTest::newRow("not hexadecimal") << QByteArray(63, 'a') + "g" << QByteArray();
    QTest::newRow("on the second line") << "\n" + hex << QByteArray();
    QTest::newRow("an error page") << QByteArray("<html>404</html>") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void tst_FirmwareImage::checksumLine()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, checksum);
    QCOMPARE(FirmwareImage::checksumFrom(file), checksum);
}

void tst_FirmwareImage::checksum_ofImage()
{
    // The known digest of "abc".
    QCOMPARE(FirmwareImage::sha256Hex("abc"),
             QByteArray("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    // What checksum tools write reads back as the image's own digest.
    for (int n : {1, 63, 64, 65, 4096}) {
        const QByteArray image(n, char(n));
        const QByteArray line = QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex()
                                + "  image.bin\n";
        QCOMPARE(FirmwareImage::checksumFrom(line), FirmwareImage::sha256Hex(image));
    }
    QCOMPARE(FirmwareImage::checksumPath("download/Product/ZT-3/Update/ZT-3_V1.3.0.bin"),
             QString("download/Product/ZT-3/Update/ZT-3_V1.3.0.bin.sha256"));
}

void tst_FirmwareImage::candidates_data()
{
    QTest::addColumn<QStringList>("present"); // "name=port"
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("the restarted one")
        << QStringList{"ZT-3 Bootloader=COM9"} << QStringList{} << QStringList{"COM9"};
    QTest::newRow("one there before, same name")
        << QStringList{"ZT-3 Bootloader=COM4", "ZT-3 Bootloader=COM9"} << QStringList{"COM4"}
        << QStringList{"COM9"};
    QTest::newRow("only the one there before")
        << QStringList{"ZT-3 Bootloader=COM4"} << QStringList{"COM4"} << QStringList{};
    QTest::newRow("two new") << QStringList{"ZT-3 Bootloader=COM8", "QRX-10 BootLoad=COM9"}
                             << QStringList{} << QStringList{"COM8", "COM9"};
    QTest::newRow("not a bootloader name")
        << QStringList{"FTDI USB Serial Port (COM3)=COM3", "QRX-30 Bootloader=COM5"}
        << QStringList{} << QStringList{};
    QTest::newRow("no port") << QStringList{"ZT-1 Bootloader="} << QStringList{} << QStringList{};
}

void tst_FirmwareImage::candidates()
{
    QFETCH(QStringList, present);
    QFETCH(QStringList, before);
    QFETCH(QStringList, expected);
    QList<UpgradePort> ports;
    for (const QString &p : qAsConst(present))
        ports.append({p.section('=', 0, 0), p.section('=', 1)});
    QStringList found;
    for (const UpgradePort &p : AutoUpgrade::newCandidates(ports, before))
        found.append(p.portName);
    QCOMPARE(found, expected);
}

QTEST_MAIN(tst_FirmwareImage)
#include "tst_firmwareimage.moc"
