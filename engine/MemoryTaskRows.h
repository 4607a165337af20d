#pragma once
// Tasks given on the command line, walked like the task table.
#include <string>
#include <utility>
#include <vector>

#include "engine/TaskRows.h"

namespace pelvane {

class MemoryTaskRows : public TaskRows {
  public:
    using Task = std::pair<std::wstring, std::wstring>;  // source, target
    explicit MemoryTaskRows(std::vector<Task> tasks) : tasks_(std::move(tasks)) {}

    bool InBrowseState() override { return true; }
    void Post() override {}
    int Count() override { return static_cast<int>(tasks_.size()); }
    void First() override { current_ = 0; }
    void Next() override {
        if (current_ < tasks_.size()) ++current_;
    }
    bool Eof() override { return current_ >= tasks_.size(); }
    int Position() override { return static_cast<int>(current_); }
    void MoveTo(int position) override { current_ = static_cast<size_t>(position); }
    std::wstring Source() override { return Eof() ? std::wstring() : tasks_[current_].first; }
    std::wstring Target() override { return Eof() ? std::wstring() : tasks_[current_].second; }

  private:
    std::vector<Task> tasks_;
    size_t current_ = 0;
};

}  // namespace pelvane
