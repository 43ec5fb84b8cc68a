#include "pedal/numberitems.h"

QStringList numberItems(int first, int last)
{
    QStringList items;
    if (last < first)
        return items;
    items.reserve(last - first + 1);
    for (int n = first; n <= last; ++n)
        items.append(QString::number(n));
    return items;
}

QStringList offThenNumbers(int last)
{
    QStringList items;
    items.reserve(last + 1);
    items.append(QStringLiteral("OFF"));
    items.append(numberItems(1, last));
    return items;
}
