#include "Stores.h"

#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"

#include <QFile>
#include <gtest/gtest.h>

namespace velmora::test {

PersonalHeader personHeader(const QString& name, double number)
{
    return {number,
            name,
            1,
            19650412,
            QStringLiteral("放射線科"),
            QStringLiteral("医師"),
            0,
            0,
            QStringLiteral("04-01-2005")};
}

void makeStore(const DataDir& dir, const QStringList& names)
{
    ASSERT_TRUE(InitialiseForEntry(dir));
    for (qsizetype i = 0; i < names.size(); ++i)
        ASSERT_TRUE(CreatePersonalFile(dir, personHeader(names[i], static_cast<double>(i + 1))));
    ASSERT_TRUE(SaveRegistrantList(dir, names));
    ASSERT_TRUE(WriteNextRegistrationNumber(dir, static_cast<double>(names.size() + 1)));
}

ImmutableFile::ImmutableFile(const QString& filePath) : path(filePath)
{
    ok = setImmutable(true);
}

ImmutableFile::~ImmutableFile()
{
    if (ok)
        setImmutable(false);
}

} // namespace velmora::test
