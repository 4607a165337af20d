#pragma once
// The progress of a task in bytes on the report's bar, whose range is 32 bits.
#include <cstdint>

#include "engine/RunReport.h"

namespace pelvane {

class ProgressMeter {
  public:
    explicit ProgressMeter(RunReport& report) : report_(report) {}

    // A task's files total this many bytes; the bar starts empty.
    void Start(int64_t total);
    // Bytes done (or, negative, taken back); the bar moves when its position changes.
    void Step(int64_t bytes);
    // The task has ended: the bar goes back to empty.
    void Reset();

  private:
    RunReport& report_;
    unsigned shift_ = 0;  // bytes >> shift fits the bar
    uint64_t bytes_ = 0;
    int position_ = 0;
};

}  // namespace pelvane
