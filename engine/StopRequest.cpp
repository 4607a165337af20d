#include "engine/StopRequest.h"

#include <windows.h>

namespace pelvane {
namespace {

uint64_t TickCount() {
    return GetTickCount64();
}

}  // namespace

StopRequest::StopRequest(RunEvents& events) : events_(events), clock_(TickCount) {}

void StopRequest::Reset() {
    requested_ = false;
    lastCheck_ = clock_();
}

bool StopRequest::CheckNow() {
    events_.StopPoint();
    lastCheck_ = clock_();
    return requested_;
}

}  // namespace pelvane
