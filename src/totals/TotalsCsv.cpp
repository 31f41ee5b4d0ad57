#include "TotalsCsv.h"

#include "store/Csv.h"
#include "store/FileWriter.h"
#include "store/ListFiles.h"
#include "store/NumberForms.h"

#include <cstdio>

namespace velmora {
namespace {

const QStringList Columns = {
    QStringLiteral("登録番号"),   QStringLiteral("氏名"),      QStringLiteral("性別"),
    QStringLiteral("年度"),       QStringLiteral("実効_Q1"),   QStringLiteral("実効_Q2"),
    QStringLiteral("実効_Q3"),    QStringLiteral("実効_Q4"),   QStringLiteral("実効_年度"),
    QStringLiteral("実効_5年"),   QStringLiteral("水晶体_Q1"), QStringLiteral("水晶体_Q2"),
    QStringLiteral("水晶体_Q3"),  QStringLiteral("水晶体_Q4"), QStringLiteral("水晶体_年度"),
    QStringLiteral("水晶体_5年"), QStringLiteral("皮膚_Q1"),   QStringLiteral("皮膚_Q2"),
    QStringLiteral("皮膚_Q3"),    QStringLiteral("皮膚_Q4"),   QStringLiteral("皮膚_年度"),
    QStringLiteral("判定"),       QStringLiteral("理由"),
};

QStringList figures(const std::array<double, 4>& quarters, double year)
{
    QStringList cells;
    for (double quarter : quarters)
        cells << totalsForm(quarter);
    cells << totalsForm(year);
    return cells;
}

QStringList cellsOf(const TotalsRow& row, int fiscalYear)
{
    QStringList cells{row.totals ? plainForm(row.registrationNumber) : QString(), row.name,
                      row.totals ? (row.sexCode == 0 ? QStringLiteral("男") : QStringLiteral("女")) : QString(),
                      QString::number(fiscalYear)};
    if (!row.totals) {
        for (int column = 4; column < Columns.size() - 1; ++column)
            cells << QString();
        return cells << row.unreadable;
    }
    const DoseTotals& t = *row.totals;
    const auto block = [](const std::optional<double>& total) { return total ? totalsForm(*total) : QString(); };
    cells << figures(t.effectiveQuarters, t.effectiveYear) << block(t.effectiveBlock);
    cells << figures(t.lensQuarters, t.lensYear) << block(t.lensBlock);
    cells << figures(t.skinQuarters, t.skinYear);
    return cells << verdictText(t.verdict) << t.reasons.join(QStringLiteral("／"));
}

} // namespace

QByteArray totalsCsv(const QList<TotalsRow>& rows, int fiscalYear)
{
    QList<QStringList> table{Columns};
    for (const TotalsRow& row : rows)
        table << cellsOf(row, fiscalYear);
    return csv::excelFile(table);
}

Status exportDoseTotals(const DataDir& dir, int fiscalYear, const QString& outputFile, QStringList& unreadable)
{
    const auto registrants = LoadRegistrantList(dir);
    if (!registrants)
        return registrants.error();
    const QList<TotalsRow> rows = gatherDoseTotals(dir, registrants->names, fiscalYear);
    for (const TotalsRow& row : rows)
        if (!row.totals)
            unreadable << DataDir::shownPersonalFile(row.name);
    const QByteArray csv = totalsCsv(rows, fiscalYear);
    if (!outputFile.isEmpty())
        return replaceFile(outputFile, outputFile, csv);
    if (std::fwrite(csv.constData(), 1, static_cast<size_t>(csv.size()), stdout) != static_cast<size_t>(csv.size()) ||
        std::fflush(stdout) != 0)
        return failure(FailureKind::CannotWrite, QStringLiteral("標準出力"));
    return {};
}

} // namespace velmora
