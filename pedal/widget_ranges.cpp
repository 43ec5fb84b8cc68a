#include "app/widget.h"

void Widget::on_expression_cc_comboBox_valmin_currentIndexChanged(int) {}
void Widget::on_expression_cc_comboBox_valmax_currentIndexChanged(int) {}
void Widget::on_expression_cc_comboBox_gain_currentIndexChanged(int) {}
void Widget::on_expression_cc_comboBox_ql_currentIndexChanged(int) {}
void Widget::on_expression_note_comboBox_valmin_currentIndexChanged(int) {}
void Widget::on_expression_note_comboBox_valmax_currentIndexChanged(int) {}
void Widget::on_expression_note_comboBox_gain_currentIndexChanged(int) {}
void Widget::on_expression_note_comboBox_ql_currentIndexChanged(int) {}
void Widget::on_expression_pitch_comboBox_valmin_currentIndexChanged(int) {}
void Widget::on_expression_pitch_comboBox_valmax_currentIndexChanged(int) {}
void Widget::on_expression_pitch_comboBox_gain_currentIndexChanged(int) {}
void Widget::on_expression_pitch_comboBox_ql_currentIndexChanged(int) {}
void Widget::on_expression_ch_comboBox_val1_currentIndexChanged(int) {}
void Widget::on_expression_ch_comboBox_val2_currentIndexChanged(int) {}
void Widget::on_expression_ch_comboBox_gain_currentIndexChanged(int) {}
void Widget::on_expression_ch_comboBox_ql_currentIndexChanged(int) {}
void Widget::on_hat_cc_comboBox_valmin_currentIndexChanged(int) {}
void Widget::on_hat_cc_comboBox_valmax_currentIndexChanged(int) {}
void Widget::on_hat_cc_comboBox_gain_currentIndexChanged(int) {}
void Widget::on_hat_cc_comboBox_ql_currentIndexChanged(int) {}
void Widget::on_hat_note_comboBox_valmin_currentIndexChanged(int) {}
void Widget::on_hat_note_comboBox_valmax_currentIndexChanged(int) {}
void Widget::on_hat_note_comboBox_gain_currentIndexChanged(int) {}
void Widget::on_hat_note_comboBox_ql_currentIndexChanged(int) {}
void Widget::on_switch_cc_comboBox_valmin_currentIndexChanged(int) {}
void Widget::on_switch_cc_comboBox_valmax_currentIndexChanged(int) {}
void Widget::on_switch_note_comboBox_valmin_currentIndexChanged(int) {}
void Widget::on_switch_note_comboBox_valmax_currentIndexChanged(int) {}
void Widget::on_switch_pc_comboBox_valmin_currentIndexChanged(int) {}
void Widget::on_switch_pc_comboBox_valmax_currentIndexChanged(int) {}
void Widget::moveflagchange(bool) {}
void Widget::rec_max_min_gain(int, int, int, int) {}
void Widget::rec_max_min_gain_hat(int, int, int, int) {}
void Widget::drawCirclesOnWidget(QPoint, QPoint) {}
void Widget::setupExpressionCurve() {}
void Widget::setupHiHatCurve() {}
