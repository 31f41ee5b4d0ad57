#pragma once

#include "core/files/DataDir.h"
#include "core/files/RecordLists.h"
#include "core/model/Records.h"
#include "core/model/Result.h"

#include <QHash>

// What a person's limit checks take besides this hospital's monthly records: the doses received at other
// facilities and the person's declarations. Each kind is one list file of the data folder, a count line and
// then that many records of a fixed number of lines, keyed by the person's name as the personal files are,
// so that they stay with a removed person and come back with a restore.
namespace velmora {

// A dose received at another facility: one month (from == to) or a period of months within one fiscal
// year with its total.
struct OtherFacilityDose {
    QString name; // the person's, as listed
    QString facility;
    MonthKey from = 0;
    MonthKey to = 0;
    double effective = 0; // external effective dose, mSv
    double lens = 0;
    double skin = 0;
    double internal = 0;
    QString note = NoComment;
    bool operator==(const OtherFacilityDose&) const = default;
};

inline size_t qHash(const OtherFacilityDose& d, size_t seed = 0)
{
    return qHashMulti(seed, d.name, d.facility, d.from, d.to, d.effective, d.lens, d.skin, d.internal, d.note);
}

// The headings of a spreadsheet of doses received elsewhere, as the import reads it (in any order among
// other columns; 終了年月 and 備考 may be missing) and the leaving record writes it.
inline const QStringList OtherDoseCsvHeadings = {
    QStringLiteral("氏名"),     QStringLiteral("施設名"),   QStringLiteral("開始年月"),
    QStringLiteral("終了年月"), QStringLiteral("実効線量"), QStringLiteral("水晶体"),
    QStringLiteral("皮膚"),     QStringLiteral("内部被曝"), QStringLiteral("備考"),
};
// The headings of a leaving record, which the same import reads: the person's birth date and sex to tell two
// persons of one name apart, and the doses with what they are and their unit (実効線量 above is the external
// effective dose, which a printed 実効 adds the internal to).
inline const QStringList LeavingRecordCsvHeadings = {
    QStringLiteral("氏名"),
    QStringLiteral("生年月日"),
    QStringLiteral("性別"),
    QStringLiteral("施設名"),
    QStringLiteral("開始年月"),
    QStringLiteral("終了年月"),
    QStringLiteral("外部被曝実効線量(mSv)"),
    QStringLiteral("水晶体等価線量(mSv)"),
    QStringLiteral("皮膚等価線量(mSv)"),
    QStringLiteral("内部被曝実効線量(mSv)"),
    QStringLiteral("備考"),
};

enum class DeclarationKind {
    Pregnancy = 1,        // from the declaration to the delivery
    CannotConceive = 2,   // diagnosed unable to become pregnant: no women's quarterly limit
    NoPregnancyPlan = 3,  // declared in writing not to intend a pregnancy: no women's quarterly limit
    DesignatedDoctor = 4, // a doctor under the lens transitional rule of FY2021–FY2025
};

// A declaration with the dates it stands between (yyyymmdd); `to` is 0 while it is open (the delivery
// not yet known, an exemption not withdrawn).
struct Declaration {
    QString name;
    DeclarationKind kind = DeclarationKind::Pregnancy;
    qint64 from = 0;
    qint64 to = 0;
    QString note = NoComment;
    bool operator==(const Declaration&) const = default;
};

inline size_t qHash(const Declaration& d, size_t seed = 0)
{
    return qHashMulti(seed, d.name, static_cast<int>(d.kind), d.from, d.to, d.note);
}

// "妊娠", "妊娠不能と診断", "妊娠の意思なし（書面）", "経過措置対象医師".
QString declarationKindText(DeclarationKind kind);

// A declaration as a leaving record hands it on, in the 備考 of a row without doses:
// "申告：妊娠（2026/05/10～）", "申告：経過措置対象医師（2021/04/01～2026/03/31）".
QString declarationRowNote(const Declaration& declaration);
// The declaration of `name` such a note gives (its note naming `facility`); nothing for any other note.
std::optional<Declaration> declarationOfRowNote(const QString& name, const QString& facility, const QString& note);

// Why an entry cannot be stored (entryFaultText gives the window's message); nothing when it can. The months must be
// calendar months from 1950 to 2100, `to` not before `from` and in the same fiscal year; doses not
// negative; dates real days, `to` not before `from`.
std::optional<EntryFault> otherDoseProblem(const OtherFacilityDose& dose);

// The mark that opens the note of an entry whose sender had a doubt about it (a leaving record's month held
// twice, a negative dose): the totals show such an entry as 要確認, naming it.
inline const QString SenderDoubtMark = QStringLiteral("要確認：");
std::optional<EntryFault> declarationProblem(const Declaration& declaration);

// What a stored record cannot hold: the field at fault (0 the name, in the order of the record's lines) and
// why. A stored period across a fiscal year is readable: the totals count it and ask for a look.
std::optional<FieldProblem> storedOtherDoseProblem(const OtherFacilityDose& dose);
std::optional<FieldProblem> storedDeclarationProblem(const Declaration& declaration);

// The most entries each list holds, thirty years of a large hospital's doses elsewhere and declarations, and
// the largest file of either list its reader takes: the writer refuses more (ListFull), so that every list
// written is read back.
constexpr qsizetype MostOtherDoses = 200'000;
constexpr qsizetype MostDeclarations = 50'000;
constexpr qint64 LargestAdditionsFile = qint64(64) << 20;

// A person's part of both lists.
struct DoseAdditions {
    QList<OtherFacilityDose> otherDoses;
    QList<Declaration> declarations;
};

// Both lists, by name. A missing file is an empty list; a damaged one fails with its line.
Result<QHash<QString, DoseAdditions>> ReadDoseAdditions(const DataDir& dir);

Result<QList<OtherFacilityDose>> ReadOtherFacilityDoses(const DataDir& dir);
Result<QList<Declaration>> ReadDeclarations(const DataDir& dir);
// The same from a file's bytes.
Result<QList<OtherFacilityDose>> parseOtherFacilityDoses(QByteArrayView content);
Result<QList<Declaration>> parseDeclarations(QByteArrayView content);

// Replaces a list file with the whole list, through the store's writer; ListFull, with nothing written, beyond
// the most entries or the largest file.
Status WriteOtherFacilityDoses(const DataDir& dir, const QList<OtherFacilityDose>& doses);
Status WriteDeclarations(const DataDir& dir, const QList<Declaration>& declarations);

} // namespace velmora
