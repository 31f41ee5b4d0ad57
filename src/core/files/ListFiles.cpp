#include "core/files/ListFiles.h"

#include "core/files/ChangeHistory.h"
#include "core/files/FacilitySettings.h"
#include "core/files/FileWriter.h"
#include "core/files/NumberForms.h"
#include "core/files/TextFile.h"

#include <QFileInfo>
#include <QSet>

namespace velmora {
namespace {

// The lines of a list file read as texts.
Result<QStringList> readTextLines(const DataDir& dir, const QString& fileName, bool plainLineEnds = false)
{
    const auto content = readWholeFile(dir.listFile(fileName), fileName, LargestListFile);
    if (!content)
        return content.error();
    return decodeTextLines(*content, fileName, plainLineEnds);
}

Status writeLines(const DataDir& dir, const QString& fileName, const QStringList& lines)
{
    const auto content = encodeLines(lines);
    if (!content)
        return content.error();
    return replaceFile(dir.listFile(fileName), fileName, *content);
}

Status appendLine(const DataDir& dir, const QString& fileName, const QString& line)
{
    const auto content = encodeLines({line});
    if (!content)
        return content.error();
    return appendToFile(dir.listFile(fileName), fileName, *content);
}

} // namespace

Result<RegistrantList> LoadRegistrantList(const DataDir& dir)
{
    const auto content = readWholeFile(dir.listFile(RegistrantNamesFile), RegistrantNamesFile, LargestListFile);
    if (!content)
        return content.error();
    return parseRegistrantList(*content);
}

Result<RegistrantList> parseRegistrantList(QByteArrayView content)
{
    const auto lines = decodeTextLines(content, RegistrantNamesFile);
    if (!lines)
        return lines.error();
    const auto count = lines->isEmpty() ? std::nullopt : wholeNumberLine(lines->first());
    if (!count || *count < 0 || *count > RegistrantList::Capacity || *count > lines->size() - 1)
        return failure(FailureKind::Damaged, RegistrantNamesFile, 1);
    // Names past the count would be lost at the next rewrite; empty lines at the end are only spacing.
    for (qsizetype line = *count + 1; line < lines->size(); ++line)
        if (!lines->at(line).isEmpty())
            return failure(FailureKind::Damaged, RegistrantNamesFile, 1);
    // A name listed twice would receive every month twice.
    QSet<QString> seen;
    seen.reserve(*count);
    for (qsizetype line = 1; line <= *count; ++line) {
        if (seen.contains(lines->at(line)))
            return failure(FailureKind::Damaged, RegistrantNamesFile, static_cast<int>(line + 1));
        seen.insert(lines->at(line));
    }
    return RegistrantList{lines->mid(1, *count)};
}

Status SaveRegistrantList(const DataDir& dir, const QStringList& names)
{
    return writeLines(dir, RegistrantNamesFile, QStringList{printForm(static_cast<double>(names.size()))} + names);
}

Result<double> ReadNextRegistrationNumber(const DataDir& dir)
{
    const auto lines = readTextLines(dir, NextNumberFile);
    if (!lines)
        return lines.error();
    const auto number = lines->isEmpty() ? std::nullopt : readNumberLine(lines->first());
    if (!number)
        return failure(FailureKind::Damaged, NextNumberFile, 1);
    return *number;
}

Status WriteNextRegistrationNumber(const DataDir& dir, double number)
{
    return writeLines(dir, NextNumberFile, {printForm(number)});
}

Result<QStringList> ReadRemovedNames(const DataDir& dir)
{
    if (!QFileInfo::exists(dir.listFile(RemovedNamesFile)))
        return QStringList();
    return readTextLines(dir, RemovedNamesFile);
}

Result<QStringList> ReadAllPersonNames(const DataDir& dir)
{
    const auto registrants = LoadRegistrantList(dir);
    if (!registrants)
        return registrants.error();
    const auto removed = ReadRemovedNames(dir);
    if (!removed)
        return removed.error();
    return registrants->names + *removed;
}

Status AppendRemovedName(const DataDir& dir, const QString& name)
{
    if (!QFileInfo::exists(dir.listFile(RemovedNamesFile)))
        return writeLines(dir, RemovedNamesFile, {name});
    return appendLine(dir, RemovedNamesFile, name);
}

Status RewriteRemovedNames(const DataDir& dir, const QStringList& names)
{
    return writeLines(dir, RemovedNamesFile, names);
}

Result<QList<MonthKey>> LoadEnteredMonths(const DataDir& dir)
{
    const auto content = readWholeFile(dir.listFile(EnteredMonthsFile), EnteredMonthsFile, LargestListFile);
    if (!content)
        return content.error();
    return parseEnteredMonths(*content);
}

Result<QList<MonthKey>> parseEnteredMonths(QByteArrayView content)
{
    const auto lines = decodeTextLines(content, EnteredMonthsFile);
    if (!lines)
        return lines.error();
    QList<MonthKey> keys;
    keys.reserve(lines->size());
    for (qsizetype i = 0; i < lines->size(); ++i) {
        const auto key = wholeNumberLine(lines->at(i));
        if (!key)
            return failure(FailureKind::Damaged, EnteredMonthsFile, static_cast<int>(i + 1));
        keys.append(*key);
    }
    return keys;
}

Status AppendEnteredMonth(const DataDir& dir, MonthKey key)
{
    return appendLine(dir, EnteredMonthsFile, printForm(static_cast<double>(key)));
}

Result<QStringList> LoadJobTypes(const DataDir& dir)
{
    // The job types may be edited by hand, so a line end of LF alone is accepted here.
    return readTextLines(dir, JobTypesFile, true);
}

bool registrantNamesExist(const DataDir& dir)
{
    return QFileInfo::exists(dir.listFile(RegistrantNamesFile));
}

bool isStoreFileName(const QString& fileName)
{
    static const QStringList storeNames{
        RegistrantNamesFile,    NextNumberFile,    RemovedNamesFile, EnteredMonthsFile, JobTypesFile,
        OtherFacilityDosesFile, DeclarationsFile,  ExaminationsFile, DosimetersFile,    ImportLayoutsFile,
        FacilityFile,           ChangeHistoryFile, DoseDataFolder,   EntryLockFile};
    return storeNames.contains(fileName) || isSetAsideHistoryName(fileName) || isTemporaryFileName(fileName);
}

bool isStoreFile(const DataDir& dir, const QString& path)
{
    const QFileInfo target(path);
    return target.absoluteDir() == QDir(dir.doseDataFolder()) ||
           (target.absoluteDir() == QDir(dir.root()) && isStoreFileName(target.fileName()));
}

bool holdsOtherFilesThanTheStore(const DataDir& dir)
{
    // Hidden files (a file manager's, the writer's own) and a mounted disk's lost+found are nobody's documents.
    const QStringList names = QDir(dir.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    return std::any_of(names.begin(), names.end(), [](const QString& name) {
        return !isStoreFileName(name) && name != QLatin1String("lost+found");
    });
}

namespace {

Status createListFile(const DataDir& dir, const QString& fileName, const QStringList& lines)
{
    const auto content = encodeLines(lines);
    if (!content)
        return content.error();
    return createIfMissing(dir.listFile(fileName), fileName, *content);
}

Status createSearchFiles(const DataDir& dir)
{
    if (auto status = createListFile(dir, RegistrantNamesFile, {printForm(0)}); !status)
        return status;
    if (auto status = createListFile(dir, NextNumberFile, {printForm(1)}); !status)
        return status;
    return createListFile(dir, RemovedNamesFile, {});
}

} // namespace

void removeUnfinishedRewrites(const DataDir& dir)
{
    removeUnfinishedWrites(dir.root());
    removeUnfinishedWrites(dir.doseDataFolder());
}

Status InitialiseForSearch(const DataDir& dir)
{
    return createSearchFiles(dir);
}

Status InitialiseForEntry(const DataDir& dir)
{
    if (auto status = createSearchFiles(dir); !status)
        return status;
    if (auto status = createListFile(dir, EnteredMonthsFile, {}); !status)
        return status;
    if (auto status = createListFile(dir, JobTypesFile, DefaultJobTypes); !status)
        return status;
    if (!QDir(dir.root()).mkpath(DoseDataFolder))
        return failure(FailureKind::CannotCreateFolder, DoseDataFolder);
    return {};
}

} // namespace velmora
