#include "core/files/Csv.h"
#include "core/files/Cp932.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

QByteArray cp932Bytes(const QString& text)
{
    return *cp932::encode(text);
}

QByteArray utf8Bytes(const QString& text)
{
    return text.toUtf8();
}

struct ReadCase {
    const char* what;
    QByteArray bytes;
    QList<QStringList> rows;
    QList<int> lines;
};

class CsvRows : public testing::TestWithParam<ReadCase> {};

TEST_P(CsvRows, AreReadWithTheLinesTheyStartOn)
{
    const auto rows = csv::readRows(GetParam().bytes, QStringLiteral("月.csv"));
    ASSERT_TRUE(rows) << messageOf(rows.error()).toStdString();
    QList<QStringList> cells;
    QList<int> lines;
    for (const csv::Row& row : *rows) {
        cells << row.cells;
        lines << row.line;
    }
    EXPECT_EQ(cells, GetParam().rows);
    EXPECT_EQ(lines, GetParam().lines);
}

const QString Heading = QStringLiteral("氏名,実効線量");
const QStringList HeadingCells{QStringLiteral("氏名"), QStringLiteral("実効線量")};

INSTANTIATE_TEST_SUITE_P(
    Files, CsvRows,
    testing::Values(
        ReadCase{"Cp932FromExcel",
                 cp932Bytes(Heading + QStringLiteral("\r\n髙橋　①,0.5\r\n")),
                 {HeadingCells, {QStringLiteral("髙橋　①"), QStringLiteral("0.5")}},
                 {1, 2}},
        ReadCase{"Utf8WithByteOrderMark",
                 "\xEF\xBB\xBF" + utf8Bytes(Heading + QStringLiteral("\r\n山田,1\r\n")),
                 {HeadingCells, {QStringLiteral("山田"), QStringLiteral("1")}},
                 {1, 2}},
        ReadCase{"Utf8LineFeedsWithoutLastLineEnd",
                 utf8Bytes(Heading + QStringLiteral("\n山田,1\n鈴木,2")),
                 {HeadingCells,
                  {QStringLiteral("山田"), QStringLiteral("1")},
                  {QStringLiteral("鈴木"), QStringLiteral("2")}},
                 {1, 2, 3}},
        ReadCase{"QuotedCommasQuotesAndLineBreaks",
                 cp932Bytes(QStringLiteral("\"山田,太郎\",\"腕 \"\"左\"\"\"\r\n\"二\r\n行\",\"\"\r\n鈴木,x\r\n")),
                 {{QStringLiteral("山田,太郎"), QStringLiteral("腕 \"左\"")},
                  {QStringLiteral("二\n行"), QString()},
                  {QStringLiteral("鈴木"), QStringLiteral("x")}},
                 {1, 2, 4}},
        ReadCase{"CarriageReturnsAndEmptyCells", QByteArray("a,,b\r,\r"), {{"a", "", "b"}, {"", ""}}, {1, 2}},
        ReadCase{"QuoteInsideAnUnquotedCellIsAChar", QByteArray("5\"x,1\r\n"), {{"5\"x", "1"}}, {1}},
        ReadCase{"LastLineOnlyAnEmptyQuotedCell", QByteArray("a\r\n\"\""), {{"a"}, {""}}, {1, 2}},
        ReadCase{"TabsWhereTheFirstLineHasMoreTabsThanCommas",
                 QByteArray("a\tb,c\td\r\n1,5\t\"x\ty\"\t\r\n"),
                 {{"a", "b,c", "d"}, {"1,5", "x\ty", ""}},
                 {1, 2}}),
    [](const auto& row) { return std::string(row.param.what); });

struct RefusedCase {
    const char* what;
    QByteArray bytes;
    FailureKind kind;
    int line;
};

class CsvRefused : public testing::TestWithParam<RefusedCase> {};

TEST_P(CsvRefused, NamesTheLine)
{
    const auto rows = csv::readRows(GetParam().bytes, QStringLiteral("月.csv"));
    ASSERT_FALSE(rows);
    EXPECT_EQ(rows.error().kind, GetParam().kind);
    EXPECT_EQ(rows.error().line, GetParam().line);
    EXPECT_EQ(rows.error().file, QStringLiteral("月.csv"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, CsvRefused,
    testing::Values(RefusedCase{"NeitherEncoding", QByteArray("a,b\r\nc,d\r\n\x82\r\n"), FailureKind::NotText, 3},
                    RefusedCase{"UnmarkedCp932WithABadLine",
                                cp932Bytes(QStringLiteral("氏名\r\n山田\r\n")) + "\x82\r\n", FailureKind::NotText, 3},
                    RefusedCase{"Utf8ThenCp932",
                                QStringLiteral("氏\r\n山\r\n").toUtf8() + cp932Bytes(QStringLiteral("鈴木\r\n")),
                                FailureKind::NotText, 3},
                    RefusedCase{"MarkedButNotUtf8",
                                QByteArray("\xEF\xBB\xBF"
                                           "a\r\n\x8e\x52\r\n"),
                                FailureKind::NotText, 2},
                    RefusedCase{"QuoteNeverClosed", QByteArray("a\r\n\"b\r\nc\r\n"), FailureKind::Damaged, 2},
                    RefusedCase{"TextAfterAClosingQuote", QByteArray("a\r\n\"b\"c\r\n"), FailureKind::Damaged, 2}),
    [](const auto& row) { return std::string(row.param.what); });

TEST(CsvFile, ExcelFileIsUtf8WithAMarkAndReadsBackCellForCell)
{
    const QList<QStringList> rows{{QStringLiteral("氏名"), QStringLiteral("備考")},
                                  {QStringLiteral("山田,太郎"), QStringLiteral("\"左\"\n腕")},
                                  {QStringLiteral("=1+1"), QStringLiteral("+SUM(1)")},
                                  {QStringLiteral("@A1"), QStringLiteral("-0.5")},
                                  {QStringLiteral("-abc"), QStringLiteral("\tx")},
                                  {QStringLiteral("'abc"), QStringLiteral("a=b")},
                                  {QStringLiteral("5\"x"), QString()}};
    const QByteArray bytes = csv::excelFile(rows);
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" + utf8Bytes(QStringLiteral("氏名,備考\r\n\"山田,太郎\",\"\"\"左\"\"\n腕\"\r\n"
                                                               "\"'=1+1\",\"'+SUM(1)\"\r\n\"'@A1\",-0.5\r\n"
                                                               "\"'-abc\",\"'\tx\"\r\n'abc,a=b\r\n\"5\"\"x\",\r\n")));
    const auto rowsRead = csv::readRows(bytes, QString());
    ASSERT_TRUE(rowsRead);
    QList<QStringList> read;
    for (const csv::Row& row : *rowsRead)
        read << row.cells;
    EXPECT_EQ(read, rows);
}

} // namespace
