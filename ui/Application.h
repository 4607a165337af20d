#pragma once
// The application object: title, message loop with its hook, modal loops and
// the standard error box for exceptions that escape a handler.
#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <utility>

#include "common/Callback.h"

namespace pelvane {

class Application {
  public:
    static void SetTitle(const std::string& title);
    static const std::string& Title();

    // Sees every queued message before it is dispatched, in every loop of
    // ours (main and modal); may rewrite it in place, or answer true to eat it.
    using MessageHook = std::function<bool(MSG& msg)>;
    static void SetMessageHook(MessageHook hook);

    // Runs until WM_QUIT; returns its exit code.
    static int Run();
    // Handles every message waiting in the queue, then returns.
    static void ProcessMessages();
    // Runs a loop for a modal window until done becomes true: the other
    // top-level windows of the thread are disabled meanwhile. The dialog
    // handles Tab, Enter and Esc through IsDialogMessage.
    static void RunModal(HWND dialog, const bool& done);

    // The standard error box: owned by the application, caption = title, the
    // error icon and OK; a point is added when the text ends in a byte above '.'.
    // An exception handler, when set, is asked first.
    static void HandleException(const std::exception& e);
    // Sees every exception that reaches the standard error box first and
    // answers true when it has dealt with it (the box is then not shown).
    using ExceptionHandler = std::function<bool(const std::exception& e)>;
    static void SetExceptionHandler(ExceptionHandler handler);
    static std::string ErrorBoxText(const std::string& message);

    // The body of a function that Windows calls back: an exception stops
    // there and is shown in the standard error box, as any handler's is; the
    // callback then answers onFailure.
    template <typename R, typename Body>
    static R Guarded(const char* callback, R onFailure, Body&& body) noexcept {
        return GuardCallback(callback, onFailure, std::forward<Body>(body), ReportCallbackFailure);
    }
    // The error box for what a callback stopped; nullptr for an exception of
    // unknown kind. Called while the exception is being handled, it hands
    // the exception itself on, so that the exception handler sees its kind.
    static void ReportCallbackFailure(const char* message);

    // Our modal windows (message boxes, the prompt dialog, the folder
    // browser, the main window's menus) are counted while they are open: a
    // scheduled run must not start under one. Their loops are not ours, so
    // timer ticks still arrive meanwhile.
    class ModalScope {
      public:
        ModalScope() { EnterModal(); }
        ~ModalScope() { LeaveModal(); }
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;
    };
    static void EnterModal();
    static void LeaveModal() noexcept;
    static bool InModal();
    // Told when the last of our modal windows has closed; it must not throw.
    static void SetModalEndHandler(std::function<void()> handler);

  private:
    Application() = default;
    // The one application object of the program: what its loops, its error
    // box and its modal count share lives here, not in globals.
    static Application& Instance();

    static bool PumpOne(HWND dialog);
    // The message hook runs handlers too (the window-wide shortcuts): a
    // failure ends in the error box like any handler's, and the message is
    // then taken as handled.
    static bool RunHook(MSG& msg);

    std::string title_ = "Pelvane";
    MessageHook hook_;
    ExceptionHandler exceptionHandler_;
    int modalDepth_ = 0;
    std::function<void()> modalEnd_;
};

}  // namespace pelvane
