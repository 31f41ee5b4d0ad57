#pragma once

#include "core/model/Result.h"

#include <QString>
#include <array>
#include <initializer_list>
#include <optional>

// Whether a value typed in a window or read from an import can be stored: the one rule every way in uses.
namespace velmora {

// Why a text cannot be stored as one line of a data file: a line break (LineBreakInText) or a character
// code page 932 lacks (Unencodable); nothing when it can.
std::optional<Failure> storableTextProblem(const QString& text);

// The first of several texts that cannot be stored.
std::optional<Failure> storableTextsProblem(std::initializer_list<QString> texts);

// The names of a month's four doses, as the month's CSV template heads them and the windows' messages name them.
inline const std::array<QString, 4> DoseFieldNames = {QStringLiteral("実効線量"), QStringLiteral("水晶体"),
                                                      QStringLiteral("皮膚"), QStringLiteral("内部被曝")};

// Why the four doses typed in a window (read as LeadingNumber reads a field) cannot be stored, in the words
// the month import gives a cell: "実効線量「-1」は負の値です"; nothing when they can.
std::optional<QString> typedDosesProblem(const std::array<QString, 4>& typed);

} // namespace velmora
