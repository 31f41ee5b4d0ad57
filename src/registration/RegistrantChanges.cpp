#include "RegistrantChanges.h"

#include "store/ListFiles.h"
#include "store/PersonalFile.h"

#include <QFile>

namespace velmora {
namespace {

// Added to a failure whose first half could not be undone, so that the user knows to look at the file.
QString notUndoneMessage(const QString& fileName)
{
    return QStringLiteral("\n「%1」を元に戻せませんでした。内容を確認して下さい。").arg(fileName);
}

} // namespace

Status RegisterNewPerson(const DataDir& dir, SharedState& state, const PersonalHeader& header)
{
    auto list = LoadRegistrantList(dir);
    if (!list)
        return failure(list.error());
    if (list->count() >= RegistrantList::Capacity)
        return failure(RegistrantLimitMessage);
    if (auto created = CreatePersonalFile(dir, header); !created)
        return created;
    list->names.append(header.name);
    if (auto saved = SaveRegistrantList(dir, list->names); !saved) {
        QFile::remove(dir.personalFile(header.name));
        return saved;
    }
    state.replaceRegistrants(*list);
    return WriteNextRegistrationNumber(dir, header.registrationNumber + 1);
}

Status RemoveRegistrant(const DataDir& dir, SharedState& state, const QString& name)
{
    const qsizetype position = state.positionOf(name);
    if (position < 0)
        return failure(QStringLiteral("該当者が登録者リストにありません"));
    const auto removed = ReadRemovedNames(dir);
    if (!removed)
        return failure(removed.error());
    const bool appended = !removed->contains(name);
    if (appended) {
        if (auto added = AppendRemovedName(dir, name); !added)
            return added;
    }
    QStringList names = state.registrants.names;
    names.removeAt(position);
    if (auto saved = SaveRegistrantList(dir, names); !saved) {
        // The name goes back off the removed list, so that it never stands on both lists.
        if (appended && !RewriteRemovedNames(dir, *removed))
            return failure(saved.error() + notUndoneMessage(RemovedNamesFile));
        return saved;
    }
    return {};
}

Status RestoreRegistrant(const DataDir& dir, SharedState& state, const QString& name)
{
    if (state.registrants.count() >= RegistrantList::Capacity)
        return failure(RegistrantLimitMessage);
    auto removed = ReadRemovedNames(dir);
    if (!removed)
        return failure(removed.error());
    const qsizetype removedAt = removed->lastIndexOf(name);
    if (removedAt < 0)
        return failure(QStringLiteral("該当者が登録抹消者リストにありません"));
    const QStringList before = state.registrants.names;
    if (auto saved = SaveRegistrantList(dir, before + QStringList{name}); !saved)
        return saved;
    removed->removeAt(removedAt);
    if (auto rewritten = RewriteRemovedNames(dir, *removed); !rewritten) {
        if (!SaveRegistrantList(dir, before))
            return failure(rewritten.error() + notUndoneMessage(RegistrantNamesFile));
        return rewritten;
    }
    state.replaceRegistrants(RegistrantList{before + QStringList{name}});
    return {};
}

} // namespace velmora
