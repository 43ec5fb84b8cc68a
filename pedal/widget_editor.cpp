// The main window's pedal editor: filling and wiring the selectors at
// start-up, page switching, twin selectors, trigger modes and levels, and the
// resets of the event pages.
#include "app/widget.h"
#include "ui_widget.h"

#include "pedal/pedalmessage.h"
#include "pedal/vocabulary.h"
#include "core/logging.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

namespace {

const QString kOff = QStringLiteral("OFF");
const QString kSingle = QStringLiteral("Single");
const QString kMax = QStringLiteral("Max");

/// Page of each switch event in switch_stackedWidget, which is not the list order.
int switchPageOf(int eventCode)
{
    switch (eventCode) {
    case EventCc: return 0;
    case EventNote: return 1;
    case EventProgramChange: return 2;
    case EventStop: return 3;
    case EventContinue: return 4;
    case EventStart: return 5;
    case EventTempo: return 6;
    default: return -1;
    }
}

void fillWithDefault(QComboBox *box, const QStringList &items, int defaultIndex)
{
    box->addItems(items);
    box->setCurrentIndex(defaultIndex);
}

/// One selector and the index a page reset gives it.
struct Reset {
    QComboBox *box;
    int index;
};

void applyResets(std::initializer_list<Reset> resets)
{
    for (const Reset &r : resets)
        r.box->setCurrentIndex(r.index);
}

} // namespace

QList<QComboBox *> Widget::expressionEventSelectors() const
{
    return {ui->expression_comboBox0, ui->expression_comboBox1, ui->expression_comboBox2,
            ui->expression_comboBox3};
}

QList<QComboBox *> Widget::switchEventSelectors() const
{
    return {ui->switch_comboBox0, ui->switch_comboBox1, ui->switch_comboBox2,
            ui->switch_comboBox3, ui->switch_comboBox4, ui->switch_comboBox5,
            ui->switch_comboBox6};
}

QList<QComboBox *> Widget::switchModeSelectors() const
{
    return {ui->switch_cc_comboBox_mode,   ui->switch_note_comboBox_mode,
            ui->switch_pc_comboBox_mode,   ui->switch_stop_comboBox_mode,
            ui->switch_ctu_comboBox_mode,  ui->switch_start_comboBox_mode,
            ui->switch_tempo_comboBox_mode};
}

QList<QComboBox *> Widget::pedalTypeSelectors() const
{
    return {ui->pendal_type_comboBox0, ui->pendal_type_comboBox1, ui->pendal_type_comboBox2};
}

void Widget::fillControllerList(QComboBox *box, bool numbered)
{
    box->clear();
    if (numbered)
        fillCcCombo(box);
    else
        box->addItems(Vocabulary::plainControllerItems());
}

// Each selector is connected only after its own list is filled, so filling
// runs none of the reactions below; the by-name reactions are live throughout.
void Widget::initPedalEditor()
{
    using namespace Vocabulary;

    // Expression: event lists, trigger level and notes, channels.
    const QList<QComboBox *> expressionEvents = expressionEventSelectors();
    for (QComboBox *box : expressionEvents)
        box->addItems(expressionEventItems());
    ui->expression_trigger_level->addItems(triggerLevelItems());
    fillNoteCombo(ui->expression_press_note, 1);
    fillNoteCombo(ui->expression_release_note, 1);
    for (QComboBox *box : {ui->expression_cc_comboBox_chl, ui->expression_note_comboBox_chl,
                           ui->expression_pitch_comboBox_chl, ui->expression_ch_comboBox_chl})
        box->addItems(channelItems());
    for (QComboBox *box : expressionEvents)
        connect(box, SIGNAL(currentIndexChanged(QString)), this, SLOT(Changed_stack(QString)));

    // Expression CC and NOTE pages: the maximum before the minimum.
    fillWithDefault(ui->expression_cc_comboBox_gain, gainItems(), 50);
    fillWithDefault(ui->expression_cc_comboBox_valmax, valueItems(), 127);
    fillWithDefault(ui->expression_cc_comboBox_valmin, valueItems(), 0);
    fillWithDefault(ui->expression_cc_comboBox_ql, gainItems(), 50);
    fillControllerList(ui->expression_cc_comboBox_ctl, true);
    fillWithDefault(ui->expression_note_comboBox_gain, gainItems(), 50);
    fillWithDefault(ui->expression_note_comboBox_valmax, valueItems(), 127);
    fillWithDefault(ui->expression_note_comboBox_valmin, valueItems(), 0);
    fillWithDefault(ui->expression_note_comboBox_ql, gainItems(), 50);
    fillNoteCombo(ui->expression_note_comboBox_ctl, 1);
    for (QComboBox *box : expressionEvents)
        connect(box, SIGNAL(currentIndexChanged(int)), this, SLOT(syncComboBoxIndexes(int)));

    // Pitch Bend and Channel Pressure pages.
    fillWithDefault(ui->expression_pitch_comboBox_gain, gainItems(), 50);
    fillWithDefault(ui->expression_pitch_comboBox_valmax, pitchBendItems(), 16383);
    fillWithDefault(ui->expression_pitch_comboBox_valmin, pitchBendItems(), 0);
    fillWithDefault(ui->expression_pitch_comboBox_ql, gainItems(), 50);
    fillWithDefault(ui->expression_ch_comboBox_gain, gainItems(), 50);
    fillWithDefault(ui->expression_ch_comboBox_val2, valueItems(), 127);
    fillWithDefault(ui->expression_ch_comboBox_val1, valueItems(), 0);
    fillWithDefault(ui->expression_ch_comboBox_ql, gainItems(), 50);

    // Switch: event lists without "Tempo", the legacy lists, channels.
    const QList<QComboBox *> switchEvents = switchEventSelectors();
    for (QComboBox *box : switchEvents)
        box->addItems(switchEventItems(false));
    ui->switch_mode->addItems(triggerModeItems());
    ui->switch_status->addItems(legacySwitchStatusItems());
    for (QComboBox *box : {ui->switch_cc_comboBox_chl, ui->switch_pc_comboBox_chl,
                           ui->switch_note_comboBox_chl})
        box->addItems(channelItems());
    for (QComboBox *box : switchEvents) {
        connect(box, SIGNAL(currentIndexChanged(QString)), this,
                SLOT(Changed_stack_switch(QString)));
        connect(box, SIGNAL(currentIndexChanged(int)), this,
                SLOT(syncComboBoxIndexes_switch(int)));
    }

    // Switch pages: the modes first, so the ranges are filled in "Single".
    ui->switch_cc_comboBox_mode->addItems(triggerModeItems());
    fillWithDefault(ui->switch_cc_comboBox_valmax, valueItems(), 127);
    ui->switch_cc_comboBox_valmin->addItems(valueItems());
    fillControllerList(ui->switch_cc_comboBox_ctl, true);
    ui->switch_pc_comboBox_mode->addItems(triggerModeItems());
    fillWithDefault(ui->switch_pc_comboBox_valmax, valueItems(), 127);
    ui->switch_pc_comboBox_valmin->addItems(valueItems());
    ui->switch_note_comboBox_mode->addItems(triggerModeItems());
    fillWithDefault(ui->switch_note_comboBox_valmax, valueItems(), 127);
    ui->switch_note_comboBox_valmin->addItems(valueItems());
    fillNoteCombo(ui->switch_note_comboBox_nno, 1);
    for (QComboBox *box : {ui->switch_stop_comboBox_mode, ui->switch_ctu_comboBox_mode,
                           ui->switch_start_comboBox_mode, ui->switch_tempo_comboBox_mode})
        box->addItems(singleModeItems());
    for (QComboBox *box : switchModeSelectors())
        connect(box, SIGNAL(currentIndexChanged(int)), this,
                SLOT(syncComboBoxIndexes_modeswitch(int)));

    // Hi-hat: CC and NOTE pages, event lists, trigger level and notes, channels.
    fillWithDefault(ui->hat_cc_comboBox_gain, gainItems(), 50);
    fillWithDefault(ui->hat_cc_comboBox_valmax, valueItems(), 127);
    fillWithDefault(ui->hat_cc_comboBox_valmin, valueItems(), 0);
    fillWithDefault(ui->hat_cc_comboBox_ql, gainItems(), 50);
    fillControllerList(ui->hat_cc_comboBox_ctl, true);
    fillWithDefault(ui->hat_note_comboBox_gain, gainItems(), 50);
    fillWithDefault(ui->hat_note_comboBox_valmax, valueItems(), 127);
    fillWithDefault(ui->hat_note_comboBox_valmin, valueItems(), 0);
    fillWithDefault(ui->hat_note_comboBox_ql, gainItems(), 50);
    fillNoteCombo(ui->hat_note_comboBox_ctl, 1);
    for (QComboBox *box : {ui->hat_comboBox0, ui->hat_comboBox1})
        box->addItems(hatEventItems());
    ui->hat_trigger_level->addItems(triggerLevelItems());
    fillNoteCombo(ui->hat_press_note, 1);
    fillNoteCombo(ui->hat_release_note, 1);
    for (QComboBox *box : {ui->hat_cc_comboBox_chl, ui->hat_note_comboBox_chl})
        box->addItems(channelItems());
    for (QComboBox *box : {ui->hat_comboBox0, ui->hat_comboBox1}) {
        connect(box, SIGNAL(currentIndexChanged(QString)), this,
                SLOT(Changed_stack_hat(QString)));
        connect(box, SIGNAL(currentIndexChanged(int)), this, SLOT(syncComboBoxIndexes_hat(int)));
    }

    // Pedal types.
    for (QComboBox *box : pedalTypeSelectors())
        box->addItems(pedalTypeItems());
    for (QComboBox *box : pedalTypeSelectors()) {
        connect(box, SIGNAL(currentIndexChanged(QString)), this,
                SLOT(Changed_stack_type(QString)));
        connect(box, SIGNAL(currentIndexChanged(int)), this, SLOT(syncComboBoxIndexes_type(int)));
    }
}

void Widget::rebuildSwitchEventLists(bool withTempo)
{
    // Signals stay live: the reactions run as for a user's choice, so the
    // switch page ends on CC and the channels on "1".
    const QList<QComboBox *> events = switchEventSelectors();
    const QList<QComboBox *> channels = {ui->switch_cc_comboBox_chl, ui->switch_pc_comboBox_chl,
                                         ui->switch_note_comboBox_chl};
    for (QComboBox *box : events)
        box->clear();
    ui->switch_mode->clear();
    ui->switch_status->clear();
    for (QComboBox *box : channels)
        box->clear();

    for (QComboBox *box : events)
        box->addItems(Vocabulary::switchEventItems(withTempo));
    ui->switch_mode->addItems(Vocabulary::triggerModeItems());
    ui->switch_status->addItems(Vocabulary::legacySwitchStatusItems());
    for (QComboBox *box : channels)
        box->addItems(Vocabulary::channelItems());
}

void Widget::Changed_stack_type(QString text)
{
    const int page = Vocabulary::pedalTypeItems().indexOf(text);
    if (page < 0) {
        qCDebug(lcEditor).noquote() << QStringLiteral("Unknown option: ") + text;
        return;
    }
    ui->pedal_type_stack->setCurrentIndex(page);
}

void Widget::syncComboBoxIndexes_type(int index)
{
    const QObject *from = sender();
    for (QComboBox *box : pedalTypeSelectors()) {
        if (box == from || box->currentIndex() == index)
            continue;
        const QSignalBlocker blocker(box);
        box->setCurrentIndex(index);
    }
}

void Widget::rebuildExpressionTriggerList(bool pitchBend)
{
    QComboBox *level = ui->expression_trigger_level;
    level->clear();
    level->addItems(pitchBend ? Vocabulary::pitchBendTriggerLevelItems()
                              : Vocabulary::triggerLevelItems());
}

void Widget::Changed_stack(QString text)
{
    setupExpressionCurve();
    const int code = eventCodes.value(text, -1);
    int page;
    switch (code) {
    case EventCc: page = 0; break;
    case EventNote: page = 1; break;
    case EventPitchBend: page = 2; break;
    case EventChannelPressure: page = 3; break;
    default:
        qCDebug(lcEditor).noquote() << QStringLiteral("Unknown option: ") + text;
        return;
    }

    ui->expression_stackedWidget->setCurrentIndex(page);
    rebuildExpressionTriggerList(code == EventPitchBend);
    // NOTE messages have no trigger; the others start at "OFF" with the notes enabled.
    const bool triggered = code != EventNote;
    for (QComboBox *box : {ui->expression_trigger_level, ui->expression_press_note,
                           ui->expression_release_note}) {
        box->setCurrentIndex(0);
        box->setEnabled(triggered);
    }

    resetEventPages(QStringLiteral("expression"), Vocabulary::eventKey(code));
    syncCurveFromPage();
}

void Widget::syncComboBoxIndexes(int index)
{
    // Not blocked: each twin runs Changed_stack again with the same text.
    const QObject *from = sender();
    for (QComboBox *box : expressionEventSelectors()) {
        if (box != from && box->currentIndex() != index)
            box->setCurrentIndex(index);
    }
}

void Widget::Changed_stack_hat(QString text)
{
    const int code = eventCodes.value(text, -1);
    if (code != EventCc && code != EventNote) {
        qCDebug(lcEditor).noquote() << QStringLiteral("Unknown option: ") + text;
        return;
    }
    ui->hat_stackedWidget->setCurrentIndex(code == EventCc ? 0 : 1);
    for (QComboBox *box : {ui->hat_trigger_level, ui->hat_press_note, ui->hat_release_note}) {
        box->setCurrentIndex(0);
        box->setEnabled(code == EventCc);
    }
    resetEventPages(QStringLiteral("hat"), Vocabulary::eventKey(code));
}

void Widget::syncComboBoxIndexes_hat(int index)
{
    const QObject *from = sender();
    for (QComboBox *box : {ui->hat_comboBox0, ui->hat_comboBox1}) {
        if (box == from || box->currentIndex() == index)
            continue;
        const QSignalBlocker blocker(box);
        box->setCurrentIndex(index);
    }
}

void Widget::Changed_stack_switch(QString text)
{
    const int page = switchPageOf(eventCodes.value(text, -1));
    if (page < 0) {
        qCDebug(lcEditor).noquote() << QStringLiteral("Unknown option: ") + text;
        return;
    }
    ui->switch_stackedWidget->setCurrentIndex(page);
}

void Widget::syncComboBoxIndexes_switch(int index)
{
    const QObject *from = sender();
    const QList<QComboBox *> events = switchEventSelectors();
    const QList<QComboBox *> modes = switchModeSelectors();
    for (int page = 0; page < events.size(); ++page) {
        QComboBox *event = events.at(page);
        if (event == from || event->currentIndex() == index)
            continue;
        const QSignalBlocker blocker(event);
        QComboBox *mode = modes.at(page);
        if (page <= 2) {
            // Passing through "Single" and "Toggle" lets the page's mode
            // reaction bring its maximum selector up to date.
            const int kept = mode->currentIndex();
            mode->setCurrentIndex(0);
            mode->setCurrentIndex(1);
            mode->setCurrentIndex(kept);
        } else {
            mode->setCurrentIndex(0);
        }
        event->setCurrentIndex(index);
    }
}

void Widget::syncComboBoxIndexes_modeswitch(int index)
{
    const QObject *from = sender();
    const QList<QComboBox *> modes = switchModeSelectors();
    for (int page = 0; page < modes.size(); ++page) {
        QComboBox *mode = modes.at(page);
        if (mode == from || mode->currentIndex() == index)
            continue;
        const QSignalBlocker blocker(mode);
        // Stop, Continue, Start and Tempo offer "Single" only.
        mode->setCurrentIndex(page <= 2 ? index : 0);
    }
}

void Widget::applySwitchMode(const QString &text, QComboBox *maximum, QLabel *label)
{
    if (text == kSingle) {
        maximum->hide();
        label->setText(QString());
    } else if (Vocabulary::triggerModeItems().contains(text)) {
        maximum->show();
        label->setText(kMax);
    } else {
        qCDebug(lcEditor).noquote() << QStringLiteral("Unknown option: ") + text;
    }
}

void Widget::on_switch_cc_comboBox_mode_currentIndexChanged(QString text)
{
    applySwitchMode(text, ui->switch_cc_comboBox_valmax, ui->label_48);
}

void Widget::on_switch_note_comboBox_mode_currentIndexChanged(QString text)
{
    applySwitchMode(text, ui->switch_note_comboBox_valmax, ui->label_79);
}

void Widget::on_switch_pc_comboBox_mode_currentIndexChanged(QString text)
{
    applySwitchMode(text, ui->switch_pc_comboBox_valmax, ui->label_135);
}

void Widget::on_expression_trigger_level_currentIndexChanged(QString text)
{
    const bool notes = text != kOff;
    ui->expression_press_note->setEnabled(notes);
    ui->expression_release_note->setEnabled(notes);
}

void Widget::on_expression_trigger_level_activated(QString text)
{
    on_expression_trigger_level_currentIndexChanged(text);
}

void Widget::on_hat_trigger_level_currentIndexChanged(QString text)
{
    const bool notes = text != kOff;
    ui->hat_press_note->setEnabled(notes);
    ui->hat_release_note->setEnabled(notes);
}

void Widget::resetEventPages(const QString &pedalKey, const QString &eventKey)
{
    // Every reset runs the selectors' notifications; the "Evert" boxes stay.
    if (pedalKey == QLatin1String("expression")) {
        if (eventKey != QLatin1String("cc"))
            applyResets({{ui->expression_cc_comboBox_chl, 0},
                         {ui->expression_cc_comboBox_ctl, 0},
                         {ui->expression_cc_comboBox_valmin, 0},
                         {ui->expression_cc_comboBox_valmax, 127},
                         {ui->expression_cc_comboBox_gain, 50},
                         {ui->expression_cc_comboBox_ql, 50}});
        if (eventKey != QLatin1String("note"))
            applyResets({{ui->expression_note_comboBox_chl, 0},
                         {ui->expression_note_comboBox_ctl, 0},
                         {ui->expression_note_comboBox_valmin, 0},
                         {ui->expression_note_comboBox_valmax, 127},
                         {ui->expression_note_comboBox_gain, 50},
                         {ui->expression_note_comboBox_ql, 50}});
        if (eventKey != QLatin1String("pitch"))
            applyResets({{ui->expression_pitch_comboBox_chl, 0},
                         {ui->expression_pitch_comboBox_valmin, 0},
                         {ui->expression_pitch_comboBox_valmax, 16383},
                         {ui->expression_pitch_comboBox_gain, 50},
                         {ui->expression_pitch_comboBox_ql, 50}});
        if (eventKey != QLatin1String("ch"))
            applyResets({{ui->expression_ch_comboBox_chl, 0},
                         {ui->expression_ch_comboBox_val1, 0},
                         {ui->expression_ch_comboBox_val2, 127},
                         {ui->expression_ch_comboBox_gain, 50},
                         {ui->expression_ch_comboBox_ql, 50}});
    } else if (pedalKey == QLatin1String("hat")) {
        if (eventKey != QLatin1String("cc"))
            applyResets({{ui->hat_cc_comboBox_chl, 0},
                         {ui->hat_cc_comboBox_ctl, 0},
                         {ui->hat_cc_comboBox_valmin, 0},
                         {ui->hat_cc_comboBox_valmax, 127},
                         {ui->hat_cc_comboBox_gain, 50},
                         {ui->hat_cc_comboBox_ql, 50}});
        if (eventKey != QLatin1String("note"))
            applyResets({{ui->hat_note_comboBox_chl, 0},
                         {ui->hat_note_comboBox_ctl, 0},
                         {ui->hat_note_comboBox_valmin, 0},
                         {ui->hat_note_comboBox_valmax, 127},
                         {ui->hat_note_comboBox_gain, 50},
                         {ui->hat_note_comboBox_ql, 50}});
    }
}

void Widget::on_expression_cc_comboBox_ctl_currentIndexChanged(QString text)
{
    qCDebug(lcEditor) << "Controller number:" << text.section(QLatin1Char(')'), 0, 0).toInt();
}

void Widget::on_switch_note_comboBox_nno_currentIndexChanged(QString) {}

void Widget::on_Message_Number_currentIndexChanged(int) {}

void Widget::Changed_stack_mode(QString) {}

void Widget::onComboBoxIndexChanged_mode(int) {}
