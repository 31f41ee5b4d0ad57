#include "core/files/ChangeHistory.h"
#include "core/files/Cp932.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QList<Change> ThreeChanges = {
    {ChangeKind::Registration, QStringLiteral("山田"), 0, {}, QStringLiteral("登録番号 1")},
    {ChangeKind::MonthSaved, QStringLiteral("山田"), 202504, {}, QStringLiteral("実効 0.1")},
    {ChangeKind::Correction, QStringLiteral("山田"), 202504, QStringLiteral("実効 0.1"), QStringLiteral("実効 1.0")},
};

QList<QByteArray> linesOf(const DataDir& dir)
{
    QList<QByteArray> lines = fileBytes(dir.listFile(ChangeHistoryFile)).split('\n');
    lines.removeLast(); // after the last line end
    return lines;
}

void writeLines(const DataDir& dir, const QList<QByteArray>& lines)
{
    writeBytes(dir.listFile(ChangeHistoryFile), lines.join('\n') + '\n');
}

// A hand edit of a history of three records (nine lines each), and where --verify must find it.
struct HandEdit {
    const char* name;
    std::function<void(QList<QByteArray>&)> edit;
    std::optional<qsizetype> brokenRecord;
    int damagedLine = 0;
};

const HandEdit HandEdits[] = {
    {"none", [](QList<QByteArray>&) {}, std::nullopt},
    {"a changed digit", [](QList<QByteArray>& l) { l[9 + 7].replace("0.1", "0.2"); }, 2},
    {"a changed hash", [](QList<QByteArray>& l) { l[26][0] = l[26][0] == 'a' ? 'b' : 'a'; }, 3},
    {"a removed record", [](QList<QByteArray>& l) { l.remove(9, 9); }, 2},
    {"an inserted record", [](QList<QByteArray>& l) { l = l.mid(0, 9) + l.mid(0, 9) + l.mid(9); }, 2},
    {"a reordered pair", [](QList<QByteArray>& l) { l = l.mid(0, 9) + l.mid(18, 9) + l.mid(9, 9); }, 2},
    {"a cut last record", [](QList<QByteArray>& l) { l.resize(24); }, std::nullopt, 19},
    {"a kind no change has", [](QList<QByteArray>& l) { l[3] = *cp932::encode(QStringLiteral("改ざん")); },
     std::nullopt, 4},
};

TEST(ChangeHistory, EachHandEditIsFoundAtItsRecord)
{
    for (const HandEdit& row : HandEdits) {
        QTemporaryDir temp;
        const DataDir dir(temp.path());
        ASSERT_TRUE(RecordWrite(dir, ThreeChanges, [] { return Status(); }));
        QList<QByteArray> lines = linesOf(dir);
        ASSERT_EQ(lines.size(), 27);
        row.edit(lines);
        writeLines(dir, lines);
        const auto records = ReadChangeHistory(dir);
        if (row.damagedLine) {
            ASSERT_FALSE(records) << row.name;
            EXPECT_EQ(records.error().line, row.damagedLine) << row.name;
            continue;
        }
        ASSERT_TRUE(records) << row.name << ": " << messageOf(records.error()).toStdString();
        EXPECT_EQ(firstBrokenRecord(*records), row.brokenRecord) << row.name;
    }
}

TEST(ChangeHistory, HoldsTheChangesMadeAndChainsOnAcrossAppends)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    // Nothing made of a first change: no history is left behind.
    EXPECT_FALSE(RecordWrite(dir, ThreeChanges.mid(0, 1), [] { return Status(failure(FailureKind::CannotWrite)); }));
    EXPECT_FALSE(QFile::exists(dir.listFile(ChangeHistoryFile)));
    ASSERT_TRUE(RecordWrite(dir, ThreeChanges.mid(0, 1), [] { return Status(); }));
    // Two of three changes made: their records stay, the third's goes.
    EXPECT_FALSE(RecordChanges(dir, ThreeChanges, [](qsizetype& made) {
        made = 2;
        return Status(failure(FailureKind::SaveStoppedMidway));
    }));
    // A history whose last line lost its line end (an editor) is ended before the next record.
    writeBytes(dir.listFile(ChangeHistoryFile), fileBytes(dir.listFile(ChangeHistoryFile)).chopped(2));
    ASSERT_TRUE(RecordWrite(dir, ThreeChanges.mid(2), [] { return Status(); }));
    const auto records = ReadChangeHistory(dir);
    ASSERT_TRUE(records) << messageOf(records.error()).toStdString();
    QList<Change> changes;
    for (const ChangeRecord& record : *records) {
        changes << record.change;
        EXPECT_TRUE(record.intact);
        EXPECT_LE(qAbs(record.time.secsTo(QDateTime::currentDateTime())), 60);
    }
    EXPECT_EQ(changes, (QList<Change>{ThreeChanges[0], ThreeChanges[0], ThreeChanges[1], ThreeChanges[2]}));
}

} // namespace
