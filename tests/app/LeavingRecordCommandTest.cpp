#include "core/files/FacilitySettings.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/rules/TotalsColumns.h"
#include "support/DataFiles.h"
#include "support/ProgramRun.h"
#include "support/Stores.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

MonthlyRecord month(MonthKey key, double effective, double lens, double skin, double internal)
{
    return {key, effective, lens, skin, internal, NoComment};
}

// The dose cells of a person's totals row, without those that tell doses elsewhere apart.
QStringList doseCells(const DataDir& dir, int fiscalYear)
{
    QStringList cells;
    const TotalsRow row = gatherStoreTotals(dir, fiscalYear, 202612)->first();
    for (const TotalsColumn column : csvColumns())
        if (isDoseColumn(column) && column != TotalsColumn::OtherEffectiveYear && column != TotalsColumn::OtherLensYear)
            cells << cellText(row, column, fiscalYear);
    return cells << cellText(row, TotalsColumn::Verdict, fiscalYear);
}

TEST(LeavingRecordCommand, TheNextEmployerTakesItInAndGetsTheSameTotals)
{
    QTemporaryDir here;
    QTemporaryDir next;
    const DataDir leaving(here.path());
    const DataDir taking(next.path());
    makeStore(leaving, {QStringLiteral("山田"), QStringLiteral("鈴木")});
    makeStore(taking, {QStringLiteral("山田")});
    for (const MonthlyRecord& record :
         {month(202307, 12, 30, 1, 0), month(202505, 1.5, 3, 4, 0.25), month(202506, 0.5, 0, 0, 0),
          month(202506, 0.7, 0, -1, 0), month(202601, 15.1, 2, 0, 0)})
        ASSERT_TRUE(AppendMonthlyRecord(leaving, QStringLiteral("山田"), record));
    ASSERT_TRUE(WriteOtherFacilityDoses(
        leaving, {{QStringLiteral("山田"), QStringLiteral("B病院"), 202407, 202409, 3, 2, 0, 0, NoComment}}));
    const QString csv = QDir(here.path()).filePath(QStringLiteral("leaving.csv"));
    const QStringList exporting{QStringLiteral("--leaving-record"), QStringLiteral("山田"),
                                QStringLiteral("--data-dir"),       here.path(),
                                QStringLiteral("--output"),         csv};

    EXPECT_EQ(runVelmora(exporting).exitCode, 1); // the facility has no name yet
    // No CSV replaces a file of the store.
    const QString declarations = leaving.listFile(DeclarationsFile);
    ASSERT_TRUE(WriteDeclarations(leaving, {}));
    const QByteArray stored = fileBytes(declarations);
    for (const QStringList& command : {QStringList{"--leaving-record", "山田"}, {"--dose-totals", "2025"}})
        EXPECT_EQ(runVelmora(command + QStringList{"--data-dir", here.path(), "--output", declarations}).exitCode, 1);
    EXPECT_EQ(fileBytes(declarations), stored);
    ASSERT_TRUE(WriteFacility(leaving, {QStringLiteral("A病院"), {}, {}}));
    const ProgramRun exported = runVelmora(exporting);
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(fileBytes(csv),
              QStringLiteral("\uFEFF氏名,生年月日,性別,施設名,開始年月,終了年月,外部被曝実効線量(mSv),"
                             "水晶体等価線量(mSv),皮膚等価線量(mSv),内部被曝実効線量(mSv),備考\r\n"
                             "山田,1965/04/12,女,A病院,2023/07,2023/07,12,30,1,0,\r\n"
                             "山田,1965/04/12,女,A病院,2025/05,2025/05,1.5,3,4,0.25,\r\n"
                             // each doubt in the row's 備考, which the next employer's totals show as 要確認
                             "山田,1965/04/12,女,A病院,2025/06,2025/06,0.7,0,0,0,要確認：同じ月の記録が2件（大きい方を"
                             "記載）、負の値（皮膚 -1）を0として記載\r\n"
                             "山田,1965/04/12,女,A病院,2026/01,2026/01,15.1,2,0,0,\r\n"
                             "山田,1965/04/12,女,B病院,2024/07,2024/09,3,2,0,0,\r\n")
                  .toUtf8());
    // Another person of the same name (another birth date) is refused, naming both dates.
    const QString other = QDir(here.path()).filePath(QStringLiteral("other.csv"));
    writeBytes(other, fileBytes(csv).replace("1965/04/12", "1970/01/01"));
    const ProgramRun someoneElse =
        runVelmora({QStringLiteral("--import-other-doses"), other, QStringLiteral("--data-dir"), next.path()});
    EXPECT_EQ(someoneElse.exitCode, 1);
    EXPECT_TRUE(
        someoneElse.err.contains(QStringLiteral("生年月日「1970/01/01」が登録の生年月日 1965/04/12 と違います")))
        << someoneElse.err.toStdString();

    const QStringList importing{QStringLiteral("--import-other-doses"), csv, QStringLiteral("--data-dir"), next.path()};
    // The folder's third flush, after the list is renamed into place (the lock's and the change history's come
    // first), fails: the import is told not to be repeated, and it need not be (the list holds it).
    const ProgramRun imported =
        runVelmora(importing, {"-P", next.path(), "-e", "trace=fsync", "-e", "inject=fsync:error=EIO:when=3"});
    EXPECT_EQ(imported.exitCode, 1);
    EXPECT_TRUE(imported.err.contains(QStringLiteral("「他施設線量.txt」に変更を書き込みましたが、ディスクへの保存を"
                                                     "確認できませんでした。変更はファイルにあるため、もう一度行う"
                                                     "必要はありません")))
        << imported.err.toStdString();
    for (const int year : {2023, 2024, 2025})
        EXPECT_EQ(doseCells(taking, year), doseCells(leaving, year)) << year;
    EXPECT_TRUE(cellText(gatherStoreTotals(taking, 2025, 202612)->first(), TotalsColumn::Reasons, 2025)
                    .contains(QStringLiteral("は送り元で要確認：同じ月の記録が2件")));
    // Taken in twice, nothing is added twice; a name the next employer has not registered changes nothing.
    const ProgramRun again = runVelmora(importing);
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(again.err.contains(QStringLiteral("同じ内容が登録済みの行（取り込みません）：5行")));
    ASSERT_TRUE(SaveRegistrantList(taking, {QStringLiteral("佐藤")}));
    const auto before = snapshot(next.path());
    EXPECT_EQ(runVelmora(importing).exitCode, 1);
    EXPECT_EQ(snapshot(next.path()), before);

    // Back where it was made, the rows under this facility's name are doses on the record already.
    const ProgramRun back =
        runVelmora({QStringLiteral("--import-other-doses"), csv, QStringLiteral("--data-dir"), here.path()});
    EXPECT_EQ(back.exitCode, 0);
    EXPECT_TRUE(
        back.err.contains(QStringLiteral("この事業所の名前の行（ここで記録済みの線量のため取り込みません）：4行")))
        << back.err.toStdString();
    EXPECT_EQ(ReadOtherFacilityDoses(leaving)->size(), 1);

    // Nothing to hand over: refused, no file; doses elsewhere alone are handed over.
    const QString suzuki = QDir(here.path()).filePath(QStringLiteral("suzuki.csv"));
    const QStringList suzukiRecord{QStringLiteral("--leaving-record"), QStringLiteral("鈴木"),
                                   QStringLiteral("--data-dir"),       here.path(),
                                   QStringLiteral("--output"),         suzuki};
    const ProgramRun nothing = runVelmora(suzukiRecord);
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(nothing.err.contains(QStringLiteral("鈴木さんには、ここでも他施設でも記録された線量がない")));
    EXPECT_FALSE(QFileInfo::exists(suzuki));
    ASSERT_TRUE(
        WriteOtherFacilityDoses(leaving, *ReadOtherFacilityDoses(leaving) +
                                             QList<OtherFacilityDose>{{QStringLiteral("鈴木"), QStringLiteral("C病院"),
                                                                       202604, 202606, 4.5, 0, 0, 0, NoComment}}));
    EXPECT_EQ(runVelmora(suzukiRecord).exitCode, 0);
    EXPECT_TRUE(
        fileBytes(suzuki).endsWith(QStringLiteral("鈴木,1965/04/12,女,C病院,2026/04,2026/06,4.5,0,0,0,\r\n").toUtf8()));
}

} // namespace
