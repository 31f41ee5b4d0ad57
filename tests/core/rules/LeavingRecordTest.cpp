#include "core/rules/LeavingRecord.h"
#include "core/files/DoseAdditions.h"
#include "core/files/FacilitySettings.h"
#include "core/files/PersonalFile.h"
#include "support/Stores.h"

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
    EXPECT_EQ(record->entries.size(), 2); // June here, and the entry elsewhere; 2025/12 is of the block before
}

} // namespace
