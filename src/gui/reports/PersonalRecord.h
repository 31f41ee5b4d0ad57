#pragma once

#include "core/model/Records.h"
#include "core/rules/RecordFigures.h"
#include "gui/platform/Printer.h"
#include "gui/reports/ListPage.h"
#include "gui/reports/ReportPen.h"

#include <functional>

// The personal exposure record of one person for one fiscal year (April to March): registration data,
// twelve month rows, the fiscal-year total, the cumulative dose over every record and the "Ｍ" counts.
namespace velmora {

// What the screen record and the paper record differ in beyond their style.
struct RecordLayout {
    ReportStyle style;
    double dataSize;                               // the registration data
    double secondColumnX;                          // "登録年月日" and "測定期間", in surface units
    QList<PlacedText> captions;                    // in surface units
    std::function<QString(double key)> monthLabel; // the label of a month row
};

extern const RecordLayout ScreenRecordLayout;
extern const RecordLayout PaperRecordLayout;

// Draws the whole record of `person` for the fiscal year typed in `fiscalYearText`.
void drawPersonalRecord(Surface& surface, const RecordLayout& layout, const PersonalFile& person,
                        const QString& fiscalYearText);

// The record on the picture box.
void ShowPersonalRecord(Surface& picture, const PersonalFile& person, const QString& fiscalYearText);

// The record on one printed page.
void PrintPersonalRecord(Printer& printer, const PersonalFile& person, const QString& fiscalYearText,
                         const QString& facility);

} // namespace velmora
