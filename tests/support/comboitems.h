#pragma once

#include <QComboBox>
#include <QStringList>

/// The item texts of a combo box, in order.
inline QStringList itemTexts(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out.append(box->itemText(i));
    return out;
}

/// "first" .. "last" as decimal texts.
inline QStringList numbers(int first, int last)
{
    QStringList out;
    for (int n = first; n <= last; ++n)
        out.append(QString::number(n));
    return out;
}
