#include "gui/totals/TotalsModel.h"

#include "core/rules/TotalsColumns.h"

#include <QColor>

namespace velmora {
namespace {

// The colour of a row by its verdict: 注意 orange, 要確認 violet, 超過 red, 読込不可 grey.
QColor colourOf(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Within:
        return {};
    case Verdict::Warning:
        return {255, 224, 160};
    case Verdict::Doubtful:
        return {214, 200, 255};
    case Verdict::Exceeded:
        return {255, 190, 190};
    case Verdict::Unreadable:
        return {200, 200, 200};
    }
    return {};
}

} // namespace

void TotalsModel::setRows(QList<TotalsRow> gathered, int fiscalYear)
{
    rows = std::move(gathered);
    year = fiscalYear;
    setFlaggedOnly(onlyFlagged);
}

void TotalsModel::setFlaggedOnly(bool flaggedOnly)
{
    beginResetModel();
    onlyFlagged = flaggedOnly;
    shown.clear();
    for (qsizetype at = 0; at < rows.size(); ++at)
        if (!onlyFlagged || rows[at].verdict() != Verdict::Within)
            shown << at;
    endResetModel();
}

int TotalsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown.size());
}

int TotalsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shownColumns().size());
}

QVariant TotalsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const TotalsRow& row = rowAt(index.row());
    const TotalsColumn column = shownColumns()[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(row, column, year);
    case Qt::ToolTipRole:
        return column == TotalsColumn::Reasons ? cellText(row, column, year) : QVariant();
    case Qt::TextAlignmentRole:
        return isDoseColumn(column) || column == TotalsColumn::RegistrationNumber
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        return row.verdict() == Verdict::Within ? QVariant() : QVariant(colourOf(row.verdict()));
    case SortRole:
        if (column == TotalsColumn::Verdict)
            return static_cast<int>(row.verdict());
        if (column == TotalsColumn::RegistrationNumber)
            return row.totals ? row.registrationNumber : -1.0;
        if (isDoseColumn(column)) {
            const auto dose = doseCell(row, column);
            return dose ? dose->toDouble() : -1.0;
        }
        return cellText(row, column, year);
    default:
        return {};
    }
}

QVariant TotalsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // "実効 年度" on two lines, so that a column is as narrow as its figures.
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return shownHeading(shownColumns()[section]).replace(QLatin1Char(' '), QLatin1Char('\n'));
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace velmora
