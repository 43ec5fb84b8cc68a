// Update texts, version numbers and the online model table.
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

QTEST_APPLESS_MAIN(tst_UpdateText)
#include "tst_updatetext.moc"
