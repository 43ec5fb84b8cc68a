// Set, Check and Delete through the real link: the window talks to a
// simulated controller over a pseudo-terminal, and the bytes are read on the
// controller's side.
#include "app/widget.h"
#include "curve/mycustomplot.h"
#include "device/serialport.h"
#include "pedal/configcommands.h"
#include "pedal/pedalmessage.h"
#include "sim/simulatedcontroller.h"
#include "support/controllerrig.h"
#include "support/editordriver.h"
#include "support/setcommandgolden.h"
#include "ui_widget.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

using SetCommandGolden::spaced;

using Rig = ControllerRig;

QPushButton *setButtonOf(Ui::Widget *ui, int pedalType)
{
    switch (pedalType) {
    case PedalTypeExpression: return ui->setButton_6;
    case PedalTypeSwitch: return ui->setButton_9;
    default: return ui->setButton_7;
    }
}

} // namespace

class TestPedalCommands : public QObject
{
    Q_OBJECT

private slots:
    void setButtons_writeTheGoldenFrames();
    void setThenCheck_returnsTheDefinitionByteForByte();
    void check_formsByModelAndStatus_data();
    void check_formsByModelAndStatus();
    void delete_buttonsNameThePedalOnly();
    void buttonlessSlots_sendOrStaySilent();
};

void TestPedalCommands::setButtons_writeTheGoldenFrames()
{
    Rig rig(QStringLiteral("ZT-3"));
    QVERIFY(rig.connect());
    QCOMPARE(rig.ui->Pedal_Number->count(), 4);
    // A ZT-3 offers "Tempo" once connected.
    QCOMPARE(rig.ui->switch_comboBox0->findText(QStringLiteral("Tempo")), 6);

    const QList<SetCommandGolden::Row> rows = SetCommandGolden::rows();
    for (int i = 0; i < rows.size(); ++i) {
        const SetCommandGolden::Row &row = rows.at(i);
        driveEditor(*rig.window, SetCommandGolden::editorFor(row));
        setButtonOf(rig.ui, row.pedalType)->click();
        QTRY_COMPARE(rig.commands(ControllerCommand::Set).size(), i + 1);

        // One write of the whole frame; byte 21 is the expression curve's code.
        const QByteArray frame = rig.commands(ControllerCommand::Set).last();
        QString expected = row.fields;
        const MyCustomPlot *curve = rig.window->expressionCurvePlot();
        expected.replace(45, 2, spaced(QByteArray(1, char(curve ? curve->curveCode : 0))));
        QVERIFY2(spaced(frame.mid(6, 17)) == expected,
                 qPrintable(QStringLiteral("%1: %2").arg(row.name, spaced(frame))));
        QCOMPARE(spaced(frame.left(6)), QStringLiteral("F0 00 21 5E 10 03"));
        QCOMPARE(frame.size(), 24);
    }
    QCOMPARE(rig.commands(ControllerCommand::Unknown).size(), 0);
    QCOMPARE(rig.commands(ControllerCommand::Garbage).size(), 0);
}

void TestPedalCommands::setThenCheck_returnsTheDefinitionByteForByte()
{
    for (const QString &model : {QStringLiteral("ZT-3"), QStringLiteral("QRX-20")}) {
        // A QRX-20 reporting status 0 is asked in the long form, the ZT-3 in the short.
        Rig rig(model, model == QLatin1String("QRX-20") ? 0 : -1);
        QVERIFY(rig.connect());
        SerialPort *link = rig.window->findChild<SerialPort *>();
        QVERIFY(link);
        QSignalSpy frames(link, &SerialPort::pedalMidiDataSignal);

        rig.ui->Pedal_Number->setCurrentIndex(1);
        rig.ui->Message_Number->setCurrentIndex(9);
        rig.ui->pendal_type_comboBox0->setCurrentText(QStringLiteral("Hi-Hat"));
        rig.ui->hat_comboBox0->setCurrentText(QStringLiteral("NOTE"));
        rig.ui->hat_note_comboBox_ctl->setCurrentIndex(38);
        rig.ui->hat_note_comboBox_valmax->setCurrentIndex(90);
        rig.ui->hat_note_comboBox_valmin->setCurrentIndex(12);
        rig.ui->hat_note_comboBox_gain->setCurrentIndex(70);
        rig.ui->ht_Evert_checkBox->setChecked(true);
        rig.ui->setButton_7->click();
        QTRY_COMPARE(rig.commands(ControllerCommand::Set).size(), 1);
        const QByteArray set = rig.commands(ControllerCommand::Set).first();
        QCOMPARE(rig.controller.behaviour().definition(1, 9, PedalTypeHiHat), set.mid(6, 17));
        QVERIFY(rig.controller.behaviour().isStored(1, 9, PedalTypeHiHat));

        rig.ui->checkButton->click();
        QTRY_COMPARE(rig.commands(ControllerCommand::Ask).size(), 1);
        const QByteArray ask = rig.commands(ControllerCommand::Ask).first();
        if (model == QLatin1String("QRX-20"))
            QCOMPARE(spaced(ask), QStringLiteral("F0 00 21 5E 04 04 01 09 02 F7"));
        else
            QCOMPARE(spaced(ask), QStringLiteral("F0 00 21 5E 04 04 01 09 F7"));

        // The reply reaches the window as a configuration frame with the same definition.
        QTRY_VERIFY(std::any_of(frames.cbegin(), frames.cend(), [](const QList<QVariant> &args) {
            return args.first().value<Protocol::MsgPackage>().type == Protocol::CheckPadelReply;
        }));
        for (const QList<QVariant> &args : qAsConst(frames)) {
            const auto package = args.first().value<Protocol::MsgPackage>();
            if (package.type != Protocol::CheckPadelReply)
                continue;
            PedalMessage stored;
            PedalMessage sent;
            QVERIFY(PedalMessage::readFrom(package.frame, &stored));
            QVERIFY(PedalMessage::readFrom(set, &sent));
            QCOMPARE(stored, sent);
            QCOMPARE(package.frame.mid(6, 17), set.mid(6, 17));
            QCOMPARE(stored.dataA, quint8(38));
            QCOMPARE(stored.valueA, quint8(90));
            QCOMPARE(stored.valueB, quint8(12));
        }
    }
}

void TestPedalCommands::check_formsByModelAndStatus_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("pedal");
    QTest::addColumn<QString>("ask");

    QTest::newRow("QRX-10 without status") << "QRX-10" << -1 << 0 << "F0 00 21 5E 04 04 00 03 F7";
    QTest::newRow("QRX-10 status names the pedal") << "QRX-10" << 2 << 1
                                                   << "F0 00 21 5E 04 04 01 03 02 F7";
    QTest::newRow("QRX-10 status names another pedal") << "QRX-10" << 3 << 1
                                                       << "F0 00 21 5E 04 04 01 03 F7";
    QTest::newRow("QRX-20 0x05 pedal 2") << "QRX-20" << 0x05 << 1 << "F0 00 21 5E 04 04 01 03 F7";
    QTest::newRow("QRX-20 0x05 pedal 1") << "QRX-20" << 0x05 << 0
                                         << "F0 00 21 5E 04 04 00 03 02 F7";
    QTest::newRow("QRX-20 0x0F pedal 1") << "QRX-20" << 0x0F << 0 << "F0 00 21 5E 04 04 00 03 F7";
    QTest::newRow("QRX-20 0x0F pedal 4") << "QRX-20" << 0x0F << 3 << "F0 00 21 5E 04 04 03 03 F7";
    QTest::newRow("QRX-20 without status") << "QRX-20" << -1 << 3 << "F0 00 21 5E 04 04 03 03 F7";
    QTest::newRow("ZT-1") << "ZT-1" << 0 << 1 << "F0 00 21 5E 04 04 01 03 F7";
}

void TestPedalCommands::check_formsByModelAndStatus()
{
    QFETCH(QString, model);
    QFETCH(int, status);
    QFETCH(int, pedal);
    QFETCH(QString, ask);

    Rig rig(model, status);
    QVERIFY(rig.connect());
    if (status >= 0)
        QTRY_COMPARE(rig.window->findChild<SerialPort *>()->extractedValue, status);
    rig.ui->Pedal_Number->setCurrentIndex(pedal);
    rig.ui->Message_Number->setCurrentIndex(3);
    rig.ui->pendal_type_comboBox1->setCurrentText(QStringLiteral("Hi-Hat"));

    rig.ui->checkButton->click();
    QTRY_COMPARE(rig.commands(ControllerCommand::Ask).size(), 1);
    QCOMPARE(spaced(rig.commands(ControllerCommand::Ask).first()), ask);

    // The second Check button always asks in the short form.
    rig.ui->checkButton_2->click();
    QTRY_COMPARE(rig.commands(ControllerCommand::Ask).size(), 2);
    QCOMPARE(rig.commands(ControllerCommand::Ask).last().size(), 9);
}

void TestPedalCommands::delete_buttonsNameThePedalOnly()
{
    Rig rig(QStringLiteral("QRX-20"));
    QVERIFY(rig.connect());
    rig.ui->Pedal_Number->setCurrentIndex(2);
    rig.ui->Message_Number->setCurrentIndex(7);
    const QList<QPushButton *> buttons = {rig.ui->pushButton, rig.ui->pushButton_2,
                                          rig.ui->pushButton_3, rig.ui->deleteButton};
    for (int i = 0; i < buttons.size(); ++i) {
        buttons.at(i)->click();
        QTRY_COMPARE(rig.commands(ControllerCommand::Delete).size(), i + 1);
        QCOMPARE(spaced(rig.commands(ControllerCommand::Delete).last()),
                 QStringLiteral("F0 00 21 5E 03 05 02 F7"));
    }
    QCOMPARE(rig.commands(ControllerCommand::FactoryReset).size(), 0);
}

void TestPedalCommands::buttonlessSlots_sendOrStaySilent()
{
    Rig rig(QStringLiteral("ZT-3"));
    QVERIFY(rig.connect());
    Widget &w = *rig.window;

    w.on_setButton_clicked();
    w.on_setButton_8_clicked();
    w.on_setButton_2_clicked();
    w.on_setButton_3_clicked();
    w.on_setButton_4_clicked();
    w.on_setButton_5_clicked();
    w.on_checkButton_3_clicked();
    QTRY_COMPARE(rig.commands(ControllerCommand::Ask).size(), 1);
    QTRY_COMPARE(rig.commands(ControllerCommand::Set).size(), 4);
    QByteArray expected;
    w.buildPedalMessage(expected);
    for (const QByteArray &set : rig.commands(ControllerCommand::Set))
        QCOMPARE(set, expected);
    // Nothing else arrives: the two silent slots wrote nothing.
    QCOMPARE(rig.controller.commands().size(), 5);
}

QTEST_MAIN(TestPedalCommands)
#include "tst_pedalcommands.moc"
