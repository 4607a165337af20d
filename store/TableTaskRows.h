#pragma once
// The task rows a backup run walks, taken from the task table dataset.
#include "engine/TaskRows.h"
#include "store/DataSet.h"
#include "store/TaskTable.h"

namespace pelvane {

class TableTaskRows : public TaskRows {
  public:
    explicit TableTaskRows(TDataSet& table) : table_(table) {}

    bool InBrowseState() override { return table_.State() == DataSetState::Browse; }
    // An unchanged row has nothing to store: a new one left empty is no task.
    void Post() override {
        if (table_.Modified())
            table_.Post();
        else
            table_.Cancel();
    }
    int Count() override { return table_.RecordCount(); }
    void First() override { table_.First(); }
    void Next() override { table_.Next(); }
    bool Eof() override { return table_.Eof(); }
    int Position() override { return table_.ActiveRow(); }
    void MoveTo(int position) override { table_.MoveTo(position); }
    std::wstring Source() override { return table_.FieldWideText(kSourceField); }
    std::wstring Target() override { return table_.FieldWideText(kTargetField); }

  private:
    TDataSet& table_;
};

}  // namespace pelvane
