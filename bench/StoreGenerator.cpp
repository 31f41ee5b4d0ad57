#include "StoreGenerator.h"

#include "core/files/ChangeHistory.h"
#include "core/files/ChangeWords.h"
#include "core/files/ListFiles.h"
#include "core/files/PersonalFile.h"

#include <random>

namespace velmora {
namespace {

const QStringList Surnames = {"佐藤", "鈴木", "高橋",   "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤",
                              "吉田", "山田", "佐々木", "山口", "松本", "井上", "木村", "林",   "斎藤", "清水",
                              "山崎", "森",   "池田",   "橋本", "阿部", "石川", "山下", "中島", "石井", "小川",
                              "前田", "岡田", "長谷川", "藤田", "後藤", "近藤", "村上", "遠藤", "青木", "坂本"};
const QStringList GivenNames = {"太郎", "花子",   "一郎", "美咲", "健太", "由美", "翔太", "陽子", "大輔",
                                "恵子", "拓也",   "直美", "誠",   "智子", "剛",   "裕子", "浩二", "真由美",
                                "修",   "久美子", "聡",   "明美", "亮",   "香織", "勇気"};
const QStringList Affiliations = {"放射線科", "循環器内科",   "消化器内科",   "整形外科",   "脳神経外科", "手術室",
                                  "救急部",   "核医学検査室", "放射線治療室", "臨床検査部", "薬剤部",     "事務部"};
const QStringList Comments = {"透視検査", "心臓カテーテル", "ＩＶＲ",    "ポータブル撮影",
                              "核医学",   "治療計画",       "バッジ紛失"};

QString nameOf(int i)
{
    const QString base = Surnames[i % Surnames.size()] + QStringLiteral("　") +
                         GivenNames[(i / Surnames.size() + i) % GivenNames.size()];
    // Surname and given name repeat after 1000 persons; a number keeps every name unique.
    return i < Surnames.size() * GivenNames.size() ? base : base + QString::number(i);
}

// A dose as a film badge reports it: mostly below the detection limit ("Ｍ"), otherwise 0.05 to 2 mSv.
double externalDose(std::mt19937& random)
{
    if (std::uniform_int_distribution<int>(0, 9)(random) < 7)
        return 0;
    // Divided, not multiplied by 0.05: the double nearest the decimal, which the files print as typed.
    return std::uniform_int_distribution<int>(1, 40)(random) / 20.0;
}

double internalDose(std::mt19937& random)
{
    if (std::uniform_int_distribution<int>(0, 9)(random) != 0)
        return 0;
    return std::uniform_int_distribution<int>(1, 999)(random) / 1e5;
}

} // namespace

qint64 monthAfter(qint64 first, int offset)
{
    const int index = static_cast<int>(first % 100) - 1 + offset;
    return (first / 100 + index / 12) * 100 + index % 12 + 1;
}

Status generateStore(const DataDir& dir, const StoreSize& size)
{
    if (auto created = InitialiseForEntry(dir); !created)
        return created;
    std::mt19937 random(19850401);
    QStringList names;
    QList<Change> registrations;
    QList<Change> monthsSaved; // month by month, in list order, as save-all records them
    for (int i = 0; i < size.registrants; ++i) {
        const QString name = nameOf(i);
        names.append(name);
        const bool past = i % 17 == 0;
        const PersonalHeader header{double(i + 1),
                                    name,
                                    double(i % 3 == 0),
                                    double(19500101 + (i % 40) * 10000 + (i % 12) * 100 + i % 28),
                                    Affiliations[i % Affiliations.size()],
                                    DefaultJobTypes[i % DefaultJobTypes.size()],
                                    double(past),
                                    past ? 12.5 : 0,
                                    QStringLiteral("04-01-1985")};
        QList<MonthlyRecord> records;
        records.reserve(size.months);
        for (int month = 0; month < size.months; ++month) {
            const bool commented = std::uniform_int_distribution<int>(0, 19)(random) == 0;
            records.append({monthAfter(size.firstMonth, month), externalDose(random), externalDose(random),
                            externalDose(random), internalDose(random),
                            commented ? Comments[month % Comments.size()] : NoComment});
        }
        if (auto written = RewritePersonalFile(dir, name, header, records); !written)
            return written;
        if (size.history) {
            registrations.append({ChangeKind::Registration, name, 0, {}, headerValues(header)});
            for (const MonthlyRecord& record : records)
                monthsSaved.append({ChangeKind::MonthSaved, name, record.key, {}, monthValues(record)});
        }
    }
    if (auto saved = SaveRegistrantList(dir, names); !saved)
        return saved;
    if (auto numbered = WriteNextRegistrationNumber(dir, size.registrants + 1); !numbered)
        return numbered;
    for (int month = 0; month < size.months; ++month)
        if (auto entered = AppendEnteredMonth(dir, monthAfter(size.firstMonth, month)); !entered)
            return entered;
    if (!size.history)
        return {};
    // The records of what the files now hold, in the order it was done: everyone registered, then month
    // after month.
    QList<Change> changes = registrations;
    for (int month = 0; month < size.months; ++month)
        for (int person = 0; person < size.registrants; ++person)
            changes.append(monthsSaved[person * size.months + month]);
    return RecordWrite(dir, changes, [] { return Status(); });
}

} // namespace velmora
