#pragma once

#include <QString>
#include <QStringList>
#include <concepts>
#include <memory>
#include <optional>
#include <utility>
#include <variant>

namespace velmora {

// What went wrong in the store or in a change of it. The Japanese text the user reads is made from a
// failure by messageOf() (store/Messages.h), in one place, when a window shows it.
enum class FailureKind {
    CannotRead,           // file, systemError
    NotRegularFile,       // file: a link, a folder, a FIFO or a device where a data file or folder belongs
    ChangedMeanwhile,     // file: changed by another copy since it was read
    ListChangedElsewhere, // file: a list a window shows, changed by another PC or program since it was shown
    Damaged,              // file, line; entryFault or text: what is wrong there
    TooLarge,             // file
    Utf8Text,             // file: UTF-8 where code page 932 is expected
    CannotWrite,          // file, systemError
    AlreadyExists,        // file
    CannotCreateFolder,   // file
    LineBreakInText,
    TextTooLong,         // text: the most characters a field holds
    Unencodable,         // text: holds a character code page 932 cannot
    UnusableName,        // text: a name with \ / : * ? " < > | or a control character
    NameTooLong,         // text
    WindowsName,         // text: a name Windows cannot give a file (CON, LPT1, "山田." …)
    NameOnlyCaseDiffers, // text: the name; names: the registered name it differs from only in case
    RegistrantLimit,
    NotListed,  // text: the name
    NotRemoved, // text: the name
    MonthEntered,
    SaveStopped,         // names: the personal files that are missing or damaged
    SaveStoppedMidway,   // cause; names: the persons that have the month already
    LockHeld,            // text: the holder's PC; names: its user, since when; line: minutes since its refresh
    LockStale,           // as LockHeld: a lock of another PC that has not been refreshed for long
    LockLost,            // text: the PC that took the lock over
    LockUnusable,        // file: something at the lock's name that is no lock file (a folder, a link, a FIFO…)
    DataFolderGone,      // file: the data folder, which no longer holds the store while data entry is open
    CannotLock,          // file, systemError
    NotText,             // file, line: neither code page 932 nor UTF-8
    MissingColumns,      // file; names: the headings not found; text: the saved layout made for the file's headings
    RowCutShort,         // line: the cells of a row of a CSV file; text: the number of headings
    ValueBeyondHeadings, // line: the column of a row holding a value; text: the value
    RepeatedColumn,      // file, text: the heading found twice
    ImportDoubts,        // text: what an import would do and what is in doubt
    ImportCell,          // file, line: a row of an imported file; text: its column and what is wrong there
    UnknownLayout,       // text: the layout's name; names: the saved layouts
    FacilityUnnamed,     // a record for another facility needs this facility's name
    NothingToHandOver,   // a leaving record of a person with no dose here or elsewhere (text: the name)
    ListFull,            // file; line: the most entries it holds; text: its largest size in MiB
    WrittenNotConfirmed, // file, systemError: the file holds the new content, but its flush to the disk failed
    HeldOtherValues,     // names: the persons whose file holds the month with other values (nothing written)
    Interrupted,         // names: the persons that have the month already, when a save was stopped
    HistoryBroken,       // file, line: the first line of the first record whose hash does not hold; text: its number
    HistoryDamaged,      // file, line: a line of the history that does not read; text: its stretch ("10～12行目");
                         // entryFault
    HistoryReadsWhole,   // file: the history, which has nothing to set aside
    HistoryDisagrees,    // file; difference; line: the month (0: none); text: what the history says; names: the file's
    BackupDamaged,       // file: generation/file; difference: how it differs from the manifest
    NoBackups,           // file: the backup folder, which holds no generation
    BackupFolderMissing, // file: the backup folder, which is not there (never made by a backup)
    BackupInsideStore,   // file: the backup folder; text: the data folder it lies in
    NoStore,             // file: the data folder, which holds no 登録者名.txt
    YearNotClosed,       // text: the fiscal year, whose 31 March is not past
    ArchiveNotWritten,   // text: what the archive's printer could not write
    InProgramFolder,     // file: the program's folder (or Program Files) a folder lies in; text: what it was to hold
    DataFolderMissing,   // file: the data folder of a command, which is not there
    OutputIsStoreFile,   // file: the --output a command was given, a file of the store
    NotADay,             // text: what was typed for a day
    BirthDateDiffers,    // text: the birth date a file gives; names: the registrant's
    NotMadeHere,         // file: something the program did not make under the name of its own (a link, a FIFO,
                         // a folder of a user's), left as it was
};

// How the store differs from what its change history says was done.
enum class Difference {
    None,
    NotRegistrant,      // the history leaves the person on the registrant list; the list does not hold them
    NotRemoved,         // the history leaves the person removed; the removed list does not hold them
    FileMissing,        // the history knows the person; their file is not there
    MonthDiffers,       // the month's values are not those the history recorded last
    MonthMissing,       // the history recorded the month; the file does not hold it
    MonthStandsDeleted, // the history recorded the month's deletion; the file holds it
    MonthUnrecorded,    // the file holds a month of a person registered in the history that it never recorded
    HeaderDiffers, // a field of a personal file's header is not as the history recorded it last (names: the field now)
    EntriesDiffer, // a person's entries of a list, or the facility, are not those the history leaves (text: the
                   // person; names: the entries now)
    PersonUnrecorded,  // a listed person the history never names holds a month the history saved for everyone
    ShorterThanBackup, // the history is shorter than a backup generation's copy of it (text: the generation)
    OtherThanBackup,   // the history does not begin with the newest generation's copy (text: the generation)
    SetAsideChanged,   // a history set aside no longer has the hash its continuation record gives
    // How a file of a folder of copies (a backup generation, an archive) differs from its manifest:
    CopyMissing, // the manifest lists it; it is not there
    CopySizeDiffers,
    CopyContentDiffers, // same size, another SHA-256
    CopyNotListed,      // there, and not in the manifest
    ManifestUnreadable,
    ManifestDamaged, // the manifest's form is wrong
};

// What an entry of doses elsewhere or of declarations cannot hold, for a window's message and for the line
// of a list file at fault; messageOf and entryFaultText (store/Messages.h) give the words.
enum class EntryFault {
    None,
    CountMismatch, // the count line of a list does not match its lines
    NotANumber,    // a number line is no number
    NoName,        // the name is empty
    NoFacility,    // the facility is empty
    LineBreakInFacilityOrNote,
    MonthOutsideRecords, // a month outside 1950–2100 or 1–12
    PeriodOutOfOrder,    // the last month before the first
    PeriodAcrossYears,   // the period spans two fiscal years
    NegativeDose,        // a dose below 0, or no number
    LineBreakInNote,
    FirstDayNotADay,        // the declaration's first day is no real day
    LastDayNotADay,         // the last day is no real day, or before the first
    UnknownKind,            // a declaration's kind outside 1–4
    IncompleteRecord,       // the file ends inside a record of the change history
    NotATime,               // a record's time is none
    UnknownChangeKind,      // a record of the change history names no change the program makes
    NotAHash,               // a record's last line is no SHA-256
    ExamDayNotADay,         // an examination's day is no real day
    ExamDayInFuture,        // an examination's day lies after today
    ExamBeforeAgeFifteen,   // an examination before the person's 15th birthday
    ExamSameDay,            // a second examination of the person on one day
    UnknownExamKind,        // an examination's kind outside 1–3
    UnknownItemResult,      // an item's result outside 0–2
    ExposureHistoryLeftOut, // item 1 (the exposure history) left out
    ItemRequiredAtHiring,   // items 2, 3 or 5 left out at hiring or reassignment
    NotYesOrNo,             // the doctor's instructions neither 0 nor 1
    NotAPerson,             // an entry of someone neither registered nor removed
    UnknownWearing,         // a dosimeter's wearing outside its codes
    LayoutCannotRead,       // a layout of the dosimetry service's files that reads no doses (LayoutFault)
};

struct Failure {
    FailureKind kind = FailureKind::CannotRead;
    QString file; // as the user knows it: "登録者名.txt", "被曝Data/山田.dat"
    int line = 0;
    int systemError = 0; // errno, where the system told one
    QString text;
    QStringList names;
    QString notRestored;                      // a file that could not be put back as it was after the failure
    EntryFault entryFault = EntryFault::None; // Damaged: what the line at fault of a list cannot hold
    Difference difference = Difference::None; // HistoryDisagrees: how
    std::shared_ptr<const Failure> cause;
};

inline Failure failure(FailureKind kind, QString file = {}, int line = 0)
{
    Failure failed;
    failed.kind = kind;
    failed.file = std::move(file);
    failed.line = line;
    return failed;
}

inline Failure failureWithText(FailureKind kind, QString text)
{
    Failure failed = failure(kind);
    failed.text = std::move(text);
    return failed;
}

// The same failure, telling also that `file` could not be put back as it was.
inline Failure withNotRestored(Failure failed, QString file)
{
    failed.notRestored = std::move(file);
    return failed;
}

// The outcome of a store operation: the value, or what went wrong. (A small stand-in for std::expected,
// which the clang that builds the fuzzers cannot compile from this standard library.)
template <class T> class [[nodiscard]] Result {
public:
    Result() requires std::default_initializable<T> : outcome(std::in_place_index<0>) {}
    Result(T value) : outcome(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failed) : outcome(std::in_place_index<1>, std::move(failed)) {}

    explicit operator bool() const { return outcome.index() == 0; }
    T& operator*() & { return std::get<0>(outcome); }
    const T& operator*() const& { return std::get<0>(outcome); }
    T&& operator*() && { return std::get<0>(std::move(outcome)); }
    T* operator->() { return &std::get<0>(outcome); }
    const T* operator->() const { return &std::get<0>(outcome); }
    const Failure& error() const { return std::get<1>(outcome); }

    // A result equals a value when it holds that value.
    template <class U> friend bool operator==(const Result& result, const U& value)
    {
        return result && *result == value;
    }

private:
    std::variant<T, Failure> outcome;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failed(std::move(failure)) {}

    explicit operator bool() const { return !failed; }
    const Failure& error() const { return *failed; }

private:
    std::optional<Failure> failed;
};

using Status = Result<void>;

// Whether a write left its file with the new content: done, or done without the disk's confirmation. A
// change of several files goes on after such a step (undoing it would undo what is there) and reports it.
inline bool isWritten(const Status& status)
{
    return status || status.error().kind == FailureKind::WrittenNotConfirmed;
}

} // namespace velmora
