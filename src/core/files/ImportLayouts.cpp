#include "core/files/ImportLayouts.h"

#include "core/files/Cp932.h"
#include "core/files/Csv.h"
#include "core/files/NumberForms.h"
#include "core/files/TextFile.h"
#include "core/model/Records.h"

#include <QRegularExpression>

namespace velmora {
namespace {

// 名前 見出しの行 見出し（タブ区切り） 13の列 記号
constexpr int FirstColumnLine = 3;
constexpr int MarksLine = FirstColumnLine + LayoutColumns;
constexpr int LayoutLines = MarksLine + 1;

bool has(const ImportLayout& layout, LayoutColumn column)
{
    return layout.column(column) > 0;
}

// The marks as one line: 「X」「ND」, "―" for none.
QString marksLine(const QStringList& marks)
{
    QString line;
    for (const QString& mark : marks)
        line += QStringLiteral("「%1」").arg(mark);
    return line.isEmpty() ? NoComment : line;
}

QStringList marksOf(const QString& line)
{
    QStringList marks;
    static const QRegularExpression quoted(QStringLiteral("「([^」]*)」"));
    for (const auto& match : quoted.globalMatch(line))
        marks << match.captured(1);
    return marks;
}

} // namespace

QString layoutColumnText(LayoutColumn column)
{
    static const QString texts[LayoutColumns] = {
        QStringLiteral("氏名"),        QStringLiteral("測定番号"),      QStringLiteral("年月"),
        QStringLiteral("実効線量"),    QStringLiteral("水晶体"),        QStringLiteral("皮膚"),
        QStringLiteral("内部被曝"),    QStringLiteral("体幹部 Hp(10)"), QStringLiteral("体幹部 Hp(0.07)"),
        QStringLiteral("頸部 Hp(10)"), QStringLiteral("頸部 Hp(0.07)"), QStringLiteral("眼の近く Hp(3)"),
        QStringLiteral("指 Hp(0.07)"),
    };
    return texts[static_cast<size_t>(column)];
}

std::optional<LayoutFault> layoutProblem(const ImportLayout& layout)
{
    if (layout.name.trimmed().isEmpty())
        return LayoutFault::NoName;
    if (storableTextProblem(layout.name) || storableTextProblem(layout.marks.join(QString())) ||
        std::any_of(layout.marks.begin(), layout.marks.end(),
                    [](const QString& mark) { return mark.contains(u'「') || mark.contains(u'」'); }))
        return LayoutFault::NotStorable;
    if (!has(layout, LayoutColumn::Name) && !has(layout, LayoutColumn::ServiceNumber))
        return LayoutFault::NoPerson;
    if (!has(layout, LayoutColumn::Effective) && !has(layout, LayoutColumn::TrunkHp10))
        return LayoutFault::NoEffective;
    if (!has(layout, LayoutColumn::Lens) && !has(layout, LayoutColumn::EyeHp3) &&
        !has(layout, LayoutColumn::TrunkHp10) && !has(layout, LayoutColumn::TrunkHp007))
        return LayoutFault::NoLens;
    if (!has(layout, LayoutColumn::Skin) && !has(layout, LayoutColumn::TrunkHp007))
        return LayoutFault::NoSkin;
    QList<int> chosen;
    for (const int column : layout.columns) {
        if (column < 0 || column > layout.headings.size())
            return LayoutFault::ColumnOutsideFile;
        if (column > 0 && chosen.contains(column))
            return LayoutFault::SameColumnTwice;
        chosen << column;
    }
    return std::nullopt;
}

QStringList layoutHeadings(const QStringList& row)
{
    QStringList headings;
    for (const QString& cell : row) {
        // As the list file holds it: a character code page 932 lacks (a UTF-8 file's "µ" U+00B5) as "?", so that
        // any file's headings can be kept and compared again.
        QString heading = csv::compactHeading(cell);
        for (QString missing = cp932::firstUnencodable(heading); !missing.isEmpty();
             missing = cp932::firstUnencodable(heading))
            heading.replace(missing, QStringLiteral("?"));
        headings << cp932::canonical(heading);
    }
    while (!headings.isEmpty() && headings.last().isEmpty())
        headings.removeLast();
    return headings;
}

std::optional<ImportLayout> layoutFor(const QList<ImportLayout>& layouts, const QList<QStringList>& firstRows)
{
    for (const ImportLayout& layout : layouts) {
        if (layout.headingRow > firstRows.size())
            continue;
        if (layoutHeadings(firstRows[layout.headingRow - 1]) == layout.headings)
            return layout;
    }
    return std::nullopt;
}

namespace {

// The badge reading a heading names by its site and its depth (「胸部 Hp(10)」, 「頸部70μm線量当量」, 「水晶体
// Hp(3)」, 「リング」), or nothing; a heading read width-folded (「Ｈｐ（１０）」 as Hp(10)) without blanks.
std::optional<LayoutColumn> readingNamed(const QString& heading)
{
    const QString h = csv::compactHeading(heading.normalized(QString::NormalizationForm_KC)).toLower();
    const auto any = [&h](std::initializer_list<const char16_t*> words) {
        return std::any_of(words.begin(), words.end(), [&h](const char16_t* word) { return h.contains(word); });
    };
    const bool deep = any({u"hp(10)", u"1cm"});
    const bool shallow = any({u"hp(0.07)", u"70μm", u"0.07mm"});
    const bool eyeDepth = any({u"hp(3)", u"3mm"});
    if (any({u"体幹", u"胸", u"腹"}) && (deep || shallow))
        return deep ? LayoutColumn::TrunkHp10 : LayoutColumn::TrunkHp007;
    if (any({u"頸", u"首"}) && (deep || shallow))
        return deep ? LayoutColumn::NeckHp10 : LayoutColumn::NeckHp007;
    // The service's own lens dose (「眼の水晶体の等価線量」) names no depth.
    if (eyeDepth)
        return LayoutColumn::EyeHp3;
    if ((any({u"リング"}) || (any({u"指"}) && !any({u"指定"}))) && !deep)
        return LayoutColumn::RingHp007;
    return std::nullopt;
}

// A layout's name from its file's: the month, year and numbers taken out (「個人線量報告書_2025年4月分」 is
// 「個人線量報告書」), so that the next month's file keeps the same layout; the name itself when nothing is left.
QString layoutNameOf(const QString& fileName)
{
    static const QRegularExpression dated(QStringLiteral("(令和|平成|第)?[0-9０-９]+\\s*(年度|年|月分|月|日|号)?"));
    static const QRegularExpression separators(QStringLiteral("[_\\-\\s　]{2,}"));
    QString name = fileName;
    name.remove(dated).replace(separators, QStringLiteral("_"));
    while (!name.isEmpty() && QStringLiteral("_- 　").contains(name.front()))
        name.remove(0, 1);
    while (!name.isEmpty() && QStringLiteral("_- 　").contains(name.back()))
        name.chop(1);
    return name.isEmpty() ? fileName : name;
}

} // namespace

ImportLayout proposedLayout(const QList<QStringList>& firstRows, const QString& name)
{
    static const std::pair<LayoutColumn, QStringList> words[] = {
        {LayoutColumn::Name, {QStringLiteral("氏名"), QStringLiteral("名前")}},
        {LayoutColumn::ServiceNumber, {QStringLiteral("番号"), QStringLiteral("ID"), QStringLiteral("コード")}},
        {LayoutColumn::Month, {QStringLiteral("年月"), QStringLiteral("測定月")}},
        {LayoutColumn::Effective, {QStringLiteral("実効")}},
        {LayoutColumn::Lens, {QStringLiteral("水晶体")}},
        {LayoutColumn::Skin, {QStringLiteral("皮膚")}},
        {LayoutColumn::Internal, {QStringLiteral("内部")}},
    };
    ImportLayout layout;
    layout.name = layoutNameOf(name);
    layout.marks = UsualMarks;
    const auto namesPerson = [&](const QString& cell) {
        return std::any_of(words[0].second.begin(), words[0].second.end(),
                           [&](const QString& key) { return cell.contains(key); });
    };
    const auto personRow = std::find_if(firstRows.begin(), firstRows.end(), [&](const QStringList& row) {
        return std::any_of(row.begin(), row.end(), namesPerson);
    });
    if (personRow != firstRows.end())
        layout.headingRow = static_cast<int>(personRow - firstRows.begin() + 1);
    const QStringList headings = firstRows.value(layout.headingRow - 1);
    // The badges' readings first: 「水晶体 Hp(3)」 is a reading, not the service's lens dose.
    for (qsizetype c = 0; c < headings.size(); ++c)
        if (const auto reading = readingNamed(headings[c]); reading && layout.column(*reading) == 0)
            layout.columns[static_cast<size_t>(*reading)] = static_cast<int>(c + 1);
    for (const auto& [column, keys] : words)
        for (qsizetype c = 0; c < headings.size() && layout.column(column) == 0; ++c) {
            const QString heading = csv::compactHeading(headings[c]);
            const bool taken = std::find(layout.columns.begin(), layout.columns.end(), c + 1) != layout.columns.end();
            if (!taken &&
                std::any_of(keys.begin(), keys.end(), [&](const QString& key) { return heading.contains(key); }))
                layout.columns[static_cast<size_t>(column)] = static_cast<int>(c + 1);
        }
    return layout;
}

Result<QList<ImportLayout>> ReadImportLayouts(const DataDir& dir)
{
    const auto content = readListBytes(dir, ImportLayoutsFile, LargestLayoutsFile);
    if (!content)
        return content.error();
    return parseImportLayouts(*content);
}

Result<QList<ImportLayout>> parseImportLayouts(QByteArrayView content)
{
    const auto records = recordsOf(content, ImportLayoutsFile, LayoutLines);
    if (!records)
        return records.error();
    QList<ImportLayout> layouts;
    for (qsizetype at = 0; at < records->size(); ++at) {
        const QStringList& r = records->at(at);
        NumberFields f{r};
        ImportLayout layout;
        layout.name = r[0];
        layout.headingRow = static_cast<int>(f.whole(1));
        layout.headings = r[2].split(QLatin1Char('\t'));
        for (int c = 0; c < LayoutColumns; ++c)
            layout.columns[static_cast<size_t>(c)] = static_cast<int>(f.whole(FirstColumnLine + c));
        layout.marks = marksOf(r[MarksLine]);
        if (f.problem.fault == EntryFault::None && (layout.headingRow < 1 || layoutProblem(layout)))
            f.problem = {layout.name.isEmpty() ? 0 : FirstColumnLine, EntryFault::LayoutCannotRead};
        if (f.problem.fault != EntryFault::None)
            return damagedField(ImportLayoutsFile, at, LayoutLines, f.problem);
        layouts.append(layout);
    }
    return layouts;
}

Status WriteImportLayouts(const DataDir& dir, const QList<ImportLayout>& layouts)
{
    QList<QStringList> records;
    for (const ImportLayout& layout : layouts) {
        QStringList record{layout.name, printForm(layout.headingRow), layout.headings.join(QLatin1Char('\t'))};
        for (const int column : layout.columns)
            record << printForm(column);
        record << marksLine(layout.marks);
        records.append(record);
    }
    return writeRecords(dir, ImportLayoutsFile, records, MostLayouts, LargestLayoutsFile);
}

} // namespace velmora
