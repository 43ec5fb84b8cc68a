#include "support/editordriver.h"

#include "app/widget.h"
#include "pedal/pedalmessage.h"
#include "pedal/vocabulary.h"
#include "ui_widget.h"

namespace {

/// Sets a range so that no intermediate state is inverted.
void setRange(QComboBox *min, QComboBox *max, int minIndex, int maxIndex)
{
    min->setCurrentIndex(0);
    max->setCurrentIndex(maxIndex);
    min->setCurrentIndex(minIndex);
}

void setRangePage(const EditorSnapshot::RangePage &page, QComboBox *chl, QComboBox *data,
                  QComboBox *min, QComboBox *max, QComboBox *gain, QComboBox *curve)
{
    chl->setCurrentIndex(page.channel);
    if (data)
        data->setCurrentIndex(page.data);
    setRange(min, max, page.min, page.max);
    gain->setCurrentIndex(page.gain);
    curve->setCurrentIndex(page.curve);
}

void setSwitchPage(const EditorSnapshot::SwitchPage &page, QComboBox *chl, QComboBox *data,
                   QComboBox *min, QComboBox *max)
{
    chl->setCurrentIndex(page.channel);
    if (data)
        data->setCurrentIndex(page.data);
    setRange(min, max, page.min, page.max);
}

} // namespace

void driveEditor(Widget &window, const EditorSnapshot &e)
{
    Ui::Widget *ui = window.form();
    const QStringList &names = Vocabulary::eventNames();

    ui->Pedal_Number->setCurrentIndex(e.pedalIndex);
    ui->Message_Number->setCurrentIndex(e.messageIndex);

    if (e.expressionEvent >= 0)
        ui->expression_comboBox0->setCurrentText(names.at(e.expressionEvent));
    switch (e.expressionEvent) {
    case EventCc:
        setRangePage(e.expressionCc, ui->expression_cc_comboBox_chl, ui->expression_cc_comboBox_ctl,
                     ui->expression_cc_comboBox_valmin, ui->expression_cc_comboBox_valmax,
                     ui->expression_cc_comboBox_gain, ui->expression_cc_comboBox_ql);
        break;
    case EventNote:
        setRangePage(e.expressionNote, ui->expression_note_comboBox_chl,
                     ui->expression_note_comboBox_ctl, ui->expression_note_comboBox_valmin,
                     ui->expression_note_comboBox_valmax, ui->expression_note_comboBox_gain,
                     ui->expression_note_comboBox_ql);
        break;
    case EventPitchBend:
        setRangePage(e.expressionPitch, ui->expression_pitch_comboBox_chl, nullptr,
                     ui->expression_pitch_comboBox_valmin, ui->expression_pitch_comboBox_valmax,
                     ui->expression_pitch_comboBox_gain, ui->expression_pitch_comboBox_ql);
        break;
    case EventChannelPressure:
        setRangePage(e.expressionPressure, ui->expression_ch_comboBox_chl, nullptr,
                     ui->expression_ch_comboBox_val1, ui->expression_ch_comboBox_val2,
                     ui->expression_ch_comboBox_gain, ui->expression_ch_comboBox_ql);
        break;
    default:
        break;
    }
    ui->expression_trigger_level->setCurrentIndex(e.expressionTriggerLevel);
    ui->expression_press_note->setCurrentIndex(e.expressionPressNote);
    ui->expression_release_note->setCurrentIndex(e.expressionReleaseNote);
    ui->ex_Evert_checkBox->setChecked(e.expressionInverted);

    if (e.switchEvent >= 0)
        ui->switch_comboBox0->setCurrentText(names.at(e.switchEvent));
    setSwitchPage(e.switchCc, ui->switch_cc_comboBox_chl, ui->switch_cc_comboBox_ctl,
                  ui->switch_cc_comboBox_valmin, ui->switch_cc_comboBox_valmax);
    setSwitchPage(e.switchNote, ui->switch_note_comboBox_chl, ui->switch_note_comboBox_nno,
                  ui->switch_note_comboBox_valmin, ui->switch_note_comboBox_valmax);
    setSwitchPage(e.switchPc, ui->switch_pc_comboBox_chl, nullptr, ui->switch_pc_comboBox_valmin,
                  ui->switch_pc_comboBox_valmax);
    // The mode twins follow the CC page's mode.
    ui->switch_cc_comboBox_mode->setCurrentIndex(e.switchCc.mode);
    ui->sw_Evert_checkBox->setChecked(e.switchInverted);

    if (e.hatEvent >= 0)
        ui->hat_comboBox0->setCurrentText(names.at(e.hatEvent));
    if (e.hatEvent == EventCc)
        setRangePage(e.hatCc, ui->hat_cc_comboBox_chl, ui->hat_cc_comboBox_ctl,
                     ui->hat_cc_comboBox_valmin, ui->hat_cc_comboBox_valmax,
                     ui->hat_cc_comboBox_gain, ui->hat_cc_comboBox_ql);
    else if (e.hatEvent == EventNote)
        setRangePage(e.hatNote, ui->hat_note_comboBox_chl, ui->hat_note_comboBox_ctl,
                     ui->hat_note_comboBox_valmin, ui->hat_note_comboBox_valmax,
                     ui->hat_note_comboBox_gain, ui->hat_note_comboBox_ql);
    ui->hat_trigger_level->setCurrentIndex(e.hatTriggerLevel);
    ui->hat_press_note->setCurrentIndex(e.hatPressNote);
    ui->hat_release_note->setCurrentIndex(e.hatReleaseNote);
    ui->ht_Evert_checkBox->setChecked(e.hatInverted);

    if (e.pedalType >= PedalTypeExpression && e.pedalType <= PedalTypeHiHat)
        ui->pendal_type_comboBox0->setCurrentIndex(e.pedalType - 1);
}
