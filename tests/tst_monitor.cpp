// The live monitor in the main window: queue and drain, the three MIDI data
// tables, the pedal pictures, and live frames from a simulated controller
// over its pseudo-terminal.
#include "app/widget.h"
#include "device/devicesource.h"
#include "device/serialport.h"
#include "sim/controllerbehaviour.h"
#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"
#include "monitor/eventtablemodel.h"
#include "support/controllerrig.h"
#include "support/fakefiledialogs.h"
#include "support/midoreader.h"
#include "support/modalwatcher.h"
#include "ui_widget.h"

#include <QAction>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QToolTip>
#include <QGraphicsPixmapItem>
#include <QGraphicsRotation>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHeaderView>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QByteArray frameOf(int slot, int status, int data1, int data2)
{
    QByteArray frame = ControllerBehaviour::usbMidiEvent(quint8(status), quint8(data1), quint8(data2));
    frame[0] = char((slot << 4) | (quint8(frame.at(0)) & 0x0F));
    return frame;
}

/// A pitch bend whose value counts 0..16383.
QByteArray numbered(int n)
{
    return frameOf(0, 0xE0, n & 0x7F, (n >> 7) & 0x7F);
}

int numberOfRow(const QAbstractItemModel *m, int row)
{
    return m->index(row, 2).data().toInt();
}

QAction *ccNamesAction(Widget &w)
{
    for (QAction *a : w.findChildren<QAction *>()) {
        if (a->text() == QLatin1String("Show CC Name"))
            return a;
    }
    return nullptr;
}

QList<QTableView *> views(Ui::Widget *ui)
{
    return {ui->tableView, ui->tableView_2, ui->tableView_3};
}

QList<int> rowCounts(Ui::Widget *ui)
{
    QList<int> counts;
    for (QTableView *v : views(ui))
        counts.append(v->model()->rowCount());
    return counts;
}

QStringList lastRow(const QAbstractItemModel *m)
{
    QStringList texts;
    for (int c = 0; c < m->columnCount(); ++c)
        texts.append(m->index(m->rowCount() - 1, c).data().toString());
    return texts;
}

/// A window on its own, its editor in the state the tests set.
struct Window
{
    Window()
    {
        w.resize(870, 750);
        ui = w.form();
    }
    bool drained()
    {
        return QTest::qWaitFor([this] { return !w.pedalFrameDrainPending(); });
    }
    qreal angle(int pedalType) const { return w.pedalPictureItem(pedalType)->rotation(); }

    ModalWatcher boxes;
    Widget w;
    Ui::Widget *ui = nullptr;
};

} // namespace

class TestMonitor : public QObject
{
    Q_OBJECT

private slots:
    // The window keeps config.ini in the current directory.
    void initTestCase() { QVERIFY(QDir::setCurrent(workDir.path())); }
    void queue_251ArrivalsKeepTheNewest250();
    void queue_burstHandledByOneDrainInBatchesInOrder();
    void queue_emptyFrameIgnored();
    void filter_boxOfThePedalType_data();
    void filter_boxOfThePedalType();
    void trigger_levelHitHidesOneRowAndHoldsTwoPictures();
    void trigger_valueZeroNeverMatches();
    void hiHat_ccTypeLeavesPictureStillOnNotes();
    void start_drivesSwitchPictureOnAnyPage();
    void tables_setUpAsDescribed();
    void tables_capAt1000OnAllThree();
    void tables_drainKeepsTheCapAndScrollsToTheNewest();
    void tables_anyClearEmptiesAllThree_data();
    void tables_anyClearEmptiesAllThree();
    void pictures_builtAsLaidOut();
    void pictures_restBeforeAnyFrame();
    void expression_tiltFollowsTheRangeOfTheEventType_data();
    void expression_tiltFollowsTheRangeOfTheEventType();
    void expression_equalEndsDoNotMove();
    void hiHat_tilt_data();
    void hiHat_tilt();
    void switch_singleSpringsBackFrom8To0();
    void switch_resetAnimatesToTheTarget_data();
    void switch_resetAnimatesToTheTarget();
    void endToEnd_liveFramesReachTablesAndPictures();
    void pause_tablesStandStillWhileFramesAreCountedAndShowThemOnResume();
    void pause_moreThanATableHoldsShowsTheNewestAndCountsTheDropped();
    void toolTips_everyCellItsFullTextAndArrivalTime();
    void export_rowsShownAndAllSinceConnect_csvAndMidiReadBack();
    void export_pausedWritesTheRowsShown_cancelWritesNothing_failureSaysSoInABox();

private:
    QTemporaryDir workDir;
};

void TestMonitor::queue_251ArrivalsKeepTheNewest250()
{
    Window t;
    for (int i = 0; i < 251; ++i)
        t.w.enqueuePedalFrame(numbered(i));
    QCOMPARE(t.w.queuedPedalFrames(), 250);
    QCOMPARE(t.w.droppedPedalFrames(), qint64(1));
    QVERIFY(t.w.pedalFrameDrainPending());
    // Nothing is handled inside the intake.
    QCOMPARE(t.ui->tableView->model()->rowCount(), 0);

    QVERIFY(t.drained());
    QCOMPARE(t.w.queuedPedalFrames(), 0);
    const QAbstractItemModel *m = t.ui->tableView->model();
    QCOMPARE(m->rowCount(), 250);
    for (int row = 0; row < 250; ++row)
        QCOMPARE(numberOfRow(m, row), row + 1);
}

void TestMonitor::queue_burstHandledByOneDrainInBatchesInOrder()
{
    Window t;
    int queuedAtFirstPass = -1;
    bool drainingAtFirstPass = false;
    // The first row is made inside the drain; a timer started then runs in
    // the first event loop pass the drain allows, after its first batch.
    QObject::connect(t.ui->tableView->model(), &QAbstractItemModel::rowsInserted, &t.w, [&] {
        if (t.ui->tableView->model()->rowCount() != 1)
            return;
        QTimer::singleShot(0, &t.w, [&] {
            queuedAtFirstPass = t.w.queuedPedalFrames();
            drainingAtFirstPass = t.w.pedalFrameDrainPending();
            for (int i = 100; i < 200; ++i)
                t.w.enqueuePedalFrame(numbered(i));
        });
    });
    for (int i = 0; i < 100; ++i)
        t.w.enqueuePedalFrame(numbered(i));
    QVERIFY(t.drained());
    QCOMPARE(queuedAtFirstPass, 75);
    QVERIFY(drainingAtFirstPass);
    QCOMPARE(t.w.handledPedalFrames(), qint64(200));
    for (QTableView *v : views(t.ui)) {
        QCOMPARE(v->model()->rowCount(), 200);
        for (int row = 0; row < 200; ++row)
            QCOMPARE(numberOfRow(v->model(), row), row);
    }
}

void TestMonitor::queue_emptyFrameIgnored()
{
    Window t;
    t.w.enqueuePedalFrame(QByteArray());
    t.w.enqueuePedalFrame(frameOf(0, 0xB0, 7, 1));
    QVERIFY(t.drained());
    QCOMPARE(rowCounts(t.ui), (QList<int>{1, 1, 1}));
    QCOMPARE(t.w.handledPedalFrames(), qint64(1));
}

void TestMonitor::filter_boxOfThePedalType_data()
{
    QTest::addColumn<int>("pedalType");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("moved");
    // Frames of slots 0, 3 and 5 with slot 3 selected; only the slot-3 frame moves a picture.
    for (int type = 0; type < 3; ++type) {
        const QString box = QStringList{"checkBox_ex", "checkBox_sw", "checkBox_ht"}.at(type);
        const QString name = QStringList{"expression", "switch", "hi-hat"}.at(type);
        QTest::newRow(qPrintable(name + ", own box ticked")) << type << box << true << 1 << true;
        QTest::newRow(qPrintable(name + ", not ticked")) << type << box << false << 3 << true;
        // The box of another pedal type does not filter.
        const QString other = QStringList{"checkBox_sw", "checkBox_ht", "checkBox_ex"}.at(type);
        QTest::newRow(qPrintable(name + ", other box ticked")) << type << other << true << 3 << true;
    }
}

void TestMonitor::filter_boxOfThePedalType()
{
    QFETCH(int, pedalType);
    QFETCH(QString, box);
    QFETCH(bool, ticked);
    QFETCH(int, rows);
    Window t;
    t.ui->pendal_type_comboBox0->setCurrentIndex(pedalType);
    t.ui->Message_Number->setCurrentIndex(3);
    t.w.findChild<QCheckBox *>(box)->setChecked(ticked);
    const qreal exStart = t.angle(1);
    const qreal hatStart = t.angle(3);
    t.w.handlePedalFrame(frameOf(0, 0xB0, 4, 30));
    t.w.handlePedalFrame(frameOf(5, 0xB0, 4, 40));
    // Slots other than the selected one leave expression and hi-hat still.
    QCOMPARE(t.angle(1), exStart);
    QCOMPARE(t.angle(3), hatStart);
    t.w.handlePedalFrame(frameOf(3, 0xB0, 4, 127));
    QCOMPARE(rowCounts(t.ui), (QList<int>{rows, rows, rows}));
    if (pedalType == 0)
        QCOMPARE(t.angle(1), 0.0);
    if (pedalType == 2)
        QCOMPARE(t.angle(3), -5.0);
    if (pedalType == 1)
        QVERIFY(t.w.findChild<QPropertyAnimation *>());
}

void TestMonitor::trigger_levelHitHidesOneRowAndHoldsTwoPictures()
{
    Window t;
    t.ui->expression_comboBox0->setCurrentIndex(1); // NOTE, range 0..127
    t.ui->expression_trigger_level->setCurrentIndex(64);
    QCOMPARE(t.ui->expression_note_comboBox_valmax->currentIndex(), 127);
    QCOMPARE(t.ui->expression_note_comboBox_valmin->currentIndex(), 0);

    t.w.handlePedalFrame(frameOf(0, 0x90, 60, 64));
    QCOMPARE(t.ui->tableView->model()->rowCount(), 0);
    const qreal atHit = t.angle(1);
    QVERIFY(qAbs(atHit - 7.4409) < 1e-3); // (1 - 64/127) * 15
    t.w.handlePedalFrame(frameOf(0, 0x90, 60, 127));
    t.w.handlePedalFrame(frameOf(0, 0x80, 60, 0));
    QCOMPARE(t.angle(1), atHit);
    QCOMPARE(rowCounts(t.ui), (QList<int>{2, 2, 2}));
    t.w.handlePedalFrame(frameOf(0, 0x90, 60, 127));
    QCOMPARE(t.angle(1), 0.0);
    QCOMPARE(rowCounts(t.ui), (QList<int>{3, 3, 3}));
    QCOMPARE(lastRow(t.ui->tableView_3->model()),
             (QStringList{"Note On", "60/C4", "127", "1"})); // first start: the editor's naming
}

void TestMonitor::trigger_valueZeroNeverMatches()
{
    Window t;
    t.ui->expression_comboBox0->setCurrentIndex(1);
    t.ui->expression_trigger_level->setCurrentIndex(1);
    for (int i = 0; i < 3; ++i)
        t.w.handlePedalFrame(frameOf(0, 0x80, 60, 0));
    QCOMPARE(rowCounts(t.ui), (QList<int>{3, 3, 3}));
    QCOMPARE(t.angle(1), 15.0);
    // Level 1 itself matches and hides its row.
    t.w.handlePedalFrame(frameOf(0, 0x90, 60, 1));
    QCOMPARE(rowCounts(t.ui), (QList<int>{3, 3, 3}));
}

void TestMonitor::hiHat_ccTypeLeavesPictureStillOnNotes()
{
    Window t;
    t.ui->pendal_type_comboBox0->setCurrentIndex(2);
    QCOMPARE(t.ui->hat_comboBox0->currentIndex(), 0);
    t.w.handlePedalFrame(frameOf(0, 0x90, 44, 100));
    t.w.handlePedalFrame(frameOf(0, 0x80, 44, 0));
    QCOMPARE(t.angle(3), 3.0);
    QCOMPARE(rowCounts(t.ui), (QList<int>{2, 2, 2}));
    t.w.handlePedalFrame(frameOf(0, 0xB0, 4, 127));
    QCOMPARE(t.angle(3), -5.0);
    // With NOTE the notes move it.
    t.ui->hat_comboBox0->setCurrentIndex(1);
    t.w.handlePedalFrame(frameOf(0, 0x90, 44, 0));
    QCOMPARE(t.angle(3), 3.0);
}

void TestMonitor::start_drivesSwitchPictureOnAnyPage()
{
    Window t;
    QCOMPARE(t.ui->pendal_type_comboBox0->currentIndex(), 0);
    t.ui->Message_Number->setCurrentIndex(2);
    QGraphicsRotation *rotation = t.w.switchPedalRotation();
    // Another slot: a row, no press.
    t.w.handlePedalFrame(frameOf(1, 0xFA, 0, 0));
    QVERIFY(!t.w.findChild<QPropertyAnimation *>());
    t.w.handlePedalFrame(frameOf(2, 0xFA, 0, 0));
    auto *press = t.w.findChild<QPropertyAnimation *>();
    QVERIFY(press);
    QCOMPARE(press->targetObject(), rotation);
    QCOMPARE(rowCounts(t.ui), (QList<int>{2, 2, 2}));
    QCOMPARE(lastRow(t.ui->tableView->model()), (QStringList{"Start", "--", "--", "--"}));
    QTRY_VERIFY(!t.w.findChild<QPropertyAnimation *>());
    // A three-byte real-time frame adds its row but does not press.
    t.w.handlePedalFrame(frameOf(2, 0xFC, 0, 0).left(3));
    QVERIFY(!t.w.findChild<QPropertyAnimation *>());
    QCOMPARE(lastRow(t.ui->tableView->model()), (QStringList{"Stop", "--", "--", "--"}));
}

void TestMonitor::tables_setUpAsDescribed()
{
    Window t;
    for (QTableView *v : views(t.ui)) {
        QVERIFY(!v->horizontalHeader()->isVisibleTo(&t.w));
        QVERIFY(!v->verticalHeader()->isVisibleTo(&t.w));
        QCOMPARE(v->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!v->showGrid());
        QCOMPARE(v->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(v->styleSheet().contains(QLatin1String("border-bottom:2px solid #4f4f4f")));
        QCOMPARE(v->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
        QCOMPARE(v->model()->columnCount(), 4);
        QStringList labels;
        for (int c = 0; c < 4; ++c)
            labels.append(v->model()->headerData(c, Qt::Horizontal).toString());
        QCOMPARE(labels, (QStringList{"STATUS", "DATA1", "DATA2", "CHAN"}));
    }
    // Three models, one per view.
    QVERIFY(t.ui->tableView->model() != t.ui->tableView_2->model());
    QVERIFY(t.ui->tableView_2->model() != t.ui->tableView_3->model());
    t.w.appendEventRow("CC", "7", "90", "1");
    const QModelIndex cell = t.ui->tableView_2->model()->index(0, 3);
    QCOMPARE(cell.data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    QVERIFY(!(cell.flags() & Qt::ItemIsEditable) || t.ui->tableView_2->editTriggers() == 0);
}

/// Shows each pedal page in turn, as the user would, and checks that its
/// table holds the rows first..last in order, with the newest at the bottom.
void checkEveryPage(Window &t, int first, int last)
{
    for (int page : {1, 2, 0}) {
        t.ui->pendal_type_comboBox0->setCurrentIndex(page);
        QTableView *v = views(t.ui).at(page);
        QTRY_VERIFY(v->isVisible());
        QCOMPARE(v->model()->rowCount(), last - first + 1);
        for (int row = 0; row < v->model()->rowCount(); ++row)
            QCOMPARE(numberOfRow(v->model(), row), first + row);
        QScrollBar *bar = v->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        QTRY_COMPARE(bar->value(), bar->maximum());
    }
}

void TestMonitor::tables_capAt1000OnAllThree()
{
    {
        // A window not shown keeps all three tables row by row.
        Window t;
        for (int i = 0; i < 1005; ++i)
            t.w.appendEventRow("Pitch Bend", "--", QString::number(i), "1");
        QCOMPARE(rowCounts(t.ui), (QList<int>{1000, 1000, 1000}));
        for (QTableView *v : views(t.ui)) {
            QCOMPARE(numberOfRow(v->model(), 0), 5);
            QCOMPARE(numberOfRow(v->model(), 999), 1004);
        }
    }
    Window t;
    t.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.w));
    for (int i = 0; i < 1005; ++i)
        t.w.appendEventRow("Pitch Bend", "--", QString::number(i), "1");
    QCOMPARE(t.ui->tableView->model()->rowCount(), 1000);
    QScrollBar *bar = t.ui->tableView->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
    checkEveryPage(t, 5, 1004);
    // Rows that came while the Switch and Hi-Hat pages were hidden, fewer than a table holds.
    for (int i = 1005; i < 1040; ++i)
        t.w.appendEventRow("Pitch Bend", "--", QString::number(i), "1");
    checkEveryPage(t, 40, 1039);
}

void TestMonitor::tables_drainKeepsTheCapAndScrollsToTheNewest()
{
    Window t;
    t.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.w));
    for (int i = 0; i < 1037; ++i) {
        t.w.enqueuePedalFrame(numbered(i));
        if (t.w.queuedPedalFrames() == 200)
            QVERIFY(t.drained());
    }
    QVERIFY(t.drained());
    QCOMPARE(t.w.droppedPedalFrames(), qint64(0));
    QCOMPARE(t.ui->tableView->model()->rowCount(), 1000);
    QScrollBar *bar = t.ui->tableView->verticalScrollBar();
    QTRY_COMPARE(bar->value(), bar->maximum());
    // The pages hidden while the rows came show the same newest rows.
    checkEveryPage(t, 37, 1036);
    // A Clear while two pages are hidden empties them as well.
    t.w.enqueuePedalFrame(numbered(5000));
    QVERIFY(t.drained());
    t.ui->clearButton->click();
    t.w.enqueuePedalFrame(numbered(7));
    QVERIFY(t.drained());
    for (int page : {1, 2}) {
        t.ui->pendal_type_comboBox0->setCurrentIndex(page);
        QTRY_VERIFY(views(t.ui).at(page)->isVisible());
        QCOMPARE(views(t.ui).at(page)->model()->rowCount(), 1);
        QCOMPARE(numberOfRow(views(t.ui).at(page)->model(), 0), 7);
    }
}

void TestMonitor::tables_anyClearEmptiesAllThree_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("expression page") << "clearButton";
    QTest::newRow("switch page") << "clearButton_2";
    QTest::newRow("hi-hat page") << "clearButton_3";
}

void TestMonitor::tables_anyClearEmptiesAllThree()
{
    QFETCH(QString, button);
    Window t;
    for (int i = 0; i < 12; ++i)
        t.w.handlePedalFrame(numbered(i));
    QCOMPARE(rowCounts(t.ui), (QList<int>{12, 12, 12}));
    t.w.findChild<QPushButton *>(button)->click();
    QCOMPARE(rowCounts(t.ui), (QList<int>{0, 0, 0}));
    t.w.handlePedalFrame(numbered(1));
    QCOMPARE(rowCounts(t.ui), (QList<int>{1, 1, 1}));
}

void TestMonitor::pictures_builtAsLaidOut()
{
    Window t;
    const struct
    {
        int type;
        QWidget *container;
        QRectF sceneRect;
        QSize pedal;
        QPointF pedalPos;
    } pictures[] = {
        // Base images 984x390 fit 328x130; pedal images fit their own boxes.
        {1, t.ui->widget_4, QRectF(-205, -48.9, 410, 163), QSize(328, 130), QPointF(-164, -25)},
        {2, t.ui->widget_5, QRectF(-205, -35.86, 410, 163), QSize(171, 68), QPointF(-40, -20)},
        {3, t.ui->widget_7, QRectF(-205, -32.6, 410, 163), QSize(348, 138), QPointF(-174, -33)},
    };
    for (const auto &p : pictures) {
        auto *view = p.container->findChild<QGraphicsView *>();
        QVERIFY(view);
        QCOMPARE(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(view->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(view->renderHints() & QPainter::SmoothPixmapTransform);
        QGraphicsScene *scene = view->scene();
        QVERIFY(qAbs(scene->sceneRect().y() - p.sceneRect.y()) < 1e-9);
        QCOMPARE(scene->sceneRect().size(), p.sceneRect.size());
        QCOMPARE(scene->sceneRect().x(), p.sceneRect.x());
        QCOMPARE(scene->backgroundBrush().color(), QColor(190, 190, 190, 128));
        QCOMPARE(scene->items().size(), 2);
        QGraphicsPixmapItem *pedal = t.w.pedalPictureItem(p.type);
        QVERIFY(pedal && pedal->scene() == scene);
        QCOMPARE(pedal->zValue(), 0.0);
        QCOMPARE(pedal->pixmap().size(), p.pedal);
        QCOMPARE(pedal->pos(), p.pedalPos);
        for (QGraphicsItem *item : scene->items()) {
            if (item == pedal)
                continue;
            auto *base = static_cast<QGraphicsPixmapItem *>(item);
            QCOMPARE(base->zValue(), 1.0);
            QCOMPARE(base->pixmap().size(), QSize(328, 130));
            QCOMPARE(base->pos(), QPointF(-164, 0));
        }
    }
    QGraphicsPixmapItem *sw = t.w.pedalPictureItem(2);
    QCOMPARE(sw->transformations().size(), 1);
    QCOMPARE(sw->transformations().first(), t.w.switchPedalRotation());
    QCOMPARE(t.w.switchPedalRotation()->axis(), QVector3D(0, 0, 1));
    QCOMPARE(sw->transformOriginPoint(), QPointF(85.5, 34));
    QGraphicsPixmapItem *hat = t.w.pedalPictureItem(3);
    QCOMPARE(hat->transformOriginPoint(), QPointF(0.88 * 348, 0.8 * 138));
    QCOMPARE(hat->transformationMode(), Qt::SmoothTransformation);
}

void TestMonitor::pictures_restBeforeAnyFrame()
{
    Window t;
    QCOMPARE(t.angle(1), 0.0);
    QCOMPARE(t.angle(3), 3.0);
    QCOMPARE(t.w.switchPedalRotation()->angle(), 0.0);
    // Selectors alone do not move them.
    t.ui->expression_cc_comboBox_valmin->setCurrentIndex(20);
    t.ui->hat_cc_comboBox_valmax->setCurrentIndex(90);
    QCOMPARE(t.angle(1), 0.0);
    QCOMPARE(t.angle(3), 3.0);
}

void TestMonitor::expression_tiltFollowsTheRangeOfTheEventType_data()
{
    QTest::addColumn<int>("eventType");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("angle");
    const char *pairs[][2] = {{"expression_cc_comboBox_valmax", "expression_cc_comboBox_valmin"},
                              {"expression_note_comboBox_valmax", "expression_note_comboBox_valmin"},
                              {"expression_pitch_comboBox_valmax", "expression_pitch_comboBox_valmin"},
                              {"expression_ch_comboBox_val1", "expression_ch_comboBox_val2"}};
    for (int type = 0; type < 4; ++type) {
        const QString a = QLatin1String(pairs[type][0]);
        const QString b = QLatin1String(pairs[type][1]);
        const QByteArray name = a.toLatin1();
        // Range 10..110 (either order): 35 is a quarter of the way up.
        QTest::newRow(name + " quarter") << type << a << b << 35 << 11.25;
        QTest::newRow(name + " low end") << type << a << b << 10 << 15.0;
        QTest::newRow(name + " above") << type << a << b << 120 << 0.0;
        QTest::newRow(name + " below") << type << a << b << 0 << 15.0;
    }
}

void TestMonitor::expression_tiltFollowsTheRangeOfTheEventType()
{
    QFETCH(int, eventType);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, value);
    QFETCH(double, angle);
    Window t;
    t.ui->expression_comboBox0->setCurrentIndex(eventType);
    auto *a = t.w.findChild<QComboBox *>(first);
    auto *b = t.w.findChild<QComboBox *>(second);
    // val1/val2 of channel pressure are minimum and maximum; the others maximum, minimum.
    const bool minFirst = eventType == 3;
    a->setCurrentIndex(minFirst ? 10 : 110);
    b->setCurrentIndex(minFirst ? 110 : 10);
    QCOMPARE(a->currentIndex() + b->currentIndex(), 120);
    // The invert option leaves the picture as it is.
    t.ui->ex_Evert_checkBox->setChecked(true);
    t.w.updateExpressionPedal(value);
    QVERIFY2(qAbs(t.angle(1) - angle) < 1e-4, qPrintable(QString::number(t.angle(1))));
    QCOMPARE(t.ui->label_84->text(), QString::number(value));
    const QRectF r = t.w.pedalPictureItem(1)->boundingRect();
    QCOMPARE(t.w.pedalPictureItem(1)->transformOriginPoint(),
             QPointF(0.65 * r.width(), 0.5 * r.height()));
}

void TestMonitor::expression_equalEndsDoNotMove()
{
    Window t;
    t.w.updateExpressionPedal(0);
    QCOMPARE(t.angle(1), 15.0);
    t.ui->label_84->setText("before");
    t.ui->expression_cc_comboBox_valmin->setCurrentIndex(127);
    QCOMPARE(t.ui->expression_cc_comboBox_valmin->currentIndex(),
             t.ui->expression_cc_comboBox_valmax->currentIndex());
    t.w.updateExpressionPedal(127);
    QCOMPARE(t.angle(1), 15.0);
    QCOMPARE(t.ui->label_84->text(), QStringLiteral("before"));
}

void TestMonitor::hiHat_tilt_data()
{
    QTest::addColumn<int>("eventType");
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("angle");
    QTest::newRow("cc 127") << 0 << 127 << -5.0;
    QTest::newRow("cc 1") << 0 << 1 << -0.03937;
    QTest::newRow("cc 0 rests") << 0 << 0 << 3.0;
    QTest::newRow("note 127") << 1 << 127 << -5.0;
    QTest::newRow("note 64") << 1 << 64 << -2.5197;
}

void TestMonitor::hiHat_tilt()
{
    QFETCH(int, eventType);
    QFETCH(int, value);
    QFETCH(double, angle);
    Window t;
    t.ui->hat_comboBox0->setCurrentIndex(eventType);
    t.ui->ht_Evert_checkBox->setChecked(true);
    t.w.updateHiHatPedal(value);
    QVERIFY2(qAbs(t.angle(3) - angle) < 1e-4, qPrintable(QString::number(t.angle(3))));
    // The other event type's range does not count: equal ends there change nothing.
    QComboBox *otherMin = eventType == 0 ? t.ui->hat_note_comboBox_valmin : t.ui->hat_cc_comboBox_valmin;
    otherMin->setCurrentIndex(127);
    t.w.updateHiHatPedal(127);
    QCOMPARE(t.angle(3), -5.0);
}

void TestMonitor::switch_singleSpringsBackFrom8To0()
{
    Window t;
    QCOMPARE(t.ui->switch_cc_comboBox_mode->currentIndex(), 0);
    QGraphicsRotation *rotation = t.w.switchPedalRotation();
    t.w.updateSwitchPedal(127);
    auto *press = t.w.findChild<QPropertyAnimation *>();
    QVERIFY(press);
    QCOMPARE(press->propertyName(), QByteArray("angle"));
    QCOMPARE(press->startValue().toDouble(), 8.0);
    QCOMPARE(press->endValue().toDouble(), 0.0);
    QCOMPARE(press->duration(), 400);
    QCOMPARE(press->easingCurve().type(), QEasingCurve::InOutQuad);
    QCOMPARE(rotation->angle(), 8.0);
    // A second frame starts its own animation while the first runs.
    t.w.updateSwitchPedal(0);
    QCOMPARE(t.w.findChildren<QPropertyAnimation *>().size(), 2);
    QTRY_VERIFY(t.w.findChildren<QPropertyAnimation *>().isEmpty());
    QCOMPARE(rotation->angle(), 0.0);
}

void TestMonitor::switch_resetAnimatesToTheTarget_data()
{
    QTest::addColumn<int>("eventType");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("target");
    QTest::newRow("cc 0") << 0 << 0 << 127 << 0 << 0.0;
    QTest::newRow("cc 127") << 0 << 0 << 127 << 127 << 8.0;
    QTest::newRow("cc 64") << 0 << 0 << 127 << 64 << 4.0315;
    QTest::newRow("note 64") << 2 << 0 << 127 << 64 << 4.0315;
    QTest::newRow("pc range 20..60, 30") << 1 << 20 << 60 << 30 << 2.0;
    QTest::newRow("stop: no range, pressed") << 3 << 0 << 127 << 0 << 8.0;
}

void TestMonitor::switch_resetAnimatesToTheTarget()
{
    QFETCH(int, eventType);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, value);
    QFETCH(double, target);
    Window t;
    t.ui->switch_comboBox0->setCurrentIndex(eventType);
    t.ui->switch_cc_comboBox_mode->setCurrentIndex(2); // "Reset"
    QCOMPARE(t.ui->switch_pc_comboBox_mode->currentIndex(), 2);
    for (QComboBox *box : {t.ui->switch_cc_comboBox_valmax, t.ui->switch_note_comboBox_valmax,
                           t.ui->switch_pc_comboBox_valmax})
        box->setCurrentIndex(max);
    for (QComboBox *box : {t.ui->switch_cc_comboBox_valmin, t.ui->switch_note_comboBox_valmin,
                           t.ui->switch_pc_comboBox_valmin})
        box->setCurrentIndex(min);
    t.w.updateSwitchPedal(value);
    auto *move = t.w.findChild<QPropertyAnimation *>();
    QVERIFY(move);
    QCOMPARE(move->duration(), 150);
    QCOMPARE(move->startValue().toDouble(), 0.0);
    QVERIFY(qAbs(move->endValue().toDouble() - target) < 1e-3);
    QTRY_VERIFY(t.w.findChildren<QPropertyAnimation *>().isEmpty());
    QVERIFY(qAbs(t.w.switchPedalRotation()->angle() - target) < 1e-3);
    // The next move starts where this one ended.
    t.w.updateSwitchPedal(value);
    QVERIFY(qAbs(t.w.findChild<QPropertyAnimation *>()->startValue().toDouble() - target) < 1e-3);
}

void TestMonitor::endToEnd_liveFramesReachTablesAndPictures()
{
    ModalWatcher boxes;
    SimulatedController controller(QStringLiteral("ZT-3"));
    SimulatedDeviceSource source;
    source.addController(&controller);
    DeviceSource::setCurrent(&source);
    {
        Widget w;
        Ui::Widget *ui = w.form();
        const int entry = ui->comboBox_ComDevices->findText(controller.model().usbDescription);
        QVERIFY(entry >= 0);
        ui->comboBox_ComDevices->setCurrentIndex(entry);
        ui->connectButton->click();
        QTRY_VERIFY(controller.isHostConnected());
        QTRY_COMPARE(ui->Pedal_Number->count(), controller.behaviour().pedalCount());

        // A sweep on the expression pedal, then a hi-hat chick.
        for (int v : {0, 40, 80, 127, 64})
            controller.sendEvent(0xB0, 11, quint8(v));
        QTRY_COMPARE(rowCounts(ui), (QList<int>{5, 5, 5}));
        QAction *names = ccNamesAction(w);
        QVERIFY(names);
        if (!names->isChecked())
            names->trigger();
        QCOMPARE(lastRow(ui->tableView_2->model()), (QStringList{"CC", "11/Expression", "64", "1"}));
        // Rows made after the setting is switched off show the bare number.
        names->trigger();
        QVERIFY(!names->isChecked());
        controller.sendEvent(0xB0, 11, 64);
        QTRY_COMPARE(rowCounts(ui), (QList<int>{6, 6, 6}));
        QCOMPARE(lastRow(ui->tableView_2->model()), (QStringList{"CC", "11", "64", "1"}));
        QVERIFY(qAbs(w.pedalPictureItem(1)->rotation() - 7.4409) < 1e-3);

        ui->pendal_type_comboBox0->setCurrentIndex(2);
        controller.send(ControllerBehaviour::usbMidiEvent(0xB0, 4, 127)
                        + ControllerBehaviour::usbMidiEvent(0xFA, 0, 0));
        QTRY_COMPARE(rowCounts(ui), (QList<int>{8, 8, 8}));
        QCOMPARE(w.pedalPictureItem(3)->rotation(), -5.0);
        QCOMPARE(lastRow(ui->tableView->model()), (QStringList{"Start", "--", "--", "--"}));

        // The demonstration pattern at a steady rate fills all three tables alike.
        controller.startEvents(200);
        QTRY_VERIFY(ui->tableView->model()->rowCount() >= 40);
        controller.stopEvents();
        QTRY_COMPARE(w.pedalFrameDrainPending(), false);
        QCOMPARE(ui->tableView_3->model()->rowCount(), ui->tableView->model()->rowCount());
        QCOMPARE(w.droppedPedalFrames(), qint64(0));

        // A burst far beyond the queue's 250 frames waits in the port instead
        // of pushing frames out of the queue: every frame becomes a row, in order.
        const qint64 handledBefore = w.handledPedalFrames();
        QByteArray burst;
        for (int i = 0; i < 3000; ++i)
            burst += ControllerBehaviour::usbMidiEvent(0xE0, quint8(i & 0x7F), quint8(i >> 7));
        controller.send(burst);
        QTRY_COMPARE(w.handledPedalFrames(), handledBefore + 3000);
        QTRY_COMPARE(w.pedalFrameDrainPending(), false);
        QCOMPARE(w.droppedPedalFrames(), qint64(0));
        for (QTableView *v : views(ui)) {
            QCOMPARE(v->model()->rowCount(), 1000);
            for (int row = 0; row < 1000; ++row)
                QCOMPARE(numberOfRow(v->model(), row), 2000 + row);
        }

        // Disconnecting empties the tables.
        ui->connectButton->click();
        QTRY_VERIFY(!controller.isHostConnected());
        QCOMPARE(rowCounts(ui), (QList<int>{0, 0, 0}));
    }
    DeviceSource::setCurrent(nullptr);
}

namespace {

QList<QPushButton *> pauseButtons(Widget &w)
{
    return {w.findChild<QPushButton *>(QStringLiteral("pauseButton")),
            w.findChild<QPushButton *>(QStringLiteral("pauseButton_2")),
            w.findChild<QPushButton *>(QStringLiteral("pauseButton_3"))};
}

QStringList pauseNotes(Widget &w)
{
    QStringList notes;
    for (const char *name : {"pauseNote", "pauseNote_2", "pauseNote_3"})
        notes.append(w.findChild<QLabel *>(QLatin1String(name))->text());
    return notes;
}

QStringList threeTimes(const QString &text)
{
    return {text, text, text};
}

/// Chooses an entry of the Export... menu, as the user does.
void exportAs(Widget &w, const QString &entry)
{
    QPushButton *button = w.findChild<QPushButton *>(QStringLiteral("exportButton_2"));
    QVERIFY(button && button->menu());
    for (QAction *action : button->menu()->actions()) {
        if (action->text() == entry) {
            action->trigger();
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no export entry ") + entry));
}

/// The lines of a CSV file (CRLF ends), each cut at its commas.
QList<QStringList> csvLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> lines;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            lines.append(QString::fromUtf8(line.chopped(1)).split(QLatin1Char(',')));
    }
    return lines;
}

QString statusLineText(Widget &w)
{
    return w.findChild<QLabel *>(QStringLiteral("statusLine"))->text();
}

} // namespace

void TestMonitor::pause_tablesStandStillWhileFramesAreCountedAndShowThemOnResume()
{
    Window t;
    const QList<QPushButton *> pauses = pauseButtons(t.w);
    for (QPushButton *pause : pauses)
        QVERIFY(pause && pause->isCheckable() && pause->text() == QLatin1String("Pause"));
    QCOMPARE(pauseNotes(t.w), threeTimes(QString()));
    for (int i = 0; i < 10; ++i)
        t.w.enqueuePedalFrame(numbered(i));
    QVERIFY(t.drained());

    // The Switch page's Pause holds all three tables.
    pauses.at(1)->click();
    for (QPushButton *pause : pauses)
        QVERIFY(pause->isChecked());
    for (int i = 10; i < 40; ++i)
        t.w.enqueuePedalFrame(numbered(i));
    QVERIFY(t.drained());
    QCOMPARE(t.w.handledPedalFrames(), qint64(40));
    QCOMPARE(rowCounts(t.ui), (QList<int>{10, 10, 10}));
    QCOMPARE(numberOfRow(t.ui->tableView_3->model(), 9), 9);
    QTRY_COMPARE(pauseNotes(t.w), threeTimes(QStringLiteral("Paused: 30 frames")));
    // A frame of another message slot, filtered out, still arrives and is counted.
    t.ui->checkBox_ex->setChecked(true);
    t.w.enqueuePedalFrame(frameOf(7, 0xB0, 1, 2));
    QVERIFY(t.drained());
    QTRY_COMPARE(pauseNotes(t.w), threeTimes(QStringLiteral("Paused: 31 frames")));
    t.ui->checkBox_ex->setChecked(false);

    // Resumed from the Hi-Hat page: every row that waited, in order.
    pauses.at(2)->click();
    for (QPushButton *pause : pauses)
        QVERIFY(!pause->isChecked());
    QCOMPARE(rowCounts(t.ui), (QList<int>{40, 40, 40}));
    for (QTableView *v : views(t.ui)) {
        for (int row = 0; row < 40; ++row)
            QCOMPARE(numberOfRow(v->model(), row), row);
    }
    QCOMPARE(pauseNotes(t.w), threeTimes(QString()));

    // Clear while paused empties the tables and starts the count again.
    pauses.at(0)->click();
    for (int i = 40; i < 45; ++i)
        t.w.enqueuePedalFrame(numbered(i));
    QVERIFY(t.drained());
    t.ui->clearButton_2->click();
    QCOMPARE(rowCounts(t.ui), (QList<int>{0, 0, 0}));
    QCOMPARE(pauseNotes(t.w), threeTimes(QStringLiteral("Paused: 0 frames")));
    for (int i = 45; i < 48; ++i)
        t.w.enqueuePedalFrame(numbered(i));
    QVERIFY(t.drained());
    QCOMPARE(rowCounts(t.ui), (QList<int>{0, 0, 0}));
    pauses.at(0)->click();
    QCOMPARE(rowCounts(t.ui), (QList<int>{3, 3, 3}));
    QCOMPARE(numberOfRow(t.ui->tableView->model(), 0), 45);
}

void TestMonitor::pause_moreThanATableHoldsShowsTheNewestAndCountsTheDropped()
{
    Window t;
    t.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.w));
    const auto feed = [&t](int from, int to) {
        for (int i = from; i < to; ++i) {
            t.w.enqueuePedalFrame(numbered(i));
            if (t.w.queuedPedalFrames() == 200)
                QVERIFY(t.drained());
        }
        QVERIFY(t.drained());
    };
    feed(0, 600);
    pauseButtons(t.w).at(0)->click();
    feed(600, 1900);
    QCOMPARE(t.w.droppedPedalFrames(), qint64(0));
    QTRY_COMPARE(pauseNotes(t.w).first(), QStringLiteral("Paused: 1300 frames"));
    // Pages shown while paused show the rows there were at the pause.
    for (int page : {1, 2, 0}) {
        t.ui->pendal_type_comboBox0->setCurrentIndex(page);
        QTableView *v = views(t.ui).at(page);
        QTRY_VERIFY(v->isVisible());
        QCOMPARE(v->model()->rowCount(), 600);
        QCOMPARE(numberOfRow(v->model(), 599), 599);
    }
    t.ui->pendal_type_comboBox0->setCurrentIndex(1);
    QTRY_VERIFY(t.ui->tableView_2->isVisible());
    pauseButtons(t.w).at(1)->click();
    QCOMPARE(pauseNotes(t.w), threeTimes(QStringLiteral("300 dropped while paused")));
    QCOMPARE(t.w.monitorPause().lastDropped(), qint64(300));
    checkEveryPage(t, 900, 1899);
    // The note stays until the next Clear.
    feed(1900, 1901);
    QCOMPARE(pauseNotes(t.w).first(), QStringLiteral("300 dropped while paused"));
    t.ui->clearButton->click();
    QCOMPARE(pauseNotes(t.w), threeTimes(QString()));
}

void TestMonitor::toolTips_everyCellItsFullTextAndArrivalTime()
{
    Window t;
    t.w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.w));
    if (auto *names = ccNamesAction(t.w); names && !names->isChecked())
        names->trigger();
    const QDateTime before = QDateTime::currentDateTime();
    t.w.enqueuePedalFrame(frameOf(0, 0xB0, 64, 127));
    t.w.enqueuePedalFrame(frameOf(0, 0x91, 61, 100));
    QVERIFY(t.drained());
    const QDateTime after = QDateTime::currentDateTime();
    // Rows shown when a page is shown carry their times as well.
    for (int page : {1, 2, 0}) {
        t.ui->pendal_type_comboBox0->setCurrentIndex(page);
        QTRY_VERIFY(views(t.ui).at(page)->isVisible());
    }
    for (QTableView *v : views(t.ui)) {
        QCOMPARE(v->model()->rowCount(), 2);
        for (int row = 0; row < 2; ++row) {
            for (int c = 0; c < 4; ++c) {
                const QModelIndex cell = v->model()->index(row, c);
                const QStringList tip = cell.data(Qt::ToolTipRole).toString().split('\n');
                QCOMPARE(tip.size(), 2);
                QCOMPARE(tip.first(), cell.data().toString());
                QVERIFY2(tip.last().startsWith(QLatin1String("Arrived ")), qPrintable(tip.last()));
                const QTime time = QTime::fromString(tip.last().mid(8), QStringLiteral("hh:mm:ss.zzz"));
                QVERIFY(time.isValid());
                QDateTime arrived(after.date(), time);
                if (arrived > after.addMSecs(1))
                    arrived = arrived.addDays(-1); // across midnight
                QVERIFY(arrived >= before.addMSecs(-1) && arrived <= after);
            }
        }
    }
    QCOMPARE(t.ui->tableView->model()->index(0, 1).data(Qt::ToolTipRole).toString().section('\n', 0, 0),
             QStringLiteral("64/Pedal (Sustain)"));
    // The view shows it where the pointer rests.
    QTableView *v = t.ui->tableView;
    const QRect cell = v->visualRect(v->model()->index(0, 1));
    QHelpEvent help(QEvent::ToolTip, cell.center(), v->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(v->viewport(), &help);
    QTRY_COMPARE(QToolTip::text(), v->model()->index(0, 1).data(Qt::ToolTipRole).toString());
    QToolTip::hideText();
}

void TestMonitor::export_rowsShownAndAllSinceConnect_csvAndMidiReadBack()
{
    FakeFileDialogs files;
    ControllerRig rig(QStringLiteral("ZT-3"));
    {
        Widget &w = *rig.window;
        Ui::Widget *ui = rig.ui;
        SimulatedController &controller = rig.controller;
        if (QAction *names = ccNamesAction(w); names && !names->isChecked())
            names->trigger();
        // Frames before the Connect are not part of "since Connect".
        w.enqueuePedalFrame(frameOf(0, 0xB0, 1, 1));
        QVERIFY(QTest::qWaitFor([&w] { return !w.pedalFrameDrainPending(); }));
        ui->clearButton->click();
        QVERIFY(rig.connect());

        const QList<QByteArray> frames = {
            ControllerBehaviour::usbMidiEvent(0x90, 60, 100),
            ControllerBehaviour::usbMidiEvent(0xB0, 11, 64),
            frameOf(5, 0xB0, 7, 1), // another slot: filtered out of the tables
            ControllerBehaviour::usbMidiEvent(0xE3, 0, 64),
            ControllerBehaviour::usbMidiEvent(0xFA, 0, 0),
            ControllerBehaviour::usbMidiEvent(0x80, 60, 0),
        };
        ui->checkBox_ex->setChecked(true);
        const qint64 handledBefore = w.handledPedalFrames();
        for (const QByteArray &frame : frames) {
            controller.send(frame);
            // Each its own read, so that the times differ.
            QTRY_VERIFY(w.handledPedalFrames() > handledBefore + frames.indexOf(frame));
        }
        QTRY_COMPARE(rowCounts(ui), (QList<int>{5, 5, 5}));
        QCOMPARE(w.monitorCapture().size(), frames.size());

        QTemporaryDir dir;
        files.answerWith({dir.filePath("rows"), dir.filePath("all.csv"), dir.filePath("rows")});
        exportAs(w, QStringLiteral("Rows Shown as CSV..."));
        exportAs(w, QStringLiteral("All Since Connect as CSV..."));
        exportAs(w, QStringLiteral("Rows Shown as MIDI File..."));
        QCOMPARE(rig.boxes.seen().size(), 0);
        QCOMPARE(files.asked.size(), 3);
        QCOMPARE(files.asked.at(0).caption, QStringLiteral("Export"));
        QCOMPARE(files.asked.at(0).filter, QStringLiteral("CSV files (*.csv)"));
        QCOMPARE(files.asked.at(2).filter, QStringLiteral("MIDI files (*.mid *.midi)"));
        QVERIFY2(statusLineText(w).contains(QStringLiteral("5 events exported to ")
                                            + dir.filePath("rows.mid")),
                 qPrintable(statusLineText(w)));

        // CSV of the rows shown: the table's texts and the frames' bytes.
        const QList<QStringList> rows = csvLines(dir.filePath("rows.csv"));
        QCOMPARE(rows.size(), 1 + 5);
        QCOMPARE(rows.first(), (QStringList{"time", "status", "data1", "data2", "channel", "raw bytes"}));
        const QAbstractItemModel *m = ui->tableView->model();
        const QList<QByteArray> shown = {frames.at(0), frames.at(1), frames.at(3), frames.at(4), frames.at(5)};
        double lastTime = 0;
        for (int r = 0; r < 5; ++r) {
            const QStringList &line = rows.at(r + 1);
            QCOMPARE(line.size(), 6);
            for (int c = 0; c < 4; ++c)
                QCOMPARE(line.at(c + 1), m->index(r, c).data().toString());
            QCOMPARE(line.at(5), QString::fromLatin1(shown.at(r).toHex(' ').toUpper()));
            bool number = false;
            const double time = line.at(0).toDouble(&number);
            QVERIFY(number && time >= lastTime && time < 60);
            lastTime = time;
        }
        // Everything since Connect: the filtered frame too, and not the one before.
        const QList<QStringList> all = csvLines(dir.filePath("all.csv"));
        QCOMPARE(all.size(), 1 + frames.size());
        for (int r = 0; r < frames.size(); ++r)
            QCOMPARE(all.at(r + 1).at(5), QString::fromLatin1(frames.at(r).toHex(' ').toUpper()));
        QCOMPARE(all.at(3).mid(1, 4), (QStringList{"CC", "7/Volume", "1", "1"}));

        // The MIDI file, read back by mido: every message byte for byte, at
        // its arrival time in ticks of 500 us.
        if (MidoReader::python().isEmpty())
            QSKIP("No python3 here to read the file back with mido");
        MidoReader::File file;
        QString error;
        QVERIFY2(MidoReader::read(dir.filePath("rows.mid"), &file, &error), qPrintable(error));
        QCOMPARE(file.ticksPerBeat, 1000);
        QCOMPARE(file.messages.size(), 1 + 5 + 1);
        const qint64 first = m->index(0, 0).data(EventTableModel::arrivalRole).toLongLong();
        const QList<QByteArray> bytes = {QByteArray::fromHex("903c64"), QByteArray::fromHex("b00b40"),
                                         QByteArray::fromHex("e30040"), QByteArray(),
                                         QByteArray::fromHex("803c00")};
        for (int r = 0; r < 5; ++r) {
            const MidoReader::Message &msg = file.messages.at(r + 1);
            const qint64 arrived = m->index(r, 0).data(EventTableModel::arrivalRole).toLongLong();
            QCOMPARE(msg.tick, (arrived - first + 250) / 500);
            QVERIFY(qAbs(msg.seconds - (arrived - first) / 1e6) <= 0.00025 + 1e-6);
            if (bytes.at(r).isEmpty())
                QCOMPARE(msg.text, QStringLiteral("Start"));
            else
                QCOMPARE(msg.bytes.toHex(' '), bytes.at(r).toHex(' '));
        }
        QVERIFY(file.messages.at(5).tick > 0);

        // A new Connect starts the capture again.
        ui->connectButton->click();
        QTRY_VERIFY(!controller.isHostConnected());
        QCOMPARE(w.monitorCapture().size(), frames.size());
        ui->connectButton->click();
        QTRY_VERIFY(controller.isHostConnected());
        QCOMPARE(w.monitorCapture().size(), 0);
        ui->connectButton->click();
        QTRY_VERIFY(!controller.isHostConnected());
    }
}

void TestMonitor::export_pausedWritesTheRowsShown_cancelWritesNothing_failureSaysSoInABox()
{
    Window t;
    FakeFileDialogs files;
    QTemporaryDir dir;
    for (int i = 0; i < 3; ++i)
        t.w.enqueuePedalFrame(numbered(i));
    QVERIFY(t.drained());
    pauseButtons(t.w).at(0)->click();
    for (int i = 3; i < 8; ++i)
        t.w.enqueuePedalFrame(numbered(i));
    QVERIFY(t.drained());

    files.answerWith({dir.filePath("paused.csv"), dir.filePath("all.csv")});
    exportAs(t.w, QStringLiteral("Rows Shown as CSV..."));
    exportAs(t.w, QStringLiteral("All Since Connect as CSV..."));
    QList<QStringList> lines = csvLines(dir.filePath("paused.csv"));
    QCOMPARE(lines.size(), 1 + 3);
    QCOMPARE(lines.last().at(3), QStringLiteral("2"));
    QCOMPARE(csvLines(dir.filePath("all.csv")).size(), 1 + 8);

    // Cancel: nothing written, nothing said.
    const QString before = statusLineText(t.w);
    files.answerWith({QString()});
    exportAs(t.w, QStringLiteral("Rows Shown as MIDI File..."));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    QCOMPARE(t.boxes.seen().size(), 0);
    QCOMPARE(statusLineText(t.w), before);

    // A file that cannot be written: a box says so, and the status line claims nothing.
    const QString missing = dir.filePath(QStringLiteral("gone/take.mid"));
    files.answerWith({missing});
    exportAs(t.w, QStringLiteral("Rows Shown as MIDI File..."));
    QTRY_COMPARE(t.boxes.seen().size(), 1);
    QCOMPARE(t.boxes.seen().first().title, QStringLiteral("Export"));
    QCOMPARE(t.boxes.seen().first().icon, QMessageBox::Warning);
    QVERIFY2(t.boxes.seen().first().text.startsWith(
                 QLatin1String("The file could not be saved (cannot open the file: ")),
             qPrintable(t.boxes.seen().first().text));
    QVERIFY(!QFile::exists(missing));
    QCOMPARE(statusLineText(t.w), before);

    // A name typed without its suffix that completes to a file already there:
    // asked first; No keeps the file as it was, Yes replaces it.
    const QString kept = dir.filePath(QStringLiteral("paused.csv"));
    const auto readAll = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray keptBytes = readAll(kept);
    QVERIFY(!keptBytes.isEmpty());
    t.boxes.setAnswer(QMessageBox::No);
    files.answerWith({dir.filePath(QStringLiteral("paused"))});
    exportAs(t.w, QStringLiteral("All Since Connect as CSV..."));
    QTRY_COMPARE(t.boxes.seen().size(), 2);
    QCOMPARE(t.boxes.seen().last().icon, QMessageBox::Question);
    QVERIFY(t.boxes.seen().last().text.contains(QDir::toNativeSeparators(kept)));
    QCOMPARE(readAll(kept), keptBytes);
    QCOMPARE(statusLineText(t.w), before);
    t.boxes.setAnswer(QMessageBox::Yes);
    files.answerWith({dir.filePath(QStringLiteral("paused"))});
    exportAs(t.w, QStringLiteral("All Since Connect as CSV..."));
    QTRY_COMPARE(t.boxes.seen().size(), 3);
    QCOMPARE(csvLines(kept).size(), 1 + 8);
}

QTEST_MAIN(TestMonitor)
#include "tst_monitor.moc"
