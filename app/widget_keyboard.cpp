// The main window from the keyboard: shortcuts, the order Tab walks the
// controls in, and the names screen readers announce for them.
#include "app/widget.h"
#include "ui_widget.h"

#include "app/accessiblenames.h"

#include <QAction>
#include <QComboBox>
#include <QGraphicsView>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>

namespace {

/// Tab order of the form: the device row and the general settings, then on
/// each pedal page the settings column top to bottom (each event page's
/// fields in reading order, the trigger fields, Set and Delete), then the
/// monitor column. Hidden widgets are skipped by Tab, so one chain serves
/// every page.
const char *const kTabChain[] = {
    "comboBox_ComDevices", "connectButton", "Pedal_Number", "Message_Number", "checkButton",
    // expression page
    "expression_comboBox0", "expression_cc_comboBox_chl", "expression_cc_comboBox_ctl",
    "expression_cc_comboBox_valmin", "expression_cc_comboBox_valmax",
    "expression_cc_comboBox_gain", "expression_cc_comboBox_ql",
    "expression_comboBox1", "expression_note_comboBox_chl", "expression_note_comboBox_ctl",
    "expression_note_comboBox_valmin", "expression_note_comboBox_valmax",
    "expression_note_comboBox_gain", "expression_note_comboBox_ql",
    "expression_comboBox2", "expression_pitch_comboBox_chl", "expression_pitch_comboBox_valmin",
    "expression_pitch_comboBox_valmax", "expression_pitch_comboBox_gain",
    "expression_pitch_comboBox_ql",
    "expression_comboBox3", "expression_ch_comboBox_chl", "expression_ch_comboBox_val1",
    "expression_ch_comboBox_val2", "expression_ch_comboBox_gain", "expression_ch_comboBox_ql",
    "expression_trigger_level", "expression_press_note", "expression_release_note",
    "setButton_6", "pushButton",
    "pendal_type_comboBox0", "ex_Evert_checkBox", "tableView", "pauseButton",
    "exportButton", "checkBox_ex", "clearButton",
    // switch page
    "switch_comboBox0", "switch_cc_comboBox_chl", "switch_cc_comboBox_ctl",
    "switch_cc_comboBox_mode", "switch_cc_comboBox_valmin", "switch_cc_comboBox_valmax",
    "switch_comboBox1", "switch_note_comboBox_chl", "switch_note_comboBox_nno",
    "switch_note_comboBox_mode", "switch_note_comboBox_valmin", "switch_note_comboBox_valmax",
    "switch_comboBox2", "switch_pc_comboBox_chl", "switch_pc_comboBox_mode",
    "switch_pc_comboBox_valmin", "switch_pc_comboBox_valmax",
    "switch_comboBox3", "switch_stop_comboBox_mode", "switch_comboBox4",
    "switch_ctu_comboBox_mode", "switch_comboBox5", "switch_start_comboBox_mode",
    "switch_comboBox6", "switch_tempo_comboBox_mode",
    "setButton_9", "pushButton_3",
    "pendal_type_comboBox1", "sw_Evert_checkBox", "tableView_2", "pauseButton_2",
    "exportButton_2", "checkBox_sw", "clearButton_2",
    // hi-hat page
    "hat_comboBox0", "hat_cc_comboBox_chl", "hat_cc_comboBox_ctl", "hat_cc_comboBox_valmin",
    "hat_cc_comboBox_valmax", "hat_cc_comboBox_gain", "hat_cc_comboBox_ql",
    "hat_comboBox1", "hat_note_comboBox_chl", "hat_note_comboBox_ctl",
    "hat_note_comboBox_valmin", "hat_note_comboBox_valmax", "hat_note_comboBox_gain",
    "hat_note_comboBox_ql",
    "hat_trigger_level", "hat_press_note", "hat_release_note", "setButton_7", "pushButton_2",
    "pendal_type_comboBox2", "ht_Evert_checkBox", "tableView_3", "pauseButton_3",
    "exportButton_3", "checkBox_ht", "clearButton_3",
};

} // namespace

void Widget::setUpKeyboard()
{
    // File menu entries keep their texts; the menu shows each key beside it.
    if (auto *bar = ui->widget->findChild<QMenuBar *>()) {
        bar->setAccessibleName(tr("Menu bar"));
        const QList<QPair<QString, QKeySequence>> fileKeys = {
            {QStringLiteral("Open File"), QKeySequence(QStringLiteral("Ctrl+O"))},
            {QStringLiteral("Save File"), QKeySequence(QStringLiteral("Ctrl+S"))},
            {QStringLiteral("Save File As"), QKeySequence(QStringLiteral("Ctrl+Shift+S"))},
            {QStringLiteral("Exit"), QKeySequence(QStringLiteral("Ctrl+Q"))}};
        const QList<QAction *> menus = bar->actions();
        if (QMenu *file = menus.isEmpty() ? nullptr : menus.first()->menu()) {
            for (QAction *action : file->actions())
                for (const auto &key : fileKeys)
                    if (action->text() == key.first)
                        action->setShortcut(key.second);
        }
    }

    // Check and Set have no menu entry: window-wide actions, named in the
    // buttons' tool tips.
    auto *check = new QAction(tr("Check"), this);
    check->setShortcut(QKeySequence(Qt::Key_F5));
    connect(check, &QAction::triggered, this, &Widget::on_checkButton_clicked);
    auto *set = new QAction(tr("Set"), this);
    set->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return),
                       QKeySequence(Qt::CTRL | Qt::KeypadModifier | Qt::Key_Enter)});
    connect(set, &QAction::triggered, this, &Widget::sendSetCommand);
    addActions({check, set});
    ui->checkButton->setToolTip(tr("Read the selected message from the controller (F5)"));
    for (QWidget *button : {ui->setButton_6, ui->setButton_9, ui->setButton_7})
        button->setToolTip(tr("Send this message to the controller (Ctrl+Return)"));

    QWidget *previous = nullptr;
    for (const char *name : kTabChain) {
        auto *next = findChild<QWidget *>(QLatin1String(name));
        if (!next)
            continue;
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    }

    // Names for controls whose caption is a separate label; buttons and check
    // boxes are named by their own text.
    for (QWidget *w : findChildren<QWidget *>()) {
        if (!w->accessibleName().isEmpty())
            continue;
        const QString name = AccessibleNames::forObjectName(w->objectName());
        if (!name.isEmpty())
            w->setAccessibleName(name);
    }
    // The tables' own look has no border; a focused one shows the frame.
    for (QTableView *table : {ui->tableView, ui->tableView_2, ui->tableView_3})
        table->setStyleSheet(table->styleSheet()
                             + QStringLiteral("QTableView:focus{border:2px solid #FFD700;}"));
    // The pedal pictures show; they take no input.
    for (QGraphicsView *view : findChildren<QGraphicsView *>()) {
        view->setFocusPolicy(Qt::NoFocus);
        view->viewport()->setFocusPolicy(Qt::NoFocus);
    }
}
