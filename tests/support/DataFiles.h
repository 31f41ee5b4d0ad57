#pragma once

#include "core/files/DataDir.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

namespace velmora::test {

// Whole-file bytes, for byte-exact expectations.
QByteArray fileBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

// Code page 932 bytes of lines each ending CR LF, spelled out with the bytes of the texts.
QByteArray crlfLines(std::initializer_list<const char*> lines);

// A fixture file of tests/data.
QString fixturePath(const QString& name);

// The five list files and the dose data folder exactly as a first start creates them.
void expectFirstStartStore(const QString& root);

// Every file below a directory with its bytes, to show that an operation left a store untouched; the change
// history as the changes it records, one line each, without the times, PCs and users that differ from run
// to run ("訂正|山田|202504|実効 0.1、…|実効 0.2、…", "|broken" after a record whose hash does not hold).
QMap<QString, QByteArray> snapshot(const QString& root);
// Copies every file and folder below `from` into `to`, as a user copies a folder.
void copyTree(const QString& from, const QString& to);
// The change history of a data folder as snapshot gives it.
QByteArray historyChanges(const DataDir& dir);

} // namespace velmora::test

// Readable failures for Qt texts and bytes.
void PrintTo(const QString& text, std::ostream* out);
void PrintTo(const QByteArray& bytes, std::ostream* out);
