#include "settings/WindowTimer.h"

#include "settings/SettingsError.h"

namespace pelvane {

WindowTimer::WindowTimer(HWND window, UINT_PTR id, UINT interval)
    : window_(window), id_(id), interval_(interval) {}

WindowTimer::~WindowTimer() {
    if (running_) KillTimer(window_, id_);
}

void WindowTimer::SetInterval(UINT interval) {
    if (interval == interval_) return;
    interval_ = interval;
    Update();
}

void WindowTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Update();
}

void WindowTimer::Update() {
    if (running_) KillTimer(window_, id_);
    running_ = false;
    if (!enabled_ || interval_ == 0) return;
    if (!SetTimer(window_, id_, interval_, nullptr)) throw ESettingsError("Not enough timers available");
    running_ = true;
}

}  // namespace pelvane
