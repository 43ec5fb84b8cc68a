#include "presets/presetlayout.h"

namespace PresetLayout {

namespace {

Step single(const char *key)
{
    return {QString::fromLatin1(key), QString()};
}

Step pair(const char *min, const char *max)
{
    return {QString::fromLatin1(min), QString::fromLatin1(max)};
}

} // namespace

const QList<Group> &groups()
{
    static const QList<Group> table = {
        {QStringLiteral("Expression"),
         {single("Message_Number"), single("Pedal_Number"), single("expression_trigger_level"),
          single("expression_press_note"), single("expression_release_note"),
          single("expression_comboBox0"), single("expression_cc_comboBox_gain"),
          single("expression_cc_comboBox_chl"), single("expression_cc_comboBox_ctl"),
          pair("expression_cc_comboBox_valmin", "expression_cc_comboBox_valmax"),
          single("expression_cc_comboBox_ql"), single("expression_comboBox1"),
          single("expression_note_comboBox_gain"), single("expression_note_comboBox_chl"),
          single("expression_note_comboBox_ctl"),
          pair("expression_note_comboBox_valmin", "expression_note_comboBox_valmax"),
          single("expression_note_comboBox_ql"), single("expression_comboBox2"),
          single("expression_pitch_comboBox_gain"), single("expression_pitch_comboBox_chl"),
          pair("expression_pitch_comboBox_valmin", "expression_pitch_comboBox_valmax"),
          single("expression_pitch_comboBox_ql"), single("expression_comboBox3"),
          single("expression_ch_comboBox_gain"), single("expression_ch_comboBox_chl"),
          pair("expression_ch_comboBox_val1", "expression_ch_comboBox_val2"),
          single("expression_ch_comboBox_ql")}},
        {QStringLiteral("Switch"),
         {single("Message_Number_2"), single("switch_comboBox0"),
          single("switch_cc_comboBox_mode"), single("switch_cc_comboBox_chl"),
          single("switch_cc_comboBox_ctl"),
          pair("switch_cc_comboBox_valmin", "switch_cc_comboBox_valmax"),
          single("switch_comboBox1"), single("switch_note_comboBox_mode"),
          single("switch_note_comboBox_chl"), single("switch_note_comboBox_nno"),
          pair("switch_note_comboBox_valmin", "switch_note_comboBox_valmax"),
          single("switch_comboBox2"), single("switch_pc_comboBox_mode"),
          single("switch_pc_comboBox_chl"),
          pair("switch_pc_comboBox_valmin", "switch_pc_comboBox_valmax"),
          single("switch_comboBox3"), single("switch_stop_comboBox_mode"),
          single("switch_comboBox4"), single("switch_ctu_comboBox_mode"),
          single("switch_comboBox5"), single("switch_start_comboBox_mode")}},
        // The hi-hat CC curve is applied after the NOTE range, just before the NOTE curve.
        {QStringLiteral("Hat"),
         {single("hat_trigger_level"), single("hat_press_note"), single("hat_release_note"),
          single("hat_comboBox0"), single("hat_cc_comboBox_gain"), single("hat_cc_comboBox_chl"),
          single("hat_cc_comboBox_ctl"), pair("hat_cc_comboBox_valmin", "hat_cc_comboBox_valmax"),
          single("hat_comboBox1"), single("hat_note_comboBox_gain"),
          single("hat_note_comboBox_chl"), single("hat_note_comboBox_ctl"),
          pair("hat_note_comboBox_valmin", "hat_note_comboBox_valmax"),
          single("hat_cc_comboBox_ql"), single("hat_note_comboBox_ql")}},
    };
    return table;
}

QStringList keysWritten(const Group &group, Save save)
{
    const QString skipped = save == Save::File ? QStringLiteral("Pedal_Number")
                                               : QStringLiteral("Message_Number_2");
    QStringList keys;
    for (const Step &step : group.steps) {
        if (step.key != skipped)
            keys.append(step.key);
        if (step.isPair())
            keys.append(step.maxKey);
    }
    return keys;
}

QString withIniSuffix(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive)
               ? fileName
               : fileName + QStringLiteral(".ini");
}

} // namespace PresetLayout
