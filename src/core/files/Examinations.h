#pragma once

#include "core/files/DataDir.h"
#include "core/files/RecordLists.h"
#include "core/model/Result.h"

#include <QDate>
#include <array>
#include <optional>

// The health examinations of workers in controlled areas (at hiring, at reassignment, then at least every six
// months): what the schedule, the doctor's sheet and the report to the labour office need of each, in the list
// file 「健康診断.txt」 — its day, its kind, which items were done and whether they found anything, and whether
// the doctor gave instructions. No test values and no diagnosis: the individual form stays with the
// occupational physician. Keyed by the person's name, as the personal files are.
namespace velmora {

enum class ExaminationKind {
    Hiring = 1,       // 雇入れ時
    Reassignment = 2, // 配置替え時
    Periodic = 3,     // 定期
};

// "雇入れ時", "配置替え時", "定期".
QString examinationKindText(ExaminationKind kind);

// The result of one item: left out (items 2–5 of a periodic examination, item 4 at hiring), done without
// findings, done with findings.
enum class ItemResult { LeftOut = 0, NoFindings = 1, Findings = 2 };

// The five items of the examination: 1 the exposure history and its evaluation, 2 white cells, 3 red cells and
// haemoglobin, 4 the eyes (cataract), 5 the skin.
constexpr int ExaminationItems = 5;
// "被ばく歴", "白血球", "赤血球", "眼", "皮膚".
QString examinationItemText(int item);

struct Examination {
    QString name;
    qint64 day = 0; // yyyymmdd
    ExaminationKind kind = ExaminationKind::Periodic;
    std::array<ItemResult, ExaminationItems> items{ItemResult::NoFindings, ItemResult::NoFindings,
                                                   ItemResult::NoFindings, ItemResult::NoFindings,
                                                   ItemResult::NoFindings};
    bool instructed = false; // the doctor gave instructions
    bool anyFindings() const;
    bool operator==(const Examination&) const = default;
};

inline size_t qHash(const Examination& e, size_t seed = 0)
{
    return qHashMulti(seed, e.name, e.day, static_cast<int>(e.kind), static_cast<int>(e.items[0]),
                      static_cast<int>(e.items[1]), static_cast<int>(e.items[2]), static_cast<int>(e.items[3]),
                      static_cast<int>(e.items[4]), e.instructed);
}

// What a stored examination cannot hold (the field at fault, 0 the name): a day that is no day, a kind or
// result outside its codes, item 1 left out, items 2, 3 or 5 left out at hiring or reassignment.
std::optional<FieldProblem> storedExaminationProblem(const Examination& examination);

// Why an examination cannot be entered beside the person's `others` (the one it replaces left out): what
// the file cannot hold, a day after `today`, before the person's 15th birthday (when `born` is a day), or a day
// that holds another examination of the person.
std::optional<EntryFault> examinationProblem(const Examination& examination, const QList<Examination>& others,
                                             const QDate& today, const QDate& born);

// Thirty years of a large hospital's examinations, twice a year for a thousand persons, with room; and the
// largest file the reader takes.
constexpr qsizetype MostExaminations = 100'000;
constexpr qint64 LargestExaminationsFile = qint64(16) << 20;

// The list; a missing file is an empty list, a damaged one fails with its line.
Result<QList<Examination>> ReadExaminations(const DataDir& dir);
Result<QList<Examination>> parseExaminations(QByteArrayView content);
// The first examination of the list of someone not among `persons` (the registrants and the removed):
// Damaged at its first line of the file, NotAPerson.
std::optional<Failure> examinationOfNobody(const QList<Examination>& examinations, const QStringList& persons);

// Replaces the list file with the whole list through the store's writer; ListFull beyond its bounds.
Status WriteExaminations(const DataDir& dir, const QList<Examination>& examinations);

} // namespace velmora
