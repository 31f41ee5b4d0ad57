#include "core/files/DataDir.h"

#include "core/files/SystemFiles.h"

#include <QFile>
#include <algorithm>

namespace velmora {
namespace {
const QString PersonalFileSuffix = QStringLiteral(".dat");
constexpr qsizetype MaxFileNameBytes = 255;

// A device name of Windows (CON, PRN, AUX, NUL, COM1–9, LPT1–9), alone or before an extension: Windows
// opens the device instead of a file of that name. Compared without a regular expression, which the
// totals' reading threads must not use (the MinGW build's thread-local matching stack breaks at their end).
bool isWindowsDeviceName(const QString& name)
{
    const QString stem = name.section(QLatin1Char('.'), 0, 0).toUpper();
    if (stem == QLatin1String("CON") || stem == QLatin1String("PRN") || stem == QLatin1String("AUX") ||
        stem == QLatin1String("NUL"))
        return true;
    return stem.size() == 4 && (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))) &&
           stem.at(3) >= QLatin1Char('1') && stem.at(3) <= QLatin1Char('9');
}
} // namespace

DataDir::DataDir(const QString& root) : dir(root) {}

QString DataDir::listFile(const QString& fileName) const
{
    return dir.filePath(fileName);
}

QString DataDir::doseDataFolder() const
{
    return dir.filePath(DoseDataFolder);
}

QString DataDir::personalFile(const QString& name) const
{
    return QDir(doseDataFolder()).filePath(name + PersonalFileSuffix);
}

QString DataDir::shownPersonalFile(const QString& name)
{
    return DoseDataFolder + QLatin1Char('/') + name + PersonalFileSuffix;
}

std::optional<Failure> personalFileNameProblem(const QString& name)
{
    // Characters no file name may hold on Linux or Windows, where the store may be copied.
    const auto unusable = [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x7f || QStringView(u"/\\:*?\"<>|").contains(c);
    };
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        std::any_of(name.begin(), name.end(), unusable))
        return failureWithText(FailureKind::UnusableName, name);
    // Names Windows cannot give a file, refused on both builds so that a store can move between them.
    if (isWindowsDeviceName(name) || name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return failureWithText(FailureKind::WindowsName, name);
    if (QFile::encodeName(name + PersonalFileSuffix).size() > MaxFileNameBytes)
        return failureWithText(FailureKind::NameTooLong, name);
    return std::nullopt;
}

std::optional<Failure> doseDataFolderProblem(const DataDir& dir)
{
    const system::FileKind kind = system::kindOf(dir.doseDataFolder());
    if (kind == system::FileKind::Missing || kind == system::FileKind::Folder)
        return std::nullopt;
    return failure(FailureKind::NotRegularFile, DoseDataFolder);
}

} // namespace velmora
