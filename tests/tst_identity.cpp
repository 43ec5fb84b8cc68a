// Model and version replies, as the link and the main window read them.
#include "device/identity.h"

#include <QtTest>

using Identity::LinkReading;

namespace {
const QByteArray kVersionHead("\xAA\xCC\x06", 3);
}

class tst_Identity : public QObject
{
    Q_OBJECT

private slots:
    void queries_bytes();
    void link_data();
    void link();
    void window_data();
    void window();
    void modelVariant_thirtyModelsAreTwo();
};

void tst_Identity::queries_bytes()
{
    QCOMPARE(Identity::identityQuery().toHex(' '), QByteArray("aa cc 02 00 01 0d 0a"));
    QCOMPARE(Identity::versionQuery().toHex(' '), QByteArray("aa cc 02 00 03 0d 0a"));
}

void tst_Identity::link_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");

    QTest::newRow("model with CR LF") << QByteArray("ZT-3\r\n") << int(LinkReading::Model)
                                      << "ZT-3";
    QTest::newRow("model without CR LF is still a model")
        << QByteArray("QRX-30") << int(LinkReading::Model) << "QRX-30";
    QTest::newRow("first model wins") << QByteArray("xx QRX-20 ZT-1\r\n")
                                      << int(LinkReading::Model) << "QRX-20";
    QTest::newRow("hub model") << QByteArray("WQM-30\r\n") << int(LinkReading::Model) << "WQM-30";
    QTest::newRow("version with CR LF")
        << kVersionHead + QByteArray("V1.0.7\r\n") << int(LinkReading::Version) << "V1.0.7";
    QTest::newRow("version without CR LF")
        << kVersionHead + QByteArray("V1.0.7") << int(LinkReading::PartialVersion) << "";
    // The version reply is never mistaken for a model, even with a dash inside.
    QTest::newRow("version that looks like a model")
        << kVersionHead + QByteArray("V2-1\r\n") << int(LinkReading::Version) << "V2-1";
    QTest::newRow("version text starts at the buffer's first V")
        << QByteArray("V") + kVersionHead + QByteArray("V3\r\n") << int(LinkReading::Version)
        << QString::fromUtf8(QByteArray("V") + kVersionHead + "V3");
    QTest::newRow("no model") << QByteArray("ERASE END") << int(LinkReading::Nothing) << "";
    QTest::newRow("dash without digits") << QByteArray("ZT-x\r\n") << int(LinkReading::Nothing)
                                         << "";
}

void tst_Identity::link()
{
    QFETCH(QByteArray, data);
    QFETCH(int, kind);
    QFETCH(QString, text);
    const LinkReading r = Identity::readForLink(data);
    QCOMPARE(int(r.kind), kind);
    QCOMPARE(r.text, text);
}

void tst_Identity::window_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("ignored");
    QTest::addColumn<QString>("model");   // empty: none taken
    QTest::addColumn<QString>("version"); // empty: none taken

    QTest::newRow("ZT-3") << QByteArray("ZT-3\r\n") << false << "ZT-3" << "";
    QTest::newRow("QRX-30") << QByteArray("QRX-30\r\n") << false << "QRX-30" << "";
    QTest::newRow("ZT- before QRX-") << QByteArray("QRX-10\r\nZT-1\r\n") << false << "ZT-1" << "";
    QTest::newRow("model without CR LF") << QByteArray("ZT-3 ") << false << "" << "";
    QTest::newRow("model runs to the next CR LF") << QByteArray("ab ZT-3 MIDI\r\nxx") << false
                                                  << "ZT-3 MIDI" << "";
    QTest::newRow("version with CR LF")
        << kVersionHead + QByteArray("V1.2.3\r\n") << false << "" << "V1.2.3";
    QTest::newRow("version without CR LF") << kVersionHead + QByteArray("V1.2.3") << false << ""
                                           << "";
    QTest::newRow("byte 6 is o") << kVersionHead + QByteArray("abco\r\n") << false << "" << "";
    QTest::newRow("short version buffer") << kVersionHead + QByteArray("V\r\n") << false << ""
                                          << "V";
    QTest::newRow("seven bytes") << QByteArray("ZT-3\r\n!") << true << "" << "";
    QTest::newRow("Reset") << QByteArray("Reset ZT-3\r\n") << true << "" << "";
    QTest::newRow("ERASE END") << QByteArray("ERASE END ZT-3\r\n") << true << "" << "";
}

void tst_Identity::window()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, ignored);
    QFETCH(QString, model);
    QFETCH(QString, version);
    const Identity::WindowReading r = Identity::readForWindow(data);
    QCOMPARE(r.ignored, ignored);
    QCOMPARE(r.hasModel, !model.isEmpty());
    QCOMPARE(r.model, model);
    QCOMPARE(r.hasVersion, !version.isEmpty());
    QCOMPARE(r.version, version);
}

void tst_Identity::modelVariant_thirtyModelsAreTwo()
{
    QCOMPARE(Identity::modelVariant("QRX-30"), 2);
    QCOMPARE(Identity::modelVariant("WQM-30"), 2);
    QCOMPARE(Identity::modelVariant("QRX-10"), 1);
    QCOMPARE(Identity::modelVariant("ZT-3"), 1);
}

QTEST_GUILESS_MAIN(tst_Identity)
#include "tst_identity.moc"
