// The main window's shell: start state, size limits, style and the Exit box.
#include "app/appstylesheet.h"
#include "app/widget.h"
#include "device/devicesource.h"
#include "support/comboitems.h"
#include "support/fakedevicesource.h"
#include "support/modalwatcher.h"
#include "ui_widget.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

QtMessageHandler previousHandler = nullptr;
QStringList styleWarnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg)
        styleWarnings.append(message);
    previousHandler(type, context, message);
}

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void startState_noControllerAttached();
    void startState_hiddenWidgets();
    void startState_lists();
    void minimumSize_cannotShrinkBelow870x750();
    void pedalTypeStack_index2ShowsHiHatPage();
    void styleSheet_parsesAndColoursWidgets();
    void exit_cancelKeepsRunning();
    void exit_okQuits(); // last: it quits the application's event loops

private:
    FakeDeviceSource m_nothing;
};

void tst_MainWindow::initTestCase()
{
    DeviceSource::setCurrent(&m_nothing);
}

void tst_MainWindow::cleanupTestCase()
{
    DeviceSource::setCurrent(nullptr);
}

void tst_MainWindow::startState_noControllerAttached()
{
    Widget w;
    Ui::Widget *ui = w.form();
    QCOMPARE(ui->comboBox_ComDevices->count(), 0);
    QVERIFY(ui->comboBox_ComDevices->isEnabled());
    QVERIFY(ui->connectButton->isEnabled());
    QCOMPARE(ui->connectButton->text(), QStringLiteral("Connect"));
    for (QPushButton *b : {ui->openButton, ui->saveButton, ui->deleteButton, ui->checkButton,
                           ui->checkButton_2, ui->setButton_6, ui->setButton_9, ui->setButton_7})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    QCOMPARE(w.windowTitle(), QStringLiteral("Stompwright V4.0.1"));
}

void tst_MainWindow::startState_hiddenWidgets()
{
    Widget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Ui::Widget *ui = w.form();
    const QList<QWidget *> hidden{
        ui->widget_8, ui->widget_10, ui->groupBox_16, ui->groupBox_2,
        ui->expression_trigger_level, ui->expression_cc_comboBox_ql,
        ui->expression_note_comboBox_ql, ui->expression_pitch_comboBox_ql,
        ui->expression_ch_comboBox_ql, ui->hat_cc_comboBox_ql, ui->hat_note_comboBox_ql,
        ui->Hi_hat_Setting, ui->test, ui->label_84};
    for (QWidget *x : hidden)
        QVERIFY2(!x->isVisible(), qPrintable(x->objectName()));
    // The second general-settings group is laid out but has no area at all.
    QCOMPARE(ui->General_settings_2->size(), QSize(0, 0));
    // So the legacy panel's buttons can never be pressed.
    for (QWidget *b : {ui->openButton, ui->saveButton, ui->deleteButton})
        QVERIFY(!b->isVisible());
    QVERIFY(!ui->expression_press_note->isEnabled());
    QVERIFY(!ui->expression_release_note->isEnabled());
}

void tst_MainWindow::startState_lists()
{
    Widget w;
    Ui::Widget *ui = w.form();
    QCOMPARE(ui->Pedal_Number->count(), 0);
    QCOMPARE(itemTexts(ui->Message_Number), numbers(1, 16));
    QCOMPARE(itemTexts(ui->Message_Number_2), numbers(1, 16));
    QCOMPARE(itemTexts(ui->MIDI_Channel), numbers(1, 16));
    QCOMPARE(itemTexts(ui->Pedal_Type), (QStringList{"Expression", "Switch", "Hi-Hat"}));
    QCOMPARE(itemTexts(ui->comboBox_EPS_Gain), QStringList{"OFF"} + numbers(1, 100));
    QCOMPARE(itemTexts(ui->comboBox_HHS_TL), QStringList{"OFF"} + numbers(1, 127));
    for (QComboBox *box : {ui->comboBox_EPS_D1_1, ui->comboBox_SPS_D2_2, ui->comboBox_HHS_RN})
        QCOMPARE(itemTexts(box), numbers(0, 127));
    QCOMPARE(itemTexts(ui->comboBox_SPS_mode),
             (QStringList{"Single", "Toggle", "Reset", "Increase", "Decrease"}));
    QCOMPARE(ui->pedal_type_stack->currentIndex(), 0);
    QCOMPARE(ui->expression_stackedWidget->currentIndex(), 0);
    QCOMPARE(ui->switch_stackedWidget->currentIndex(), 0);
    QCOMPARE(ui->hat_stackedWidget->currentIndex(), 0);
}

void tst_MainWindow::minimumSize_cannotShrinkBelow870x750()
{
    Widget w;
    // 750 for the form, and the status line below it.
    const int height = 750 + w.statusLineGrowth();
    QCOMPARE(w.minimumSize(), QSize(870, height));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), QSize(870, height));
    w.resize(400, 300);
    QVERIFY(w.width() >= 870);
    QVERIFY(w.height() >= height);
}

void tst_MainWindow::pedalTypeStack_index2ShowsHiHatPage()
{
    Widget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Ui::Widget *ui = w.form();
    ui->pedal_type_stack->setCurrentIndex(2);
    QCOMPARE(ui->pedal_type_stack->currentWidget()->objectName(), QStringLiteral("page"));
    QVERIFY(ui->page->isVisible());
    QVERIFY(ui->Switch_Pedal_Setting_3->isVisible());
    QVERIFY(ui->hat_stackedWidget->isVisible());
    QVERIFY(!ui->page_3->isVisible());
}

void tst_MainWindow::styleSheet_parsesAndColoursWidgets()
{
    styleWarnings.clear();
    previousHandler = qInstallMessageHandler(collectWarnings);
    const QString previous = qApp->styleSheet();
    qApp->setStyleSheet(applicationStyleSheet());
    {
        Widget w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Ui::Widget *ui = w.form();
        QCOMPARE(ui->label_27->palette().color(QPalette::WindowText), QColor("#A68D44"));
        QCOMPARE(ui->comboBox_ComDevices->palette().color(QPalette::Window), QColor("#2A2A2A"));
        QCOMPARE(ui->connectButton->palette().color(QPalette::ButtonText), QColor("#FFFFFF"));
    }
    qApp->setStyleSheet(previous);
    qInstallMessageHandler(previousHandler);
    for (const QString &warning : qAsConst(styleWarnings))
        QVERIFY2(!warning.contains(QLatin1String("style"), Qt::CaseInsensitive), qPrintable(warning));
}

void tst_MainWindow::exit_cancelKeepsRunning()
{
    Widget w;
    w.show();
    ModalWatcher watcher(QMessageBox::Cancel);
    QEventLoop loop;
    QTimer::singleShot(0, &w, &Widget::confirmExit);
    QTimer::singleShot(300, &loop, [&loop] { loop.exit(42); });
    QCOMPARE(loop.exec(), 42); // nothing but our own timer ended the loop
    QCOMPARE(watcher.seen().size(), 1);
    QCOMPARE(watcher.seen().first().title, QStringLiteral("Exit"));
    QCOMPARE(watcher.seen().first().text, QStringLiteral("Exit software?"));
    QVERIFY(w.isVisible());
    QCOMPARE(w.form()->connectButton->text(), QStringLiteral("Connect"));
}

void tst_MainWindow::exit_okQuits()
{
    Widget w;
    w.show();
    ModalWatcher watcher(QMessageBox::Ok);
    QEventLoop loop;
    QTimer::singleShot(0, &w, &Widget::confirmExit);
    QTimer::singleShot(5000, &loop, [&loop] { loop.exit(42); });
    QCOMPARE(loop.exec(), 0); // quit() ended it before the guard timer
    QCOMPARE(watcher.seen().size(), 1);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
