#pragma once

#include "core/model/Records.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

// The number forms of the system: the print form of the data files and reports, the reading of number
// lines, the leading-number reading of typed texts and the exponent form "0.00E+00".
// None of them depends on the user's locale.
namespace velmora {

// Sign place (a blank, or "-" for a negative number), the digits, a trailing blank: 12 gives " 12 ".
// Integers have no point or exponent; fractions take the shortest of 15 or 17 significant digits that
// reads back to the same value, with a leading "0." and exponents as "E-05".
QString printForm(double value);

// The print form as the reports show a number: at most 15 significant digits, so that a sum such as
// 0.1 + 0.2 shows as 0.3 rather than 0.30000000000000004. Stored values look the same in both forms.
QString reportForm(double value);

// The print form without its trailing blank: the text whose characters the readers pick out.
QString printFormDigits(double value);

// The print form without its blanks, as a window shows a number: 7 gives "7", -2.5 gives "-2.5".
QString plainForm(double value);

// A number line of a data file: blanks anywhere are skipped and the rest must be one number, with or
// without a leading zero, sign or exponent (E or D). Nothing for a line that is not a number, or whose
// number is too large for a double ("1e999").
std::optional<double> readNumberLine(QByteArrayView line);
std::optional<double> readNumberLine(QStringView line);

// The value of a typed text: blanks ignored wherever they stand, full-width digits and signs read as
// their ASCII forms, then the longest beginning that forms a number; 0 when there is none.
// "1.23E-03" gives 0.00123, "M" and "" give 0. "1e999" gives infinity, which callers refuse.
double LeadingNumber(QStringView text);

// The same reading, with nothing where the text has no beginning that forms a number ("M", "abc", "").
std::optional<double> leadingNumberOf(QStringView text);

// A cell of a spreadsheet that must be a number as a whole: blanks around it, full-width digits and
// signs, sign and exponent as the typed forms allow; nothing for anything else ("0,06", "0.09.5", "1 2",
// a NUL). "1e999" gives infinity, which callers refuse.
std::optional<double> cellNumber(QStringView text);

// The exponent form "0.00E+00": 0.00123 gives "1.23E-03", 0 gives "0.00E+00".
QString exponentForm(double value);

// The month key of a typed year and month (each read by LeadingNumber): year × 100 + month, or
// nothing when the result is not a whole number that a key line can hold ("1e999", "2005.55").
std::optional<MonthKey> typedMonthKey(QStringView year, QStringView month);

// Whether a value can be written as a number line that every reader accepts (not infinite, not NaN).
bool isStorable(double value);

} // namespace velmora
