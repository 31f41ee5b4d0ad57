#include "core/changes/OtherDoseImport.h"
#include "support/DataFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// The cells of doses elsewhere are read as strictly as a month's: a row with a doubt, or repeated, is left
// out and named; so is a row of this facility's own name (doses on the record here, come back in another
// facility's leaving record). A period across fiscal years is taken and named.
TEST(OtherDoseImport, LeavesOutEveryRowInDoubtAndNamesIt)
{
    QTemporaryDir temp;
    const QString file = QDir(temp.path()).filePath(QStringLiteral("other.csv"));
    writeBytes(file, QStringLiteral("氏名,施設名,開始年月,終了年月,実効線量,水晶体,皮膚,内部被曝\n"
                                    "山田,A病院,2026/04,,10000,0,0,0\n"
                                    "山田,A病院,2026/04,,10000,0,0,0\n"
                                    "山田,A病院,2026/05,,-1,0,0,0\n"
                                    "山田,A病院,2026/06,,1d2,0,0,0\n"
                                    "山田,A病院,2026/07,,1,0,0,0,x\n"
                                    "山田,A病院,2026/08,,1,0,0\n"
                                    "山田,B病院,2026/09,,1,0,0,0\n"
                                    "山田,A病院,2026/12,2027/05,1,0,0,0\n"
                                    "山田,A病院,2027/01,,0.0000000000001,0,0,0\n")
                         .toUtf8());
    const auto read = ReadOtherDoseImport(file, {{QStringLiteral("山田")}, {}, {}, QStringLiteral("B病院"), {}});
    ASSERT_TRUE(read);
    EXPECT_EQ(read->entries.size(), 2);
    EXPECT_EQ(read->ownFacility, QStringList{"8行目（山田）"});
    EXPECT_EQ(read->acrossYears, QStringList{"9行目（山田）"});
    EXPECT_EQ(read->storedAlready, QStringList{"3行目（山田）"}); // a row repeated in the file is added once
    EXPECT_EQ(
        read->unusable,
        (QStringList{"4行目（山田）：「-1」は負の値です", "5行目（山田）：「1d2」は線量ではありません",
                     "6行目（山田）：見出しのない9列目に値「x」があります",
                     "7行目（山田）：列が7個しかありません（見出しは8個。行が途中で切れていないか確認して下さい）",
                     "10行目（山田）：「0.0000000000001」は桁が多すぎます（小数点以下12桁、有効数字15桁まで）"}));
}

// A row its sender marked 要確認 (a leaving record's month held twice) is taken and named.
TEST(OtherDoseImport, TakesARowItsSenderDoubtedAndNamesIt)
{
    QTemporaryDir temp;
    const QString file = QDir(temp.path()).filePath(QStringLiteral("leaving.csv"));
    writeBytes(file, QStringLiteral("氏名,施設名,開始年月,終了年月,実効線量,水晶体,皮膚,内部被曝,備考\n"
                                    "山田,A病院,2027/02,,1,0,0,0,要確認：同じ月の記録が2件\n")
                         .toUtf8());
    const auto read = ReadOtherDoseImport(file, {{QStringLiteral("山田")}, {}, {}, QStringLiteral("B病院"), {}});
    ASSERT_TRUE(read);
    EXPECT_EQ(read->entries.size(), 1);
    EXPECT_EQ(read->senderDoubts, QStringList{"2行目（山田）：要確認：同じ月の記録が2件"});
}

} // namespace
