#include "Stores.h"

#include "store/ListFiles.h"
#include "store/PersonalFile.h"

#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

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

bool ImmutableFile::setImmutable(bool on)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (descriptor < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(descriptor, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(descriptor);
    return done;
}

} // namespace velmora::test
