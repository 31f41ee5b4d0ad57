#pragma once

#include <QString>

// Texts that readers take by character position from a number's print form without its trailing blank
// (a blank and six digits for a month key, a blank and eight for a date of birth). Where the text is
// shorter than the positions asked for, the characters that exist are taken: key 4 gives "4/ 4".
namespace velmora {

// Characters 2 to 5, the separator, the last two characters: 200504 with "/" gives "2005/04".
QString monthLabel(double key, const QString& separator);

// How the correction window lists a record: the first five characters (the blank and the year), "年 ",
// the last two (the month), "月": 200504 gives " 2005年 04月".
QString correctionMonthLabel(double key);
// The key read back from such a label: characters 2 to 5 are the year, 8 and 9 the month.
double keyOfCorrectionLabel(const QString& label);

// The paper form of a month label: 200504 gives "2005年04月".
QString monthLabelInKanji(double key);

// 19650412 gives "1965年04月12日".
QString dateInKanji(double dateOfBirth);

// 19650412 gives "1965/04/12".
QString dateWithSlashes(double dateOfBirth);

} // namespace velmora
