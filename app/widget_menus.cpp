// The main window's menu bar, its two persistent settings (note naming and
// CC names), the factory reset, the manual links and the About dialog.
#include "app/widget.h"
#include "ui_widget.h"
#include "upgrade/upgrade_dialog.h"

#include "app/customdialog.h"
#include "core/configlocation.h"
#include "core/externallink.h"
#include "core/logging.h"
#include "device/serialport.h"
#include "pedal/configcommands.h"
#include "pedal/vocabulary.h"
#include "update/downloadserver.h"

#include <QAction>
#include <QActionGroup>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QVBoxLayout>

namespace {

const QString kNamingKey = QStringLiteral("selectedMIDIName");
const QString kCcNamesKey = QStringLiteral("showCCNameEnabled");

const QString kEnglishManual =
    QStringLiteral("/download/Product/Stompwright/Stompwright_Manual.pdf");
const QString kChineseManual =
    QStringLiteral("/download/Product/Stompwright/Stompwright说明书.pdf");

/// Note naming convention of each naming action: note 60 is C3, C4 or C5.
int namingMode(const QString &name)
{
    if (name == QLatin1String("C3"))
        return 2;
    if (name == QLatin1String("C4"))
        return 1;
    if (name == QLatin1String("C5"))
        return 3;
    return 0;
}

} // namespace

void Widget::buildMenus()
{
    auto *bar = new QMenuBar(ui->widget);
    bar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto *layout = new QVBoxLayout(ui->widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);

    QMenu *file = bar->addMenu(tr("File"));
    connect(file->addAction(tr("Open File")), &QAction::triggered, this, &Widget::loadPresetFile);
    connect(file->addAction(tr("Save File")), &QAction::triggered, this, &Widget::savePresetFile);
    connect(file->addAction(tr("Save File As")), &QAction::triggered, this,
            &Widget::savePresetFileAs);
    buildBackupMenu(file);
    connect(file->addAction(tr("Exit")), &QAction::triggered, this, &Widget::confirmExit);

    QMenu *setting = bar->addMenu(tr("Setting"));
    noteNameMenu = setting->addMenu(tr("MIDI Note=60 Name"));
    noteNameGroup = new QActionGroup(this);
    noteNameGroup->setExclusive(true);
    actionC3 = noteNameMenu->addAction(QStringLiteral("C3"));
    actionC4 = noteNameMenu->addAction(QStringLiteral("C4"));
    actionC5 = noteNameMenu->addAction(QStringLiteral("C5"));
    for (QAction *action : {actionC3, actionC4, actionC5}) {
        action->setCheckable(true);
        noteNameGroup->addAction(action);
        const int mode = namingMode(action->text());
        connect(action, &QAction::triggered, this, [this, mode] { applyNoteNaming(mode); });
    }
    connect(noteNameGroup, &QActionGroup::triggered, this, &Widget::saveNoteNaming);
    showCCNameAction = setting->addAction(tr("Show CC Name"));
    factoryResetAction = setting->addAction(tr("Factory Reset"));
    connect(factoryResetAction, &QAction::triggered, this, &Widget::confirmFactoryReset);
    connect(setting->addAction(tr("Firmware Upgrade")), &QAction::triggered, this,
            &Widget::show_ug_dlg_Dialog);
    buildMidiOutputMenu(setting);

    QMenu *help = bar->addMenu(tr("Help"));
    connect(help->addAction(tr("About")), &QAction::triggered, this, &Widget::showAboutDialog);
    QMenu *manuals = help->addMenu(tr("User Manual"));
    connect(manuals->addAction(QStringLiteral("中文说明书")), &QAction::triggered, this,
            &Widget::openChineseManual);
    connect(manuals->addAction(tr("English User Manual")), &QAction::triggered, this,
            &Widget::openEnglishManual);
    connect(help->addAction(tr("Check for Update ")), &QAction::triggered, this,
            [this] { checkForAppUpdate(true); });

    settings = new QSettings(ConfigLocation::configFilePath(), QSettings::IniFormat, this);
    showCCName = settings->value(kCcNamesKey, true).toBool();
    showCCNameAction->setCheckable(true);
    showCCNameAction->setChecked(showCCName);
    connect(showCCNameAction, &QAction::triggered, this, &Widget::toggleShowCCName);
    // The controller lists are filled by the editor and then by loadConfig(),
    // which gives them the form this setting asks for.
}

void Widget::loadConfig()
{
    configPath = ConfigLocation::configFilePath();
    qCDebug(lcEditor).noquote() << "Config file path:" << configPath;
    if (!QFileInfo::exists(configPath))
        qCDebug(lcEditor) << "Config file does not exist. It will be created automatically if "
                             "settings are saved.";
    const QSettings config(configPath, QSettings::IniFormat);
    const QString naming = config.value(kNamingKey, QString()).toString();
    const bool named = config.value(kCcNamesKey, true).toBool();

    const int noteIndex = ui->switch_note_comboBox_nno->currentIndex();
    const int expressionNoteIndex = ui->expression_note_comboBox_ctl->currentIndex();
    if (const int mode = namingMode(naming)) {
        for (QAction *action : {actionC3, actionC4, actionC5}) {
            if (action->text() == naming)
                action->setChecked(true);
        }
        applyNoteNaming(mode);
    } else {
        // No naming saved: the table names notes as the editor's lists were
        // filled (note 60 is C4), so one note has one name in the window.
        // Nothing is written until the user picks a naming.
        actionC4->setChecked(true);
        noteNameMode = 1;
    }
    ui->switch_note_comboBox_nno->setCurrentIndex(noteIndex);
    ui->expression_note_comboBox_ctl->setCurrentIndex(expressionNoteIndex);

    fillControllerList(ui->expression_cc_comboBox_ctl, named);
    fillControllerList(ui->switch_cc_comboBox_ctl, named);
    fillControllerList(ui->hat_cc_comboBox_ctl, named);
}

void Widget::applyNoteNaming(int mode)
{
    if (mode < 1 || mode > 3)
        return;
    for (QComboBox *box : {ui->switch_note_comboBox_nno, ui->expression_note_comboBox_ctl,
                           ui->expression_press_note, ui->expression_release_note,
                           ui->hat_press_note, ui->hat_release_note}) {
        const int kept = box->currentIndex();
        fillNoteCombo(box, mode);
        box->setCurrentIndex(kept);
    }
    noteNameMode = mode;
}

void Widget::saveNoteNaming(QAction *action)
{
    qCDebug(lcEditor) << "Action text:" << action->text();
    QSettings config(configPath.isEmpty() ? ConfigLocation::configFilePath() : configPath,
                     QSettings::IniFormat);
    config.setValue(kNamingKey, action->text());
    config.sync();
    qCDebug(lcEditor) << "Selected MIDI Note saved:" << action->text();
}

void Widget::toggleShowCCName(bool checked)
{
    const QList<QComboBox *> lists = {ui->expression_cc_comboBox_ctl, ui->switch_cc_comboBox_ctl,
                                      ui->hat_cc_comboBox_ctl};
    QList<int> kept;
    for (QComboBox *box : lists)
        kept.append(box->currentIndex());
    for (int i = 0; i < lists.size(); ++i) {
        fillControllerList(lists.at(i), checked);
        if (kept.at(i) >= 0 && kept.at(i) < lists.at(i)->count())
            lists.at(i)->setCurrentIndex(kept.at(i));
    }
    settings->setValue(kCcNamesKey, checked);
    settings->sync();
    showCCName = checked;
}

void Widget::confirmFactoryReset()
{
    // The confirmation follows the automatic backup and says where it went.
    if (autoBackupFor == EraseStep::None)
        backUpBeforeErase(EraseStep::FactoryReset);
}

void Widget::openEnglishManual()
{
    openExternalLink(this, DownloadServer::url(kEnglishManual));
}

void Widget::openChineseManual()
{
    openExternalLink(this, DownloadServer::url(kChineseManual));
}

void Widget::showAboutDialog()
{
    aboutDialog->exec();
}

void Widget::show_ug_dlg_Dialog()
{
    ug_dlg->show();
    ug_dlg->refreshDeviceList();
    ug_dlg->clearLog();
}
