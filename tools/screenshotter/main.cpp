// Shows the main window with the application style and saves a picture of it
// on each pedal page, with its live monitor running and paused:
//
//   stompwright-screenshot [<output dir>]     (default /tmp/stompwright-shots)
//
// Meant to run under a virtual X server (see tools/screenshot).

#include "app/appstylesheet.h"
#include "app/customdialog.h"
#include "app/startup.h"
#include "core/filedialogs.h"
#include "app/widget.h"
#include "device/devicesource.h"
#include "sim/localdownloadserver.h"
#include "sim/pseudorandombytes.h"
#include "sim/simulatedcontroller.h"
#include "sim/simulateddevicesource.h"
#include "ui_upgrade_dialog.h"
#include "update/downloadserver.h"
#include "upgrade/upgrade_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QPixmap>
#include <QStackedWidget>
#include <QTextStream>
#include <QTimer>

namespace {

/// Lets the window lay itself out and paint (timers and deferred work too).
void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

/// Saves one picture per pedal page; returns the number of failures.
int shootPages(Widget &window, const QString &outDir)
{
    auto *stack = window.findChild<QStackedWidget *>(QStringLiteral("pedal_type_stack"));
    if (!stack) {
        QTextStream(stderr) << "the window has no pedal_type_stack\n";
        return 1;
    }

    const QStringList pages = {QStringLiteral("expression"), QStringLiteral("switch"),
                               QStringLiteral("hihat")};
    // The pedal type selector is the user's way to a page; it also keeps the
    // selectors of the other pages on the same pedal type.
    auto *pedalType = window.findChild<QComboBox *>(QStringLiteral("pendal_type_comboBox0"));
    int failures = 0;
    for (int i = 0; i < pages.size() && i < stack->count(); ++i) {
        if (pedalType && i < pedalType->count())
            pedalType->setCurrentIndex(i);
        stack->setCurrentIndex(i);
        settle(400);
        const QString path =
            QStringLiteral("%1/%2-%3.png").arg(outDir).arg(i + 1).arg(pages.at(i));
        const QPixmap shot = window.grab();
        if (shot.save(path)) {
            QTextStream(stdout) << path << " (" << shot.width() << 'x' << shot.height()
                                << ", page " << stack->currentWidget()->objectName() << ")\n";
        } else {
            QTextStream(stderr) << "cannot write " << path << '\n';
            ++failures;
        }
    }
    return failures;
}

/// Shows what a controller with response curves shows, shapes both curves
/// through their selectors and saves the expression and hi-hat pages again.
int shootCurves(Widget &window, const QString &outDir)
{
    for (const char *name : {"widget_8", "widget_10", "groupBox_2", "groupBox_16",
                             "expression_trigger_level", "expression_cc_comboBox_ql",
                             "expression_note_comboBox_ql", "expression_pitch_comboBox_ql",
                             "expression_ch_comboBox_ql", "hat_cc_comboBox_ql",
                             "hat_note_comboBox_ql"}) {
        if (QWidget *w = window.findChild<QWidget *>(QLatin1String(name)))
            w->show();
    }
    const auto select = [&window](const char *name, int index) {
        if (auto *box = window.findChild<QComboBox *>(QLatin1String(name)))
            box->setCurrentIndex(index);
    };
    auto *pedalType = window.findChild<QComboBox *>(QStringLiteral("pendal_type_comboBox0"));
    int failures = 0;
    const auto shoot = [&](int pedalPage, const QString &name) {
        if (pedalType)
            pedalType->setCurrentIndex(pedalPage);
        settle(400);
        const QString path = QStringLiteral("%1/%2.png").arg(outDir, name);
        if (window.grab().save(path))
            QTextStream(stdout) << path << '\n';
        else
            ++failures;
    };
    // Expression NOTE: range 10..120, gain +20, curvature +30.
    select("expression_comboBox0", 1);
    select("expression_note_comboBox_valmax", 120);
    select("expression_note_comboBox_valmin", 10);
    select("expression_note_comboBox_gain", 70);
    select("expression_note_comboBox_ql", 80);
    shoot(0, QStringLiteral("4-expression-curve"));
    // Hi-hat CC: gain -30, curvature -40.
    select("hat_cc_comboBox_gain", 20);
    select("hat_cc_comboBox_ql", 10);
    shoot(2, QStringLiteral("5-hihat-curve"));
    return failures;
}

/// The menu bar with the Setting menu open (a grab of the screen, since the
/// menu is a window of its own) and the About dialog.
int shootMenuAndAbout(Widget &window, const QString &outDir)
{
    int failures = 0;
    auto *bar = window.findChild<QMenuBar *>();
    if (bar && bar->actions().size() > 1) {
        bar->setActiveAction(bar->actions().at(1));
        settle(400);
        const QRect area = window.frameGeometry().adjusted(0, 0, 0, -400);
        const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
            0, area.x(), area.y(), area.width(), area.height());
        const QString path = outDir + QStringLiteral("/6-setting-menu.png");
        if (shot.save(path))
            QTextStream(stdout) << path << '\n';
        else
            ++failures;
        if (QMenu *menu = bar->actions().at(1)->menu())
            menu->close();
        settle(100);
    } else {
        ++failures;
    }
    if (auto *about = window.findChild<CustomDialog *>()) {
        about->show();
        settle(300);
        const QString path = outDir + QStringLiteral("/7-about.png");
        if (about->grab().save(path))
            QTextStream(stdout) << path << '\n';
        else
            ++failures;
        about->hide();
    } else {
        ++failures;
    }
    return failures;
}

/// Feeds live events to the monitor as the link would and saves each pedal
/// page with its table rows and its picture tilted or pressed.
int shootMonitor(Widget &window, const QString &outDir)
{
    auto *pedalType = window.findChild<QComboBox *>(QStringLiteral("pendal_type_comboBox0"));
    const auto event = [](int status, int data1, int data2) {
        QByteArray frame(4, '\0');
        frame[0] = char(status < 0xF0 ? status >> 4 : 0x0F);
        frame[1] = char(status);
        frame[2] = char(data1);
        frame[3] = char(data2);
        return frame;
    };
    const auto feed = [&](const QList<QByteArray> &frames) {
        for (const QByteArray &f : frames)
            window.enqueuePedalFrame(f);
        settle(300);
    };
    int failures = 0;
    const auto shoot = [&](const QString &name) {
        settle(300);
        const QString path = QStringLiteral("%1/%2.png").arg(outDir, name);
        if (window.grab().save(path))
            QTextStream(stdout) << path << '\n';
        else
            ++failures;
    };

    window.clearEventTables();
    // Expression: a sweep of CC 11 that stops a third of the way down.
    if (pedalType)
        pedalType->setCurrentIndex(0);
    feed({event(0xB0, 11, 0), event(0xB0, 11, 32), event(0xB0, 11, 64), event(0xB0, 11, 96),
          event(0xB0, 11, 127), event(0xB0, 11, 80)});
    shoot(QStringLiteral("8-expression-live"));

    // Switch in "Reset": a press to the maximum holds the pedal down.
    if (pedalType)
        pedalType->setCurrentIndex(1);
    if (auto *mode = window.findChild<QComboBox *>(QStringLiteral("switch_cc_comboBox_mode")))
        mode->setCurrentIndex(2);
    feed({event(0xFA, 0, 0), event(0xB0, 64, 0), event(0xB0, 64, 127)});
    shoot(QStringLiteral("9-switch-live"));

    // Hi-hat: a chick note and the pedal closing most of the way.
    if (pedalType)
        pedalType->setCurrentIndex(2);
    feed({event(0x99, 44, 100), event(0x89, 44, 0), event(0xB0, 4, 20), event(0xB0, 4, 110)});
    shoot(QStringLiteral("10-hihat-live"));

    // Paused while 1500 more frames arrive: the tables stand still and count
    // them; on resume they show the newest 1000 and say how many were dropped.
    auto *pause = window.findChild<QPushButton *>(QStringLiteral("pauseButton_3"));
    if (!pause)
        return failures + 1;
    pause->click();
    for (int round = 0; round < 6; ++round) {
        QList<QByteArray> frames;
        for (int i = 0; i < 250; ++i)
            frames.append(event(0xB0, 4, (round * 250 + i) % 128));
        feed(frames);
    }
    shoot(QStringLiteral("13-monitor-paused"));
    pause->click();
    shoot(QStringLiteral("14-monitor-resumed"));
    window.clearEventTables();
    return failures;
}

/// Connected to a simulated controller after a Set: the status line names
/// the port, model, firmware, pedal count and the reply.
int shootConnected(Widget &window, const QString &outDir)
{
    SimulatedController device(QStringLiteral("QRX-30"));
    SimulatedDeviceSource source({&device});
    DeviceSource::setCurrent(&source);
    DownloadServer::setBase(QUrl(QStringLiteral("http://127.0.0.1:9"))); // no firmware offer
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->accept();
    });
    answer.start(20);

    auto *devices = window.findChild<QComboBox *>(QStringLiteral("comboBox_ComDevices"));
    QElapsedTimer clock;
    clock.start();
    while (devices && devices->count() == 0 && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    int failures = 1;
    if (devices && devices->count() > 0) {
        if (auto *pedalType = window.findChild<QStackedWidget *>(QStringLiteral("pedal_type_stack")))
            pedalType->setCurrentIndex(0);
        window.findChild<QPushButton *>(QStringLiteral("connectButton"))->click();
        settle(1500);
        window.findChild<QPushButton *>(QStringLiteral("setButton_6"))->click();
        settle(600);
        const QString path = outDir + QStringLiteral("/12-status-connected.png");
        if (window.grab().save(path)) {
            QTextStream(stdout) << path << '\n';
            failures = 0;
        }
        window.findChild<QPushButton *>(QStringLiteral("connectButton"))->click();
    }
    DownloadServer::setBase(QUrl());
    DeviceSource::setCurrent(nullptr);
    return failures;
}

/// Answers every open dialog with one file.
class OneFile : public FileDialogs
{
public:
    explicit OneFile(QString path) : m_path(std::move(path)) { FileDialogs::setCurrent(this); }
    ~OneFile() override { FileDialogs::setCurrent(nullptr); }
    QString getSaveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return QString();
    }
    QString getOpenFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return m_path;
    }

private:
    QString m_path;
};

/// The firmware upgrade dialog in the middle of sending an image from a file
/// to a simulated controller in its upgrade mode.
int shootUpgrade(Widget &window, const QString &outDir)
{
    SimulatedController device(QStringLiteral("ZT-3"));
    device.setMode(SimulatedController::Mode::Upgrade);
    device.setEraseDelay(300);
    SimulatedDeviceSource source({&device});
    DeviceSource::setCurrent(&source);
    LocalDownloadServer server;
    server.serve(QStringLiteral("download/Product/ZT-3/Update/ZT-3_Update.txt"), "ZT-3_V1.2.0\n");
    DownloadServer::setBase(QUrl(server.baseUrl()));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ZT-3_V1.3.0.bin"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pseudoRandomBytes(12000)) != 12000)
        return 1;
    file.close();
    OneFile files(path);

    upgrade_dialog *dialog = window.upgradeDialog();
    QMetaObject::invokeMethod(&window, "show_ug_dlg_Dialog");
    dialog->ui->pushButton->click();
    settle(600);
    dialog->ui->pushButton_3->click();
    dialog->ui->pushButton_4->click();
    QElapsedTimer clock;
    clock.start();
    while (dialog->ui->progressBar->value() < 45 && clock.elapsed() < 15000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    settle(100);
    int failures = 0;
    const QString shot = outDir + QStringLiteral("/11-upgrade-transfer.png");
    if (dialog->ui->progressBar->value() >= 45 && dialog->grab().save(shot))
        QTextStream(stdout) << shot << '\n';
    else
        ++failures;
    // Closing mid-transfer asks whether to stop it: yes.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)->click() : box->reject();
    });
    answer.start(20);
    dialog->close();
    DownloadServer::setBase(QUrl());
    DeviceSource::setCurrent(nullptr);
    return failures;
}


/// The expression page's controller list opened. Without a window manager
/// the popup is a top-level window of its own, so the picture is a grab of
/// the screen area that holds the window and the popup.
int shootDropDown(Widget &window, const QString &outDir)
{
    auto *pedalType = window.findChild<QComboBox *>(QStringLiteral("pendal_type_comboBox0"));
    if (pedalType)
        pedalType->setCurrentIndex(0);
    if (auto *event = window.findChild<QComboBox *>(QStringLiteral("expression_comboBox0")))
        event->setCurrentIndex(0);
    auto *list = window.findChild<QComboBox *>(QStringLiteral("expression_cc_comboBox_ctl"));
    if (!list || !list->isVisible()) {
        QTextStream(stderr) << "the controller list is not on screen\n";
        return 1;
    }
    list->setCurrentIndex(7);
    settle(200);
    list->showPopup();
    settle(400);
    QWidget *popup = list->view()->window();
    const QRect area = window.frameGeometry().united(popup->frameGeometry());
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
        0, area.x(), area.y(), area.width(), area.height());
    const bool shown = popup->isVisible();
    list->hidePopup();
    settle(100);
    const QString path = outDir + QStringLiteral("/15-dropdown-open.png");
    if (shown && shot.save(path)) {
        QTextStream(stdout) << path << " (popup " << popup->width() << 'x' << popup->height()
                            << ")\n";
        return 0;
    }
    return 1;
}


/// Check boxes and buttons in every state on the window's backgrounds, shown
/// at twice the size so that outlines and ticks can be judged.
int shootControls(const QString &outDir)
{
    QWidget sheet;
    auto *layout = new QGridLayout(&sheet);
    const auto row = [&](QWidget *parent, QGridLayout *grid) {
        int column = 0;
        for (bool enabled : {true, false}) {
            for (bool checked : {false, true}) {
                auto *box = new QCheckBox(QStringLiteral("Evert"), parent);
                box->setChecked(checked);
                box->setEnabled(enabled);
                grid->addWidget(box, 0, column++);
            }
            auto *button = new QPushButton(QStringLiteral("Upgrade"), parent);
            button->setEnabled(enabled);
            grid->addWidget(button, 0, column++);
            auto *list = new QComboBox(parent);
            list->addItem(QStringLiteral("7) Volume"));
            list->setEnabled(enabled);
            grid->addWidget(list, 0, column++);
        }
    };
    row(&sheet, layout);
    auto *group = new QGroupBox(QStringLiteral("Group"), &sheet);
    auto *inGroup = new QGridLayout(group);
    row(group, inGroup);
    layout->addWidget(group, 1, 0, 1, 8);
    sheet.show();
    settle(300);
    const QImage picture = sheet.grab().toImage();
    sheet.hide();
    const QString path = outDir + QStringLiteral("/16-controls.png");
    if (picture.scaled(picture.size() * 2).save(path)) {
        QTextStream(stdout) << path << '\n';
        return 0;
    }
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    app.setStyleSheet(applicationStyleSheet());

    const QStringList args = app.arguments();
    const QString outDir = args.size() > 1 ? args.at(1) : QStringLiteral("/tmp/stompwright-shots");
    if (!QDir().mkpath(outDir)) {
        QTextStream(stderr) << "cannot create " << outDir << '\n';
        return 1;
    }

    Widget window;
    window.resize(870, 750);
    QTimer::singleShot(800, &window,
                       [&] {
        const int failures = shootPages(window, outDir) + shootCurves(window, outDir)
                             + shootMenuAndAbout(window, outDir) + shootMonitor(window, outDir)
                             + shootConnected(window, outDir) + shootUpgrade(window, outDir)
                             + shootDropDown(window, outDir) + shootControls(outDir);
        app.exit(failures == 0 ? 0 : 1);
    });
    // The same start as the program itself: title-bar buttons, show, event loop.
    return runMainWindow(app, window);
}
