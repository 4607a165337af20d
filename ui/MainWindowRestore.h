#pragma once
// The main window as the surroundings of a restore: the log page, the
// progress bar and "Megállít" as for a backup (the report is the run's),
// with the task grid held while it goes on. A restore is no backup: it
// leaves the notification-area icon's tip and the daily schedule alone.
#include <string>

#include "engine/RunEvents.h"

namespace pelvane {

class Tfrm_Main;

class MainWindowRestore : public RunEvents {
  public:
    // The moment the window offers, and the mask of its field: "yyyy.mm.dd hh:nn:ss".
    static constexpr const char* kMomentMask = "0000.00.00 00:00:00;1;_";
    static constexpr const char* kMomentCaption = "Visszaállítás";
    static constexpr const char* kMomentPrompt = "Időpont (éééé.hh.nn óó:pp:mm):";
    static constexpr const char* kFolderCaption = "Visszaállítás mappa kiválasztás";

    explicit MainWindowRestore(Tfrm_Main& window) : window_(window) {}

    void Preparing() override;
    void Refused(const std::wstring& reason) override;
    void Started() override;
    void Ended(int errorLines, bool stopped) override;
    void StopPoint() override;

  private:
    void EnableTaskEditing(bool enabled);

    Tfrm_Main& window_;
};

}  // namespace pelvane
