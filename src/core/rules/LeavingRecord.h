#pragma once

#include "core/files/FacilitySettings.h"
#include "core/rules/DoseTotals.h"

// The record a worker who leaves is given: the doses of every fiscal year of the five-year block that holds
// the leaving day, with the doses received elsewhere and any later dose already on the record, and the same
// doses as entries of doses received elsewhere, which the next employer takes in (「他施設・申告」's CSV
// import, `--import-other-doses`), with a pregnancy standing at the leaving day and the designated-doctor
// status as rows the import offers to enter as declarations.
namespace velmora {

struct LeavingRecord {
    PersonalHeader header;
    QString facility;       // this facility's name, which its rows give
    qint64 leavingDay = 0;  // yyyymmdd
    MonthKey lastMonth = 0; // the last month with a dose here or elsewhere, which may come after the leaving day
    // The totals of each fiscal year from the start of the block that holds the leaving day to the later of
    // the leaving day and the last dose.
    QList<std::pair<int, DoseTotals>> years;
    QList<OtherFacilityDose> otherDoses; // received elsewhere in those years
    QList<Declaration> declarations;     // a pregnancy standing at the leaving day, the designated-doctor status
    // For the next employer: each month recorded here in those years (the larger of a month held twice,
    // negatives as 0) under this facility's name, then the doses received elsewhere.
    QList<OtherFacilityDose> entries;
};

// The day a person's record proposes as the leaving day: the last day of the last month with a dose, here or
// elsewhere; nothing when there is none.
Result<std::optional<qint64>> proposedLeavingDay(const DataDir& dir, const QString& name);

// The record of a registrant or a removed person for a leaving day (yyyymmdd; 0 proposes it). Fails when the
// facility has no name (the next employer needs it), when there is nothing to hand over (NothingToHandOver: no
// empty file is written), or a list or the person's file cannot be read.
Result<LeavingRecord> leavingRecordOf(const DataDir& dir, const QString& name, qint64 leavingDay = 0);

// The entries, then the declarations (a row without doses whose 備考 gives it), as a CSV file with the headings
// the import of doses elsewhere reads (UTF-8 with a byte-order mark, CR LF).
QByteArray leavingRecordCsv(const LeavingRecord& record);

// The name of the CSV file the window saves in the data folder.
QString leavingRecordFileName(const QString& name);

} // namespace velmora
