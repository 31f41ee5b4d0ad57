#pragma once

#include "core/files/DataDir.h"
#include "core/model/Records.h"
#include "core/session/SharedState.h"

// Whether a month's values, before they are saved, bring anyone near or over a limit: so that the operator
// sees it while the badge report is still on the desk.
namespace velmora {

// For each registrant whose values for `key` bring a limit to 注意 or 超過 that the stored records did
// not, a line "山田　太郎：実効 年度 52 > 50、…" naming each such limit with its total (the doses at other
// facilities and the declarations counted as the totals count them): in `over` when the month brings a
// limit over, else in `near`. A personal file that cannot be read gives a line in `unreadable`; lists of
// doses elsewhere or declarations that cannot be read leave the check to this facility's doses, with the
// reason in `unchecked`: the check is never silently passed.
struct LimitFindings {
    QStringList over;
    QStringList near;
    QStringList unreadable;
    QString unchecked;
    bool isEmpty() const { return over.isEmpty() && near.isEmpty() && unreadable.isEmpty() && unchecked.isEmpty(); }
};
LimitFindings monthLimitFindings(const DataDir& dir, const RegistrantList& registrants,
                                 const std::vector<PendingEntry>& pending, MonthKey key);

// The findings as a paragraph to stand before the question that saves or takes the month; empty when
// there are none.
QString monthLimitReport(const LimitFindings& findings);

} // namespace velmora
