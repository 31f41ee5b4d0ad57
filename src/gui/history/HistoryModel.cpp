#include "gui/history/HistoryModel.h"

#include "gui/reports/HistoryReport.h"

#include <QBrush>

namespace velmora {

void HistoryModel::setRecords(QList<ChangeRecord> shown)
{
    beginResetModel();
    rows = std::move(shown);
    endResetModel();
}

int HistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows.size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(historyHeadings().size());
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const ChangeRecord& record = rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return historyCells(record).value(index.column());
    case Qt::ForegroundRole:
        return record.intact ? QVariant() : QBrush(Qt::red);
    default:
        return {};
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return historyHeadings().value(section);
}

} // namespace velmora
