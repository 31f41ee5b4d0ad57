#include "support/Stores.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::test {

bool makeFifo(const QString& at)
{
    return ::mkfifo(QFile::encodeName(at).constData(), 0600) == 0;
}

bool makeSymbolicLink(const QString& target, const QString& at)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()) == 0;
}

} // namespace velmora::test
