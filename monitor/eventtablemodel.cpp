#include "monitor/eventtablemodel.h"

#include <QCoreApplication>
#include <QDateTime>

QVariant EventTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::ToolTipRole || !index.isValid())
        return QStandardItemModel::data(index, role);
    const QVariant arrived =
        QStandardItemModel::data(index.sibling(index.row(), 0), arrivalRole);
    const QString text = QStandardItemModel::data(index, Qt::DisplayRole).toString();
    if (!arrived.isValid())
        return text;
    return toolTip(text, arrived.toLongLong());
}

QString EventTableModel::toolTip(const QString &text, qint64 arrivedUs)
{
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(arrivedUs / 1000);
    return QCoreApplication::translate("EventTableModel", "%1\nArrived %2").arg(text, at.toString(QStringLiteral("hh:mm:ss.zzz")));
}
