#pragma once

#include "core/files/DataDir.h"
#include "core/model/Records.h"
#include "core/model/Result.h"

// The five list files of the data directory and the first-run creation of the store.
namespace velmora {

// The count line and exactly that many names. Fails for a count over 1000, a number of names other
// than the count, a name listed twice, or a file that cannot be read.
Result<RegistrantList> LoadRegistrantList(const DataDir& dir);
Status SaveRegistrantList(const DataDir& dir, const QStringList& names);
// The same from the bytes of "登録者名.txt".
Result<RegistrantList> parseRegistrantList(QByteArrayView content);

Result<double> ReadNextRegistrationNumber(const DataDir& dir);
Status WriteNextRegistrationNumber(const DataDir& dir, double number);

// A missing "登録抹消.txt" is an empty removed list.
Result<QStringList> ReadRemovedNames(const DataDir& dir);
Status AppendRemovedName(const DataDir& dir, const QString& name);
Status RewriteRemovedNames(const DataDir& dir, const QStringList& names);
// Everyone the store keeps a file for: the registrants in list order, then the removed persons.
Result<QStringList> ReadAllPersonNames(const DataDir& dir);

// Every key of "既入力.txt" in save order, also past 500: a dropped key would let a month be saved twice.
Result<QList<MonthKey>> LoadEnteredMonths(const DataDir& dir);
Status AppendEnteredMonth(const DataDir& dir, MonthKey key);
// The same from the bytes of "既入力.txt".
Result<QList<MonthKey>> parseEnteredMonths(QByteArrayView content);

Result<QStringList> LoadJobTypes(const DataDir& dir);

bool registrantNamesExist(const DataDir& dir);

// Whether a name in the data folder is one of the store's own: a list file, the dose data folder, the
// entry lock, or a file the writer is writing.
bool isStoreFileName(const QString& fileName);

// Whether `path` is a file of the store of `dir` (a list, a personal file, the lock), which no file the
// program makes for the operator (a template, a CSV) may replace.
bool isStoreFile(const DataDir& dir, const QString& path);

// Whether the data folder holds anything but the store's own files while it has no registrant list: a
// first start there would mix the store into the user's other files.
bool holdsOtherFilesThanTheStore(const DataDir& dir);

// Creates whatever of the five list files and the dose data folder is missing; existing files stay.
Status InitialiseForEntry(const DataDir& dir);
// Creates whatever of "登録者名.txt", "登録番号.txt" and "登録抹消.txt" is missing.
Status InitialiseForSearch(const DataDir& dir);

// Removes the temporary files that a write killed before its rename left in the data directory and the
// dose data folder (the file it was writing is whole, old or new). Called when the entry window opens.
void removeUnfinishedRewrites(const DataDir& dir);

inline const QStringList DefaultJobTypes = {
    QStringLiteral("医師"),         QStringLiteral("診療放射線技師"), QStringLiteral("看護師"),
    QStringLiteral("臨床検査技師"), QStringLiteral("薬剤師"),         QStringLiteral("理学療法士"),
    QStringLiteral("臨床工学技士"), QStringLiteral("事務職"),
};

} // namespace velmora
