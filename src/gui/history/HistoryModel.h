#pragma once

#include "core/files/ChangeHistory.h"

#include <QAbstractTableModel>

namespace velmora {

// The records of the change history the window shows, newest first, a record whose hash does not hold in red.
class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    void setRecords(QList<ChangeRecord> shown);
    const QList<ChangeRecord>& records() const { return rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<ChangeRecord> rows;
};

} // namespace velmora
