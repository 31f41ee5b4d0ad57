#include "core/rules/DoseDistribution.h"
#include "core/changes/Exports.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "support/DataFiles.h"
#include "support/Stores.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

// The band a dose falls into, by the bounds of the table: each edge belongs to the band below it.
TEST(DoseBands, EachEdgeBelongsToTheBandBelowIt)
{
    const struct {
        const BandTable& table;
        double dose;
        const char* label;
    } rows[] = {
        {effectiveYearBands(), 0.00001, "5以下"},
        {effectiveYearBands(), 5, "5以下"},
        {effectiveYearBands(), 5.00001, "5超15以下"},
        {effectiveYearBands(), 15, "5超15以下"},
        {effectiveYearBands(), 20, "15超20以下"},
        {effectiveYearBands(), 25, "20超25以下"},
        {effectiveYearBands(), 50, "25超50以下"},
        {effectiveYearBands(), 50.001, "50超"},
        {lensYearBands(), 20, "20以下"},
        {lensYearBands(), 50, "20超50以下"},
        {lensYearBands(), 51, "50超"},
        {skinYearBands(), 50, "50以下"},
        {skinYearBands(), 150, "50超150以下"},
        {skinYearBands(), 500, "150超500以下"},
        {skinYearBands(), 500.5, "500超"},
        {womenQuarterBands(), 1, "1以下"},
        {womenQuarterBands(), 2, "1超2以下"},
        {womenQuarterBands(), 5, "2超5以下"},
        {womenQuarterBands(), 5.1, "5超"},
    };
    for (const auto& row : rows) {
        QStringList found;
        for (const DoseBand& band : row.table.bands)
            if (band.contains(ExactDose::of(row.dose)))
                found << band.label;
        EXPECT_EQ(found, QStringList{QString::fromUtf8(row.label)}) << row.table.name.toStdString() << " " << row.dose;
    }
}

MonthlyRecord month(MonthKey key, double effective, double lens = 0, double skin = 0, double internal = 0)
{
    return {key, effective, lens, skin, internal, NoComment};
}

void person(const DataDir& dir, const QString& name, double sexCode, const QString& jobType, const QString& affiliation,
            const QList<MonthlyRecord>& records)
{
    PersonalHeader header = personHeader(name);
    header.sexCode = sexCode;
    header.jobType = jobType;
    header.affiliation = affiliation;
    ASSERT_TRUE(RewritePersonalFile(dir, name, header, records));
}

// Who counts, counted by hand: 山田 (a woman, 5 in April), 鈴木 (a man, 12 + 8, lens 20, skin 50),
// 佐藤 (a woman whose only month is below detection), 田中 (removed; 25, lens 50, skin 500, no job type);
// 高橋 worked only the year before; 伊藤's file is damaged.
TEST(DoseDistribution, TheCsvCountsEveryoneAtWorkInTheYearByHand)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    makeStore(dir, {QStringLiteral("山田"), QStringLiteral("鈴木"), QStringLiteral("佐藤"), QStringLiteral("高橋"),
                    QStringLiteral("田中"), QStringLiteral("伊藤")});
    const QString radiology = QStringLiteral("放射線科");
    person(dir, QStringLiteral("山田"), 1, QStringLiteral("医師"), radiology, {month(202504, 4.5, 0, 0, 0.5)});
    person(dir, QStringLiteral("鈴木"), 0, QStringLiteral("技師"), radiology,
           {month(202507, 12, 20, 50), month(202601, 8)});
    person(dir, QStringLiteral("佐藤"), 2, QStringLiteral("医師"), QStringLiteral("看護部"), {month(202505, 0)});
    person(dir, QStringLiteral("高橋"), 0, QStringLiteral("医師"), radiology, {month(202503, 30)});
    person(dir, QStringLiteral("田中"), 0, QString(), radiology, {month(202506, 25, 50, 500)});
    writeBytes(dir.personalFile(QStringLiteral("伊藤")), " 3 \r\n");
    ASSERT_TRUE(SaveRegistrantList(dir, {QStringLiteral("山田"), QStringLiteral("鈴木"), QStringLiteral("佐藤"),
                                         QStringLiteral("高橋"), QStringLiteral("伊藤")}));
    ASSERT_TRUE(RewriteRemovedNames(dir, {QStringLiteral("田中")}));

    const QString output = temp.filePath(QStringLiteral("distribution.csv"));
    QStringList unreadable;
    ASSERT_TRUE(ExportDoseDistribution(dir, 2025, 202612, output, unreadable));
    EXPECT_EQ(unreadable, QStringList{QStringLiteral("被曝Data/伊藤.dat")});
    const QStringList women = {"1以下", "1超2以下", "2超5以下", "5超"};
    QStringList lines = {
        "\uFEFF分布,区分,人数",       "実効_年度,検出限界未満,1", "実効_年度,5以下,1",        "実効_年度,5超15以下,0",
        "実効_年度,15超20以下,1",     "実効_年度,20超25以下,1",   "実効_年度,25超50以下,0",   "実効_年度,50超,0",
        "実効_年度,合計人数,4",       "実効_年度,集団線量,50",    "実効_年度,平均,12.5",      "実効_年度,最大,25",
        "水晶体_年度,検出限界未満,2", "水晶体_年度,20以下,1",     "水晶体_年度,20超50以下,1", "水晶体_年度,50超,0",
        "皮膚_年度,50以下,3",         "皮膚_年度,50超150以下,0",  "皮膚_年度,150超500以下,1", "皮膚_年度,500超,0",
        "女性実効_Q1,1以下,1",        "女性実効_Q1,1超2以下,0",   "女性実効_Q1,2超5以下,1",   "女性実効_Q1,5超,0"};
    for (const char* quarter : {"Q2", "Q3", "Q4"})
        for (const QString& band : women)
            lines << QStringLiteral("女性実効_%1,%2,0").arg(QLatin1String(quarter), band);
    lines << "読込不可,,1";
    const auto group = [&lines](const QString& name, const QList<int>& counts) {
        const QStringList labels = {"検出限界未満", "5以下",      "5超15以下", "15超20以下",
                                    "20超25以下",   "25超50以下", "50超"};
        for (qsizetype at = 0; at < labels.size(); ++at)
            lines << QStringLiteral("実効_年度／%1,%2,%3").arg(name, labels[at]).arg(counts[at]);
        lines << QStringLiteral("実効_年度／%1,合計人数,%2")
                     .arg(name)
                     .arg(std::accumulate(counts.begin(), counts.end(), 0));
    };
    group(QStringLiteral("職種:医師"), {1, 1, 0, 0, 0, 0, 0});
    group(QStringLiteral("職種:技師"), {0, 0, 0, 1, 0, 0, 0});
    group(QStringLiteral("職種:（未記入）"), {0, 0, 0, 0, 1, 0, 0});
    group(QStringLiteral("所属:放射線科"), {0, 1, 0, 1, 1, 0, 0});
    group(QStringLiteral("所属:看護部"), {1, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(QString::fromUtf8(fileBytes(output)).split(QStringLiteral("\r\n")), lines + QStringList{QString()});
}

} // namespace
