#include "core/files/DoseAdditions.h"
#include "core/files/Cp932.h"
#include "core/files/Examinations.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

QByteArray toCp932(const QString& text)
{
    return *cp932::encode(text);
}

const QList<OtherFacilityDose> Doses = {
    {QStringLiteral("山田"), QStringLiteral("第二病院"), 202505, 202505, 0.25, 1, 0, 0.001, NoComment},
    {QStringLiteral("鈴木"), QStringLiteral("Ａクリニック"), 202601, 202603, 12, 0, 3.5, 0, QStringLiteral("四半期分")},
};
const QList<Declaration> Declarations = {
    {QStringLiteral("鈴木"), DeclarationKind::Pregnancy, 20250610, 0, NoComment},
    {QStringLiteral("山田"), DeclarationKind::DesignatedDoctor, 20210401, 20260331, QStringLiteral("院長指定")},
};

TEST(DoseAdditions, AreStoredOneValuePerLineInCodePage932AndReadBack)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    EXPECT_TRUE(ReadDoseAdditions(dir)->isEmpty()); // no file yet: nothing entered
    ASSERT_TRUE(WriteOtherFacilityDoses(dir, Doses));
    ASSERT_TRUE(WriteDeclarations(dir, Declarations));
    EXPECT_EQ(
        fileBytes(dir.listFile(OtherFacilityDosesFile)),
        toCp932(QStringLiteral(" 2 \r\n山田\r\n第二病院\r\n 202505 \r\n 202505 \r\n 0.25 \r\n 1 \r\n 0 \r\n 0.001 "
                               "\r\n―\r\n鈴木\r\nＡクリニック\r\n 202601 \r\n 202603 \r\n 12 \r\n 0 \r\n 3.5 \r\n 0 "
                               "\r\n四半期分\r\n")));
    EXPECT_EQ(fileBytes(dir.listFile(DeclarationsFile)),
              toCp932(QStringLiteral(" 2 \r\n鈴木\r\n 1 \r\n 20250610 \r\n 0 \r\n―\r\n山田\r\n 4 \r\n 20210401 \r\n "
                                     "20260331 \r\n院長指定\r\n")));
    const auto read = ReadDoseAdditions(dir);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->value(QStringLiteral("山田")).otherDoses, Doses.first(1));
    EXPECT_EQ(read->value(QStringLiteral("鈴木")).declarations, Declarations.first(1));
    EXPECT_EQ(*ReadOtherFacilityDoses(dir), Doses);
    EXPECT_EQ(*ReadDeclarations(dir), Declarations);
}

// A list at its most entries is written and read back; one entry more, or a file larger than its reader
// takes, is refused with the file as it was.
TEST(DoseAdditions, AListAtItsBoundIsReadBackAndNoMoreIsWritten)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    QList<OtherFacilityDose> doses(MostOtherDoses, Doses[1]);
    ASSERT_TRUE(WriteOtherFacilityDoses(dir, doses));
    EXPECT_EQ(ReadOtherFacilityDoses(dir), doses);
    const QByteArray written = fileBytes(dir.listFile(OtherFacilityDosesFile));
    doses << Doses[0];
    EXPECT_EQ(messageOf(WriteOtherFacilityDoses(dir, doses).error()),
              QStringLiteral("「他施設線量.txt」に保存できるのは200,000件（64MB）までのため、保存していません。"
                             "誤って加えた記録を削除するか、取り込むファイルを確認して下さい"));
    QList<Declaration> declarations(MostDeclarations, Declarations[0]);
    ASSERT_TRUE(WriteDeclarations(dir, declarations));
    EXPECT_EQ(ReadDeclarations(dir)->size(), MostDeclarations);
    declarations << Declarations[1];
    EXPECT_EQ(WriteDeclarations(dir, declarations).error().kind, FailureKind::ListFull);
    QList<Examination> examinations(MostExaminations, {QStringLiteral("山田"), 20260105});
    ASSERT_TRUE(WriteExaminations(dir, examinations));
    EXPECT_EQ(ReadExaminations(dir), examinations);
    examinations.append({QStringLiteral("山田"), 20260106});
    EXPECT_EQ(WriteExaminations(dir, examinations).error().kind, FailureKind::ListFull);
    OtherFacilityDose longNote = Doses[0];
    longNote.note = QString(14 << 20, QLatin1Char('A'));
    EXPECT_EQ(WriteOtherFacilityDoses(dir, QList<OtherFacilityDose>(5, longNote)).error().kind, FailureKind::ListFull);
    EXPECT_EQ(fileBytes(dir.listFile(OtherFacilityDosesFile)), written);
}

struct Damage {
    const char* name;
    const char* file; // 'o' other facility doses, 'd' declarations
    QString content;
    int line;
    QString what; // what is wrong with the line
};

void PrintTo(const Damage& row, std::ostream* out)
{
    *out << row.name;
}

class DamagedAdditions : public testing::TestWithParam<Damage> {};

TEST_P(DamagedAdditions, AreRefusedNamingTheLine)
{
    const Damage& row = GetParam();
    const QByteArray bytes = toCp932(row.content);
    const Failure failed = *row.file == 'o' ? parseOtherFacilityDoses(bytes).error() : parseDeclarations(bytes).error();
    EXPECT_EQ(failed.kind, FailureKind::Damaged);
    EXPECT_EQ(failed.line, row.line);
    EXPECT_EQ(entryFaultText(failed.entryFault), row.what);
}

const QString Count = QStringLiteral("件数が行数と合いません");
const QString NotANumber = QStringLiteral("数値ではありません");
const QString BadMonth = QStringLiteral("年月は1950年～2100年の1～12月で入力して下さい");
const QString Negative = QStringLiteral("線量は0以上の数値で入力して下さい");
const QString OneDose = QStringLiteral("山田\r\n病院\r\n 202505 \r\n 202505 \r\n 1 \r\n 0 \r\n 0 \r\n 0 \r\n―\r\n");

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedAdditions,
    testing::Values(
        Damage{"CountOverTheRecords", "o", " 2 \r\n" + OneDose, 1, Count},
        Damage{"LinesBeyondTheCount", "o", " 0 \r\n" + OneDose, 1, Count},
        Damage{"CutInARecord", "o", " 1 \r\n" + OneDose.left(20), 1, Count},
        Damage{"MonthNotANumber", "o", QString(" 1 \r\n" + OneDose).replace(" 202505 \r\n 1", "x\r\n 1"), 5,
               NotANumber},
        Damage{"TwoBadLinesNameTheFirst", "o",
               QString(" 1 \r\n" + OneDose).replace(" 202505 \r\n 1 \r\n 0", "x\r\nM\r\n 0"), 5, NotANumber},
        Damage{"DoseNotANumber", "o", QString(" 1 \r\n" + OneDose).replace(" 1 \r\n 0", "M\r\n 0"), 6, NotANumber},
        Damage{"Month13", "o", QString(" 1 \r\n" + OneDose).replace(" 202505 \r\n 1", " 202513 \r\n 1"), 5, BadMonth},
        Damage{"NegativeDose", "o", QString(" 1 \r\n" + OneDose).replace(" 1 \r\n 0", "-1 \r\n 0"), 6, Negative},
        Damage{"UnknownKind", "d", " 1 \r\n鈴木\r\n 5 \r\n 20250610 \r\n 0 \r\n―\r\n", 3, "種別は1～4です"},
        Damage{"NoSuchDay", "d", " 1 \r\n鈴木\r\n 1 \r\n 20250631 \r\n 0 \r\n―\r\n", 4,
               "開始日は年・月・日の正しい日付で入力して下さい"},
        Damage{"EndBeforeStart", "d", " 1 \r\n鈴木\r\n 1 \r\n 20250610 \r\n 20250609 \r\n―\r\n", 5,
               "終了日は開始日以後の正しい日付で入力するか、空欄にして下さい"},
        Damage{"BareLineFeed", "d", " 1 \n鈴木\r\n 1 \r\n 20250610 \r\n 0 \r\n―\r\n", 1, {}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(DoseAdditions, EntriesThatCannotBeStoredAreNamed)
{
    OtherFacilityDose dose = Doses[0];
    EXPECT_EQ(otherDoseProblem(dose), std::nullopt);
    dose.to = 202604; // into the next fiscal year
    EXPECT_NE(otherDoseProblem(dose), std::nullopt);
    dose.to = 202504; // before its start
    EXPECT_NE(otherDoseProblem(dose), std::nullopt);
    dose = Doses[0];
    dose.facility = QStringLiteral("  ");
    EXPECT_NE(otherDoseProblem(dose), std::nullopt);
    Declaration open = Declarations[0];
    EXPECT_EQ(declarationProblem(open), std::nullopt);
    open.from = 20250229; // not a leap year
    EXPECT_NE(declarationProblem(open), std::nullopt);
    open.from = 20240229;
    EXPECT_EQ(declarationProblem(open), std::nullopt);
}

} // namespace
