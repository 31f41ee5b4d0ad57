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
};

// Reads the command line before any application object or window system is made, so
// that --help and --version answer without a display. They, an unknown option and an option without
// the value it needs end the program.
StartOptions readCommandLine(int& argc, char** argv);

// The status of --dose-totals and --dose-distribution when the CSV was written but some personal files
// could not be read.
constexpr int UnreadableFilesStatus = 2;

// The dose totals or the dose distribution asked for on the command line: the CSV written and 0; the files that could
// not be read named on standard error and UnreadableFilesStatus; 1 with a message on standard error, when a list cannot
// be read or the CSV cannot be written.
int writeTotalsCsv(const StartOptions& options);

// The month asked for imported from its CSV file and saved for every registrant: what was saved on
// standard output; 1 with every reason on standard error, and no file changed, when it is refused. A
// request to end (Ctrl+C, SIGTERM, SIGHUP) stops it between two files: 128 + the signal, with the persons
// saved so far on standard error.
int importMonth(const StartOptions& options);

// The leaving record of a person as the CSV of doses received elsewhere: 0, or 1 with the reason on
// standard error.
int writeLeavingRecord(const StartOptions& options);

// Doses received elsewhere imported from a CSV file: what was added on standard output, the rows stored
// already on standard error, and 0; 1 with every reason on standard error, and no file changed, when it is
// refused.
int importOtherDoses(const StartOptions& options);

// The change history as CSV (--person: one person's records), every record that reads: 0; BrokenHistoryStatus,
// with each damaged stretch and the first altered record named on standard error, when the CSV was written
// but the history has lines that do not read or a record's hash does not hold; 1 with a message when the
// history cannot be read or the CSV cannot be written.
constexpr int BrokenHistoryStatus = 2;
int writeHistory(const StartOptions& options);

// Every file of the store read, the change history's chain checked and the store compared with the
// history: 0 with what was read on standard output; 1 with every fault on standard error.
int verifyStore(const StartOptions& options);

// A change history with damaged lines set aside and begun anew (with the entry lock held): the name it was
// kept under on standard output and 0; 1 with the reason.
int setAsideHistory(const StartOptions& options);

// A generation of the store made in the existing folder of --backup, with the entry lock held unless this
// PC cannot write the store: its name on standard output and 0; StoreShrankStatus, naming the generation kept,
// when the store holds fewer personal files or a shorter history than a generation before; 1 with the reason
// on standard error (no store, a store that does not read whole, the lock held by data entry, a folder
// missing or inside the store, a write that failed).
constexpr int StoreShrankStatus = 3;
int makeBackup(const StartOptions& options);

// Every generation of the folder of --verify-backup checked against its manifest, each listed with its
// result: 0 when all are as made; 1 when any is damaged (each named on standard error) or there is none.
int verifyBackup(const StartOptions& options);

// The closed fiscal year of --archive-year written into the folder of --output (PDF/A-1b reports, CSVs,
// manifest; the caller has made a GUI application to draw with): the files on standard output and 0; 1
// with the reason on standard error.
int archiveYear(const StartOptions& options);

} // namespace velmora
