#pragma once
// The rows of an open dataset in memory, in dataset order, each with a
// bookmark (never reused) and the SQLite rowid that addresses it in the file.
#include <cstdint>
#include <vector>

#include "store/DataSet.h"

namespace pelvane {

class TRowCache {
  public:
    int Count() const { return static_cast<int>(rows_.size()); }
    // Adds at index (at the end when index lies beyond it); returns where it went.
    int Insert(int index, Row row, int64_t rowId);
    void Add(Row row, int64_t rowId) { Insert(Count(), std::move(row), rowId); }
    void Delete(int index);
    const Row& GetData(int index) const { return rows_.at(index); }
    void SetData(int index, Row row) { rows_.at(index) = std::move(row); }
    int GetBookmark(int index) const { return bookmarks_.at(index); }
    int64_t GetRowId(int index) const { return rowIds_.at(index); }
    void SetRowId(int index, int64_t rowId) { rowIds_.at(index) = rowId; }
    int IndexOfBookmark(int bookmark) const;  // -1 when not there

  private:
    std::vector<Row> rows_;
    std::vector<int> bookmarks_;
    std::vector<int64_t> rowIds_;
    int nextBookmark_ = 0;
};

}  // namespace pelvane
