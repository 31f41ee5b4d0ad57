#pragma once

#include "core/model/Result.h"

#include <QString>
#include <initializer_list>
#include <optional>

// Whether a value typed in a window or read from an import can be stored: the one rule every way in uses.
namespace velmora {

// Why a text cannot be stored as one line of a data file: a line break (LineBreakInText) or a character
// code page 932 lacks (Unencodable); nothing when it can.
std::optional<Failure> storableTextProblem(const QString& text);

// The first of several texts that cannot be stored.
std::optional<Failure> storableTextsProblem(std::initializer_list<QString> texts);

} // namespace velmora
