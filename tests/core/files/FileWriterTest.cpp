// The writer's steps on real files, row by row, quick enough for every build: how an append ends the
// last line, that a failed append leaves the file exactly as it was (the file size limit of the process
// makes the write fail as a full disk would), and that a rewrite keeps the file's permissions.
#include "core/files/FileWriter.h"
#include "support/DataFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace velmora;
using namespace velmora::test;

namespace {

struct AppendCase {
    const char* what;
    QByteArray before;
    QByteArray after; // after appending "b\r\n"
};

class Appends : public testing::TestWithParam<AppendCase> {
protected:
    QTemporaryDir temp;
    QString path = temp.filePath(QStringLiteral("既入力.txt"));
};

TEST_P(Appends, EndTheLastLineOnceAndAddTheContent)
{
    writeBytes(path, GetParam().before);
    ASSERT_TRUE(appendToFile(path, QStringLiteral("既入力.txt"), "b\r\n"));
    EXPECT_EQ(fileBytes(path), GetParam().after);
}

// Only one byte more fits: the line end the append adds first is written, the rest fails, and the file
// is cut back to exactly its old bytes.
TEST_P(Appends, ThatFailLeaveTheFileExactlyAsItWas)
{
    writeBytes(path, GetParam().before);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = static_cast<rlim_t>(GetParam().before.size() + 1);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Status appended = appendToFile(path, QStringLiteral("既入力.txt"), "b\r\n");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(appended);
    EXPECT_EQ(fileBytes(path), GetParam().before);
}

INSTANTIATE_TEST_SUITE_P(Rows, Appends,
                         testing::Values(AppendCase{"Empty", "", "b\r\n"},
                                         AppendCase{"EndedByCrLf", "a\r\n", "a\r\nb\r\n"},
                                         AppendCase{"WithoutLineEnd", "a", "a\r\nb\r\n"},
                                         AppendCase{"EndedByABareCr", "a\r", "a\r\nb\r\n"},
                                         AppendCase{"EndedByABareLf", "a\n", "a\nb\r\n"}),
                         [](const auto& row) { return std::string(row.param.what); });

TEST(Rewrites, KeepThePermissionsOfTheFileTheyReplace)
{
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("登録者名.txt"));
    for (const mode_t mode : {0640, 0604}) {
        writeBytes(path, "old");
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        ASSERT_TRUE(replaceFile(path, QStringLiteral("登録者名.txt"), "new"));
        struct stat written {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &written), 0);
        EXPECT_EQ(written.st_mode & 07777, mode);
        EXPECT_EQ(fileBytes(path), "new");
    }
}

} // namespace
