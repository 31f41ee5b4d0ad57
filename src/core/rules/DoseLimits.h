#pragma once

#include "core/model/ExactDose.h"

#include <QList>
#include <QString>
#include <QStringList>

// The dose limits of a hospital's radiation workers, in one table. Two laws bind the hospital: the
// 医療法施行規則 as a medical facility and the 電離放射線障害防止規則 (電離則) as an employer. Where
// they differ the stricter is written here, and the row says so. The limit check, the charts, the dose
// notice, the print's key and the guide take the limits from this table alone.
namespace velmora {

enum class LimitQuantity { Effective, Lens, Skin, PregnancyExternal, PregnancyInternal };
enum class LimitPeriod { Quarter, FiscalYear, Block, TransitionYears, Pregnancy };

// Whom a limit binds.
enum class LimitHolder {
    Everyone,
    Women,             // sex code other than 0, in a quarter no diagnosis of being unable to conceive covers
    PregnantWorkers,   // from the earlier of the diagnosis and the declaration to the delivery
    ExceptTransition,  // everyone but a designated doctor in the years of the lens transitional rule
    DesignatedDoctors, // a designated doctor in the years of the lens transitional rule
};

struct DoseLimit {
    LimitQuantity quantity;
    LimitPeriod period;
    int mSv;
    LimitHolder holder;
    int fromYear;    // the first fiscal year it holds
    int lastYear;    // the last
    QString whom;    // for the guide and the notice
    QString sources; // the articles it comes from
    QString note;    // where the laws differ, which is applied and why; empty where they agree

    ExactDose limit() const { return ExactDose::whole(mSv); }
    bool holdsIn(int fiscalYear) const { return fiscalYear >= fromYear && fiscalYear <= lastYear; }
    // How a reason names the figure: "実効 年度", "実効 Q2", "妊娠中 外部", "水晶体 2023年度から".
    QString figure(int quarter = 0) const;
};

// Every limit, in the order the reasons list them.
const QList<DoseLimit>& doseLimits();

// The lens transitional rule for designated doctors holds in these fiscal years.
constexpr int LensTransitionFrom = 2021;
constexpr int LensTransitionLast = 2025;

// 注意 from four fifths of a limit (ExactDose::fourFifths), as the print, the charts and the guide name it:
// "80%", "限度の80%".
inline const QString WarningShare = QStringLiteral("80%");
inline const QString WarningShareOfLimit = QStringLiteral("限度の") + WarningShare;

// 注意: a figure at four fifths of its limit or more, and a fiscal year's effective dose over this, from
// which the running total of the five-year block is to be recorded.
constexpr int RecordBlockAboveMSv = 20;
// The rules of 注意 with their sources, for the guide and the print.
const QStringList& warningRules();

// "実効 年度 50、5年 100、女性 3か月 5／水晶体 年度 50、…": the limits that hold in a fiscal year, in short.
QString limitsInShort(int fiscalYear);

// The limit table as the rows of a Markdown table, as the guide holds it.
QStringList limitTableRows();

} // namespace velmora
