#include "engine/CopyDecision.h"

#include <algorithm>

#include "engine/NameOrder.h"
#include "engine/RunOptions.h"
#include "engine/TargetFolders.h"

namespace pelvane {
namespace {

constexpr uint64_t kTimeAllowance = 2 * 10000000;  // FILETIME steps of 100 ns

}  // namespace

bool Newer(uint64_t source, uint64_t copy) {
    return source > copy && source - copy >= kTimeAllowance;
}

void CopyDecision::EnterFolder(const std::wstring& folder) {
    folder_ = folder;
    listed_ = false;
}

uint64_t CopyDecision::CountCopies() {
    if (!listed_) ListCopies();
    return static_cast<uint64_t>(std::count_if(copies_.begin(), copies_.end(), [](const Copy& c) {
        return !c.folder && !TargetFolders::IsTemporaryName(c.name);
    }));
}

FileAction CopyDecision::Decide(int method, bool lookAtCopies, std::wstring_view name, uint64_t lastWrite,
                                uint64_t size) {
    if (method != kCopyNewer && !lookAtCopies) return FileAction::Write;
    if (!listed_) ListCopies();
    // A folder in the way is no copy: the file is tried, and the failure reported.
    const Copy* copy = FindCopy(name);
    if (!copy || copy->folder) return FileAction::Write;
    const bool newer = Newer(lastWrite, copy->lastWrite);
    if (method == kCopyNewer && !newer) return FileAction::Skip;
    // Within the two seconds either way the dates are the same.
    if (!newer && !Newer(copy->lastWrite, lastWrite) && size == copy->size) return FileAction::Rewrite;
    return FileAction::Replace;
}

void CopyDecision::Clear() {
    copies_ = {};
    folder_.clear();
    listed_ = false;
}

void CopyDecision::ListCopies() {
    copies_.clear();
    listed_ = true;
    std::vector<FoundEntry> entries;
    DWORD error = 0;
    // A folder that cannot be listed has no copies: each file is then tried,
    // and what fails is reported by the copy.
    fs_.Enumerate(folder_ + L"*", entries, error);
    for (FoundEntry& e : entries)
        copies_.push_back(
            {std::move(e.name), e.lastWrite, e.size, (e.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    NameLess less;
    std::sort(copies_.begin(), copies_.end(),
              [&](const Copy& a, const Copy& b) { return less(a.name, b.name); });
}

const CopyDecision::Copy* CopyDecision::FindCopy(std::wstring_view name) const {
    NameLess less;
    auto it = std::lower_bound(copies_.begin(), copies_.end(), name,
                               [&](const Copy& c, std::wstring_view n) { return less(c.name, n); });
    return it != copies_.end() && !less(name, it->name) ? &*it : nullptr;
}

}  // namespace pelvane
