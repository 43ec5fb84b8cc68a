#include "pedal/rangerules.h"

#include <QHash>
#include <QList>

namespace RangeRules {

QString englishText()
{
    return QStringLiteral("The minimum value cannot be greater than the maximum value!");
}

QString chineseText()
{
    return QStringLiteral("当前值不能小于最小值！");
}

const QList<Check> &checks()
{
    using P = PutBack;
    constexpr bool Min = true, Max = false, Cn = true, En = false, Blocked = true, Live = false;
    static const QList<Check> table = {
        {"expression_cc_comboBox_valmin", Min, "Invalid1 selection", En, P::OwnToZero, Blocked},
        {"expression_cc_comboBox_valmax", Max, "Invalid2 selection", En, P::OwnToLast, Blocked},
        {"expression_note_comboBox_valmin", Min, "Invalid3 selection", En, P::OwnToZero, Live},
        {"expression_note_comboBox_valmax", Max, "Invalid4 selection", Cn, P::OwnToLast, Blocked},
        {"expression_pitch_comboBox_valmin", Min, "Invalid5 selection3", En, P::OwnToZero, Live},
        {"expression_pitch_comboBox_valmax", Max, "Invalid6 selection", En, P::MinimumToZero, Live},
        {"expression_ch_comboBox_val1", Min, "Invalid7 selection5", En, P::OwnToZero, Live},
        {"expression_ch_comboBox_val2", Max, "Invalid8 selection", Cn, P::OwnToLast, Live},
        {"hat_cc_comboBox_valmin", Min, "Invalid selection9", En, P::OwnToZero, Live},
        {"hat_cc_comboBox_valmax", Max, "Invalid selection11", Cn, P::MinimumToZero, Live},
        {"hat_note_comboBox_valmin", Min, "Invalid selection12", En, P::OwnToZero, Live},
        {"switch_cc_comboBox_valmin", Min, "Invalid selection13", En, P::OwnToZero, Live},
        {"switch_cc_comboBox_valmax", Max, "Invalid selection14", Cn, P::OwnToLast, Live},
        {"switch_note_comboBox_valmin", Min, "Invalid selection15", En, P::OwnToZero, Live},
        {"switch_note_comboBox_valmax", Max, "Invalid selection16", Cn, P::OwnToLast, Live},
        {"switch_pc_comboBox_valmin", Min, "Invalid selection17", En, P::OwnToZero, Live},
        {"switch_pc_comboBox_valmax", Max, "Invalid selection18", Cn, P::OwnToLast, Live},
    };
    return table;
}

const QList<Pass> &passes()
{
    constexpr bool Hat = true, Expr = false, Creates = true, Needs = false;
    static const QList<Pass> table = {
        {"expression_cc_comboBox_gain", Expr, Gain, 0, Needs},
        {"expression_cc_comboBox_ql", Expr, Curvature, 0, Needs},
        {"expression_cc_comboBox_valmin", Expr, Minimum, 0, Needs},
        {"expression_cc_comboBox_valmax", Expr, Maximum, 0, Needs},
        {"expression_note_comboBox_gain", Expr, Gain, Minimum | Maximum, Needs},
        {"expression_note_comboBox_ql", Expr, Curvature, 0, Needs},
        {"expression_note_comboBox_valmin", Expr, Minimum, 0, Needs},
        {"expression_note_comboBox_valmax", Expr, Maximum, 0, Needs},
        // Pitch Bend values are 14-bit: the curve divides both ends on every
        // recompute, so both ends always travel together.
        {"expression_pitch_comboBox_gain", Expr, Gain, Minimum | Maximum, Needs},
        {"expression_pitch_comboBox_ql", Expr, Curvature, Minimum | Maximum, Needs},
        {"expression_pitch_comboBox_valmin", Expr, Minimum, Maximum, Needs},
        {"expression_pitch_comboBox_valmax", Expr, Maximum, Minimum, Needs},
        {"expression_ch_comboBox_gain", Expr, Gain, Minimum | Maximum, Needs},
        {"expression_ch_comboBox_ql", Expr, Curvature, 0, Needs},
        {"expression_ch_comboBox_val1", Expr, Minimum, 0, Needs},
        {"expression_ch_comboBox_val2", Expr, Maximum, 0, Needs},
        {"hat_cc_comboBox_gain", Hat, Gain, Curvature, Creates},
        {"hat_cc_comboBox_ql", Hat, Curvature, 0, Needs},
        {"hat_cc_comboBox_valmin", Hat, Minimum, Curvature, Needs},
        {"hat_cc_comboBox_valmax", Hat, Maximum, Curvature, Creates},
        {"hat_note_comboBox_gain", Hat, Gain, Curvature, Creates},
        {"hat_note_comboBox_ql", Hat, Curvature, 0, Needs},
        {"hat_note_comboBox_valmin", Hat, Minimum, Curvature, Needs},
        {"hat_note_comboBox_valmax", Hat, Maximum, Curvature, Creates},
    };
    return table;
}

namespace {

template <typename T>
const T *find(const QList<T> &table, const QString &selector)
{
    static const QHash<QString, const T *> index = [&table] {
        QHash<QString, const T *> out;
        for (const T &row : table)
            out.insert(row.selector, &row);
        return out;
    }();
    return index.value(selector, nullptr);
}

} // namespace

const Check *checkFor(const QString &selector)
{
    return find(checks(), selector);
}

const Pass *passFor(const QString &selector)
{
    return find(passes(), selector);
}

bool refuses(const Check &check, int newIndex, int otherEnd)
{
    return check.isMinimum ? newIndex > otherEnd : newIndex < otherEnd;
}

} // namespace RangeRules
