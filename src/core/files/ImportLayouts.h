#pragma once

#include "core/files/DataDir.h"
#include "core/files/RecordLists.h"
#include "core/model/Result.h"

#include <QStringList>
#include <array>
#include <optional>

// The column layouts of the dosimetry services' files, learned once and kept under a name in the list file
// 「取込レイアウト.txt」: which row holds the headings, which column holds the person, the month and each dose
// (the service's computed doses, or the readings of each badge site), and which marks mean below detection.
// Columns are kept by position with the headings they were made for, since a service's file often repeats a
// heading (one "Hp(10)" for each badge): a file is read by a layout only when its headings are those.
namespace velmora {

enum class LayoutColumn {
    Name,          // the person's name
    ServiceNumber, // the service's personal number
    Month,         // the month of the row, in a file of several months
    Effective,     // the service's computed doses
    Lens,
    Skin,
    Internal,
    TrunkHp10, // the badge at the chest or abdomen (under the apron)
    TrunkHp007,
    NeckHp10, // the badge at the neck (outside the apron)
    NeckHp007,
    EyeHp3,    // the dosimeter near the eye
    RingHp007, // the ring
};
constexpr int LayoutColumns = 13;

// "氏名", "測定番号", "年月", "実効線量", …, "頸部 Hp(10)": what the mapping window and the messages call each.
QString layoutColumnText(LayoutColumn column);

struct ImportLayout {
    QString name;
    int headingRow = 1;   // the row of the file holding the headings (1 the first); the rows above are titles
    QStringList headings; // the headings it was made for, without blanks
    std::array<int, LayoutColumns> columns{}; // the column (1 the first) of each, 0 where the file has none
    QStringList marks;                        // what means below detection besides a blank cell and M

    int column(LayoutColumn c) const { return columns[static_cast<size_t>(c)]; }
    bool operator==(const ImportLayout&) const = default;
};

// The marks a new layout proposes: what the services print for a value below the detection limit.
inline const QStringList UsualMarks = {QStringLiteral("X"), QStringLiteral("ND"), QStringLiteral("―"),
                                       QStringLiteral("-")};

// Why a layout cannot read doses.
enum class LayoutFault {
    NoName,            // the layout has no name
    NoPerson,          // neither the name's nor the number's column
    NoEffective,       // neither the service's effective dose nor the trunk's Hp(10)
    NoLens,            // neither the service's lens dose nor a reading it can be computed from
    NoSkin,            // neither the service's skin dose nor an Hp(0.07)
    ColumnOutsideFile, // a column beyond its headings
    SameColumnTwice,   // one column chosen for two things
    NotStorable,       // the name or a mark holds a character code page 932 lacks, or a mark a 「 or 」
};
std::optional<LayoutFault> layoutProblem(const ImportLayout& layout);

// A file's heading row as a layout keeps it: each heading without blanks, as code page 932 holds it (a character
// it lacks as "?"), the empty ones at its end left off.
QStringList layoutHeadings(const QStringList& row);

// The saved layout made for these rows: the one whose headings stand at its heading row; nothing when none.
std::optional<ImportLayout> layoutFor(const QList<ImportLayout>& layouts, const QList<QStringList>& firstRows);

// A first guess for a file no saved layout was made for, named after the file `name` without its month and
// numbers: the headings on the first row that names a person (氏名, 名前) or else the first, the badges'
// readings whose headings name a site (体幹・胸・腹, 頸・首, 眼・水晶体, 指・リング) and a depth (Hp(10) or 1cm,
// Hp(0.07) or 70μm, Hp(3) or 3mm), and the columns whose headings say what they hold (氏名, 番号, 年月, 実効,
// 水晶体, 皮膚, 内部); the usual marks.
ImportLayout proposedLayout(const QList<QStringList>& firstRows, const QString& name);

constexpr qsizetype MostLayouts = 1'000;
constexpr qint64 LargestLayoutsFile = qint64(4) << 20;

// The list; a missing file is an empty list, a damaged one fails with its line.
Result<QList<ImportLayout>> ReadImportLayouts(const DataDir& dir);
Result<QList<ImportLayout>> parseImportLayouts(QByteArrayView content);
// Replaces the list file through the store's writer; ListFull beyond its bounds.
Status WriteImportLayouts(const DataDir& dir, const QList<ImportLayout>& layouts);

} // namespace velmora
