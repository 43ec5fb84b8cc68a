// The main window's configuration commands: Set, Check and Delete.
#include "app/widget.h"
#include "ui_widget.h"

#include "device/serialport.h"
#include "pedal/configcommands.h"
#include "pedal/vocabulary.h"
#include "core/logging.h"


namespace {

QString hexByte(int value)
{
    return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

EditorSnapshot Widget::editorSnapshot() const
{
    EditorSnapshot e;
    e.pedalIndex = ui->Pedal_Number->currentIndex();
    e.pedalText = ui->Pedal_Number->currentText();
    e.messageIndex = ui->Message_Number->currentIndex();
    const int typeIndex = Vocabulary::pedalTypeItems().indexOf(ui->pendal_type_comboBox0->currentText());
    e.pedalType = typeIndex < 0 ? 0 : typeIndex + 1;
    e.curveCode = expressionCurveCode();

    const auto range = [](QComboBox *chl, QComboBox *data, QComboBox *min, QComboBox *max,
                          QComboBox *gain, QComboBox *curve) {
        return EditorSnapshot::RangePage{chl->currentIndex(), data ? data->currentIndex() : 0,
                                         min->currentIndex(), max->currentIndex(),
                                         gain->currentIndex(), curve->currentIndex()};
    };
    e.expressionEvent = eventCodes.value(ui->expression_comboBox0->currentText(), -1);
    e.expressionCc = range(ui->expression_cc_comboBox_chl, ui->expression_cc_comboBox_ctl,
                           ui->expression_cc_comboBox_valmin, ui->expression_cc_comboBox_valmax,
                           ui->expression_cc_comboBox_gain, ui->expression_cc_comboBox_ql);
    e.expressionNote = range(ui->expression_note_comboBox_chl, ui->expression_note_comboBox_ctl,
                             ui->expression_note_comboBox_valmin,
                             ui->expression_note_comboBox_valmax,
                             ui->expression_note_comboBox_gain, ui->expression_note_comboBox_ql);
    e.expressionPitch = range(ui->expression_pitch_comboBox_chl, nullptr,
                              ui->expression_pitch_comboBox_valmin,
                              ui->expression_pitch_comboBox_valmax,
                              ui->expression_pitch_comboBox_gain, ui->expression_pitch_comboBox_ql);
    e.expressionPressure = range(ui->expression_ch_comboBox_chl, nullptr,
                                 ui->expression_ch_comboBox_val1, ui->expression_ch_comboBox_val2,
                                 ui->expression_ch_comboBox_gain, ui->expression_ch_comboBox_ql);
    e.expressionTriggerLevel = ui->expression_trigger_level->currentIndex();
    e.expressionPressNote = ui->expression_press_note->currentIndex();
    e.expressionReleaseNote = ui->expression_release_note->currentIndex();
    e.expressionInverted = ui->ex_Evert_checkBox->isChecked();

    const auto switchPage = [](QComboBox *mode, QComboBox *chl, QComboBox *data, QComboBox *min,
                               QComboBox *max) {
        return EditorSnapshot::SwitchPage{mode->currentIndex(), chl->currentIndex(),
                                          data ? data->currentIndex() : 0, min->currentIndex(),
                                          max->currentIndex()};
    };
    e.switchEvent = eventCodes.value(ui->switch_comboBox0->currentText(), -1);
    e.switchCc = switchPage(ui->switch_cc_comboBox_mode, ui->switch_cc_comboBox_chl,
                            ui->switch_cc_comboBox_ctl, ui->switch_cc_comboBox_valmin,
                            ui->switch_cc_comboBox_valmax);
    e.switchNote = switchPage(ui->switch_note_comboBox_mode, ui->switch_note_comboBox_chl,
                              ui->switch_note_comboBox_nno, ui->switch_note_comboBox_valmin,
                              ui->switch_note_comboBox_valmax);
    e.switchPc = switchPage(ui->switch_pc_comboBox_mode, ui->switch_pc_comboBox_chl, nullptr,
                            ui->switch_pc_comboBox_valmin, ui->switch_pc_comboBox_valmax);
    const QList<QComboBox *> modes = switchModeSelectors();
    const int shown = ui->switch_stackedWidget->currentIndex();
    e.switchShownMode = shown >= 0 && shown < modes.size() ? modes.at(shown)->currentIndex() : 0;
    e.switchInverted = ui->sw_Evert_checkBox->isChecked();

    e.hatEvent = eventCodes.value(ui->hat_comboBox0->currentText(), -1);
    e.hatCc = range(ui->hat_cc_comboBox_chl, ui->hat_cc_comboBox_ctl, ui->hat_cc_comboBox_valmin,
                    ui->hat_cc_comboBox_valmax, ui->hat_cc_comboBox_gain, ui->hat_cc_comboBox_ql);
    e.hatNote = range(ui->hat_note_comboBox_chl, ui->hat_note_comboBox_ctl,
                      ui->hat_note_comboBox_valmin, ui->hat_note_comboBox_valmax,
                      ui->hat_note_comboBox_gain, ui->hat_note_comboBox_ql);
    e.hatTriggerLevel = ui->hat_trigger_level->currentIndex();
    e.hatPressNote = ui->hat_press_note->currentIndex();
    e.hatReleaseNote = ui->hat_release_note->currentIndex();
    e.hatInverted = ui->ht_Evert_checkBox->isChecked();
    return e;
}

void Widget::buildPedalMessage(QByteArray &frame)
{
    frame = ConfigCommands::set(ConfigCommands::buildPedalMessage(editorSnapshot()));
    const int level = ui->expression_trigger_level->currentIndex();
    qCDebug(lcEditor) << "Trigger level" << level << "high" << hexByte(level >> 8) << "low"
             << hexByte(level);
}

void Widget::sendSetCommand()
{
    if (!commandReady(StatusLine::Action::Set))
        return;
    lastCommand = {StatusLine::Command::Set, ui->Pedal_Number->currentIndex(),
                   ui->Message_Number->currentIndex()};
    QByteArray frame;
    buildPedalMessage(frame);
    handle->write(frame);
}

void Widget::sendShortAsk()
{
    if (!commandReady(StatusLine::Action::Check))
        return;
    handle->write(ConfigCommands::askShort(ui->Pedal_Number->currentIndex(),
                                           ui->Message_Number->currentIndex()));
}

void Widget::sendDelete()
{
    if (!commandReady(StatusLine::Action::Delete))
        return;
    lastCommand = {StatusLine::Command::Delete, ui->Pedal_Number->currentIndex(), -1};
    handle->write(ConfigCommands::deletePedal(ui->Pedal_Number->currentIndex()));
}

// Every Set sends the whole editor state; which page's button it was does not matter.
void Widget::on_setButton_6_clicked() { sendSetCommand(); }
void Widget::on_setButton_9_clicked() { sendSetCommand(); }
void Widget::on_setButton_7_clicked() { sendSetCommand(); }
void Widget::on_setButton_2_clicked() { sendSetCommand(); }
void Widget::on_setButton_3_clicked() { sendSetCommand(); }
void Widget::on_setButton_4_clicked() { sendSetCommand(); }
void Widget::on_setButton_5_clicked() { sendSetCommand(); }
void Widget::on_setButton_clicked() {}
void Widget::on_setButton_8_clicked() {}

void Widget::on_checkButton_clicked()
{
    if (!commandReady(StatusLine::Action::Check))
        return;
    const int pedal = ui->Pedal_Number->currentIndex();
    const int message = ui->Message_Number->currentIndex();
    const int status = handle->extractedValue;
    const QString device = ui->comboBox_ComDevices->currentText();
    if (device.contains(QLatin1String("10")) || device.contains(QLatin1String("20"))) {
        qCDebug(lcEditor) << "Status value" << status << "bits" << (status & 1) << ((status >> 1) & 1)
                 << ((status >> 2) & 1) << ((status >> 3) & 1) << "pedal" << pedal + 1;
    }
    if (ConfigCommands::checkAskForm(device, status, pedal) == ConfigCommands::AskForm::Long)
        handle->write(ConfigCommands::askLong(pedal, message,
                                              ui->pendal_type_comboBox0->currentIndex()));
    else
        handle->write(ConfigCommands::askShort(pedal, message));
}

void Widget::on_checkButton_2_clicked() { sendShortAsk(); }
void Widget::on_checkButton_3_clicked() { sendShortAsk(); }

void Widget::on_pushButton_clicked() { sendDelete(); }
void Widget::on_pushButton_2_clicked() { sendDelete(); }
void Widget::on_pushButton_3_clicked() { sendDelete(); }
void Widget::on_deleteButton_clicked() { sendDelete(); }
