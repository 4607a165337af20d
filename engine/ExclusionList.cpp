#include "engine/ExclusionList.h"

#include "common/Paths.h"
#include "common/Seged.h"
#include "common/Text.h"

namespace pelvane {

bool ExclusionList::Excludes(const std::string& types, const std::wstring& path) {
    if (types != text_) {
        fields_.clear();
        for (int n = 1; n <= kMaxFields; ++n) {
            std::string field = GetToken(';', types, n);
            if (!field.empty()) fields_.push_back(AsciiLower(AnsiToWide(field)));
        }
        text_ = types;
    }
    if (fields_.empty()) return false;
    const std::wstring extension = AsciiLower(ExtractFileExt(path));
    for (const std::wstring& field : fields_)
        if (field == extension) return true;
    return false;
}

}  // namespace pelvane
