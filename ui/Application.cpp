#include "ui/Application.h"

#include <vector>

#include "common/Exception.h"

namespace pelvane {
namespace {

BOOL CALLBACK CollectEnabled(HWND wnd, LPARAM lp) noexcept {
    return Application::Guarded("modal window list", TRUE, [&] {
        if (IsWindowVisible(wnd) && IsWindowEnabled(wnd))
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(wnd);
        return TRUE;
    });
}

}  // namespace

Application& Application::Instance() {
    static Application application;
    return application;
}

void Application::SetTitle(const std::string& title) {
    Instance().title_ = title;
}
const std::string& Application::Title() {
    return Instance().title_;
}
void Application::SetMessageHook(MessageHook hook) {
    Instance().hook_ = std::move(hook);
}

void Application::SetExceptionHandler(ExceptionHandler handler) {
    Instance().exceptionHandler_ = std::move(handler);
}

bool Application::RunHook(MSG& msg) {
    MessageHook& hook = Instance().hook_;
    if (!hook) return false;
    return Guarded("message hook", true, [&hook, &msg] { return hook(msg); });
}

bool Application::PumpOne(HWND dialog) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        // Leave it for the outer loop that owns the program's end.
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    if (RunHook(msg)) return true;
    if (dialog && IsDialogMessageA(dialog, &msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

int Application::Run() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (RunHook(msg)) continue;
        HWND active = GetActiveWindow();
        if (active && IsDialogMessageA(active, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

void Application::ProcessMessages() {
    while (PumpOne(GetActiveWindow())) {
    }
}

void Application::RunModal(HWND dialog, const bool& done) {
    ModalScope modal;
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled));
    for (HWND w : disabled)
        if (w != dialog) EnableWindow(w, FALSE);
    while (!done && IsWindow(dialog)) {
        if (!PumpOne(dialog)) {
            if (done || !IsWindow(dialog)) break;
            MSG peek;
            if (PeekMessageA(&peek, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) break;
            WaitMessage();
        }
    }
    for (HWND w : disabled)
        if (w != dialog && IsWindow(w)) EnableWindow(w, TRUE);
}

std::string Application::ErrorBoxText(const std::string& message) {
    std::string text = message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

void Application::HandleException(const std::exception& e) {
    const ExceptionHandler& handler = Instance().exceptionHandler_;
    if (handler && handler(e)) return;
    ModalScope modal;
    MessageBoxA(GetActiveWindow(), ErrorBoxText(e.what()).c_str(), Title().c_str(), MB_ICONERROR | MB_OK);
}

void Application::ReportCallbackFailure(const char* message) {
    if (std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& e) {
            HandleException(e);
            return;
        } catch (...) {
        }
    }
    HandleException(Exception(message ? message : "Ismeretlen hiba"));
}

void Application::EnterModal() {
    ++Instance().modalDepth_;
}

void Application::LeaveModal() noexcept {
    Application& app = Instance();
    if (app.modalDepth_ > 0 && --app.modalDepth_ == 0 && app.modalEnd_) {
        try {
            app.modalEnd_();
        } catch (...) {
            // Telling is all it does (a posted message); a failure changes nothing.
        }
    }
}

bool Application::InModal() {
    return Instance().modalDepth_ > 0;
}

void Application::SetModalEndHandler(std::function<void()> handler) {
    Instance().modalEnd_ = std::move(handler);
}

}  // namespace pelvane
