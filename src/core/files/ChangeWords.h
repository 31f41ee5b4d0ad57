#pragma once

#include "core/files/DoseAdditions.h"
#include "core/files/Dosimeters.h"
#include "core/files/Examinations.h"
#include "core/files/FacilitySettings.h"
#include "core/model/Records.h"

// What the change history holds of each change: the values before and after, one line each, in words an
// auditor reads without the program ("実効 0.3、水晶体 0.4、皮膚 0.5、内部 0、備考 腕"), with numbers in
// the stored digits.
namespace velmora {

inline const QString ChangeWordSeparator = QStringLiteral("、");

QString monthValues(const MonthlyRecord& record);
QString headerValues(const PersonalHeader& header);
QString otherDoseValues(const OtherFacilityDose& dose);
QString declarationValues(const Declaration& declaration);
QString facilityValues(const Facility& facility);
QString examinationValues(const Examination& examination);
QString dosimeterValues(const Dosimeter& dosimeter);

// A field as the history writes it: its name, a blank and its value ("―" for none).
QString changeField(QStringView name, const QString& value);

// The fields of a header that a correction may change, by name, with their values as the history words them.
QList<std::pair<QString, QString>> correctableFields(const PersonalHeader& header);

} // namespace velmora
