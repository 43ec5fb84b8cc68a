#pragma once

#include <QStandardItemModel>

/// The model of one MIDI data table. A row's first item carries the time its
/// frame arrived (arrivalRole, microseconds since the Unix epoch); the tool
/// tip of every cell, its full text and that time, is made only when asked
/// for, so that a row costs one number more than its texts.
class EventTableModel : public QStandardItemModel
{
public:
    static constexpr int arrivalRole = Qt::UserRole + 1;

    using QStandardItemModel::QStandardItemModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    /// "<text>\nArrived hh:mm:ss.zzz" in local time.
    static QString toolTip(const QString &text, qint64 arrivedUs);
};
