#include "engine/ProgressMeter.h"

#include <algorithm>
#include <climits>

namespace pelvane {

void ProgressMeter::Start(int64_t total) {
    // Large trees exceed the bar's 32-bit range: count in units of 2^shift bytes.
    shift_ = 0;
    while ((total >> shift_) > INT_MAX) ++shift_;
    report_.SetProgressMax(static_cast<int>(total >> shift_));
    bytes_ = 0;
    position_ = 0;
}

void ProgressMeter::Step(int64_t bytes) {
    bytes_ += static_cast<uint64_t>(bytes);
    const int position = static_cast<int>(std::min<uint64_t>(bytes_ >> shift_, INT_MAX));
    if (position != position_) report_.StepProgress(position - position_);
    position_ = position;
}

void ProgressMeter::Reset() {
    report_.SetProgressPosition(0);
    bytes_ = 0;
    position_ = 0;
}

}  // namespace pelvane
