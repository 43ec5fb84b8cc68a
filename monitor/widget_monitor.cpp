// The main window's live monitor: the queue of live event frames and its
// batched drain, the three MIDI data tables and the tilting pedal pictures.
#include "app/widget.h"
#include "ui_widget.h"

#include "core/filedialogs.h"
#include "core/logging.h"
#include "core/savefile.h"
#include "monitor/displayrow.h"
#include "monitor/eventtablemodel.h"
#include "monitor/framerouter.h"
#include "monitor/mypixmapitem.h"
#include "monitor/pedalangles.h"
#include "monitor/pedalevent.h"
#include "device/serialport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGraphicsRotation>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kQueueLimit = 250;
constexpr int kBatchFrames = 25;
constexpr int kBatchesPerRound = 50;
constexpr int kTableRowLimit = 1000;
/// While a backlog is drained, tables and pictures are repainted at most this
/// often (ms): a screen refresh, where a repaint after every batch would cost
/// more than the batch.
constexpr int kRepaintIntervalMs = 16;

const char kTableStyle[] = "QTableView{border:none;gridline-color:transparent;"
                           "padding-left:20px;padding-right:20px;}"
                           "QHeaderView::section{border:none;}"
                           "QTableView::item{border-bottom:2px solid #4f4f4f;}";

/// Reference size of a picture; base images fill 80 % of it.
constexpr int kSceneWidth = 410;
constexpr int kSceneHeight = 163;
const QSize kBaseFit(328, 130);

/// How one pedal picture is put together (see Widget::setup*Picture).
struct PictureLayout
{
    const char *base;
    const char *pedal;
    QSize pedalFit;
    int pedalX;     ///< pedal x = pedalX - pedal width / 2
    int pedalTop;   ///< pedal y = pedalTop - base height
    double sceneTop; ///< scene rectangle y, as a fraction of the height above 0
    bool highQuality;
};

const PictureLayout kExpressionLayout{":/IMG/n_ex_xh.png", ":/IMG/ext.png", QSize(328, 130), 0,
                                      105, 0.3, true};
const PictureLayout kHiHatLayout{":/IMG/BgSub_n_ht_xh.png", ":/IMG/n_ex_sh.png",
                                 QSize(360, 138), 0, 97, 0.2, true};
const PictureLayout kSwitchLayout{":/IMG/swd.png", ":/IMG/n_sw_sh.png", QSize(217, 68), 45, 110,
                                  0.22, false};

struct BuiltPicture
{
    QGraphicsScene *scene = nullptr;
    QGraphicsView *view = nullptr;
    QGraphicsPixmapItem *base = nullptr;
    QGraphicsPixmapItem *pedal = nullptr;
};

/// Scene and view in the container; base and pedal image as far as they load.
BuiltPicture buildPicture(QWidget *container, const PictureLayout &layout)
{
    BuiltPicture built;
    built.scene = new QGraphicsScene(container);
    built.view = new QGraphicsView(built.scene, container);
    QPainter::RenderHints hints = QPainter::Antialiasing | QPainter::SmoothPixmapTransform;
    if (layout.highQuality) {
        // Deprecated in Qt 5.15 (the GL engines it chose are gone) but still asked for.
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        hints |= QPainter::HighQualityAntialiasing;
        QT_WARNING_POP
    }
    built.view->setRenderHints(hints);
    built.view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    built.view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *box = new QVBoxLayout(container);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(built.view);

    QPixmap base(QString::fromLatin1(layout.base));
    if (base.isNull()) {
        qCDebug(lcMonitor) << "底座图片未正确加载" << layout.base;
        return built;
    }
    base = base.scaled(kBaseFit, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    built.base = built.scene->addPixmap(base);
    built.base->setPos(-base.width() / 2, 0);
    built.base->setZValue(1);

    QPixmap pedal(QString::fromLatin1(layout.pedal));
    if (pedal.isNull()) {
        qCDebug(lcMonitor) << "踏板图片未正确加载" << layout.pedal;
        return built;
    }
    pedal = pedal.scaled(layout.pedalFit, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    built.pedal = new MyPixmapItem(pedal);
    built.scene->addItem(built.pedal);
    built.pedal->setPos(layout.pedalX - pedal.width() / 2, layout.pedalTop - base.height());
    built.pedal->setZValue(0);

    built.scene->setSceneRect(-kSceneWidth / 2.0, -layout.sceneTop * kSceneHeight, kSceneWidth,
                              kSceneHeight);
    built.scene->setBackgroundBrush(QBrush(QColor(190, 190, 190, 128), Qt::SolidPattern));
    return built;
}

/// Sets the transform origin at a fraction of the item's bounding rectangle.
void setOriginAt(QGraphicsItem *item, qreal fx, qreal fy)
{
    const QRectF r = item->boundingRect();
    item->setTransformOriginPoint(r.x() + fx * r.width(), r.y() + fy * r.height());
}

/// The hi-hat pedal turns about the pivot of its heel.
constexpr qreal kHiHatOriginX = 0.88;
constexpr qreal kHiHatOriginY = 0.8;
/// The expression pedal turns about its axle.
constexpr qreal kExpressionOriginX = 0.65;
constexpr qreal kExpressionOriginY = 0.5;

} // namespace

// ---- queue and drain ----

void Widget::enqueuePedalFrame(const QByteArray &frame)
{
    const qint64 now = monitorNowUs();
    if (!frame.isEmpty()) {
        frameCapture.add(CapturedFrame::of(now, frame));
        pauseState.frameArrived();
    }
    if (int(frameQueue.size()) >= kQueueLimit) {
        ++pedalFramesDropped;
        qCDebug(lcMonitor) << "Queue full, dropped:" << frameQueue.front().bytes.toHex(' ').toUpper();
        frameQueue.pop_front();
    }
    frameQueue.push_back({frame, now});
    if (!frameDrainPending) {
        frameDrainPending = true;
        QMetaObject::invokeMethod(this, "processPedalFrames", Qt::QueuedConnection);
    }
}

void Widget::processPedalFrames()
{
    QElapsedTimer sincePaint;
    sincePaint.start();
    bool frozen = false;
    while (!frameQueue.empty()) {
        for (int batch = 1; batch <= kBatchesPerRound && !frameQueue.empty(); ++batch) {
            tableBatchOpen = true;
            for (int i = 0; i < kBatchFrames && !frameQueue.empty(); ++i) {
                const QueuedFrame next = std::move(frameQueue.front());
                frameQueue.pop_front();
                handleFrame(next.bytes, next.arrivedUs);
            }
            finishTableBatch();
            // Between repaints the monitor's widgets collect their changes;
            // the event loop still runs for input, timers and the rest of the window.
            const bool paintNow = frameQueue.empty() || sincePaint.elapsed() >= kRepaintIntervalMs;
            if (paintNow != !frozen) {
                frozen = !paintNow;
                setMonitorPaintFrozen(frozen);
            }
            if (paintNow)
                sincePaint.restart();
            // While a whole batch still waits, serial input stays in the port
            // (it reads 25 frames at a time: Widget::liveReadLimit) rather
            // than pushing the queue towards its limit, where the oldest
            // frames would be dropped; it is read once after the pass instead.
            // Only the input waits: the link's other signals (a lost or new
            // port, errors) keep coming.
            const bool holdInput = int(frameQueue.size()) >= kBatchFrames;
            if (holdInput)
                handle->setInputHeld(true);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            if (batch == kBatchesPerRound)
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            if (holdInput)
                handle->setInputHeld(false);
        }
    }
    if (frozen)
        setMonitorPaintFrozen(false);
    frameDrainPending = false;
}

void Widget::setMonitorPaintFrozen(bool frozen)
{
    monitorPaintFrozen = frozen;
    const QList<QTableView *> views = eventViews();
    for (int i = 0; i < views.size(); ++i) {
        QTableView *view = views.at(i);
        if (!view->isVisible())
            continue;
        if (!frozen) {
            // The rows held back meanwhile; past a table's worth the table is
            // filled anew, which costs the same however many rows came.
            syncEventTable(i);
            view->scrollToBottom();
        }
        view->viewport()->setUpdatesEnabled(!frozen);
    }
    for (QGraphicsView *view : {expressionView, switchView, hatView}) {
        if (view && view->isVisible())
            view->viewport()->setUpdatesEnabled(!frozen);
    }
}

void Widget::handlePedalFrame(const QByteArray &frame)
{
    handleFrame(frame, monitorNowUs());
}

void Widget::handleFrame(const QByteArray &frame, qint64 arrivedUs)
{
    if (frame.isEmpty()) {
        qCDebug(lcMonitor) << "Frame size too small!";
        return;
    }
    ++pedalFramesHandled;
    const PedalEvent event = PedalEvent::decode(frame);

    FrameRouter::Settings settings;
    settings.pedalType = ui->pendal_type_comboBox0->currentIndex();
    switch (settings.pedalType) {
    case 0: settings.filterTicked = ui->checkBox_ex->isChecked(); break;
    case 1: settings.filterTicked = ui->checkBox_sw->isChecked(); break;
    case 2: settings.filterTicked = ui->checkBox_ht->isChecked(); break;
    default: break;
    }
    settings.messageNumber = ui->Message_Number->currentIndex();
    if (settings.filterTicked && event.messageNumber != settings.messageNumber) {
        qCDebug(lcMonitor) << "Messagenum mismatch: frame:" << event.messageNumber
                           << "selected:" << settings.messageNumber;
        return;
    }
    settings.expressionEvent = ui->expression_comboBox0->currentIndex();
    settings.triggerLevel = qMax(0, ui->expression_trigger_level->currentIndex());
    settings.switchEvent = ui->switch_comboBox0->currentIndex();
    settings.hatEvent = ui->hat_comboBox0->currentIndex();

    qCDebug(lcMonitor).noquote() << frame.toHex(' ').toUpper() << "Header:" << event.messageNumber
                                 << "Status:" << event.status << "Channel:" << event.channel
                                 << "EventType:" << event.kind << "Data1:" << event.data1
                                 << "Data2:" << event.data2;
    const DisplayRow row = DisplayRow::of(event, showCCName, noteNameMode);
    qCDebug(lcMonitor).noquote() << "Parsed MIDI Data:" << row.event << row.number
                                 << row.valueText << row.channel;

    const int ignoredBefore = triggerIgnoreCount;
    const FrameRouter::Action action =
        FrameRouter::route(event, row, frame.size(), settings, triggerIgnoreCount);
    if (triggerIgnoreCount > ignoredBefore)
        qCDebug(lcMonitor) << "Trigger Level ON: Current value matches Trigger Level. "
                              "Ignoring next two messages.";

    const LoggedRow logged{row.event, row.number, row.valueText, row.channel,
                           CapturedFrame::of(arrivedUs, frame)};
    if (action.rowFirst && action.appendRow)
        addEventRow(logged);
    switch (action.picture) {
    case FrameRouter::ExpressionPicture: updateExpressionPedal(action.pictureValue); break;
    case FrameRouter::SwitchPicture: updateSwitchPedal(action.pictureValue); break;
    case FrameRouter::HiHatPicture: updateHiHatPedal(action.pictureValue); break;
    case FrameRouter::NoPicture: break;
    }
    if (!action.rowFirst && action.appendRow)
        addEventRow(logged);
}

// ---- tables ----

QList<QTableView *> Widget::eventViews() const
{
    return {ui->tableView, ui->tableView_2, ui->tableView_3};
}

QList<QStandardItemModel *> Widget::eventModels() const
{
    return {expressionEventModel, switchEventModel, hatEventModel};
}

void Widget::setupEventTables()
{
    monitorEpochUs = QDateTime::currentMSecsSinceEpoch() * 1000;
    monitorClock.start();
    frameCapture.restart(monitorNowUs());
    expressionEventModel = new EventTableModel(this);
    switchEventModel = new EventTableModel(this);
    hatEventModel = new EventTableModel(this);
    const QList<QStandardItemModel *> models = eventModels();
    const QList<QTableView *> views = eventViews();
    for (int i = 0; i < views.size(); ++i) {
        QTableView *view = views.at(i);
        view->horizontalHeader()->hide();
        view->verticalHeader()->hide();
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        view->setShowGrid(false);
        view->setStyleSheet(QString::fromLatin1(kTableStyle));
        view->setModel(models.at(i));
        models.at(i)->setHorizontalHeaderLabels({QStringLiteral("STATUS"), QStringLiteral("DATA1"),
                                                 QStringLiteral("DATA2"), QStringLiteral("CHAN")});
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // A page shown again shows its newest rows (see finishTableBatch).
        view->installEventFilter(this);
    }
    setupMonitorControls();
    // Everything since Connect: the capture starts again with each connection.
    connect(handle, &SerialPort::holderChanged, this, [this](SerialPort::Holder holder) {
        if (holder == SerialPort::Holder::MainWindow)
            frameCapture.restart(monitorNowUs());
    });
}

namespace {

/// The items of one table row; the first carries the frame's arrival time.
/// (A template: the row type is private to Widget.)
template<typename Row>
QList<QStandardItem *> makeRowItems(const Row &row)
{
    QList<QStandardItem *> items;
    items.reserve(4);
    for (const QString *text : {&row.event, &row.number, &row.value, &row.channel}) {
        auto *item = new QStandardItem(*text);
        item->setTextAlignment(Qt::AlignCenter);
        items.append(item);
    }
    items.first()->setData(row.frame.arrivedUs, EventTableModel::arrivalRole);
    return items;
}

/// The box layout that holds a widget, searched from its parent's layout.
QBoxLayout *layoutHolding(QLayout *layout, QWidget *widget)
{
    if (!layout)
        return nullptr;
    if (layout->indexOf(widget) >= 0)
        return qobject_cast<QBoxLayout *>(layout);
    for (int i = 0; i < layout->count(); ++i) {
        if (QBoxLayout *found = layoutHolding(layout->itemAt(i)->layout(), widget))
            return found;
    }
    return nullptr;
}

} // namespace

bool Widget::tableIsLive(int table) const
{
    // Only a page the user can see needs its table row by row, and only
    // while it may be painted; the others catch up from the log when they
    // are shown or painted again (syncEventTable).
    if (pauseState.isPaused())
        return false;
    return !isVisible() || (eventViews().at(table)->isVisible() && !monitorPaintFrozen);
}

void Widget::appendEventRow(const QString &event, const QString &number, const QString &value,
                            const QString &channel)
{
    CapturedFrame noFrame;
    noFrame.arrivedUs = monitorNowUs();
    addEventRow({event, number, value, channel, noFrame});
}

void Widget::addEventRow(const LoggedRow &row)
{
    eventLog.append(row);
    if (eventLog.size() > kTableRowLimit)
        eventLog.removeFirst();
    ++eventLogSerial;
    pauseState.rowMade();

    const QList<QStandardItemModel *> models = eventModels();
    const QList<QTableView *> views = eventViews();
    for (int i = 0; i < models.size(); ++i) {
        QStandardItemModel *model = models.at(i);
        if (!model || tableSerial[i] != eventLogSerial - 1 || !tableIsLive(i))
            continue;
        tableSerial[i] = eventLogSerial;
        if (tableBatchOpen) {
            model->appendRow(makeRowItems(row));
            continue;
        }
        if (model->rowCount() >= kTableRowLimit)
            model->removeRow(0);
        model->appendRow(makeRowItems(row));
        views.at(i)->scrollToBottom();
    }
    if (tableBatchOpen)
        tableRowsAdded = true;
}

void Widget::syncEventTable(int table)
{
    QStandardItemModel *model = eventModels().at(table);
    const bool paused = pauseState.isPaused();
    const QList<LoggedRow> &log = paused ? pausedLog : eventLog;
    const qint64 serial = paused ? pausedSerial : eventLogSerial;
    const qint64 missing = serial - tableSerial[table];
    if (!model || missing <= 0)
        return;
    tableSerial[table] = serial;
    if (missing >= log.size())
        model->removeRows(0, model->rowCount());
    for (int r = log.size() - int(qMin<qint64>(missing, log.size())); r < log.size(); ++r)
        model->appendRow(makeRowItems(log.at(r)));
    const int excess = model->rowCount() - kTableRowLimit;
    if (excess > 0)
        model->removeRows(0, excess);
}

void Widget::finishTableBatch()
{
    tableBatchOpen = false;
    if (!tableRowsAdded)
        return;
    tableRowsAdded = false;
    const QList<QStandardItemModel *> models = eventModels();
    const QList<QTableView *> views = eventViews();
    for (int i = 0; i < models.size(); ++i) {
        // One removal of all the oldest rows the batch pushed over the cap:
        // the same rows as one removal per append, for one signal instead of 25.
        const int excess = models.at(i)->rowCount() - kTableRowLimit;
        if (excess > 0)
            models.at(i)->removeRows(0, excess);
        // The pages not shown are scrolled when they are shown (eventFilter).
        if (views.at(i)->isVisible())
            views.at(i)->scrollToBottom();
    }
}

bool Widget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        const QList<QTableView *> views = eventViews();
        for (int i = 0; i < views.size(); ++i) {
            if (watched != views.at(i))
                continue;
            syncEventTable(i);
            QMetaObject::invokeMethod(views.at(i), "scrollToBottom", Qt::QueuedConnection);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Widget::clearEventTables()
{
    eventLog.clear();
    pausedLog.clear();
    pausedSerial = eventLogSerial;
    for (int i = 0; i < 3; ++i)
        tableSerial[i] = eventLogSerial;
    for (QStandardItemModel *model : eventModels()) {
        if (model)
            model->removeRows(0, model->rowCount());
    }
    pauseState.cleared();
    refreshPauseNotes();
}

// ---- pause and export ----

void Widget::setupMonitorControls()
{
    exportMenu = new QMenu(this);
    const struct
    {
        const char *text;
        bool sinceConnect;
        MonitorExport::Format format;
    } exports[] = {
        {QT_TR_NOOP("Rows Shown as CSV..."), false, MonitorExport::Format::Csv},
        {QT_TR_NOOP("Rows Shown as MIDI File..."), false, MonitorExport::Format::MidiFile},
        {QT_TR_NOOP("All Since Connect as CSV..."), true, MonitorExport::Format::Csv},
        {QT_TR_NOOP("All Since Connect as MIDI File..."), true, MonitorExport::Format::MidiFile},
    };
    for (const auto &e : exports) {
        QAction *action = exportMenu->addAction(tr(e.text));
        const bool sinceConnect = e.sinceConnect;
        const MonitorExport::Format format = e.format;
        connect(action, &QAction::triggered, this,
                [this, sinceConnect, format] { exportMonitor(sinceConnect, format); });
    }

    pauseNoteTimer = new QTimer(this);
    pauseNoteTimer->setInterval(200);
    connect(pauseNoteTimer, &QTimer::timeout, this, &Widget::refreshPauseNotes);

    const QList<QTableView *> views = eventViews();
    const QString suffixes[] = {QString(), QStringLiteral("_2"), QStringLiteral("_3")};
    for (int i = 0; i < views.size(); ++i) {
        QBoxLayout *column = layoutHolding(views.at(i)->parentWidget()->layout(), views.at(i));
        if (!column)
            continue;
        auto *note = new QLabel(views.at(i)->parentWidget());
        note->setObjectName(QStringLiteral("pauseNote") + suffixes[i]);
        auto *pause = new QPushButton(tr("Pause"), views.at(i)->parentWidget());
        pause->setObjectName(QStringLiteral("pauseButton") + suffixes[i]);
        pause->setCheckable(true);
        pause->setToolTip(tr("Hold the tables still; frames keep arriving and are counted"));
        // A held Pause is lit like a button under the pointer.
        pause->setStyleSheet(QStringLiteral(
            "QPushButton:checked{background-color:qlineargradient(x1:0,y1:0,x2:0,y2:1,"
            "stop:0 #A68D44,stop:1 #8A6F33);color:#000000;border:2px solid #FFD700;}"));
        auto *exportButton = new QPushButton(tr("Export..."), views.at(i)->parentWidget());
        exportButton->setObjectName(QStringLiteral("exportButton") + suffixes[i]);
        exportButton->setMenu(exportMenu);
        auto *row = new QHBoxLayout;
        row->addWidget(note, 1);
        row->addWidget(pause);
        row->addWidget(exportButton);
        column->insertLayout(column->indexOf(views.at(i)) + 1, row);
        connect(pause, &QPushButton::toggled, this, &Widget::setMonitorPaused);
        pauseButtons.append(pause);
        pauseNotes.append(note);
    }
}

void Widget::setMonitorPaused(bool paused)
{
    if (paused != pauseState.isPaused()) {
        if (paused) {
            // Each page shows the rows there were at the pause, a page shown
            // later as well.
            for (int i = 0; i < 3; ++i) {
                if (tableIsLive(i))
                    syncEventTable(i);
            }
            pauseState.pause();
            pausedLog = eventLog;
            pausedSerial = eventLogSerial;
            pauseNoteTimer->start();
        } else {
            pauseState.resume(kTableRowLimit);
            pausedLog.clear();
            pauseNoteTimer->stop();
            const QList<QTableView *> views = eventViews();
            for (int i = 0; i < views.size(); ++i) {
                if (!tableIsLive(i))
                    continue;
                syncEventTable(i);
                views.at(i)->scrollToBottom();
            }
        }
    }
    for (QPushButton *button : pauseButtons) {
        const QSignalBlocker quiet(button);
        button->setChecked(paused);
    }
    refreshPauseNotes();
}

void Widget::refreshPauseNotes()
{
    const QString note = pauseState.note();
    for (QLabel *label : pauseNotes) {
        if (label->text() != note)
            label->setText(note);
    }
}

QVector<ExportRow> Widget::monitorExportRows(bool sinceConnect) const
{
    QVector<ExportRow> rows;
    if (sinceConnect) {
        rows.reserve(frameCapture.size());
        for (int i = 0; i < frameCapture.size(); ++i) {
            const CapturedFrame &frame = frameCapture.at(i);
            const DisplayRow row =
                DisplayRow::of(PedalEvent::decode(frame.frame()), showCCName, noteNameMode);
            rows.append({frame, row.event, row.number, row.valueText, row.channel});
        }
        return rows;
    }
    const QList<LoggedRow> &log = pauseState.isPaused() ? pausedLog : eventLog;
    rows.reserve(log.size());
    for (const LoggedRow &row : log)
        rows.append({row.frame, row.event, row.number, row.value, row.channel});
    return rows;
}

void Widget::exportMonitor(bool sinceConnect, MonitorExport::Format format)
{
    const bool csv = format == MonitorExport::Format::Csv;
    const QString title = tr("Export");
    const QString name = FileDialogs::current().getSaveFileName(
        this, title, QString(), csv ? tr("CSV files (*.csv)") : tr("MIDI files (*.mid *.midi)"));
    if (name.isEmpty())
        return;
    const QString path = MonitorExport::withSuffix(name, format);
    // The dialog asked about the name as typed; a file under the completed
    // name is not replaced without asking too.
    if (path != name && QFileInfo::exists(path)
        && QMessageBox::question(this, title,
                                 tr("%1 already exists.\nDo you want to replace it?")
                                     .arg(QDir::toNativeSeparators(path)),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return;
    const QVector<ExportRow> rows = monitorExportRows(sinceConnect);
    QByteArray bytes;
    QString note;
    if (csv) {
        bytes = MonitorExport::csv(rows, frameCapture.startUs());
        note = tr("%1 rows exported to %2").arg(rows.size()).arg(path);
    } else {
        const MonitorExport::SmfTrack track = MonitorExport::smfTrack(rows);
        bytes = MonitorExport::midiFile(track);
        note = tr("%1 events exported to %2").arg(track.events.size()).arg(path);
        if (track.skipped > 0)
            note += tr(" (%1 rows without a MIDI message left out)").arg(track.skipped);
    }
    QString error;
    if (!saveFileAtomically(path, bytes, &error)) {
        QMessageBox::warning(this, title, tr("The file could not be saved (%1).").arg(error));
        return;
    }
    setStatusNote(note);
}

void Widget::on_clearButton_clicked()
{
    clearEventTables();
}

void Widget::on_clearButton_2_clicked()
{
    clearEventTables();
}

void Widget::on_clearButton_3_clicked()
{
    clearEventTables();
}

// ---- pictures ----

void Widget::setupExpressionPicture()
{
    if (!ui->widget_4 || expressionScene)
        return;
    const BuiltPicture built = buildPicture(ui->widget_4, kExpressionLayout);
    expressionScene = built.scene;
    expressionView = built.view;
    expressionPedal = built.pedal;
}

void Widget::setupHiHatPicture()
{
    if (!ui->widget_7 || hatScene)
        return;
    const BuiltPicture built = buildPicture(ui->widget_7, kHiHatLayout);
    hatScene = built.scene;
    hatView = built.view;
    hatBase = built.base;
    hatPedal = built.pedal;
    if (!hatPedal)
        return;
    setOriginAt(hatPedal, kHiHatOriginX, kHiHatOriginY);
    hatPedal->setRotation(PedalAngles::hiHatRest);
    hatPedal->setTransformationMode(Qt::SmoothTransformation);
}

void Widget::setupSwitchPicture()
{
    if (!ui->widget_5 || switchScene)
        return;
    const BuiltPicture built = buildPicture(ui->widget_5, kSwitchLayout);
    switchScene = built.scene;
    switchView = built.view;
    switchPedal = built.pedal;
    if (!switchPedal)
        return;
    setOriginAt(switchPedal, 0.5, 0.5);
    switchRotation = new QGraphicsRotation(switchScene);
    switchRotation->setAxis(Qt::ZAxis);
    switchPedal->setTransformations({switchRotation});
}

QGraphicsPixmapItem *Widget::pedalPictureItem(int pedalType) const
{
    switch (pedalType) {
    case 1: return expressionPedal;
    case 2: return switchPedal;
    case 3: return hatPedal;
    default: return nullptr;
    }
}

void Widget::updateExpressionPedal(int value)
{
    if (!expressionPedal)
        return;
    QComboBox *first = ui->expression_cc_comboBox_valmax;
    QComboBox *second = ui->expression_cc_comboBox_valmin;
    switch (ui->expression_comboBox0->currentIndex()) {
    case 1:
        first = ui->expression_note_comboBox_valmax;
        second = ui->expression_note_comboBox_valmin;
        break;
    case 2:
        first = ui->expression_pitch_comboBox_valmax;
        second = ui->expression_pitch_comboBox_valmin;
        break;
    case 3:
        first = ui->expression_ch_comboBox_val1;
        second = ui->expression_ch_comboBox_val2;
        break;
    default: break;
    }
    const std::optional<float> angle =
        PedalAngles::expression(first->currentIndex(), second->currentIndex(), value);
    if (!angle)
        return;
    ui->label_84->setText(QString::number(value));
    setOriginAt(expressionPedal, kExpressionOriginX, kExpressionOriginY);
    expressionPedal->setRotation(qreal(*angle));
    expressionView->update();
    expressionView->raise();
}

void Widget::updateHiHatPedal(int value)
{
    if (!hatPedal)
        return;
    const bool cc = ui->hat_comboBox0->currentIndex() == 0;
    QComboBox *first = cc ? ui->hat_cc_comboBox_valmax : ui->hat_note_comboBox_valmax;
    QComboBox *second = cc ? ui->hat_cc_comboBox_valmin : ui->hat_note_comboBox_valmin;
    const std::optional<float> angle =
        PedalAngles::hiHat(first->currentIndex(), second->currentIndex(), value);
    if (!angle)
        return;
    if (value != 0)
        setOriginAt(hatPedal, kHiHatOriginX, kHiHatOriginY);
    hatPedal->setRotation(qreal(*angle));
    if (value == 0)
        return;
    hatView->update();
    hatView->raise();
}

void Widget::updateSwitchPedal(int value)
{
    if (!switchPedal || !switchRotation)
        return;
    int a = -1;
    int b = -1;
    const auto rangeOf = [&](QComboBox *mode, QComboBox *min, QComboBox *max) {
        if (mode->currentIndex() != 0) {
            a = min->currentIndex();
            b = max->currentIndex();
        }
    };
    switch (ui->switch_comboBox0->currentIndex()) {
    case 0:
        rangeOf(ui->switch_cc_comboBox_mode, ui->switch_cc_comboBox_valmin,
                ui->switch_cc_comboBox_valmax);
        break;
    case 1:
        rangeOf(ui->switch_pc_comboBox_mode, ui->switch_pc_comboBox_valmin,
                ui->switch_pc_comboBox_valmax);
        break;
    case 2:
        rangeOf(ui->switch_note_comboBox_mode, ui->switch_note_comboBox_valmin,
                ui->switch_note_comboBox_valmax);
        break;
    default: break;
    }

    auto *animation = new QPropertyAnimation(switchRotation, "angle", this);
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    if (ui->switch_cc_comboBox_mode->currentIndex() == 2) { // "Reset"
        animation->setStartValue(switchRotation->angle());
        animation->setEndValue(PedalAngles::switchResetTarget(a, b, value));
        animation->setDuration(PedalAngles::switchResetMs);
    } else {
        animation->setStartValue(PedalAngles::switchPressed);
        animation->setEndValue(PedalAngles::switchRest);
        animation->setDuration(PedalAngles::switchSpringBackMs);
    }
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    switchView->raise();
}
