#pragma once

#include "core/rules/StoreTotals.h"

#include <QAbstractTableModel>

namespace velmora {

// The totals rows as the window's tables show them: the shown columns, each row coloured by its verdict,
// sorted by number where a cell holds one. Shows all rows, or only those with a verdict.
class TotalsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The role the window sorts by: a dose's or number's value, the verdict's rank, else the text.
    static constexpr int SortRole = Qt::UserRole;

    // The rows gathered for a fiscal year, shown as the filter stands.
    void setRows(QList<TotalsRow> gathered, int fiscalYear);
    // Only the rows with a verdict (注意 and above), or all.
    void setFlaggedOnly(bool flaggedOnly);
    const TotalsRow& rowAt(int row) const { return rows[shown[row]]; }
    // Every row gathered, shown or not, in the order gathered.
    const QList<TotalsRow>& allRows() const { return rows; }
    int fiscalYear() const { return year; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<TotalsRow> rows;
    QList<qsizetype> shown;
    bool onlyFlagged = false;
    int year = 0;
};

} // namespace velmora
