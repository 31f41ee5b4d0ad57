#include "core/files/PositionalForms.h"

#include "core/files/NumberForms.h"

namespace velmora {
namespace {

// Characters 2 to 5 of a print form without its trailing blank: the year of a key or a date.
QString yearPart(const QString& digits)
{
    return digits.mid(1, 4);
}

} // namespace

QString monthLabel(double key, const QString& separator)
{
    const QString digits = printFormDigits(key);
    return yearPart(digits) + separator + digits.right(2);
}

QString correctionMonthLabel(double key)
{
    const QString digits = printFormDigits(key);
    return digits.left(5) + QStringLiteral("年 ") + digits.right(2) + QStringLiteral("月");
}

double keyOfCorrectionLabel(const QString& label)
{
    return LeadingNumber(label.mid(1, 4)) * 100 + LeadingNumber(label.mid(7, 2));
}

QString monthLabelInKanji(double key)
{
    return monthLabel(key, QStringLiteral("年")) + QStringLiteral("月");
}

QString dateInKanji(double dateOfBirth)
{
    const QString digits = printFormDigits(dateOfBirth);
    return yearPart(digits) + QStringLiteral("年") + digits.mid(5, 2) + QStringLiteral("月") + digits.right(2) +
           QStringLiteral("日");
}

QString dateWithSlashes(double dateOfBirth)
{
    const QString digits = printFormDigits(dateOfBirth);
    return yearPart(digits) + QLatin1Char('/') + digits.mid(5, 2) + QLatin1Char('/') + digits.right(2);
}

} // namespace velmora
