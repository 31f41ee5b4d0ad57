#include "core/changes/ServiceImport.h"
#include "core/changes/SaveAll.h"
#include "core/files/Cp932.h"
#include "core/files/ImportLayouts.h"
#include "core/files/ListFiles.h"
#include "core/rules/BadgeDoses.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"
#include "support/Stores.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QStringList Names = {QStringLiteral("山田"), QStringLiteral("鈴木"), QStringLiteral("髙橋")};
constexpr MonthKey April = 202504;

// A layout for `headings` (one line, commas) on `headingRow`, reading `columns` (1 the first).
ImportLayout layoutOf(const char* name, int headingRow, const char* headings,
                      std::initializer_list<std::pair<LayoutColumn, int>> columns)
{
    ImportLayout layout;
    layout.name = QString::fromUtf8(name);
    layout.headingRow = headingRow;
    for (const QString& heading : QString::fromUtf8(headings).split(QLatin1Char(',')))
        layout.headings << csv::compactHeading(heading);
    for (const auto& [column, at] : columns)
        layout.columns[static_cast<size_t>(column)] = at;
    layout.marks = UsualMarks;
    return layout;
}

using C = LayoutColumn;
const ImportLayout Monthly =
    layoutOf("月次", 1, "測定番号,氏名,実効線量,水晶体,皮膚,内部被曝",
             {{C::ServiceNumber, 1}, {C::Name, 2}, {C::Effective, 3}, {C::Lens, 4}, {C::Skin, 5}, {C::Internal, 6}});
const ImportLayout PerSite =
    layoutOf("部位別", 2, "氏名,胸部 Hp(10),胸部 Hp(0.07),頸部 Hp(10),頸部 Hp(0.07)",
             {{C::Name, 1}, {C::TrunkHp10, 2}, {C::TrunkHp007, 3}, {C::NeckHp10, 4}, {C::NeckHp007, 5}});
const ImportLayout Quarterly = layoutOf("四半期", 1, "年月,氏名,実効線量,水晶体,皮膚",
                                        {{C::Month, 1}, {C::Name, 2}, {C::Effective, 3}, {C::Lens, 4}, {C::Skin, 5}});
const ImportLayout ByNumber = layoutOf("番号のみ", 1, "番号,1cm線量当量,70μm線量当量",
                                       {{C::ServiceNumber, 1}, {C::TrunkHp10, 2}, {C::TrunkHp007, 3}});

QByteArray cp932(const char* text)
{
    return *cp932::encode(QString::fromUtf8(text));
}

const QList<Dosimeter> Numbered = {{QStringLiteral("山田"), QStringLiteral("N-1"), OneBadge},
                                   {QStringLiteral("鈴木"), QStringLiteral("N-2"), OneBadge},
                                   {QStringLiteral("髙橋"), QStringLiteral("N-3"), OneBadge}};

struct LayoutCase {
    const char* what;
    ImportLayout layout;
    QByteArray file;
    QList<Dosimeter> known;
    std::vector<PendingEntry> typed; // what typing the same doses in the entry window confirms
};

class ServiceFiles : public testing::TestWithParam<LayoutCase> {
protected:
    QString write(const QByteArray& bytes) const
    {
        const QString path = QDir(temp.path()).filePath(QStringLiteral("報告.csv"));
        writeBytes(path, bytes);
        return path;
    }
    QTemporaryDir temp;
    DataDir imported{temp.filePath(QStringLiteral("取込"))};
    DataDir typed{temp.filePath(QStringLiteral("入力"))};
};

PendingEntry doses(double effective, double lens, double skin, double internal = 0)
{
    return {effective, lens, skin, internal, NoComment, true};
}

// Each file, read through its saved layout as the command line does, leaves every personal file as typing
// the same doses does.
TEST_P(ServiceFiles, GiveThePersonalFilesTypingTheSameDosesGives)
{
    QDir().mkpath(imported.root());
    QDir().mkpath(typed.root());
    makeStore(imported, Names);
    makeStore(typed, Names);
    ASSERT_TRUE(WriteImportLayouts(imported, {GetParam().layout}));
    ASSERT_TRUE(WriteDosimeters(imported, GetParam().known));
    const auto saved = SaveMonthFromCsv(imported, April, write(GetParam().file), false, {}, GetParam().layout.name);
    ASSERT_TRUE(saved) << messageOf(saved.error()).toStdString();
    ASSERT_TRUE(SaveMonthForAll(typed, RegistrantList{Names}, GetParam().typed, April));
    for (const QString& name : Names)
        EXPECT_EQ(fileBytes(imported.personalFile(name)), fileBytes(typed.personalFile(name))) << name.toStdString();
    EXPECT_EQ(fileBytes(imported.listFile(EnteredMonthsFile)), fileBytes(typed.listFile(EnteredMonthsFile)));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ServiceFiles,
    testing::Values(
        LayoutCase{"MonthlyWithComputedDoses",
                   Monthly,
                   ("測定番号,氏名,実効線量,水晶体,皮膚,内部被曝\n"
                    "A-1,山田,0.3,0.5,0.6,\nA-2,鈴木,X,x,0.2,\nA-3,髙橋,1.2,1.5,1.5,0.01\n"),
                   {},
                   {doses(0.3, 0.5, 0.6), doses(0, 0, 0.2), doses(1.2, 1.5, 1.5, 0.01)}},
        LayoutCase{"PerSiteReadingsWithMarksBelowATitleRow",
                   PerSite,
                   cp932("個人線量報告書 2025年4月分\r\n氏名,胸部 Hp(10),胸部 Hp(0.07),頸部 Hp(10),頸部 Hp(0.07)\r\n"
                         "山田,0.1,0.2,,\r\n鈴木,0.1,0.1,1.0,1.2\r\n髙橋,X,ND,,\r\n"),
                   {},
                   {doses(0.1, 0.2, 0.2), doses(0.2, 1.2, 1.2), doses(0, 0, 0)}},
        LayoutCase{"QuarterlyWithAMonthColumnTabsAndAByteOrderMark",
                   Quarterly,
                   "\xEF\xBB\xBF" + QByteArray("年月\t氏名\t実効線量\t水晶体\t皮膚\r\n"
                                               "2025/04\t山田\t0.3\t0.3\t0.3\r\n2025/05\t山田\t9\t9\t9\r\n"
                                               "2025年4月\t鈴木\t―\t―\t―\r\n2025/06\t鈴木\t1\t1\t1\r\n"
                                               "202504\t髙橋\t0.05\t0.05\t0.05\r\n"),
                   {},
                   {doses(0.3, 0.3, 0.3), doses(0, 0, 0), doses(0.05, 0.05, 0.05)}},
        LayoutCase{"IdentifiedByTheServicesNumberOnly",
                   ByNumber,
                   cp932("番号,1cm線量当量,70μm線量当量\r\nN-3,0.4,0.6\r\nN-1,X,0.1\r\nN-2,0.2,-\r\n"),
                   Numbered,
                   {doses(0, 0.1, 0.1), doses(0.2, 0.2, 0), doses(0.4, 0.6, 0.6)}}),
    [](const auto& row) { return std::string(row.param.what); });

// Figures of the badges' formulas at their rounding edges, by hand: 0.11 × neck + 0.89 × trunk.
struct FormulaCase {
    const char* what;
    std::array<const char*, Sites> readings; // trunk Hp(10), Hp(0.07), neck Hp(10), Hp(0.07), eye Hp(3), ring
    int wearing;
    const char* effective;
    const char* lens;
    const char* skin;
};

class BadgeFormulas : public testing::TestWithParam<FormulaCase> {};

TEST_P(BadgeFormulas, GiveTheFiguresComputedByHand)
{
    SiteReadings readings;
    for (int s = 0; s < Sites; ++s)
        if (const QString text = QString::fromUtf8(GetParam().readings[static_cast<size_t>(s)]); !text.isEmpty()) {
            const qsizetype point = text.indexOf(QLatin1Char('.'));
            readings[static_cast<size_t>(s)] =
                Reading{ExactDose::of(text.toDouble()), point < 0 ? 0 : static_cast<int>(text.size() - point - 1)};
        }
    const ComputedDoses computed = computedDoses(readings, GetParam().wearing);
    const auto text = [](const std::optional<Reading>& dose) { return dose ? dose->dose.text() : QStringLiteral("-"); };
    EXPECT_EQ(text(computed.effective), QString::fromUtf8(GetParam().effective));
    EXPECT_EQ(text(computed.lens), QString::fromUtf8(GetParam().lens));
    EXPECT_EQ(text(computed.skin), QString::fromUtf8(GetParam().skin));
}

INSTANTIATE_TEST_SUITE_P(
    Readings, BadgeFormulas,
    testing::Values(
        FormulaCase{"OneBadgeIsItsReadings", {"0.3", "0.5", "9", "9", "", "9"}, OneBadge, "0.3", "0.5", "0.5"},
        FormulaCase{"ApronTo0Point1", {"0.1", "0.1", "1.0", "1.2", "", ""}, NeckBadge, "0.2", "1.2", "1.2"},
        FormulaCase{"ApronBelowHalfRoundsDown", {"0.1", "0.1", "0.3", "0.3", "", ""}, NeckBadge, "0.1", "0.3", "0.3"},
        FormulaCase{"ApronExactlyHalfRoundsUp", {"0.01", "0", "0.51", "0", "", ""}, NeckBadge, "0.07", "0.51", "0"},
        FormulaCase{"ApronToTheFinerPlace", {"0.1", "0", "0.35", "0", "", ""}, NeckBadge, "0.13", "0.35", "0"},
        FormulaCase{
            "EyeDosimeterBelowNeck", {"0.1", "0.1", "2", "2", "0.4", ""}, NeckBadge | EyeDosimeter, "0.3", "0.4", "2"},
        FormulaCase{"EyeDosimeterMarkIsZero", {"0.1", "0.1", "", "", "0", ""}, EyeDosimeter, "0.1", "0", "0.1"},
        FormulaCase{"RingRaisesTheSkin", {"0.1", "0.2", "", "", "", "5.5"}, Ring, "0.1", "0.2", "5.5"},
        FormulaCase{"NoTrunkHp10NoEffectiveDose", {"", "0.2", "", "", "", ""}, OneBadge, "-", "0.2", "0.2"}),
    [](const auto& row) { return std::string(row.param.what); });

class ServiceImportFile : public testing::Test {
protected:
    void SetUp() override { makeStore(dir, Names); }
    Result<ServiceImport> read(const ImportLayout& layout, const QByteArray& bytes, const QList<Dosimeter>& known = {})
    {
        return ReadServiceImport(dir, RegistrantList{Names}, bytes, QStringLiteral("報告.csv"), layout, April, known);
    }
    QTemporaryDir temp;
    DataDir dir{temp.path()};
    QString path = temp.filePath(QStringLiteral("報告.csv"));
};

// The review counts the marks, names a mark where the internal dose has no such meaning, and every person
// whose service dose and computed dose differ by more than the last digit given; the computed may be taken.
TEST_F(ServiceImportFile, ReviewCountsMarksAndNamesDoubtsAndDifferences)
{
    const ImportLayout both = layoutOf(
        "両方", 1, "氏名,実効線量,皮膚,内部被曝,胸部,頸部",
        {{C::Name, 1}, {C::Effective, 2}, {C::Skin, 3}, {C::Internal, 4}, {C::TrunkHp10, 5}, {C::NeckHp10, 6}});
    auto import = read(both, "氏名,実効線量,皮膚,内部被曝,胸部,頸部\n山田,0.3,0.3,X,0.3,\n"
                             "鈴木,0.5,0.5,,0.1,1.0\n髙橋,0.3,0.3,,0.2,0.5\n");
    ASSERT_TRUE(import) << messageOf(import.error()).toStdString();
    EXPECT_EQ(import->marks, 3);
    EXPECT_EQ(import->marksInInternal, QStringList{QStringLiteral("山田：「X」")});
    EXPECT_EQ(import->differing, QStringList{QStringLiteral("鈴木：実効線量 0.5／計算 0.2")});
    EXPECT_EQ(import->wearings,
              (QStringList{QStringLiteral("鈴木：2個（防護衣）"), QStringLiteral("髙橋：2個（防護衣）")}));
    EXPECT_TRUE(import->hasDoubts());
    const QString review = serviceImportReport(*import, Names.size(), April);
    EXPECT_TRUE(review.contains(QStringLiteral("検出限界未満の記号・空欄：3件"))) << review.toStdString();
    EXPECT_TRUE(review.contains(QStringLiteral("測定サービスの線量と部位別の値からの計算が合わない人：1名\n鈴木")));
    EXPECT_DOUBLE_EQ(import->month.values[1]->effective, 0.5);
    takeComputed(*import);
    EXPECT_DOUBLE_EQ(import->month.values[1]->effective, 0.2);
    EXPECT_DOUBLE_EQ(import->month.values[2]->effective, 0.3);
}

// Numbers read beside names are kept per person, with the wearing the file shows, and find the persons in a
// file of numbers only; a number that belongs to another person than the row's name is a doubt.
TEST_F(ServiceImportFile, NumbersLearnedBesideNamesFindThePersonsLater)
{
    auto first = read(PerSite, cp932("表題\r\n氏名,胸部 Hp(10),胸部 Hp(0.07),頸部 Hp(10),頸部 Hp(0.07)\r\n"
                                     "山田,0.1,0.1,X,X\r\n"));
    ASSERT_TRUE(first) << messageOf(first.error()).toStdString();
    EXPECT_EQ(first->dosimeters, (QList<Dosimeter>{{QStringLiteral("山田"), {}, NeckBadge}}));
    EXPECT_EQ(first->newNumbers, QStringList{QStringLiteral("山田：番号 ―、2個（防護衣）")});

    auto numbered = read(Monthly, "測定番号,氏名,実効線量,水晶体,皮膚,内部被曝\nA-9,山田,1,1,1,\nA-8,鈴木,1,1,1,\n",
                         first->dosimeters);
    ASSERT_TRUE(numbered);
    EXPECT_EQ(numbered->dosimeters[0].serviceNumber, QStringLiteral("A-9"));
    EXPECT_EQ(numbered->dosimeters[0].wearing, NeckBadge);
    EXPECT_EQ(numbered->newNumbers,
              (QStringList{QStringLiteral("山田：番号 A-9（これまで ―）"), QStringLiteral("鈴木：番号 A-8、1個")}));

    const auto later = read(Monthly, "測定番号,氏名,実効線量,水晶体,皮膚,内部被曝\nA-8,,2,2,2,\nA-9,髙橋,3,3,3,\n",
                            numbered->dosimeters);
    ASSERT_TRUE(later);
    EXPECT_DOUBLE_EQ(later->month.values[1]->effective, 2);
    EXPECT_DOUBLE_EQ(later->month.values[0]->effective, 3);
    EXPECT_EQ(later->otherName, QStringList{QStringLiteral("3行目（番号 A-9　髙橋）：番号 A-9 は 山田 です")});

    // The neck badge given back: its empty cells are no badge, and the trunk's reading is the effective dose.
    const auto oneBadge =
        read(PerSite, cp932("表題\r\n氏名,胸部 Hp(10),胸部 Hp(0.07),頸部 Hp(10),頸部 Hp(0.07)\r\n山田,0.3,0.3,,\r\n"),
             later->dosimeters);
    ASSERT_TRUE(oneBadge);
    EXPECT_EQ(oneBadge->newNumbers, QStringList{QStringLiteral("山田：装着 1個（これまで 2個（防護衣））")});
    EXPECT_DOUBLE_EQ(oneBadge->month.values[0]->effective, 0.3);
    EXPECT_EQ(oneBadge->marks, 0);
}

// What the window and the import write is read back as it was; a damaged line is named where it stands.
// A file no layout was made for: its name without the month, the badges' readings by site and depth, the
// service's own doses by their words, each column once.
TEST(ProposedLayout, NamesTheReadingsBySiteAndDepthAndTheLayoutWithoutItsMonth)
{
    const QStringList headings{QStringLiteral("番号"),
                               QStringLiteral("氏名"),
                               QStringLiteral("実効線量"),
                               QStringLiteral("眼の水晶体の等価線量"),
                               QStringLiteral("胸部 Hp(10)"),
                               QStringLiteral("胸部 Hp(0.07)"),
                               QStringLiteral("頸部１cm線量当量"),
                               QStringLiteral("頸部７０μｍ線量当量"),
                               QStringLiteral("水晶体 Ｈｐ（３）"),
                               QStringLiteral("リング"),
                               QStringLiteral("腹部 Hp(10)")};
    const ImportLayout layout =
        proposedLayout({{QStringLiteral("個人線量報告書")}, headings}, QStringLiteral("個人線量報告書_2025年4月分"));
    EXPECT_EQ(layout.name, QStringLiteral("個人線量報告書"));
    EXPECT_EQ(layout.headingRow, 2);
    EXPECT_EQ(layout.columns, (std::array<int, LayoutColumns>{2, 1, 0, 3, 4, 0, 0, 5, 6, 7, 8, 9, 10}));
    for (const auto& [file, name] :
         {std::pair{"A社 2026年04月", "A社"}, std::pair{"202604_線量", "線量"}, std::pair{"2026", "2026"},
          std::pair{"報告", "報告"}, std::pair{"第3号_B社_令和8年度", "B社"}})
        EXPECT_EQ(proposedLayout({}, QString::fromUtf8(file)).name, QString::fromUtf8(name)) << file;
}

TEST_F(ServiceImportFile, LayoutsAndDosimetersReadBackAndADamagedLineIsNamed)
{
    // Headings of a UTF-8 file with characters code page 932 lacks or holds in another form are kept all the same.
    const QStringList utf8Headings{QStringLiteral("氏名"), QStringLiteral("70µm線量当量"), QStringLiteral("1〜3月")};
    ImportLayout utf8 = PerSite;
    utf8.name = QStringLiteral("UTF-8");
    utf8.headingRow = 1;
    utf8.headings = layoutHeadings(utf8Headings);
    utf8.columns = {1, 0, 0, 0, 0, 0, 0, 2, 3, 0, 0, 0, 0};
    const QList<ImportLayout> layouts{Monthly, PerSite, Quarterly, ByNumber, utf8};
    ASSERT_TRUE(WriteImportLayouts(dir, layouts));
    EXPECT_EQ(*ReadImportLayouts(dir), layouts);
    EXPECT_EQ(layoutFor(*ReadImportLayouts(dir), {utf8Headings}).value_or(ImportLayout{}).name,
              QStringLiteral("UTF-8"));
    ASSERT_TRUE(WriteDosimeters(dir, Numbered + QList<Dosimeter>{{QStringLiteral("田中"), {}, AllWearing}}));
    EXPECT_EQ(ReadDosimeters(dir)->value(3), (Dosimeter{QStringLiteral("田中"), {}, AllWearing}));
    // At their bounds both are read back; one more is refused.
    QList<Dosimeter> dosimeters(MostDosimeters, Numbered[0]);
    ASSERT_TRUE(WriteDosimeters(dir, dosimeters));
    EXPECT_EQ(ReadDosimeters(dir)->size(), MostDosimeters);
    EXPECT_EQ(WriteDosimeters(dir, dosimeters << Numbered[1]).error().kind, FailureKind::ListFull);
    QList<ImportLayout> most(MostLayouts, Monthly);
    ASSERT_TRUE(WriteImportLayouts(dir, most));
    EXPECT_EQ(ReadImportLayouts(dir)->size(), MostLayouts);
    EXPECT_EQ(WriteImportLayouts(dir, most << PerSite).error().kind, FailureKind::ListFull);
    ASSERT_TRUE(WriteImportLayouts(dir, layouts));

    writeBytes(dir.listFile(DosimetersFile), cp932(" 1 \r\n山田\r\nN-1\r\n 8 \r\n"));
    EXPECT_EQ(messageOf(ReadDosimeters(dir).error()),
              QStringLiteral("ファイル「線量計.txt」の内容が正しくありません（4行目：線量計の装着は0から7の数です）"));
    QByteArray bytes = fileBytes(dir.listFile(ImportLayoutsFile));
    bytes.replace("\r\n 6 \r\n", "\r\n 60 \r\n"); // 月次's 内部被曝 beyond its six headings
    writeBytes(dir.listFile(ImportLayoutsFile), bytes);
    EXPECT_EQ(
        messageOf(ReadImportLayouts(dir).error()),
        QStringLiteral(
            "ファイル「取込レイアウト.txt」の内容が正しくありません（5行目：この取込レイアウトでは線量を読めません）"));
}

struct RefusedFile {
    const char* what;
    ImportLayout layout;
    QByteArray file;
    const char* message;
};

class ServiceFilesRefused : public ServiceImportFile, public testing::WithParamInterface<RefusedFile> {};

// Each file is refused with the row and column at fault, and nothing is stored.
TEST_P(ServiceFilesRefused, NameTheRowAndColumnAndStoreNothing)
{
    ASSERT_TRUE(WriteImportLayouts(dir, {Monthly, Quarterly}));
    writeBytes(path, GetParam().file);
    const auto before = snapshot(temp.path());
    const auto refused = SaveMonthFromCsv(dir, April, path, false, {}, GetParam().layout.name);
    ASSERT_FALSE(refused);
    EXPECT_EQ(messageOf(refused.error()).toStdString(), GetParam().message);
    EXPECT_EQ(snapshot(temp.path()), before);
}

const QByteArray MonthlyHeadings = "測定番号,氏名,実効線量,水晶体,皮膚,内部被曝\r\n";

INSTANTIATE_TEST_SUITE_P(
    Files, ServiceFilesRefused,
    testing::Values(
        RefusedFile{"AnotherEncoding", Monthly, QByteArray("\xFF\xFE\x30\x00\x0D\x00", 6),
                    "ファイル「報告.csv」の1行目の文字を読めません。Shift_JIS（CP932）またはUTF-"
                    "8で保存したCSVファイルを選んで下さい"},
        RefusedFile{"RaggedRow", Monthly, MonthlyHeadings + "A-1,山田,1,1,1,\r\nA-2,鈴木,1,1\r\n",
                    "ファイル「報告.csv」の3行目、D列で終わっています（見出しはF列まで）。何も取り込んでいません。"},
        RefusedFile{"HeadingsOfAnotherLayout", Monthly, "測定番号,氏名,実効,水晶体,皮膚,内部被曝\r\n",
                    "ファイル「報告.csv」の1行目、C列の見出しが取込レイアウト「月次」の「実効線量」ではありません。"
                    "何も取り込んでいません。"},
        RefusedFile{"AHeadingBeyondTheLayouts", Monthly, "測定番号,氏名,実効線量,水晶体,皮膚,内部被曝,備考\r\n",
                    "ファイル「報告.csv」の1行目、G列に取込レイアウト「月次」にない見出し「備考」があります。"
                    "何も取り込んでいません。"},
        RefusedFile{"TextInADoseColumn", Monthly, MonthlyHeadings + "A-1,山田,0.1mSv,1,1,\r\n",
                    "ファイル「報告.csv」の2行目、C列（実効線量）「0.1mSv」は線量の数でも検出限界未満の記号でもありませ"
                    "ん。何も取り込んでいません。"},
        // Read a row at a time: the first fault is named, not a quote never closed after it.
        RefusedFile{"APersonTwice", Monthly, MonthlyHeadings + "A-1,山田,1,1,1,\r\nA-2,山田,1,1,1,\r\n\"A-3,鈴木\r\n",
                    "ファイル「報告.csv」の3行目、B列（氏名）山田さんは2行目にもあります。何も取り込んでいません。"},
        RefusedFile{"NoMonth", Quarterly, "年月,氏名,実効線量,水晶体,皮膚\r\n四月,山田,1,1,1\r\n",
                    "ファイル「報告.csv」の2行目、A列（年月）「四月」は年月ではありません。何も取り込んでいません。"},
        RefusedFile{"AnUnknownLayout", layoutOf("別", 1, "", {}), MonthlyHeadings,
                    "取込レイアウト「別」はありません。保存されたレイアウト：月次、四半期"}),
    [](const auto& row) { return std::string(row.param.what); });

} // namespace
