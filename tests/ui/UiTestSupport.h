#pragma once
// Helpers for driving real windows in tests: a host window, keys and clicks
// sent as the system would deliver them, and screenshots for review.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "ui/Window.h"

namespace pelvane::test {

// A visible top-level window to put controls on.
class Host : public Window {
  public:
    Host(int w = 600, int h = 420);
    int lastCommand = 0;  // the id of the last WM_COMMAND from a menu

  private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};
Host& SharedHostWindow();
// One host for the whole test program: under Wine without a window manager
// hiding a top-level window waits two seconds for the X server, so tests
// create and destroy only child windows.
HWND SharedHost();

// Handles what is waiting in the queue.
void Pump();
// Handles messages as they arrive, with pump, until done() holds; false when
// a generous limit passed first (it only keeps a broken build from hanging).
// Application::ProcessMessages as the pump leaves a quit request in the
// queue, as the program's own loops do.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 15000,
               const std::function<void()>& pump = Pump);
// A key press: WM_KEYDOWN (and WM_CHAR where the key has one) with Ctrl and
// Shift held as given; the keyboard state is restored afterwards.
void PressKey(HWND wnd, UINT vk, bool ctrl = false, bool shift = false);
// Characters typed one by one.
void Type(HWND wnd, const std::string& text);
// A left click (or double-click) at client coordinates.
void Click(HWND wnd, int x, int y, bool dbl = false);
// A window's pixels as they are on the screen after a full redraw: rows top
// down, each pixel 0x00RRGGBB; no pixels when the window has no area.
struct WindowPixels {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};
WindowPixels CaptureWindow(HWND wnd);
// Saves the window as <build>/screenshots/<name>.bmp; returns the path.
std::string Screenshot(HWND wnd, const std::string& name);
// The text on the clipboard, or "" when there is none.
std::string ClipboardText();

// A message box: its window, caption and text.
struct BoxInfo {
    HWND wnd = nullptr;
    std::string caption, text;
};
inline bool operator==(const BoxInfo& a, const BoxInfo& b) {
    return a.wnd == b.wnd && a.caption == b.caption && a.text == b.text;
}
// As a failed comparison shows it.
inline std::ostream& operator<<(std::ostream& out, const BoxInfo& box) {
    return out << "box \"" << box.caption << "\": \"" << box.text << "\"";
}
BoxInfo ReadBox(HWND box);
// The visible dialog boxes ("#32770") of this thread, as message boxes show them.
std::vector<BoxInfo> OpenBoxes();
// The popup menu ("#32768") that this thread has open, or null.
HWND OpenPopupMenu();

// An action run from a thread timer whenever a loop (a modal one too)
// dispatches it, until the action returns true. It belongs to the scope that
// holds this object: what has not run by the end of the scope is cancelled,
// so an action never outlives the locals it captured.
class [[nodiscard]] IdleAction {
  public:
    IdleAction() = default;
    IdleAction(std::function<bool()> action, UINT every);
    IdleAction(IdleAction&& other) noexcept;
    IdleAction& operator=(IdleAction&& other) noexcept;
    IdleAction(const IdleAction&) = delete;
    IdleAction& operator=(const IdleAction&) = delete;
    ~IdleAction();

  private:
    void Cancel();
    UINT_PTR timer_ = 0;
};
IdleAction WhenIdle(std::function<bool()> action, UINT every = 30);
// Answers the next message box with OK and records it.
IdleAction AnswerNextBox(std::vector<BoxInfo>& seen);
// Runs action and returns the boxes that opened while it ran, each closed as
// soon as seen: a box that a synchronous call shows would otherwise wait for
// an answer that never comes, and the test would hang instead of failing.
std::vector<BoxInfo> BoxesShownBy(const std::function<void()>& action);
// Chooses the first item of the next popup menu this thread opens: the menu
// runs its own loop, so a timer does it from inside.
IdleAction ChooseFirstItemOfNextMenu();

}  // namespace pelvane::test
