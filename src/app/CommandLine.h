#pragma once

#include "core/model/Records.h"

#include <QString>
#include <optional>

// The command line: where the data is kept, and the work Velmora does without windows (the dose
// totals as CSV, the import and save of a month from a CSV file, the change history and the store's check).
namespace velmora {

struct StartOptions {
    QString dataDir;
    bool chosenDataDir = false;
    std::optional<int> doseTotalsYear;
    std::optional<int> distributionYear;
    QString output;
    std::optional<MonthKey> importMonth;
    QString importFile;
    bool replaceHeldValues = false; // --replace: values of a month partly saved already become the file's
    QString importLayout;           // --layout: the saved layout of a dosimetry service's file
    QString leavingRecord;          // the person whose leaving record is written
    QString leavingDay;             // as typed; empty proposes the last day of the last month with a dose
    QString otherDosesImport;       // the CSV of doses received elsewhere to import
    bool history = false;           // --history: the change history as CSV
    QString historyPerson;          // --person: only the records of this person
    bool verify = false;            // --verify: every file of the store and the change history's chain
    bool setAsideHistory = false;   // --set-aside-history: a damaged change history kept aside, begun anew
    QString backupFolder;           // --backup: where a generation of the store is made
    QString verifiedBackupFolder;   // --verify-backup: whose generations are checked against their manifests
    std::optional<int> archiveYear; // --archive-year: the closed fiscal year kept in --output
    QString examReportHalf;         // --exam-report: the half year whose examinations are reported, "2026-1"
};

// Reads the command line before any application object or window system is made, so
// that --help and --version answer without a display. They, an unknown option and an option without
// the value it needs end the program.
StartOptions readCommandLine(int& argc, char** argv);

} // namespace velmora
