#include "core/files/DataDir.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// Windows opens its devices instead of files with these names, with or without an extension; names that
// only begin like them are ordinary names.
TEST(PersonalFileName, WindowsDeviceNamesAreRefusedAndTheirNeighboursKept)
{
    const struct {
        const char16_t* name;
        bool refused;
    } rows[] = {{u"CON", true},      {u"con", true},     {u"Aux.txt", true},  {u"NUL.a.b", true}, {u"PRN", true},
                {u"COM1", true},     {u"lpt9.x", true},  {u"COM0", false},    {u"COM10", false},  {u"LPT", false},
                {u"CONSOLE", false}, {u"ＣＯＮ", false}, {u"山田CON", false}, {u"NULL", false}};
    for (const auto& row : rows) {
        const auto problem = personalFileNameProblem(QString::fromUtf16(row.name));
        EXPECT_EQ(problem && problem->kind == FailureKind::WindowsName, row.refused)
            << QString::fromUtf16(row.name).toStdString();
    }
}

} // namespace
} // namespace velmora
