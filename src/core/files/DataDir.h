#pragma once

#include "core/model/Result.h"

#include <QDir>
#include <QString>
#include <optional>

// The data directory: the list files and the folder of personal dose files beneath one root.
// Nothing in the store reads the process's current directory; the root is always handed in.
namespace velmora {

inline const QString RegistrantNamesFile = QStringLiteral("登録者名.txt");
inline const QString NextNumberFile = QStringLiteral("登録番号.txt");
inline const QString RemovedNamesFile = QStringLiteral("登録抹消.txt");
inline const QString EnteredMonthsFile = QStringLiteral("既入力.txt");
inline const QString JobTypesFile = QStringLiteral("職種.txt");
inline const QString OtherFacilityDosesFile = QStringLiteral("他施設線量.txt");
inline const QString DeclarationsFile = QStringLiteral("申告.txt");
inline const QString ExaminationsFile = QStringLiteral("健康診断.txt");
inline const QString DosimetersFile = QStringLiteral("線量計.txt");
inline const QString ImportLayoutsFile = QStringLiteral("取込レイアウト.txt");
inline const QString ChangeHistoryFile = QStringLiteral("変更履歴.txt");
inline const QString DoseDataFolder = QStringLiteral("被曝Data");
inline const QString EntryLockFile = QStringLiteral(".velmora-entry.lock");

class DataDir {
public:
    explicit DataDir(const QString& root);

    QString root() const { return dir.path(); }
    // The path of a list file in the root.
    QString listFile(const QString& fileName) const;
    QString doseDataFolder() const;
    // The personal dose file of a registrant: the name followed by ".dat" in the dose data folder.
    QString personalFile(const QString& name) const;
    // How a personal file is named in messages: "被曝Data/山田太郎.dat".
    static QString shownPersonalFile(const QString& name);

private:
    QDir dir;
};

// Why a name cannot be the stem of a personal file name, or nothing when it can: "/", "." or ".."
// would reach outside the dose data folder, \ : * ? " < > | and control characters cannot stand in a
// file name on Windows, nor can CON, PRN, AUX, NUL, COM1–9, LPT1–9 or a name ending in "." or " ", and a
// name too long for the file system could never be created.
std::optional<Failure> personalFileNameProblem(const QString& name);

// What is wrong with the dose data folder of `dir` when it is a link or not a folder, so that no personal
// file is read or written through it; nothing when it is a folder or is missing.
std::optional<Failure> doseDataFolderProblem(const DataDir& dir);

} // namespace velmora
