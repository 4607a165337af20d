#include "settings/StrToIntSafe.h"

#include <algorithm>
#include <iterator>

#include "common/Seged.h"

namespace pelvane {

int32_t StrToIntSafe(const std::string& text) {
    auto outer = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    auto first = std::find_if_not(text.begin(), text.end(), outer);
    auto last = std::find_if_not(text.rbegin(), text.rend(), outer).base();
    if (first >= last) return 0;
    std::string digits;
    std::copy_if(first, last, std::back_inserter(digits), [](char c) { return c != ' '; });
    int32_t value = 0;
    return TryStrToInt(digits, value) ? value : 0;
}

}  // namespace pelvane
