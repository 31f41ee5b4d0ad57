#include "core/files/ChangeHistory.h"
#include "core/changes/Exports.h"
#include "core/files/Cp932.h"
#include "core/files/HistoryAgreement.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"
#include "support/Stores.h"

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

// A hand edit of a history of three records (nine lines each), where --verify must find it, and how many
// records still read.
struct HandEdit {
    const char* name;
    std::function<void(QList<QByteArray>&)> edit;
    std::optional<qsizetype> brokenRecord;
    int damagedLine = 0;
    qsizetype readable = 3;
};

const HandEdit HandEdits[] = {
    {"none", [](QList<QByteArray>&) {}, std::nullopt},
    {"a changed digit", [](QList<QByteArray>& l) { l[9 + 7].replace("0.1", "0.2"); }, 2},
    {"a changed hash", [](QList<QByteArray>& l) { l[26][0] = l[26][0] == 'a' ? 'b' : 'a'; }, 3},
    {"a removed record", [](QList<QByteArray>& l) { l.remove(9, 9); }, 2, 0, 2},
    {"an inserted record", [](QList<QByteArray>& l) { l = l.mid(0, 9) + l.mid(0, 9) + l.mid(9); }, 2, 0, 4},
    {"a reordered pair", [](QList<QByteArray>& l) { l = l.mid(0, 9) + l.mid(18, 9) + l.mid(9, 9); }, 2},
    {"a cut last record", [](QList<QByteArray>& l) { l.resize(24); }, std::nullopt, 19, 2},
    {"a kind no change has", [](QList<QByteArray>& l) { l[3] = *cp932::encode(QStringLiteral("改ざん")); },
     std::nullopt, 4, 2},
    {"a garbage line appended", [](QList<QByteArray>& l) { l.append("garbage\r"); }, std::nullopt, 28},
    {"a line inserted inside", [](QList<QByteArray>& l) { l.insert(9, "x\r"); }, std::nullopt, 10},
    {"a byte no text has", [](QList<QByteArray>& l) { l[9 + 6] = "\x81\r"; }, std::nullopt, 16, 2},
    {"a record's line ended by LF", [](QList<QByteArray>& l) { l[9 + 7].chop(1); }, std::nullopt, 17, 2},
};

TEST(ChangeHistory, EachHandEditIsFoundAtItsRecordAndEveryRecordThatReadsIsKept)
{
    for (const HandEdit& row : HandEdits) {
        QTemporaryDir temp;
        const DataDir dir(temp.path());
        ASSERT_TRUE(RecordWrite(dir, ThreeChanges, [] { return Status(); }));
        QList<QByteArray> lines = linesOf(dir);
        ASSERT_EQ(lines.size(), 27);
        row.edit(lines);
        writeLines(dir, lines);
        const auto read = ReadChangeHistory(dir);
        ASSERT_TRUE(read) << row.name << ": " << messageOf(read.error()).toStdString();
        EXPECT_EQ(read->records.size(), row.readable) << row.name;
        EXPECT_EQ(read->broken ? std::optional(read->broken->text.toLongLong()) : std::nullopt, row.brokenRecord)
            << row.name;
        EXPECT_EQ(read->damage.isEmpty() ? 0 : read->damage.first().faultLine, row.damagedLine) << row.name;
        if (!row.damagedLine)
            continue;
        // Nothing is recorded on top of the damage until the history is set aside; then the chain goes on.
        EXPECT_FALSE(RecordWrite(dir, ThreeChanges.mid(0, 1), [] { return Status(); })) << row.name;
        const auto setAside = SetAsideDamagedHistory(dir, QDateTime(QDate(2026, 12, 9), QTime(10, 15)));
        ASSERT_TRUE(setAside) << row.name;
        EXPECT_EQ(*setAside, QStringLiteral("変更履歴_損傷_20261209-101500.txt"));
        EXPECT_TRUE(RecordWrite(dir, ThreeChanges.mid(0, 1), [] { return Status(); })) << row.name;
        const auto after = ReadChangeHistory(dir);
        ASSERT_TRUE(after && after->damage.isEmpty()) << row.name;
        EXPECT_EQ(after->records.size(), row.readable + 2) << row.name;
        EXPECT_EQ(std::count_if(after->records.begin(), after->records.end(),
                                [](const ChangeRecord& r) { return r.file != ChangeHistoryFile; }),
                  row.readable)
            << row.name;
        EXPECT_EQ(after->records[row.readable].change.kind, ChangeKind::Continued) << row.name;
        EXPECT_TRUE(after->records[row.readable].intact && after->records.last().intact) << row.name;
        EXPECT_EQ(after->setAsideDamage.size(), 1) << row.name;
    }
}

// The names a history set aside takes, and names that only look like them.
TEST(ChangeHistory, KnowsTheNamesOfTheHistoriesSetAside)
{
    for (const char* name : {"変更履歴_損傷_20261209-101500.txt", "変更履歴_損傷_20261209-101500_2.txt",
                             "変更履歴_損傷_20261209-101500_999999.txt"})
        EXPECT_TRUE(isSetAsideHistoryName(QString::fromUtf8(name))) << name;
    for (const char* name : {"変更履歴.txt", "変更履歴_損傷_20261209-10150.txt", "変更履歴_損傷_20261209_101500.txt",
                             "変更履歴_損傷_20261209-101500_.txt", "変更履歴_損傷_20261209-101500_1234567.txt",
                             "変更履歴_損傷_20261209-101500_2x.txt", "変更履歴_損傷_2026120a-101500.txt",
                             "変更履歴_損傷_20261209-101500.txt.bak", "x変更履歴_損傷_20261209-101500.txt"})
        EXPECT_FALSE(isSetAsideHistoryName(QString::fromUtf8(name))) << name;
}

// A history longer than the blocks it is read in (4 MiB): the record across a block's end reads, a line
// inserted just before it is named at its line with the chain going on past it, and a history written as
// it is read holds the rows of the records read whole.
TEST(ChangeHistory, AHistoryLongerThanABlockReadsAcrossItsBlocks)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    ASSERT_TRUE(RecordWrite(dir, QList<Change>(40000, ThreeChanges[2]), [] { return Status(); }));
    QList<QByteArray> lines = linesOf(dir);
    qsizetype offset = 0;
    qsizetype recordAcross = 0; // the first line of the record that holds the block's end
    for (qsizetype line = 0; line < lines.size() && offset <= (4 << 20); ++line) {
        if (line % HistoryRecordLines == 0)
            recordAcross = line;
        offset += lines[line].size() + 1;
    }
    ASSERT_GT(offset, 4 << 20);
    for (const int inserted : {0, 1}) {
        if (inserted)
            lines.insert(recordAcross, "x\r");
        writeLines(dir, lines);
        const auto read = ReadChangeHistory(dir);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->head.records, 40000);
        EXPECT_FALSE(read->broken);
        ASSERT_EQ(read->damage.size(), inserted);
        EXPECT_EQ(inserted ? read->damage[0].firstLine : 0, inserted ? recordAcross + 1 : 0);
        EXPECT_EQ(read->records[recordAcross / HistoryRecordLines].line, recordAcross + 1 + inserted);
        const QString csv = temp.filePath(QStringLiteral("history.csv"));
        const auto exported = ExportChangeHistory(dir, {}, csv);
        ASSERT_TRUE(exported);
        EXPECT_EQ(fileBytes(csv), historyCsv(read->records));
    }
}

// The window trusts a history noted whole; a change notes it again with its own records only when the
// history was noted whole before it, so that an edit by hand in between is still found.
TEST(ChangeHistory, AChangeNotesTheHistoryWholeOnlyWhenItWasNotedWholeBefore)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    const HistoryQuery trusting{{}, 0, -1, CheckedNote::Trusted, {}, {}};
    ASSERT_TRUE(RecordWrite(dir, ThreeChanges, [] { return Status(); }));
    const QByteArray note = fileBytes(historyCheckedNote(dir));
    EXPECT_TRUE(note.endsWith(linesOf(dir).last().chopped(1) + "\r\n")) << note.toStdString();
    ASSERT_TRUE(RecordWrite(dir, ThreeChanges.mid(0, 1), [] { return Status(); }));
    EXPECT_NE(fileBytes(historyCheckedNote(dir)), note);
    EXPECT_FALSE(ReadChangeHistory(dir, trusting)->broken);

    QList<QByteArray> lines = linesOf(dir);
    lines[9 + 7].replace("0.1", "0.25"); // a size the note does not hold, whatever the clock's grain
    writeLines(dir, lines);
    ASSERT_TRUE(RecordWrite(dir, ThreeChanges.mid(0, 1), [] { return Status(); }));
    const auto read = ReadChangeHistory(dir, trusting);
    ASSERT_TRUE(read && read->broken);
    EXPECT_EQ(read->broken->line, 10);
}

// A record whose hash was computed apart from the program: SHA-256 over the line before (none for the
// first record), CR LF, and the record's eight lines each with CR LF.
TEST(ChangeHistory, AHashIsTheSha256OfThePreviousLineAndTheRecordWithCrLf)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    const QByteArray record = "2026/12/09 10:15:00\r\nPC1\r\nuser\r\n\x93\xfc\x97\xcd\r\n\x8eR\x93"
                              "c\r\n"
                              "202504\r\n\x81\\\r\n\x8e\xc0\x8c\xf8 0.1\r\n";
    writeBytes(dir.listFile(ChangeHistoryFile),
               record + "de6d09119469ba39510d73ddb6e1f07869065daa490c71362369e6b1368d2b82\r\n");
    const auto read = ReadChangeHistory(dir);
    ASSERT_TRUE(read && read->records.size() == 1);
    EXPECT_TRUE(read->records[0].intact);
    EXPECT_EQ(read->records[0].change,
              (Change{ChangeKind::MonthSaved, QStringLiteral("山田"), 202504, {}, QStringLiteral("実効 0.1")}));
}

// In a folder without a store none of ThreeChanges shows in the files: each change first answers the
// records at the end of the history that the files do not show with 未実施, and keeps them.
TEST(ChangeHistory, HoldsTheChangesMadeAndAnswersThoseNeverMade)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    const QString path = dir.listFile(ChangeHistoryFile);
    // Nothing made of a first change: no history is left behind.
    EXPECT_FALSE(RecordWrite(dir, ThreeChanges.mid(0, 1), [] { return Status(failure(FailureKind::CannotWrite)); }));
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_TRUE(RecordWrite(dir, ThreeChanges.mid(0, 1), [] { return Status(); }));
    // Two of three changes made: their records stay, the third's goes.
    EXPECT_FALSE(RecordChanges(dir, ThreeChanges, [](qsizetype& made) {
        made = 2;
        return Status(failure(FailureKind::SaveStoppedMidway));
    }));
    // A history whose last line ends in a lone CR (an editor): a change not made leaves it as it was, but for
    // the answers to the two records left unmade, and then byte for byte.
    const auto failedChange = [&] {
        writeBytes(path, fileBytes(path).chopped(1));
        const QByteArray endingInCr = fileBytes(path);
        EXPECT_FALSE(RecordWrite(dir, ThreeChanges.mid(2), [] { return Status(failure(FailureKind::CannotWrite)); }));
        const QByteArray after = fileBytes(path);
        return after == endingInCr                   ? 0
               : after.startsWith(endingInCr + '\n') ? after.size() - endingInCr.size()
                                                     : qsizetype(-1);
    };
    EXPECT_GT(failedChange(), 1);
    const auto answered = ReadChangeHistory(dir);
    EXPECT_TRUE(answered && answered->damage.isEmpty() && answered->records.size() == 6);
    EXPECT_TRUE(fileBytes(path).endsWith("\r\n")); // cut back exactly to the end of the answers
    EXPECT_EQ(failedChange(), 0);
    ASSERT_TRUE(RecordWrite(dir, ThreeChanges.mid(2), [] { return Status(); }));
    const auto read = ReadChangeHistory(dir);
    ASSERT_TRUE(read && read->damage.isEmpty());
    QList<ChangeKind> kinds;
    for (const ChangeRecord& record : read->records) {
        kinds << record.change.kind;
        EXPECT_TRUE(record.intact);
        // The time as written, the clock's local reading, without a zone.
        const QDateTime now = QDateTime::currentDateTime();
        EXPECT_LE(qAbs(record.time.secsTo(QDateTime(now.date(), now.time(), Qt::UTC))), 60);
    }
    const ChangeKind no = ChangeKind::NotMade;
    EXPECT_EQ(kinds, (QList<ChangeKind>{ChangeKind::Registration, no, ChangeKind::Registration, ChangeKind::MonthSaved,
                                        no, no, ChangeKind::Correction}));
    EXPECT_EQ(read->records[4].change, notMadeAnswer(read->records[2]));
    EXPECT_EQ(read->records[5].change, notMadeAnswer(read->records[3]));
}

// A cut back that fails (the history made immutable meanwhile) is told with the change's own failure.
TEST(ChangeHistory, ACutBackThatFailsIsTold)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    ASSERT_TRUE(RecordWrite(dir, ThreeChanges.mid(0, 1), [] { return Status(); }));
    std::unique_ptr<ImmutableFile> locked;
    const Status failed = RecordWrite(dir, ThreeChanges.mid(1, 1), [&] {
        locked = std::make_unique<ImmutableFile>(dir.listFile(ChangeHistoryFile));
        return Status(failure(FailureKind::CannotWrite, QStringLiteral("被曝Data/山田.dat")));
    });
    if (!locked->ok)
        GTEST_SKIP() << "this file system cannot make a file immutable";
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().file, QStringLiteral("被曝Data/山田.dat"));
    EXPECT_EQ(failed.error().notRestored, ChangeHistoryFile);
}

} // namespace
