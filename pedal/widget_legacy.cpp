// The legacy settings panel. It is never shown; its selectors only keep
// their own fields consistent, the way the visible editor does.
#include "app/widget.h"
#include "ui_widget.h"

void Widget::on_Pedal_Type_currentIndexChanged(int index)
{
    ui->Expression_Pedal_Setting->setEnabled(index == 0);
    for (QComboBox *w : {ui->comboBox_SPS_status, ui->comboBox_SPS_mode,
                       ui->comboBox_SPS_D1_1, ui->comboBox_SPS_D1_2, ui->comboBox_SPS_D2_1,
                       ui->comboBox_SPS_D2_2})
        w->setEnabled(index == 1);
    for (QComboBox *w : {ui->comboBox_HHS_status, ui->comboBox_HHS_DATA1,
                       ui->comboBox_HHS_TL, ui->comboBox_HHS_PN, ui->comboBox_HHS_RN,
                       ui->comboBox_HHS_Gain, ui->comboBox_HHS_D2_1, ui->comboBox_HHS_D2_2})
        w->setEnabled(index == 2);
}

void Widget::on_comboBox_EPS_status_currentTextChanged(QString text)
{
    // Pitch Bend and Channel Pressure carry no controller or note number.
    const bool numbered = text == QLatin1String("CC") || text == QLatin1String("NOTE");
    ui->comboBox_EPS_D1_1->setEnabled(numbered);
    ui->comboBox_EPS_D1_2->setEnabled(numbered);
}

void Widget::on_comboBox_SPS_status_currentTextChanged(QString text)
{
    // A program change has no value range.
    const bool ranged = text != QLatin1String("PC");
    ui->comboBox_SPS_D2_1->setEnabled(ranged);
    ui->comboBox_SPS_D2_2->setEnabled(ranged);
}

void Widget::on_comboBox_HHS_status_currentTextChanged(QString text)
{
    const bool cc = text == QLatin1String("CC");
    ui->comboBox_HHS_TL->setEnabled(cc);
    ui->comboBox_HHS_PN->setEnabled(cc);
    ui->comboBox_HHS_RN->setEnabled(cc);
}

void Widget::on_comboBox_SPS_mode_currentTextChanged(QString text)
{
    ui->comboBox_SPS_D2_2->setEnabled(text != QLatin1String("Single"));
}

void Widget::on_comboBox_HHS_TL_currentIndexChanged(int index)
{
    ui->comboBox_HHS_PN->setEnabled(index != 0);
    ui->comboBox_HHS_RN->setEnabled(index != 0);
}
