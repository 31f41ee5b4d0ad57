#include "core/files/Examinations.h"

#include "core/files/NumberForms.h"
#include "core/files/PositionalForms.h"
#include "core/model/Calendar.h"

namespace velmora {
namespace {

// 氏名 実施日 種別 項目1 項目2 項目3 項目4 項目5 医師の指示
constexpr int ExaminationLines = 9;
constexpr int FirstItemLine = 3;

} // namespace

QString examinationKindText(ExaminationKind kind)
{
    switch (kind) {
    case ExaminationKind::Hiring:
        return QStringLiteral("雇入れ時");
    case ExaminationKind::Reassignment:
        return QStringLiteral("配置替え時");
    case ExaminationKind::Periodic:
        return QStringLiteral("定期");
    }
    return {};
}

QString examinationItemText(int item)
{
    static const QString texts[ExaminationItems] = {QStringLiteral("被ばく歴"), QStringLiteral("白血球"),
                                                    QStringLiteral("赤血球"), QStringLiteral("眼"),
                                                    QStringLiteral("皮膚")};
    return item >= 0 && item < ExaminationItems ? texts[item] : QString();
}

bool Examination::anyFindings() const
{
    return std::find(items.begin(), items.end(), ItemResult::Findings) != items.end();
}

std::optional<FieldProblem> storedExaminationProblem(const Examination& examination)
{
    if (examination.name.isEmpty())
        return FieldProblem{0, EntryFault::NoName};
    if (!isCalendarDate(examination.day))
        return FieldProblem{1, EntryFault::ExamDayNotADay};
    const int kind = static_cast<int>(examination.kind);
    if (kind < 1 || kind > 3)
        return FieldProblem{2, EntryFault::UnknownExamKind};
    for (int item = 0; item < ExaminationItems; ++item) {
        const int result = static_cast<int>(examination.items[static_cast<size_t>(item)]);
        if (result < 0 || result > 2)
            return FieldProblem{FirstItemLine + item, EntryFault::UnknownItemResult};
    }
    if (examination.items[0] == ItemResult::LeftOut)
        return FieldProblem{FirstItemLine, EntryFault::ExposureHistoryLeftOut};
    // At hiring and reassignment only the eyes may be left out, by the kind of source used.
    if (examination.kind != ExaminationKind::Periodic)
        for (const int item : {1, 2, 4})
            if (examination.items[static_cast<size_t>(item)] == ItemResult::LeftOut)
                return FieldProblem{FirstItemLine + item, EntryFault::ItemRequiredAtHiring};
    return std::nullopt;
}

std::optional<EntryFault> examinationProblem(const Examination& examination, const QList<Examination>& others,
                                             const QDate& today, const QDate& born)
{
    if (const auto stored = storedExaminationProblem(examination))
        return stored->fault;
    const QDate day = dayOf(examination.day);
    if (day > today)
        return EntryFault::ExamDayInFuture;
    // The examination at hiring comes before the first day of work, and a store begun today holds the past
    // examinations of its staff: any day will do from the day the person could first be employed.
    if (born.isValid() && day < born.addYears(15))
        return EntryFault::ExamBeforeAgeFifteen;
    for (const Examination& other : others)
        if (other.name == examination.name && other.day == examination.day)
            return EntryFault::ExamSameDay;
    return std::nullopt;
}

Result<QList<Examination>> parseExaminations(QByteArrayView content)
{
    const auto records = recordsOf(content, ExaminationsFile, ExaminationLines);
    if (!records)
        return records.error();
    QList<Examination> examinations;
    for (qsizetype at = 0; at < records->size(); ++at) {
        const QStringList& r = records->at(at);
        NumberFields f{r};
        Examination examination{r[0], f.whole(1), static_cast<ExaminationKind>(f.whole(2))};
        for (int item = 0; item < ExaminationItems; ++item)
            examination.items[static_cast<size_t>(item)] = static_cast<ItemResult>(f.whole(FirstItemLine + item));
        const qint64 instructed = f.whole(8);
        if (f.problem.fault == EntryFault::None && instructed != 0 && instructed != 1)
            f.problem = FieldProblem{8, EntryFault::NotYesOrNo};
        examination.instructed = instructed == 1;
        if (const auto stored = storedExaminationProblem(examination); f.problem.fault == EntryFault::None && stored)
            f.problem = *stored;
        if (f.problem.fault != EntryFault::None)
            return damagedField(ExaminationsFile, at, ExaminationLines, f.problem);
        examinations.append(examination);
    }
    return examinations;
}

Result<QList<Examination>> ReadExaminations(const DataDir& dir)
{
    const auto content = readListBytes(dir, ExaminationsFile, LargestExaminationsFile);
    if (!content)
        return content.error();
    return parseExaminations(*content);
}

std::optional<Failure> examinationOfNobody(const QList<Examination>& examinations, const QStringList& persons)
{
    const QSet<QString> known(persons.begin(), persons.end());
    for (qsizetype at = 0; at < examinations.size(); ++at)
        if (!known.contains(examinations[at].name)) {
            Failure nobody =
                failure(FailureKind::Damaged, ExaminationsFile, static_cast<int>(2 + at * ExaminationLines));
            nobody.entryFault = EntryFault::NotAPerson;
            return nobody;
        }
    return std::nullopt;
}

Status WriteExaminations(const DataDir& dir, const QList<Examination>& examinations)
{
    QList<QStringList> records;
    for (const Examination& e : examinations) {
        QStringList record{e.name, printForm(static_cast<double>(e.day)), printForm(static_cast<int>(e.kind))};
        for (const ItemResult result : e.items)
            record << printForm(static_cast<int>(result));
        record << printForm(e.instructed ? 1 : 0);
        records.append(record);
    }
    return writeRecords(dir, ExaminationsFile, records, MostExaminations, LargestExaminationsFile);
}

} // namespace velmora
