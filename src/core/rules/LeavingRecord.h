#pragma once

#include "core/files/FacilitySettings.h"
#include "core/rules/DoseTotals.h"

// The record a worker who leaves is given: the doses of every fiscal year of the five-year block up to
// the leaving month, with the doses received elsewhere, and the same doses as entries of doses received
// elsewhere, which the next employer takes in (「他施設・申告」's CSV import, `--import-other-doses`).
namespace velmora {

struct LeavingRecord {
    PersonalHeader header;
    MonthKey lastMonth = 0; // the leaving month: the last month with a dose here or elsewhere
    // The totals of each fiscal year of the block that holds the leaving month, up to it.
    QList<std::pair<int, DoseTotals>> years;
    QList<OtherFacilityDose> otherDoses; // received elsewhere in those years
    // For the next employer: each month recorded here in those years (the larger of a month held twice,
    // negatives as 0) under this facility's name, then the doses received elsewhere.
    QList<OtherFacilityDose> entries;
};

// The record of a registrant or a removed person. Fails when the facility has no name (the next employer
// needs it), when the person has no dose here or elsewhere (NothingToHandOver: no empty file is written),
// or a list or the person's file cannot be read.
Result<LeavingRecord> leavingRecordOf(const DataDir& dir, const QString& name);

// The entries as a CSV file with the headings the import of doses elsewhere reads (UTF-8 with a byte-order
// mark, CR LF).
QByteArray leavingRecordCsv(const LeavingRecord& record);

// The name of the CSV file the window saves in the data folder.
QString leavingRecordFileName(const QString& name);

} // namespace velmora
