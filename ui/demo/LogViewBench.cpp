// Prints how long the log view takes to take 100,000 lines (tools/bench-logview).
#include <windows.h>

#include <cstdio>
#include <string>

#include "ui/Application.h"
#include "ui/LogView.h"
#include "ui/Window.h"

namespace {

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

class BenchWindow : public pelvane::Window {
  public:
    BenchWindow() {
        RegisterClassOnce("PelvaneLogBench", 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        CreateWnd(0, "PelvaneLogBench", "log bench", WS_POPUP | WS_VISIBLE, 20, 20, pelvane::Scale(573),
                  pelvane::Scale(240), nullptr, nullptr);
        log.Create(Handle(), 1, 0, 0, pelvane::Scale(573), pelvane::Scale(240));
    }
    pelvane::LogView log;
};

}  // namespace

int main(int argc, char** argv) {
    int count = argc > 1 ? atoi(argv[1]) : 100000;
    BenchWindow window;
    pelvane::Application::ProcessMessages();
    UpdateWindow(window.Handle());

    std::string line = "Másolás: C:\\Dokumentumok\\Projektek\\2026\\jelentés_";
    double t0 = Now();
    for (int i = 0; i < count; ++i) window.log.AppendLine(line + std::to_string(i) + ".docx");
    double t1 = Now();
    // What the message loop does next: one paint (the scroll bar follows by a timer).
    pelvane::Application::ProcessMessages();
    UpdateWindow(window.Handle());
    double t2 = Now();
    // Jumping to the end repaints one screen, whatever the line count.
    SetFocus(window.log.Handle());
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = 0x80;
    SetKeyboardState(state);
    SendMessageA(window.log.Handle(), WM_KEYDOWN, VK_END, 0);
    state[VK_CONTROL] = 0;
    SetKeyboardState(state);
    UpdateWindow(window.log.Handle());
    double t3 = Now();
    // Appends interleaved with the message loop, as a backup run does it.
    double t4 = Now();
    for (int i = 0; i < 1000; ++i) {
        window.log.AppendLine(line + std::to_string(i));
        pelvane::Application::ProcessMessages();
    }
    double t5 = Now();
    // The same loop with nothing appended: what the message loop itself costs.
    for (int i = 0; i < 1000; ++i) pelvane::Application::ProcessMessages();
    double t6 = Now();
    // Appends out of view (the view at the top): no paint, only the scroll bar.
    SendMessageA(window.log.Handle(), WM_VSCROLL, SB_TOP, 0);
    UpdateWindow(window.log.Handle());
    double t7 = Now();
    for (int i = 0; i < 1000; ++i) {
        window.log.AppendLine(line + std::to_string(i));
        pelvane::Application::ProcessMessages();
    }
    double t8 = Now();

    std::printf("lines appended:             %d\n", count);
    std::printf("append %d lines:        %.1f ms (%.2f us per line)\n", count, t1 - t0,
                (t1 - t0) * 1000.0 / count);
    std::printf("then the first paint:       %.1f ms\n", t2 - t1);
    std::printf("Ctrl+End + repaint:         %.1f ms\n", t3 - t2);
    std::printf("1000 lines, loop each time: %.1f ms (%.2f ms per line)\n", t5 - t4, (t5 - t4) / 1000.0);
    std::printf("1000 loops, nothing added:  %.1f ms\n", t6 - t5);
    std::printf("1000 lines out of view:     %.1f ms\n", t8 - t7);
    std::printf("line count now:             %zu\n", window.log.LineCount());
    return 0;
}
