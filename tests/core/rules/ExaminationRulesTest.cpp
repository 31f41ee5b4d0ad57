#include "core/rules/ExaminationRules.h"
#include "core/files/Examinations.h"
#include "core/files/PersonalFile.h"
#include "core/files/StoreCheck.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"
#include "support/Stores.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

Examination periodic(const QString& name, qint64 day)
{
    return {name, day, ExaminationKind::Periodic};
}

// Each person's due day, the overdue first, and the report's counts: every band edge of the form, a year of
// zeros and one without records below detection, the doses elsewhere of the calendar year counted in, the
// fiscal year's January–March of the year before left out.
TEST(ExaminationRules, DueDaysOverdueOrderAndTheReportsBandsAtEachEdge)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    struct Person {
        const char16_t* name;
        qint64 lastExam;              // 0: none
        double effective, lens, skin; // of calendar 2025, in January 2025 (of the fiscal year 2024)
        int effectiveBand, lensBand, skinBand;
    };
    const Person persons[] = {
        {u"零", 20260110, 0, 0, 0, 0, 0, 0},    // a year of zeros
        {u"無", 20260301, -1, -1, -1, 0, 0, 0}, // no record in 2025
        {u"五", 20260120, 5, 20, 50, 1, 1, 1},  // each at the first edge: 以下
        {u"超", 20260220, 5.001, 20.001, 50.001, 2, 2, 2},
        {u"十五", 20250601, 15, 50, 150, 2, 2, 2}, // not examined in the half year
        {u"上", 20260415, 15.5, 50.5, 150.5, 3, 3, 3},
        {u"限", 20260630, 50, 0.1, 500, 3, 1, 3},
        {u"大", 20260105, 50.1, 0, 500.1, 4, 0, 4},
        {u"未", 0, 1, 1, 1, 0, 0, 0},
    };
    QStringList names;
    for (const Person& p : persons)
        names << QString::fromUtf16(p.name);
    makeStore(dir, names);
    QList<Examination> examinations;
    for (const Person& p : persons) {
        const QString name = QString::fromUtf16(p.name);
        if (p.effective >= 0) {
            ASSERT_TRUE(AppendMonthlyRecord(dir, name, {202501, p.effective, p.lens, p.skin, 0, NoComment}));
        }
        // January 2025 belongs to the fiscal year 2024 and to the calendar year 2025; March 2026 to neither.
        ASSERT_TRUE(AppendMonthlyRecord(dir, name, {202603, 9, 9, 9, 0, NoComment}));
        if (p.lastExam)
            examinations << periodic(name, p.lastExam);
    }
    // Doses elsewhere in December 2025 count in 2025; the person 零 got 0 there as well.
    ASSERT_TRUE(WriteOtherFacilityDoses(dir, {{names[0], QStringLiteral("A病院"), 202512, 202512, 0, 0, 0, 0}}));
    examinations[2].items = {ItemResult::NoFindings, ItemResult::Findings, ItemResult::LeftOut, ItemResult::Findings,
                             ItemResult::LeftOut};
    examinations[3].instructed = true;
    examinations << periodic(names[0], 20250710); // an earlier examination of 零 does not count in the half year
    // Nor one at hiring, which the schedule counts from.
    examinations.append({names[4], 20260201, ExaminationKind::Hiring});
    ASSERT_TRUE(WriteExaminations(dir, examinations));

    // Due six months on; the last day of a shorter month where the day does not exist.
    EXPECT_EQ(nextExaminationDue(periodic(names[0], 20250831)), QDate(2026, 2, 28));
    const auto schedule = examinationSchedule(names, *ReadExaminations(dir), QDate(2026, 7, 31));
    QStringList order;
    for (const ExaminationStanding& s : schedule)
        order << s.name + (s.overdue ? QStringLiteral("!") : QString());
    EXPECT_EQ(order.join(u' '), QStringLiteral("大! 零! 五! 未! 十五 超 無 上 限"));
    EXPECT_EQ(overdueCount(schedule).overdue, 3);
    EXPECT_EQ(overdueCount(schedule).neverExamined, 1);
    // Due on its day, overdue the day after.
    EXPECT_FALSE(examinationSchedule({names[2]}, *ReadExaminations(dir), QDate(2026, 7, 20)).first().overdue);
    EXPECT_TRUE(examinationSchedule({names[2]}, *ReadExaminations(dir), QDate(2026, 7, 21)).first().overdue);

    const auto report = examinationReport(dir, *halfYearOf(QStringLiteral("2026-1")));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->examined, 7);
    std::array<int, 5> effective{}, skin{};
    std::array<int, 4> lens{};
    for (const Person& p : persons)
        if (p.lastExam >= 20260101) {
            ++effective[static_cast<size_t>(p.effectiveBand)];
            ++lens[static_cast<size_t>(p.lensBand)];
            ++skin[static_cast<size_t>(p.skinBand)];
        }
    EXPECT_EQ(report->effective, effective);
    EXPECT_EQ(report->lens, lens);
    EXPECT_EQ(report->skin, skin);
    EXPECT_EQ(report->withoutRecord, QStringList{names[1]});
    EXPECT_EQ(report->done, (std::array<int, 5>{7, 7, 6, 7, 6}));
    EXPECT_EQ(report->findings, (std::array<int, 5>{0, 1, 0, 1, 0}));
    EXPECT_EQ(report->withFindings, 1);
    EXPECT_EQ(report->instructed, 1);

    // An examination of someone neither registered nor removed is named at its line of 健康診断.txt, by the
    // report as by --verify.
    examinations.insert(1, periodic(QStringLiteral("佐藤"), 20260110));
    ASSERT_TRUE(WriteExaminations(dir, examinations));
    const auto nobody = examinationReport(dir, *halfYearOf(QStringLiteral("2026-1")));
    ASSERT_FALSE(nobody);
    EXPECT_EQ(messageOf(nobody.error()), messageOf(VerifyStore(dir).faults.value(0)));
    EXPECT_EQ(nobody.error().line, 11);
    EXPECT_EQ(nobody.error().entryFault, EntryFault::NotAPerson);
    examinations.removeAt(1);
    ASSERT_TRUE(WriteExaminations(dir, examinations));

    // The doctor's sheet of 五 on 2026-07-20: the months since January's examination, the last year's dose and
    // this year's so far (doses elsewhere included).
    const auto sheet = doctorSheet(dir, names[2], *ReadExaminations(dir), {}, QDate(2026, 7, 20));
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->months.size(), 7);
    EXPECT_EQ(sheet->months.first().first, 202601);
    EXPECT_EQ(sheet->lastYear.effective, ExactDose::whole(5));
    EXPECT_EQ(sheet->thisYear.effective, ExactDose::whole(9));
    EXPECT_EQ(sheet->thisYearTo, 202603);
}

// The report's counts against a count made apart, straight from the stored values, over 1000 persons with
// random doses near the edges, doses elsewhere and examinations.
TEST(ExaminationRules, TheReportCountsAsACountMadeApartOverAThousandPersons)
{
    QTemporaryDir temp;
    const DataDir dir(temp.path());
    QStringList names;
    for (int at = 0; at < 1000; ++at)
        names << QStringLiteral("職員%1").arg(at);
    makeStore(dir, names);
    QRandomGenerator random(44);
    const double steps[] = {0, 0, 0.1, 0.4, 1.25, 2.5, 4.9, 5.0};
    QList<OtherFacilityDose> elsewhere;
    QList<Examination> examinations;
    std::array<int, 5> effective{}, skin{};
    std::array<int, 4> lens{};
    const auto band = [](double dose, std::initializer_list<double> edges) {
        if (dose == 0)
            return 0;
        int at = 1;
        for (const double edge : edges)
            if (dose > edge + 1e-9)
                ++at;
        return at;
    };
    for (const QString& name : names) {
        double sums[3] = {0, 0, 0};
        for (int month = 1; month <= 12; ++month) {
            const double e = steps[random.bounded(8)], l = 4 * steps[random.bounded(8)],
                         s = 10 * steps[random.bounded(8)];
            ASSERT_TRUE(AppendMonthlyRecord(dir, name, {202500 + month, e, l, s, 0, NoComment}));
            sums[0] += e, sums[1] += l, sums[2] += s;
        }
        if (random.bounded(4) == 0) {
            elsewhere << OtherFacilityDose{name, QStringLiteral("B病院"), 202507, 202509, 2.5, 0, 25, 0};
            sums[0] += 2.5, sums[2] += 25;
        }
        if (random.bounded(5) == 0)
            continue; // not examined
        examinations << periodic(name, 20260101 + random.bounded(6) * 100 + random.bounded(28));
        ++effective[static_cast<size_t>(band(sums[0], {5, 15, 50}))];
        ++lens[static_cast<size_t>(band(sums[1], {20, 50}))];
        ++skin[static_cast<size_t>(band(sums[2], {50, 150, 500}))];
    }
    ASSERT_TRUE(WriteOtherFacilityDoses(dir, elsewhere));
    ASSERT_TRUE(WriteExaminations(dir, examinations));
    const auto report = examinationReport(dir, {2026, 1});
    ASSERT_TRUE(report);
    EXPECT_EQ(report->examined, examinations.size());
    EXPECT_EQ(report->effective, effective);
    EXPECT_EQ(report->lens, lens);
    EXPECT_EQ(report->skin, skin);
}

// What an examination may not be, each refused by the entry and, stored by hand, by the reader naming its line.
TEST(Examinations, RefusesWhatCannotBeAnExamination)
{
    const QDate today(2026, 12, 9);
    const QList<Examination> others{periodic(QStringLiteral("山田"), 20260601)};
    const QDate born(2005, 2, 28);
    Examination hiring{QStringLiteral("山田"), 20260101, ExaminationKind::Hiring};
    hiring.items[3] = ItemResult::LeftOut; // the eyes may be left out at hiring
    EXPECT_EQ(examinationProblem(hiring, others, today, born), std::nullopt);
    hiring.items[4] = ItemResult::LeftOut;
    EXPECT_EQ(examinationProblem(hiring, others, today, born), EntryFault::ItemRequiredAtHiring);
    Examination e = periodic(QStringLiteral("山田"), 20260230);
    EXPECT_EQ(examinationProblem(e, others, today, born), EntryFault::ExamDayNotADay);
    e.day = 20261210;
    EXPECT_EQ(examinationProblem(e, others, today, born), EntryFault::ExamDayInFuture);
    e.day = 20200227; // the day before the 15th birthday; the birthday itself will do
    EXPECT_EQ(examinationProblem(e, others, today, born), EntryFault::ExamBeforeAgeFifteen);
    e.day = 20200228;
    EXPECT_EQ(examinationProblem(e, others, today, born), std::nullopt);
    e.day = 20260601;
    EXPECT_EQ(examinationProblem(e, others, today, born), EntryFault::ExamSameDay);
    e.items[0] = ItemResult::LeftOut;
    EXPECT_EQ(examinationProblem(e, {}, today, born), EntryFault::ExposureHistoryLeftOut);

    const struct {
        const char* line; // replaced in a stored record of 山田
        int at;
        EntryFault fault;
    } stored[] = {{" 20260231 ", 3, EntryFault::ExamDayNotADay}, {" 4 ", 4, EntryFault::UnknownExamKind},
                  {" 3 ", 6, EntryFault::UnknownItemResult},     {" 0 ", 5, EntryFault::ExposureHistoryLeftOut},
                  {" 2 ", 10, EntryFault::NotYesOrNo},           {"x", 7, EntryFault::NotANumber}};
    for (const auto& [line, at, fault] : stored) {
        QByteArrayList lines{" 1 ", "\x8e\x52\x93\x63", " 20260601 ", " 3 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 0 "};
        lines[at - 1] = line;
        const auto read = parseExaminations(lines.join("\r\n") + "\r\n");
        ASSERT_FALSE(read) << line;
        EXPECT_EQ(read.error().line, at) << line;
        EXPECT_EQ(read.error().entryFault, fault) << line;
    }
}

} // namespace
