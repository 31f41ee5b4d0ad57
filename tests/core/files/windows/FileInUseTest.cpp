#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"
#include "support/Stores.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>
#include <windows.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// Another program (a PC reading the file on the share) holds a personal file open without letting it be
// replaced: the correction waits for it for a short time, then saves or says why it could not.
class FileInUse : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(InitialiseForEntry(dir));
        ASSERT_TRUE(CreatePersonalFile(dir, personHeader(QStringLiteral("山田"))));
        before = fileBytes(dir.personalFile(QStringLiteral("山田")));
        reader =
            ::CreateFileW(QDir::toNativeSeparators(dir.personalFile(QStringLiteral("山田"))).toStdWString().c_str(),
                          GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    }
    void TearDown() override
    {
        if (reader != INVALID_HANDLE_VALUE)
            ::CloseHandle(reader);
    }
    Status correct()
    {
        return RewritePersonalFile(dir, QStringLiteral("山田"), personHeader(QStringLiteral("山田")),
                                   {{200504, 0.5, 0, 0, 0, QStringLiteral("―")}});
    }
    QStringList folderFiles() const
    {
        return QDir(dir.doseDataFolder()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    QTemporaryDir temp;
    DataDir dir{temp.path()};
    QByteArray before;
    HANDLE reader = INVALID_HANDLE_VALUE;
};

TEST_F(FileInUse, ARewriteWaitsForTheReaderToLetGo)
{
    std::thread letGo([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::CloseHandle(reader);
        reader = INVALID_HANDLE_VALUE;
    });
    const auto rewritten = correct();
    letGo.join();
    ASSERT_TRUE(rewritten) << messageOf(rewritten.error()).toStdString();
    EXPECT_NE(fileBytes(dir.personalFile(QStringLiteral("山田"))), before);
    EXPECT_EQ(folderFiles(), QStringList{QStringLiteral("山田.dat")});
}

TEST_F(FileInUse, ARewriteTheReaderNeverAllowsSaysSoAndChangesNothing)
{
    const auto rewritten = correct();
    ASSERT_FALSE(rewritten);
    EXPECT_TRUE(
        messageOf(rewritten.error()).contains(QStringLiteral("ほかのPCかプログラムがこのファイルを開いています")))
        << messageOf(rewritten.error()).toStdString();
    EXPECT_EQ(fileBytes(dir.personalFile(QStringLiteral("山田"))), before);
    EXPECT_EQ(folderFiles(), QStringList{QStringLiteral("山田.dat")});
}

} // namespace
