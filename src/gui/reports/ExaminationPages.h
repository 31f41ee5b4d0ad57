#pragma once

#include "core/rules/ExaminationRules.h"
#include "gui/platform/Printer.h"
#include "gui/reports/ReportPen.h"

#include <QDate>

// The pages of the health examinations: the sheet shown to the doctor at a person's examination (the doses
// since the last one month by month and the figures of the rule for leaving out items 2–5), and the count
// section of the report to the labour standards office (様式第2号). Drawn in screen units (2960 × 1900) at
// the style's scale, on the window's picture box and on paper alike.
namespace velmora {

// "前年の実効線量 3.2 mSv（5 mSv以下）、本年 1月～6月 1.1 mSv": the figures, the judgement left to the doctor.
QString leaveOutRuleFigures(const DoctorSheet& sheet);

void drawDoctorSheet(Surface& surface, const ReportStyle& style, const DoctorSheet& sheet, const QDate& printed = {},
                     const QString& facility = {});

// Prints the sheets in their order as one document, a page each.
void PrintDoctorSheets(Printer& printer, const QList<DoctorSheet>& sheets, const QDate& printed,
                       const QString& facility);

void drawExaminationReport(Surface& surface, const ReportStyle& style, const ExaminationReport& report,
                           const QDate& printed = {}, const QString& facility = {});

} // namespace velmora
