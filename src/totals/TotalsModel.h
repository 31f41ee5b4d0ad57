#pragma once

#include "DoseTotals.h"

#include <QAbstractTableModel>

namespace velmora {

// The totals rows as the window's tables show them: the shown columns, each row coloured by its verdict,
// sorted by number where a cell holds one. Shows all rows, or only those with a verdict.
class TotalsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The role the window sorts by: a dose's or number's value, the verdict's rank, else the text.
    static constexpr int SortRole = Qt::UserRole;

    void setRows(const QList<TotalsRow>& gathered, int fiscalYear, bool flaggedOnly);
    const TotalsRow& rowAt(int row) const { return rows[shown[row]]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<TotalsRow> rows;
    QList<qsizetype> shown;
    int year = 0;
};

} // namespace velmora
