#pragma once

#include "core/files/DataDir.h"
#include "core/files/DoseAdditions.h"
#include "core/model/Calendar.h"
#include "core/model/Result.h"

#include <functional>

// Doses received at other facilities from a spreadsheet (a list the other facility or its dosimetry
// service sent), read into entries with every doubt listed for the operator before anything is stored.
namespace velmora {

// What a file gives: the entries to be added, and the rows left out, each a line for the operator.
struct OtherDoseImport {
    QString file;
    QList<OtherFacilityDose> entries;
    QStringList unknownPersons; // a name that is neither a registrant nor a removed person
    QStringList unusable;       // a cell that is not a month or a dose
    QStringList storedAlready;  // the same entry is stored: a file read twice adds nothing twice
    // A row of this facility's own name (事業所.txt): doses already on the record here, which a leaving
    // record that comes back from another facility lists under this name. Not taken.
    QStringList ownFacility;
    // Taken, and 要確認 in the totals: a period across fiscal years, as a leaving record may hand it on.
    QStringList acrossYears;
    // Taken, and 要確認 in the totals: a row its sender marked 要確認 in its 備考 (a leaving record's month
    // held twice, a negative dose).
    QStringList senderDoubts;
    // A leaving record's row of a declaration (a pregnancy standing at the leaving day, the designated-doctor
    // status), entered as a declaration.
    QList<Declaration> declarations;
    QStringList declarationRows;
};

// What a file is read against: the persons of both lists, the stored entries and declarations, this facility's
// name, and the birth dates a leaving record's rows must match (nothing when one cannot be read).
struct OtherDoseImportTarget {
    QStringList persons;
    QList<OtherFacilityDose> stored;
    QList<Declaration> declarations;
    QString ownFacility;
    std::function<std::optional<double>(const QString&)> birthDateOf;
};

// Reads a CSV file (see csv::readRows) with the columns of the list of doses elsewhere, or those of a leaving
// record.
Result<OtherDoseImport> ReadOtherDoseImport(const QString& path, const OtherDoseImportTarget& target);

// The birth dates of the persons of a data folder, read from their files as they are asked for.
std::function<std::optional<double>(const QString&)> birthDatesIn(const DataDir& dir);

// What the import will add, then each kind of row left out or named.
QString otherDoseImportReport(const OtherDoseImport& import);
// Each kind of row left out or named, with its rows; empty when there is none.
QString otherDoseRowsNamed(const OtherDoseImport& import);

// Adds the entries of a CSV file to the doses received elsewhere, and its declarations to the declarations,
// under the entry lock, as the window's
// import does without a person to ask: refused with nothing changed (ImportDoubts, with the review) when a
// row names nobody listed or holds a value that cannot be stored. Rows stored already are left out.
// `goOn` is asked before the list is written: false stops with nothing written (Interrupted).
Result<OtherDoseImport> ImportOtherDoses(const DataDir& dir, const QString& path,
                                         const std::function<bool()>& goOn = {});

} // namespace velmora
