#include "store/RowCache.h"

#include <algorithm>

namespace pelvane {

int TRowCache::Insert(int index, Row row, int64_t rowId) {
    if (index < 0) index = 0;
    if (index > Count()) index = Count();
    rows_.insert(rows_.begin() + index, std::move(row));
    bookmarks_.insert(bookmarks_.begin() + index, nextBookmark_++);
    rowIds_.insert(rowIds_.begin() + index, rowId);
    return index;
}

void TRowCache::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    rows_.erase(rows_.begin() + index);
    bookmarks_.erase(bookmarks_.begin() + index);
    rowIds_.erase(rowIds_.begin() + index);
}

int TRowCache::IndexOfBookmark(int bookmark) const {
    auto it = std::find(bookmarks_.begin(), bookmarks_.end(), bookmark);
    return it == bookmarks_.end() ? -1 : static_cast<int>(it - bookmarks_.begin());
}

}  // namespace pelvane
