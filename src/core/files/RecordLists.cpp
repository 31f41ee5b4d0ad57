#include "core/files/RecordLists.h"

#include "core/files/FileWriter.h"
#include "core/files/NumberForms.h"
#include "core/files/PositionalForms.h"
#include "core/files/TextFile.h"
#include "core/model/Records.h"

#include <QFileInfo>

namespace velmora {
namespace {

Failure damagedAt(const QString& fileName, int line, EntryFault fault)
{
    Failure damaged = failure(FailureKind::Damaged, fileName, line);
    damaged.entryFault = fault;
    return damaged;
}

} // namespace

Result<QList<QStringList>> recordsOf(QByteArrayView content, const QString& fileName, int fields)
{
    const auto lines = decodeTextLines(content, fileName);
    if (!lines)
        return lines.error();
    if (lines->isEmpty())
        return QList<QStringList>();
    const auto count = wholeNumberLine(lines->first());
    if (!count || *count < 0 || *count * fields > lines->size() - 1)
        return damagedAt(fileName, 1, EntryFault::CountMismatch);
    for (qsizetype line = 1 + *count * fields; line < lines->size(); ++line)
        if (!lines->at(line).isEmpty())
            return damagedAt(fileName, 1, EntryFault::CountMismatch);
    QList<QStringList> records;
    for (qsizetype record = 0; record < *count; ++record)
        records.append(lines->mid(1 + record * fields, fields));
    return records;
}

Result<QByteArray> readListBytes(const DataDir& dir, const QString& fileName, qint64 largest)
{
    if (!QFileInfo::exists(dir.listFile(fileName)) && !QFileInfo(dir.listFile(fileName)).isSymLink())
        return QByteArray();
    return readWholeFile(dir.listFile(fileName), fileName, largest);
}

Status writeRecords(const DataDir& dir, const QString& fileName, const QList<QStringList>& records, qsizetype most,
                    qint64 largest)
{
    Failure full = failure(FailureKind::ListFull, fileName, static_cast<int>(most));
    full.text = QString::number(largest >> 20);
    if (records.size() > most)
        return full;
    QStringList lines{printForm(static_cast<double>(records.size()))};
    for (const QStringList& record : records)
        lines << record;
    const auto content = encodeLines(lines);
    if (!content)
        return content.error();
    if (content->size() > largest)
        return full;
    return replaceFile(dir.listFile(fileName), fileName, *content);
}

Failure damagedField(const QString& fileName, qsizetype record, int fields, FieldProblem problem)
{
    return damagedAt(fileName, static_cast<int>(2 + record * fields + problem.field), problem.fault);
}

namespace {

template <typename Number> Number take(const std::optional<Number>& value, int field, FieldProblem& problem)
{
    if (!value && problem.fault == EntryFault::None)
        problem = FieldProblem{field, EntryFault::NotANumber};
    return value.value_or(Number{});
}

} // namespace

qint64 NumberFields::whole(int field)
{
    return take(wholeNumberLine(lines[field]), field, problem);
}

double NumberFields::number(int field)
{
    return take(readNumberLine(lines[field]), field, problem);
}

QString noteLine(const QString& note)
{
    return note.isEmpty() ? NoComment : note;
}

} // namespace velmora
