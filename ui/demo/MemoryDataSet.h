#pragma once
// A dataset over rows held in a vector: for the demo and the tests of the
// controls, where a database would add nothing.
#include <string>
#include <vector>

#include "store/DataSet.h"

namespace pelvane {

class MemoryDataSet : public TDataSet {
  public:
    MemoryDataSet(std::vector<FieldDef> defs, std::vector<Row> rows)
        : defs_(std::move(defs)), rows_(std::move(rows)) {}
    ~MemoryDataSet() override { CloseQuietly(); }

    const std::vector<Row>& Rows() const { return rows_; }
    int PostCount() const { return posts_; }

  protected:
    void InternalOpen() override { MutableFieldDefs() = defs_; }
    void InternalClose() override {}
    int CachedRowCount() const override { return static_cast<int>(rows_.size()); }
    const Row& CachedRow(int index) const override { return rows_.at(static_cast<size_t>(index)); }
    void InternalPost() override {
        ++posts_;
        if (State() == DataSetState::Edit) {
            rows_.at(static_cast<size_t>(CursorIndex())) = EditRow();
            return;
        }
        int at = CursorIndex() < 0 ? 0 : CursorIndex();
        at = std::min(at, static_cast<int>(rows_.size()));
        rows_.insert(rows_.begin() + at, EditRow());
        SetCursorIndex(at);
    }
    void InternalDelete() override {
        rows_.erase(rows_.begin() + CursorIndex());
        if (CursorIndex() >= static_cast<int>(rows_.size()))
            SetCursorIndex(static_cast<int>(rows_.size()) - 1);
    }

  private:
    std::vector<FieldDef> defs_;
    std::vector<Row> rows_;
    int posts_ = 0;
};

}  // namespace pelvane
