#pragma once
// One Pelvane per program folder. A second one started from the same folder
// would run a second scheduler over the same tasks, settings, log and
// targets: it brings the first one's main window forward instead and ends.
#include <windows.h>

#include <functional>
#include <string>

#include "common/Handles.h"
#include "ui/Window.h"

namespace pelvane {

// The name the Pelvane instances of one program folder share, from the folder
// by its true name as the program has it (AppDir: lower-cased).
std::string InstanceKey(const std::wstring& programDir);

class SingleInstance : public Window {
  public:
    static constexpr const char* kClassName = "PelvaneInstance";

    // Takes the folder's name; nothing is created for the window yet.
    explicit SingleInstance(const std::wstring& programDir);

    // No other Pelvane of this folder was running when this one started.
    bool First() const { return first_; }
    // The first one: from now on a later start makes it call show. A hidden
    // window named after the folder receives the request.
    void Listen(std::function<void()> show);
    // A later one: asks the first one to show its main window, waiting up to
    // limitMs while that one is still starting. False when none answered.
    bool ShowFirst(DWORD limitMs = 10000) const;

  private:
    static constexpr UINT kShowMessage = WM_APP + 1;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    std::string key_;
    KernelHandle mutex_;
    bool first_ = true;
    std::function<void()> show_;
};

}  // namespace pelvane
