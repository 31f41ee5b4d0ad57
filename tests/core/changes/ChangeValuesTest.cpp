#include "core/changes/RecordedWrites.h"
#include "core/changes/RegistrantChanges.h"
#include "core/changes/SaveAll.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"
#include "core/texts/Messages.h"
#include "support/DataFiles.h"
#include "support/Stores.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString Yamada = QStringLiteral("山田");
const QString Suzuki = QStringLiteral("鈴木");
const MonthlyRecord April{202504, 0.1, 0.2, 0.3, 0, QStringLiteral("腕")};
const OtherFacilityDose Elsewhere{Yamada, QStringLiteral("B病院"), 202505, 202506, 1.5, 0, 0, 0, NoComment};
const Declaration Pregnancy{Suzuki, DeclarationKind::Pregnancy, 20250610, 0, NoComment};

std::vector<PendingEntry> pending(double effective)
{
    std::vector<PendingEntry> entries(RegistrantList::Capacity);
    for (PendingEntry& entry : entries)
        entry.effective = effective;
    return entries;
}

Status statusOf(const Result<QStringList>& saved)
{
    return saved ? Status() : Status(saved.error());
}

// Each change the program makes, on a store of 山田 (who has April 2025 saved) and 鈴木, and the records it
// appends to the change history.
struct ChangeRow {
    const char* name;
    std::function<Status(const DataDir&, SharedState&)> change;
    const char* records;
};

const ChangeRow Rows[] = {
    {"registration",
     [](const DataDir& dir, SharedState& s) {
         return RegisterNewPerson(dir, s, personHeader(QStringLiteral("田中"), 3));
     },
     "登録|田中|0||登録番号 3、性別 女、生年月日 19650412、所属 放射線科、職種 医師、登録年月日 04-01-2005、過去の被曝 "
     "なし\n"},
    {"a file listed again",
     [](const DataDir& dir, SharedState& s) {
         const Status created = CreatePersonalFile(dir, personHeader(QStringLiteral("田中"), 3));
         return created ? ListUnlistedPerson(dir, s, QStringLiteral("田中")) : created;
     },
     "登録|田中|0||登録番号 3、性別 女、生年月日 19650412、所属 放射線科、職種 医師、登録年月日 04-01-2005、過去の被曝 "
     "なし\n"},
    {"a doubtful month deleted",
     [](const DataDir& dir, SharedState&) {
         const Status typo = AppendMonthlyRecord(dir, Suzuki, {202513, 1, 0, 0, 0, NoComment});
         const auto file = ReadPersonalFile(dir, Suzuki);
         return typo ? SaveCorrections(dir, Suzuki, file->header, {}, file->fingerprint) : typo;
     },
     "削除|鈴木|202513|実効 1、水晶体 0、皮膚 0、内部 0、備考 ―|\n"},
    {"removal and restore",
     [](const DataDir& dir, SharedState& s) {
         const Status removed = RemoveRegistrant(dir, s, Suzuki);
         return removed ? RestoreRegistrant(dir, s, Suzuki) : removed;
     },
     "抹消|鈴木|0|登録者|登録抹消者\n復帰|鈴木|0|登録抹消者|登録者\n"},
    {"a month saved for all",
     [](const DataDir& dir, SharedState& s) {
         return statusOf(SaveMonthForAll(dir, s.registrants, pending(0.5), 202505));
     },
     "入力|山田|202505||実効 0.5、水晶体 0、皮膚 0、内部 0、備考 ―\n入力|鈴木|202505||実効 0.5、水晶体 0、皮膚 0、内部 "
     "0、備考 ―\n"},
    {"a month held with other values, replaced",
     [](const DataDir& dir, SharedState& s) {
         return statusOf(SaveMonthForAll(dir, s.registrants, pending(0.5), 202504, HeldValues::Replace));
     },
     "訂正|山田|202504|実効 0.1、水晶体 0.2、皮膚 0.3、内部 0、備考 腕|実効 0.5、水晶体 0、皮膚 0、内部 0、備考 "
     "―\n入力|鈴木|202504||実効 0.5、水晶体 0、皮膚 0、内部 0、備考 ―\n"},
    {"corrections",
     [](const DataDir& dir, SharedState&) {
         const auto file = ReadPersonalFile(dir, Yamada);
         PersonalHeader header = file->header;
         header.affiliation = QStringLiteral("外来");
         MonthlyRecord corrected = April;
         corrected.lens = 2;
         const Status first = SaveCorrections(dir, Yamada, header, {corrected}, file->fingerprint);
         return first ? SaveCorrections(dir, Yamada, header, {}, ReadPersonalFile(dir, Yamada)->fingerprint) : first;
     },
     "訂正|山田|202504|実効 0.1、水晶体 0.2、皮膚 0.3、内部 0、備考 腕|実効 0.1、水晶体 2、皮膚 0.3、内部 0、備考 "
     "腕\n登録内容の訂正|山田|0|所属 放射線科|所属 外来\n削除|山田|202504|実効 0.1、水晶体 2、皮膚 0.3、内部 0、備考 "
     "腕|\n"},
    {"one month of several corrected",
     [](const DataDir& dir, SharedState&) {
         for (const MonthKey month : {202505, 202506})
             if (const Status added = AppendMonthlyRecord(dir, Yamada, {month, 1, 0, 0, 0, NoComment}); !added)
                 return added;
         auto file = *ReadPersonalFile(dir, Yamada);
         file.records[1].effective = 1.25;
         return SaveCorrections(dir, Yamada, file.header, file.records, file.fingerprint);
     },
     "訂正|山田|202505|実効 1、水晶体 0、皮膚 0、内部 0、備考 ―|実効 1.25、水晶体 0、皮膚 0、内部 0、備考 ―\n"},
    {"the past-exposure flag alone",
     [](const DataDir& dir, SharedState&) {
         const auto file = ReadPersonalFile(dir, Yamada);
         PersonalHeader header = file->header;
         header.pastExposureFlag = 1; // the past dose stays 0
         return SaveCorrections(dir, Yamada, header, file->records, file->fingerprint);
     },
     "登録内容の訂正|山田|0|過去の被曝 なし|過去の被曝 0\n"},
    {"an affiliation holding 「、」, then another change: the correction stands, no 未実施",
     [](const DataDir& dir, SharedState&) {
         const auto file = ReadPersonalFile(dir, Yamada);
         PersonalHeader header = file->header;
         header.affiliation = QStringLiteral("外来、病棟");
         const Status corrected = SaveCorrections(dir, Yamada, header, file->records, file->fingerprint);
         return corrected ? SaveFacility(dir, {}, {QStringLiteral("A病院"), {}, {}}) : corrected;
     },
     "登録内容の訂正|山田|0|所属 放射線科|所属 外来、病棟\n事業所||0|事業所名 ―、責任者の職名 ―、責任者の氏名 "
     "―|事業所名 A病院、責任者の職名 ―、責任者の氏名 ―\n"},
    {"an entry elsewhere replaced by another person's of the same first month",
     [](const DataDir& dir, SharedState&) {
         OtherFacilityDose suzuki = Elsewhere;
         suzuki.name = Suzuki;
         const Status added = SaveOtherFacilityDoses(dir, {}, {Elsewhere});
         return added ? SaveOtherFacilityDoses(dir, {Elsewhere}, {suzuki}) : added;
     },
     "他施設線量|山田|202505||施設 B病院、期間 202505～202506、実効 1.5、水晶体 0、皮膚 0、内部 0、備考 ―\n"
     "他施設線量|山田|202505|施設 B病院、期間 202505～202506、実効 1.5、水晶体 0、皮膚 0、内部 0、備考 ―|\n"
     "他施設線量|鈴木|202505||施設 B病院、期間 202505～202506、実効 1.5、水晶体 0、皮膚 0、内部 0、備考 ―\n"},
    {"doses elsewhere added, changed and removed",
     [](const DataDir& dir, SharedState&) {
         OtherFacilityDose changed = Elsewhere;
         changed.effective = 2;
         const Status added = SaveOtherFacilityDoses(dir, {}, {Elsewhere, Elsewhere});
         const Status edited =
             added ? SaveOtherFacilityDoses(dir, {Elsewhere, Elsewhere}, {Elsewhere, changed}) : added;
         return edited ? SaveOtherFacilityDoses(dir, {Elsewhere, changed}, {Elsewhere}) : edited;
     },
     "他施設線量|山田|202505||施設 B病院、期間 202505～202506、実効 1.5、水晶体 0、皮膚 0、内部 0、備考 ―\n"
     "他施設線量|山田|202505||施設 B病院、期間 202505～202506、実効 1.5、水晶体 0、皮膚 0、内部 0、備考 ―\n"
     "他施設線量|山田|202505|施設 B病院、期間 202505～202506、実効 1.5、水晶体 0、皮膚 0、内部 0、備考 ―|施設 "
     "B病院、期間 202505～202506、実効 2、水晶体 0、皮膚 0、内部 0、備考 ―\n"
     "他施設線量|山田|202505|施設 B病院、期間 202505～202506、実効 2、水晶体 0、皮膚 0、内部 0、備考 ―|\n"},
    {"a declaration", [](const DataDir& dir, SharedState&) { return SaveDeclarations(dir, {}, {Pregnancy}); },
     "申告|鈴木|202506||種別 妊娠、期間 20250610～、備考 ―\n"},
    {"the facility",
     [](const DataDir& dir, SharedState&) {
         const Facility named{QStringLiteral("A病院"), QStringLiteral("放射線管理責任者"), QStringLiteral("山田 太郎")};
         const Status saved = SaveFacility(dir, {}, named);
         return saved ? SaveFacility(dir, named, named) : saved; // the same again: no change
     },
     "事業所||0|事業所名 ―、責任者の職名 ―、責任者の氏名 ―|事業所名 A病院、責任者の職名 放射線管理責任者、責任者の氏名 "
     "山田 太郎\n"},
};

TEST(ChangeValues, EachChangeAppendsItsRecordsWithTheValuesBeforeAndAfter)
{
    for (const ChangeRow& row : Rows) {
        QTemporaryDir temp;
        const DataDir dir(temp.path());
        makeStore(dir, {Yamada, Suzuki});
        ASSERT_TRUE(AppendMonthlyRecord(dir, Yamada, April));
        SharedState state;
        state.registrants = *LoadRegistrantList(dir);
        const Status changed = row.change(dir, state);
        ASSERT_TRUE(changed) << row.name << ": " << messageOf(changed.error()).toStdString();
        EXPECT_EQ(QString::fromUtf8(historyChanges(dir)), QString::fromUtf8(row.records)) << row.name;
    }
}

} // namespace
