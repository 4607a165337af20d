#pragma once
// The one-line prompt dialog: a caption, a prompt, a (masked) edit field and
// OK / Mégsem. It remembers its screen position in the settings file.
#include <string>

#include "common/Handles.h"
#include "common/ProgramFiles.h"
#include "ui/MaskEdit.h"
#include "ui/Window.h"

namespace pelvane {

// Asks for one line of text. True (and text replaced) when confirmed with OK;
// false with text untouched otherwise. An empty mask means free text. The
// dialog keeps its position in settingsFile: that of the caller's program folder.
bool InputStr(const std::string& caption, const std::string& prompt, const std::string& mask,
              std::string& text, const std::wstring& settingsFile = SettingsFilePath());

class InputDialog : public Window {
  public:
    static constexpr const char* kFormName = "frm_InpStr";
    static constexpr COLORREF kEditFocusColor = 15780518;  // light blue
    enum Result { None = 0, OK = 1, Cancel = 2 };

    InputDialog();
    ~InputDialog() override;

    void SetCaption(const std::string& caption);
    void SetPrompt(const std::string& prompt);
    // Where the position is read and stored; AppDir's Pelvane.ini unless set.
    void SetSettingsFile(const std::wstring& path) { settingsFile_ = path; }
    MaskEdit& Edit1() { return edit_; }
    HWND Label1() const { return label_; }
    HWND Button1() const { return ok_; }
    HWND Button2() const { return cancel_; }

    // Shows the dialog at its stored position and returns when it closed.
    Result ShowModal();

    // The dialog of this thread while it exists (InputStr shows one at a
    // time); null otherwise. Found by its window, so no global keeps it.
    static InputDialog* Shown();

  private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void FormShow();
    void FormClose();
    void CloseWith(Result result);

    std::wstring settingsFile_ = SettingsFilePath();
    GdiObject font_;
    HWND label_ = nullptr, ok_ = nullptr, cancel_ = nullptr;
    MaskEdit edit_;
    Result result_ = None;
    bool done_ = false;
};

}  // namespace pelvane
