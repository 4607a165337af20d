#pragma once
// A stop requested by the user (in the window or with Ctrl+C), and the points
// where a run lets its surroundings act so that one can reach it.
#include <cstdint>

#include "engine/RunEvents.h"

namespace pelvane {

class StopRequest {
  public:
    // Milliseconds from some fixed point: how a copy knows when to let the
    // surroundings act again. GetTickCount64 unless a test gives its own.
    using Clock = uint64_t (*)();

    explicit StopRequest(RunEvents& events);

    void SetClock(Clock clock) { clock_ = clock; }
    // A run starts: no stop requested yet, and the surroundings have just acted.
    void Reset();
    void Request() { requested_ = true; }
    bool Requested() const { return requested_; }

    // A stop point: the surroundings act, then the answer is whether to stop.
    bool CheckNow();
    // Inside a long copy: whether the surroundings have waited long enough.
    bool Due() const { return clock_() - lastCheck_ >= kInterval; }

  private:
    static constexpr uint64_t kInterval = 100;  // ms: the surroundings stay responsive

    RunEvents& events_;
    Clock clock_;
    uint64_t lastCheck_ = 0;
    bool requested_ = false;
};

}  // namespace pelvane
