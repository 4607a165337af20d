#pragma once
// A field value as the datasets hand it out: null or one of a few kinds.
#include <cstdint>
#include <string>
#include <variant>

namespace pelvane {

using Variant = std::variant<std::monostate, int32_t, int64_t, double, bool, std::string>;

inline bool IsNull(const Variant& v) {
    return std::holds_alternative<std::monostate>(v);
}

}  // namespace pelvane
