#pragma once
// A window timer with an interval and an enabled state: it runs (SetTimer)
// only while enabled with an interval other than 0, and every change of
// either restarts its count. Ticks arrive as WM_TIMER with its id.
#include <windows.h>

namespace pelvane {

class WindowTimer {
  public:
    WindowTimer(HWND window, UINT_PTR id, UINT interval);
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;
    ~WindowTimer();

    UINT_PTR Id() const { return id_; }
    UINT Interval() const { return interval_; }
    bool Enabled() const { return enabled_; }
    // A system timer is set, so ticks come.
    bool Running() const { return running_; }

    // Both throw ESettingsError "Not enough timers available" when the system
    // refuses the timer; the state is then kept as asked, without a timer.
    void SetInterval(UINT interval);
    void SetEnabled(bool enabled);

  private:
    void Update();

    HWND window_;
    UINT_PTR id_;
    UINT interval_;
    bool enabled_ = false;
    bool running_ = false;
};

}  // namespace pelvane
