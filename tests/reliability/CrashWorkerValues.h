#pragma once

#include "core/files/DoseAdditions.h"
#include "core/model/Records.h"
#include "core/session/SharedState.h"

#include <array>

// What the crash worker writes, shared with the test that checks what it left behind.
namespace velmora {

// The pending values of the registrant at list index i (from 0).
inline PendingEntry pendingValueOf(qsizetype i)
{
    return {static_cast<double>(i % 5) * 0.1, static_cast<double>(i % 3) * 0.25, 0, i % 4 ? 0 : 0.0012,
            i % 3 ? NoComment : QStringLiteral("確認済み")};
}

// The person the registration worker registers: number 4 in a store of three.
inline PersonalHeader RegisteredPerson()
{
    return {4, QStringLiteral("佐藤"),      0, 19800101, QStringLiteral("外来"), QStringLiteral("看護師"), 0,
            0, QStringLiteral("12-07-2026")};
}

inline const QString RewrittenPerson = QStringLiteral("山田");

// The two versions the rewrite worker alternates between; they differ in size so that a mix would show.
struct RewriteVersion {
    PersonalHeader header;
    QList<MonthlyRecord> records;
    QStringList names;
    QList<OtherFacilityDose> otherDoses;
};

inline const std::array<RewriteVersion, 2>& rewriteVersions()
{
    static const std::array<RewriteVersion, 2> versions = [] {
        std::array<RewriteVersion, 2> both;
        for (int v = 0; v < 2; ++v) {
            both[v].header = {1,
                              RewrittenPerson,
                              1,
                              19650412,
                              v ? QStringLiteral("外来") : QStringLiteral("放射線科"),
                              QStringLiteral("医師"),
                              double(v),
                              v * 1.5,
                              QStringLiteral("04-01-2005")};
            for (int i = 0; i < 200 + 150 * v; ++i)
                both[v].records.append({198504 + i, i * 0.01 * (v + 1), 0, 0, 0, NoComment});
            for (int i = 0; i < 300 + 200 * v; ++i)
                both[v].names << QStringLiteral("職員%1").arg(i);
            for (int i = 0; i < 100 + 100 * v; ++i)
                both[v].otherDoses.append({QStringLiteral("職員%1").arg(i), QStringLiteral("第二病院"), 202604, 202604,
                                           i * 0.01 * (v + 1), 0, 0, 0, NoComment});
        }
        both[0].names[0] = both[1].names[0] = RewrittenPerson;
        return both;
    }();
    return versions;
}

} // namespace velmora
