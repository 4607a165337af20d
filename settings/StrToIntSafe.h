#pragma once
// StrToIntSafe of Seged: the minutes field as a number.
#include <cstdint>
#include <string>

namespace pelvane {

// Outer blanks and control characters cut, inner blanks removed, then
// TryStrToInt; 0 when that fails. Never throws.
int32_t StrToIntSafe(const std::string& text);

}  // namespace pelvane
