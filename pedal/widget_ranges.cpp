// The main window's range checks and the passes of accepted range, gain and
// curve choices to the response curves.
#include "app/widget.h"
#include "ui_widget.h"

#include "curve/mycustomplot.h"
#include "pedal/rangerules.h"

#include <QMessageBox>
#include <QSignalBlocker>

namespace {

constexpr int kDefaultMaximum = 127;

} // namespace

Widget::CurvePage Widget::curvePageOf(const QComboBox *box) const
{
    const CurvePage pages[] = {
        {ui->expression_cc_comboBox_valmin, ui->expression_cc_comboBox_valmax,
         ui->expression_cc_comboBox_gain, ui->expression_cc_comboBox_ql},
        {ui->expression_note_comboBox_valmin, ui->expression_note_comboBox_valmax,
         ui->expression_note_comboBox_gain, ui->expression_note_comboBox_ql},
        {ui->expression_pitch_comboBox_valmin, ui->expression_pitch_comboBox_valmax,
         ui->expression_pitch_comboBox_gain, ui->expression_pitch_comboBox_ql},
        {ui->expression_ch_comboBox_val1, ui->expression_ch_comboBox_val2,
         ui->expression_ch_comboBox_gain, ui->expression_ch_comboBox_ql},
        {ui->hat_cc_comboBox_valmin, ui->hat_cc_comboBox_valmax, ui->hat_cc_comboBox_gain,
         ui->hat_cc_comboBox_ql},
        {ui->hat_note_comboBox_valmin, ui->hat_note_comboBox_valmax, ui->hat_note_comboBox_gain,
         ui->hat_note_comboBox_ql},
    };
    for (const CurvePage &page : pages) {
        if (box == page.min || box == page.max || box == page.gain || box == page.curve)
            return page;
    }
    return {};
}

void Widget::curvePageSelectorChanged(QComboBox *box, int index)
{
    // Changes the curve editor makes while a point is dragged come back here:
    // they are neither checked nor passed back to the curve.
    if (!editorWired || curveDragging)
        return;
    const CurvePage page = curvePageOf(box);
    if (const RangeRules::Check *check = RangeRules::checkFor(box->objectName())) {
        const QComboBox *other = check->isMinimum ? page.max : page.min;
        if (RangeRules::refuses(*check, index, other->currentIndex())) {
            refuseRange(*check, box, page.min);
            return;
        }
        if (check->putBack == RangeRules::PutBack::OwnToLast)
            lastAcceptedMax.insert(box, index);
    }
    passToCurve(box, page, index);
}

void Widget::switchRangeChanged(QComboBox *box, QComboBox *min, QComboBox *max, QComboBox *mode,
                                int index)
{
    // "Single" sends one value: there is no range to keep in order.
    if (!editorWired || mode->currentIndex() == 0)
        return;
    const RangeRules::Check *check = RangeRules::checkFor(box->objectName());
    if (!check)
        return;
    if (RangeRules::refuses(*check, index, (check->isMinimum ? max : min)->currentIndex())) {
        refuseRange(*check, box, min);
        return;
    }
    if (check->putBack == RangeRules::PutBack::OwnToLast)
        lastAcceptedMax.insert(box, index);
}

void Widget::refuseRange(const RangeRules::Check &check, QComboBox *box, QComboBox *min)
{
    const QString text = check.chineseText ? RangeRules::chineseText() : RangeRules::englishText();
    QMessageBox::warning(this, tr(check.title.toUtf8().constData()),
                         tr(text.toUtf8().constData()), QMessageBox::Ok);

    QComboBox *target = box;
    int value = 0;
    switch (check.putBack) {
    case RangeRules::PutBack::OwnToZero:
        break;
    case RangeRules::PutBack::OwnToLast:
        value = lastAcceptedMax.value(box, kDefaultMaximum);
        break;
    case RangeRules::PutBack::MinimumToZero:
        target = min;
        break;
    }
    // A live put-back is a new choice: its own reaction checks and passes it.
    if (check.blocked) {
        const QSignalBlocker blocker(target);
        target->setCurrentIndex(value);
    } else {
        target->setCurrentIndex(value);
    }
}

void Widget::passToCurve(QComboBox *box, const CurvePage &page, int index)
{
    const RangeRules::Pass *pass = RangeRules::passFor(box->objectName());
    if (!pass)
        return;
    MyCustomPlot *plot;
    if (pass->hiHat) {
        if (!hiHatCurve && !(pass->createsHiHat && expressionCurve))
            return;
        setupHiHatCurve();
        plot = hiHatCurve;
    } else {
        if (!expressionCurve)
            return;
        setupExpressionCurve();
        plot = expressionCurve;
    }

    const auto set = [plot](unsigned setting, int value) {
        switch (setting) {
        case RangeRules::Minimum: plot->minValue = value; break;
        case RangeRules::Maximum: plot->maxValue = value; break;
        case RangeRules::Gain: plot->gain = value - 50; break;
        case RangeRules::Curvature: plot->curvature = value - 50; break;
        }
    };
    set(pass->own, index);
    const std::pair<RangeRules::Setting, QComboBox *> fromPage[] = {
        {RangeRules::Minimum, page.min},
        {RangeRules::Maximum, page.max},
        {RangeRules::Gain, page.gain},
        {RangeRules::Curvature, page.curve},
    };
    for (const auto &[setting, selector] : fromPage) {
        if (pass->fromPage & setting)
            set(setting, selector->currentIndex());
    }
    plot->updateCurve();
}

void Widget::moveflagchange(bool flag)
{
    curveDragging = flag;
}

#define SW_CURVE_PAGE_SLOT(name)                                                             \
    void Widget::on_##name##_currentIndexChanged(int index)                                  \
    {                                                                                        \
        curvePageSelectorChanged(ui->name, index);                                           \
    }

SW_CURVE_PAGE_SLOT(expression_cc_comboBox_valmin)
SW_CURVE_PAGE_SLOT(expression_cc_comboBox_valmax)
SW_CURVE_PAGE_SLOT(expression_cc_comboBox_gain)
SW_CURVE_PAGE_SLOT(expression_cc_comboBox_ql)
SW_CURVE_PAGE_SLOT(expression_note_comboBox_valmin)
SW_CURVE_PAGE_SLOT(expression_note_comboBox_valmax)
SW_CURVE_PAGE_SLOT(expression_note_comboBox_gain)
SW_CURVE_PAGE_SLOT(expression_note_comboBox_ql)
SW_CURVE_PAGE_SLOT(expression_pitch_comboBox_valmin)
SW_CURVE_PAGE_SLOT(expression_pitch_comboBox_valmax)
SW_CURVE_PAGE_SLOT(expression_pitch_comboBox_gain)
SW_CURVE_PAGE_SLOT(expression_pitch_comboBox_ql)
SW_CURVE_PAGE_SLOT(expression_ch_comboBox_val1)
SW_CURVE_PAGE_SLOT(expression_ch_comboBox_val2)
SW_CURVE_PAGE_SLOT(expression_ch_comboBox_gain)
SW_CURVE_PAGE_SLOT(expression_ch_comboBox_ql)
SW_CURVE_PAGE_SLOT(hat_cc_comboBox_valmin)
SW_CURVE_PAGE_SLOT(hat_cc_comboBox_valmax)
SW_CURVE_PAGE_SLOT(hat_cc_comboBox_gain)
SW_CURVE_PAGE_SLOT(hat_cc_comboBox_ql)
SW_CURVE_PAGE_SLOT(hat_note_comboBox_valmin)
SW_CURVE_PAGE_SLOT(hat_note_comboBox_valmax)
SW_CURVE_PAGE_SLOT(hat_note_comboBox_gain)
SW_CURVE_PAGE_SLOT(hat_note_comboBox_ql)

#define SW_SWITCH_RANGE_SLOT(page, end)                                                      \
    void Widget::on_switch_##page##_comboBox_##end##_currentIndexChanged(int index)          \
    {                                                                                        \
        switchRangeChanged(ui->switch_##page##_comboBox_##end,                               \
                           ui->switch_##page##_comboBox_valmin,                              \
                           ui->switch_##page##_comboBox_valmax,                              \
                           ui->switch_##page##_comboBox_mode, index);                        \
    }

SW_SWITCH_RANGE_SLOT(cc, valmin)
SW_SWITCH_RANGE_SLOT(cc, valmax)
SW_SWITCH_RANGE_SLOT(note, valmin)
SW_SWITCH_RANGE_SLOT(note, valmax)
SW_SWITCH_RANGE_SLOT(pc, valmin)
SW_SWITCH_RANGE_SLOT(pc, valmax)
