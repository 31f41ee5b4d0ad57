#include "core/rules/LeavingRecord.h"
#include "core/changes/OtherDoseImport.h"
#include "core/files/DoseAdditions.h"
#include "core/files/FacilitySettings.h"
#include "core/files/PersonalFile.h"
#include "core/rules/TotalsColumns.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"
#include "support/Stores.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// The leaving month is the last real month on the record (a record numbered 2026年13月 is none), and an
// entry elsewhere begun before the block and ending inside it is handed on with the block.
TEST(LeavingRecord, EndsAtTheLastRealMonthAndCarriesAnEntryEndingInsideTheBlock)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    const QString yamada = QStringLiteral("山田");
    makeStore(dir, {yamada});
    ASSERT_TRUE(WriteFacility(dir, {QStringLiteral("A病院"), {}, {}}));
    for (const MonthKey key : {202512, 202606, 202613})
        ASSERT_TRUE(AppendMonthlyRecord(dir, yamada, {key, 1, 0, 0, 0, NoComment}));
    const OtherFacilityDose acrossTheBlock{yamada, QStringLiteral("B病院"), 202602, 202605, 2, 0, 0, 0, NoComment};
    ASSERT_TRUE(WriteOtherFacilityDoses(dir, {acrossTheBlock}));
    const auto record = leavingRecordOf(dir, yamada);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->lastMonth, 202606);
    ASSERT_EQ(record->years.size(), 1);
    EXPECT_EQ(record->years.first().first, 2026);
    EXPECT_EQ(record->otherDoses, QList<OtherFacilityDose>{acrossTheBlock});
    // June here, the record numbered 13 named in the row of its fiscal year's March, and the entry elsewhere;
    // 2025/12 is of the block before.
    ASSERT_EQ(record->entries.size(), 3);
    EXPECT_EQ(record->entries[1].from, 202703);
    EXPECT_EQ(record->entries[1].effective, 0);
    EXPECT_EQ(record->entries[1].note,
              QStringLiteral("要確認：月が1～12でない記録 2026年13月（実効 1、水晶体 0、皮膚 0、内部 0） は集計外"));
}

// The cells of a person's totals that must arrive unchanged: every dose but the part received elsewhere
// (everything is elsewhere at the next employer), the pregnancy's and the verdict.
QStringList arrivingCells(const DataDir& dir, const QString& name, int fiscalYear)
{
    const auto rows = gatherStoreTotals(dir, fiscalYear, 202612);
    const auto row = std::find_if(rows->begin(), rows->end(), [&](const TotalsRow& r) { return r.name == name; });
    QStringList cells;
    for (const TotalsColumn column : csvColumns())
        if ((isDoseColumn(column) && column != TotalsColumn::OtherEffectiveYear &&
             column != TotalsColumn::OtherLensYear) ||
            column == TotalsColumn::Verdict)
            cells << csvHeading(column) + QLatin1Char('=') + cellText(*row, column, fiscalYear);
    return cells;
}

// Every person of a varied store handed to a fresh store through the leaving record's CSV arrives with the same
// doses and verdicts in every fiscal year of the block: a man with entries elsewhere before, across and after
// the block's months here, a pregnant woman with internal doses and an entry across quarters, a designated
// doctor, a record with every doubt, doses elsewhere alone.
TEST(LeavingRecord, EveryPersonArrivesWithTheSameFiguresAndVerdicts)
{
    QTemporaryDir here;
    QTemporaryDir next;
    const DataDir leaving(here.path());
    const DataDir taking(next.path());
    const QStringList names{"佐藤", "鈴木", "高橋", "田中", "伊藤"};
    makeStore(leaving, names);
    makeStore(taking, names);
    PersonalHeader man = personHeader(QStringLiteral("佐藤"));
    man.sexCode = 0;
    const QList<MonthlyRecord> months{
        {202104, 3, 3, 3, 0, NoComment}, {202305, 12, 30, 1, 0, NoComment}, {202512, 1, 0, 0, 0.5, NoComment}};
    for (const DataDir& dir : {leaving, taking})
        ASSERT_TRUE(
            RewritePersonalFile(dir, man.name, man, dir.root() == leaving.root() ? months : QList<MonthlyRecord>{}));
    const std::pair<const char*, MonthlyRecord> records[] = {
        {"鈴木", {202507, 1, 1, 1, 0.3, NoComment}},  {"鈴木", {202511, 0.5, 0, 0, 0.2, NoComment}},
        {"高橋", {202105, 0, 45, 0, 0, NoComment}},   {"高橋", {202206, 0, 45, 0, 0, NoComment}},
        {"高橋", {202310, 0, 30, 0, 0, NoComment}},   {"高橋", {202411, 0, 25, 0, 0, NoComment}},
        {"田中", {202404, 1, 0, 0, 0, NoComment}},    {"田中", {202404, 2, 0, 0, 0, NoComment}},
        {"田中", {202405, 0.5, 0, -1, 0, NoComment}}, {"田中", {202413, 5, 0, 0, 0, NoComment}},
    };
    for (const auto& [name, record] : records)
        ASSERT_TRUE(AppendMonthlyRecord(leaving, QString::fromUtf8(name), record));
    ASSERT_TRUE(WriteOtherFacilityDoses(leaving, {{"佐藤", "B病院", 202102, 202105, 2, 2, 0, 0, NoComment},
                                                  {"佐藤", "C病院", 202601, 202601, 1, 0, 0, 0.4, NoComment},
                                                  {"鈴木", "B病院", 202506, 202508, 2, 0, 0, 0, NoComment},
                                                  {"伊藤", "D病院", 202507, 202507, 4.5, 0, 0, 0, NoComment}}));
    ASSERT_TRUE(WriteDeclarations(leaving, {{"鈴木", DeclarationKind::Pregnancy, 20251001, 0, NoComment},
                                            {"高橋", DeclarationKind::DesignatedDoctor, 20210401, 20260331, NoComment},
                                            {"田中", DeclarationKind::Pregnancy, 20200501, 20201201, NoComment}}));
    ASSERT_TRUE(WriteFacility(leaving, {QStringLiteral("A病院"), {}, {}}));
    ASSERT_TRUE(WriteFacility(taking, {QStringLiteral("E病院"), {}, {}}));

    for (const QString& name : names) {
        const auto record = leavingRecordOf(leaving, name);
        ASSERT_TRUE(record) << name.toStdString();
        const QString csv = QDir(here.path()).filePath(leavingRecordFileName(name));
        writeBytes(csv, leavingRecordCsv(*record));
        const auto imported = ImportOtherDoses(taking, csv);
        ASSERT_TRUE(imported) << messageOf(imported.error()).toStdString();
        for (int year = 2021; year <= 2025; ++year)
            EXPECT_EQ(arrivingCells(taking, name, year), arrivingCells(leaving, name, year))
                << name.toStdString() << " " << year;
    }
    // The designated doctor's lens: judged from FY2023 (30 + 25), the block's total kept as recorded.
    const auto doctor = gatherStoreTotals(taking, 2024, 202612);
    const auto takahashi =
        std::find_if(doctor->begin(), doctor->end(), [](const TotalsRow& r) { return r.name == "高橋"; });
    EXPECT_EQ(cellText(*takahashi, TotalsColumn::LensSinceTransition, 2024), "55");
    EXPECT_EQ(cellText(*takahashi, TotalsColumn::LensBlock, 2024), "145");
    // The pregnancy standing at the leaving day and the designated doctor arrive; the ended one does not.
    EXPECT_EQ(ReadDeclarations(taking)->size(), 2);

    // A leaving day chosen in the next block: nothing of it on the record (the designated doctor's rule ended
    // with FY2025) but a pregnancy standing then; a day before the last dose hands the later ones on too.
    for (const char* name : {"佐藤", "高橋"})
        EXPECT_EQ(leavingRecordOf(leaving, QString::fromUtf8(name), 20260401).error().kind,
                  FailureKind::NothingToHandOver);
    EXPECT_EQ(leavingRecordOf(leaving, QStringLiteral("佐藤"), 20251130)->entries.last().from, 202601);
    const auto pregnant = leavingRecordOf(leaving, QStringLiteral("鈴木"), 20260415);
    ASSERT_TRUE(pregnant);
    EXPECT_TRUE(leavingRecordCsv(*pregnant).endsWith(
        QStringLiteral("鈴木,1965/04/12,女,A病院,2025/10,,,,,,申告：妊娠（2025/10/01～）\r\n").toUtf8()));
}

} // namespace
