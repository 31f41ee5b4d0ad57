#include "SmallFileSystem.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

namespace velmora::test {

SmallFileSystem::SmallFileSystem(const QString& folder, qint64 bytes)
    : mountPoint(folder), filler(QDir(folder).filePath(QStringLiteral(".filler")))
{
    const QByteArray options = "size=" + QByteArray::number(bytes);
    ok = ::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallFileSystem::~SmallFileSystem()
{
    if (ok)
        ::umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH);
}

void SmallFileSystem::fillLeaving(qint64 freeBytes)
{
    const int file = ::open(QFile::encodeName(filler).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(file, 0);
    const QByteArray chunk(PageBytes, 'x');
    qint64 size = 0;
    for (ssize_t written; (written = ::write(file, chunk.constData(), chunk.size())) > 0;)
        size += written;
    ASSERT_EQ(errno, ENOSPC);
    ASSERT_EQ(::ftruncate(file, std::max<qint64>(0, size / PageBytes * PageBytes - freeBytes)), 0);
    ::close(file);
}

void SmallFileSystem::makeRoom()
{
    QFile::remove(filler);
}

} // namespace velmora::test
