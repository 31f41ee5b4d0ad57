#include "SaveAll.h"

#include "store/ListFiles.h"
#include "store/Messages.h"
#include "store/PersonalFile.h"

#include <algorithm>

namespace velmora {
namespace {

MonthlyRecord recordOf(MonthKey key, const PendingEntry& entry)
{
    return {key, entry.effective, entry.lens, entry.skin, entry.internal, entry.comment};
}

} // namespace

Result<QStringList> SaveMonthForAll(const DataDir& dir, const RegistrantList& registrants,
                                    const std::vector<PendingEntry>& pending, MonthKey key,
                                    const SaveProgress& progress, const AppendRecord& append)
{
    // The months saved so far are read again: another save of the same month may have completed since.
    const auto entered = LoadEnteredMonths(dir);
    if (!entered)
        return failure(entered.error());
    if (entered->contains(key))
        return failure(EnteredMonthMessage);
    const auto report = [&](qsizetype done) {
        if (progress)
            progress(done);
    };
    // Every file is read first, so that a missing or damaged file stops the save before anything is written.
    QStringList unreadable;
    QList<bool> alreadySaved;
    for (qsizetype i = 0; i < registrants.count(); ++i) {
        const QString& name = registrants.names[i];
        const auto holds = HoldsMonth(dir, name, key);
        if (!holds || !encodeRecord(recordOf(key, pending[i])))
            unreadable.append(DataDir::shownPersonalFile(name));
        alreadySaved.append(holds && *holds);
        report(i + 1);
    }
    if (!unreadable.isEmpty())
        return failure(QStringLiteral("次の個人データファイルが見つからないか、内容が正しくないため、"
                                      "保存を中止しました。\n%1")
                           .arg(listForMessage(unreadable, QStringLiteral("件"))));

    QStringList saved;
    QStringList keptOtherValues;
    for (qsizetype i = 0; i < registrants.count(); ++i) {
        const QString& name = registrants.names[i];
        if (alreadySaved[i]) {
            // A retry never changes a month already saved; the user is told where it differs.
            const auto stored = FindMonthlyRecord(dir, name, key);
            if (!stored || stored->record != recordOf(key, pending[i]))
                keptOtherValues.append(name);
        } else {
            if (const auto appended = append(dir, name, recordOf(key, pending[i])); !appended) {
                QString message = QStringLiteral("データの保存が途中で失敗しました。\n%1").arg(appended.error());
                if (!saved.isEmpty())
                    message += QStringLiteral("\n\n次の人にはこの年月のデータを保存済みです。"
                                              "もう一度「全データ保存」を行うと残りの人に保存します。\n%1")
                                   .arg(listForMessage(saved, QStringLiteral("名")));
                return failure(message);
            }
        }
        saved.append(name);
        report(registrants.count() + i + 1);
    }
    // Every append is on the disk already, so the month is never recorded without its records.
    if (auto recorded = AppendEnteredMonth(dir, key); !recorded)
        return failure(recorded.error());
    return keptOtherValues;
}

} // namespace velmora
