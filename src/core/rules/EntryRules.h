#pragma once

#include "core/files/TextFile.h"
#include "core/model/Result.h"

#include <QString>
#include <array>
#include <initializer_list>
#include <optional>

// Whether a value typed in a window or read from an import can be stored: the one rule every way in uses.
namespace velmora {

// (A text line's rule, storableTextProblem, stands with the data files' lines in core/files/TextFile.h.)

// The names of a month's four doses, as the month's CSV template heads them and the windows' messages name them.
inline const std::array<QString, 4> DoseFieldNames = {QStringLiteral("実効線量"), QStringLiteral("水晶体"),
                                                      QStringLiteral("皮膚"), QStringLiteral("内部被曝")};

// Why the four doses typed in a window (read as LeadingNumber reads a field) cannot be stored, in the words
// the month import gives a cell: "実効線量「-1」は負の値です"; nothing when they can.
std::optional<QString> typedDosesProblem(const std::array<QString, 4>& typed);

} // namespace velmora
