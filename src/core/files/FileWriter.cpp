#include "core/files/FileWriter.h"

#include "core/files/Removals.h"
#include "core/files/SystemFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>

namespace velmora {
namespace {

const QString TemporaryPrefix = QStringLiteral(".velmora-writing-");
constexpr int TemporarySuffixLength = 8;

// A write that failed, with the system's reason when it gave one.
Failure writeFailure(const QString& shownName)
{
    Failure failed = failure(FailureKind::CannotWrite, shownName);
    failed.systemError = errno;
    return failed;
}

// What giving the temporary file the file's name did: NotFlushed leaves the file with its new content, which
// the disk did not confirm; a failed rename removes the temporary file.
Status named(system::RenameOutcome outcome, const QString& temporary, const QString& shownName)
{
    if (outcome == system::RenameOutcome::Renamed)
        return {};
    if (outcome == system::RenameOutcome::NotFlushed) {
        Failure unconfirmed = writeFailure(shownName);
        unconfirmed.kind = FailureKind::WrittenNotConfirmed;
        return unconfirmed;
    }
    const bool exists = errno == EEXIST;
    const Failure failed = writeFailure(shownName);
    (void)removeOwnFile(temporary);
    return exists ? failure(FailureKind::AlreadyExists, shownName) : failed;
}

// A temporary file beside `path` holding the whole content on the disk, or an empty path.
QString writeTemporary(const QString& path, const QByteArray& content, std::optional<unsigned> mode)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString temporary = temporaryNameBeside(path);
        if (system::writeNewFile(temporary, content, mode))
            return temporary;
        if (errno != EEXIST)
            return {};
    }
    return {};
}

} // namespace

QString temporaryNameBeside(const QString& path)
{
    QString name = TemporaryPrefix;
    for (int i = 0; i < TemporarySuffixLength; ++i)
        name += QLatin1Char("abcdefghijklmnopqrstuvwxyz0123456789"[QRandomGenerator::global()->bounded(36)]);
    return QFileInfo(path).dir().filePath(name);
}

std::optional<QDateTime> folderClock(const QString& folder)
{
    const QString probe = writeTemporary(QDir(folder).filePath(QStringLiteral("clock")), "1", std::nullopt);
    if (probe.isEmpty())
        return std::nullopt;
    const QDateTime stamped = QFileInfo(probe).lastModified();
    (void)removeOwnFile(probe);
    if (!stamped.isValid())
        return std::nullopt;
    return stamped;
}

bool isTemporaryFileName(const QString& fileName)
{
    static const QRegularExpression temporary(
        QStringLiteral("^%1[a-z0-9]{%2}$").arg(QRegularExpression::escape(TemporaryPrefix)).arg(TemporarySuffixLength));
    return temporary.match(fileName).hasMatch();
}

Status replaceFile(const QString& path, const QString& shownName, const QByteArray& content)
{
    // The new file keeps the permissions of the one it replaces; a link or a special file at the name is
    // left as it is.
    const system::FileKind kind = system::kindOf(path);
    if (kind != system::FileKind::Missing && kind != system::FileKind::Regular)
        return failure(FailureKind::NotRegularFile, shownName);
    const QString temporary = writeTemporary(path, content, system::permissionsOf(path));
    if (temporary.isEmpty())
        return writeFailure(shownName);
    return named(system::replaceWith(temporary, path), temporary, shownName);
}

ReplacingWriter::ReplacingWriter(const QString& path, const QString& shownName)
    : target(path), shown(shownName), file(std::make_unique<QFile>())
{
    const system::FileKind kind = system::kindOf(path);
    if (kind != system::FileKind::Missing && kind != system::FileKind::Regular) {
        opened = failure(FailureKind::NotRegularFile, shown);
        return;
    }
    temporary = writeTemporary(path, {}, system::permissionsOf(path));
    file->setFileName(temporary);
    if (temporary.isEmpty() || !file->open(QIODevice::WriteOnly | QIODevice::Append))
        opened = writeFailure(shown);
}

ReplacingWriter::~ReplacingWriter()
{
    file->close();
    if (!temporary.isEmpty())
        (void)removeOwnFile(temporary);
}

Status ReplacingWriter::append(QByteArrayView bytes)
{
    if (!opened)
        return opened;
    if (file->write(bytes.data(), bytes.size()) != bytes.size() || !file->flush())
        opened = writeFailure(shown);
    return opened;
}

Status ReplacingWriter::finish()
{
    if (!opened)
        return opened;
    file->close();
    if (file->error() != QFileDevice::NoError || !system::flushFile(temporary))
        return opened = writeFailure(shown);
    // A failed rename removes the temporary file itself.
    const QString written = std::exchange(temporary, QString());
    return named(system::replaceWith(written, target), written, shown);
}

Status createFile(const QString& path, const QString& shownName, const QByteArray& content)
{
    const QString temporary = writeTemporary(path, content, std::nullopt);
    if (temporary.isEmpty())
        return writeFailure(shownName);
    return named(system::renameWithoutReplacing(temporary, path), temporary, shownName);
}

Status createIfMissing(const QString& path, const QString& shownName, const QByteArray& content)
{
    if (system::kindOf(path) != system::FileKind::Missing)
        return {};
    return createFile(path, shownName, content);
}

Status appendToFile(const QString& path, const QString& shownName, const QByteArray& content)
{
    switch (system::appendEndingLastLine(path, content)) {
    case system::AppendOutcome::Appended:
        return {};
    case system::AppendOutcome::NotRegular:
        return failure(FailureKind::NotRegularFile, shownName);
    case system::AppendOutcome::Failed:
        return writeFailure(shownName);
    case system::AppendOutcome::FailedAndNotRestored:
        return withNotRestored(writeFailure(shownName), shownName);
    }
    return writeFailure(shownName);
}

void removeUnfinishedWrites(const QString& folder)
{
    const QDir files(folder);
    for (const QString& name : files.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (isTemporaryFileName(name))
            (void)removeOwnFile(files.filePath(name));
}

} // namespace velmora
