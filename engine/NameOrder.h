#pragma once
// Names as the file system matches them: without regard to case.
#include <windows.h>

#include <string_view>

namespace pelvane {

struct NameLess {
    bool operator()(std::wstring_view a, std::wstring_view b) const {
        return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                    static_cast<int>(b.size()), TRUE) == CSTR_LESS_THAN;
    }
};

}  // namespace pelvane
