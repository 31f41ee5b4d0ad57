#include "core/files/FacilitySettings.h"
#include "core/files/Cp932.h"
#include "support/DataFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// Three lines in code page 932, "―" for one left empty; what the program writes, it reads back.
TEST(FacilitySettings, AreThreeLinesReadBackAsWritten)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    EXPECT_EQ(ReadFacility(dir), Facility()); // none set yet
    const Facility facility{QStringLiteral("ベルモラ総合病院"), {}, QStringLiteral("佐藤　次郎")};
    ASSERT_TRUE(WriteFacility(dir, facility));
    EXPECT_EQ(fileBytes(dir.listFile(FacilityFile)),
              *cp932::encode(QStringLiteral("ベルモラ総合病院\r\n―\r\n佐藤　次郎\r\n")));
    EXPECT_EQ(ReadFacility(dir), facility);
    EXPECT_EQ(facilityLine(facility), QStringLiteral("事業所：ベルモラ総合病院　責任者：佐藤　次郎"));
    EXPECT_NE(facilityProblem({QString(LongestFacilityText + 1, QLatin1Char('A')), {}, {}}), std::nullopt);
    EXPECT_NE(facilityProblem({QStringLiteral("病院\n"), {}, {}}), std::nullopt);
    writeBytes(dir.listFile(FacilityFile), "A\r\nB\r\n");
    EXPECT_EQ(ReadFacility(dir).error().kind, FailureKind::Damaged);
}

} // namespace
