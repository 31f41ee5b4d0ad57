#pragma once

#include "core/files/Csv.h"
#include "core/files/DataDir.h"
#include "core/model/Records.h"
#include "core/model/Result.h"
#include "core/rules/EntryRules.h"
#include "core/rules/MonthPlausibility.h"
#include "core/session/SharedState.h"

#include <functional>
#include <optional>
#include <vector>

// A month's doses from a spreadsheet: a CSV template with a row per registrant for the operator to
// fill in, and the reading of such a file into the values save-all writes, with every doubt about it
// listed for the operator before anything is taken.
namespace velmora {

// The headings of the template, in its column order; a file may hold them in any order among others.
inline const QStringList MonthCsvHeadings = {
    QStringLiteral("登録番号"), QStringLiteral("氏名"), DoseFieldNames[0],      DoseFieldNames[1],
    DoseFieldNames[2],          DoseFieldNames[3],      QStringLiteral("備考"),
};

// Whether a file's heading row is the template's: the number or the name, and the four doses.
bool hasMonthCsvHeadings(const QStringList& headings);

// The name the template of a month is offered under: "線量入力_202504.csv".
QString monthTemplateName(MonthKey key);

// Writes the template for the registrants in list order: number and name filled, the rest empty.
// Fails without writing when a registrant's file cannot be read.
Status WriteMonthTemplate(const DataDir& dir, const RegistrantList& registrants, const QString& path);

// What a CSV file gives the registrants. Each entry is what confirming the row's values in the entry
// window would give. Every list below is a line of text for the operator, naming the rows or persons.
struct MonthImport {
    QString file;                                    // the file's name
    std::vector<std::optional<PendingEntry>> values; // by list position; nothing: no value in the file
    QStringList unmatched;                           // rows that match no registrant: not taken
    QStringList removed;                             // rows of removed persons: not taken
    QStringList otherName;     // rows whose number belongs to a registrant of another name: taken by number
    QStringList repeated;      // registrants with more than one row: the last row is taken
    QStringList notNumbers;    // dose cells that are not a number as a whole: their rows are not taken
    QStringList unusable;      // rows whose values cannot be saved (too large, a character CP932 lacks): not taken
    QStringList withoutValues; // registrants without values: they keep what they have

    qsizetype taken() const;
    bool hasDoubts() const;
};

// Reads the rows of a CSV file named `file` (see csv::readFile) for the registrants in list order. A row is
// matched by its 登録番号 when it has one, otherwise by its 氏名. Fails when the file lacks a needed column, or
// a registrant's file cannot be read.
Result<MonthImport> ReadMonthImport(const DataDir& dir, const RegistrantList& registrants, const QList<csv::Row>& rows,
                                    const QString& file);

// What an import of `key` will do, for the operator: how many registrants get values, then each doubt.
QString monthImportReport(const MonthImport& import, qsizetype registrants, MonthKey key);

// What a save of an imported month did: the registrants saved, and those whose file already held the
// month with other values, which now hold the file's values (only when asked to replace them).
struct ImportedMonthSaved {
    qsizetype registrants = 0;
    QStringList replaced;
    LimitFindings limitFindings; // the persons the month brought near or over a limit
};

// The import and save-all of a month without a window, as the command line does it: with the entry
// lock taken, every registrant must have exactly one row of values and the file no doubt at all
// (ImportDoubts, with the report as text); then the month is saved as "全データ保存" saves it, and
// refused as it refuses. A month partly saved already (a run stopped midway) is completed only where it
// holds the file's values: other values are refused (HeldOtherValues) or, with `replace`, replaced.
// Nothing is written unless everything holds. `goOn` is asked between the files: false stops the save
// (Interrupted), every file whole. With a `layout` name the file is a dosimetry service's, read through that
// saved layout (see ServiceImport.h); the numbers and wearings it teaches are recorded before the month.
Result<ImportedMonthSaved> SaveMonthFromCsv(const DataDir& dir, MonthKey key, const QString& path, bool replace = false,
                                            const std::function<bool()>& goOn = {}, const QString& layout = {});

} // namespace velmora
