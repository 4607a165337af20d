// Prints how long the log view takes to take 100,000 lines, and how much
// memory it holds after a month of one-minute runs (tools/bench-logview).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
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

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
    return pmc.PagefileUsage;  // the commit charge (Wine leaves PrivateUsage at 0)
}

// A month of a continuous schedule every minute over ten tasks: the lines
// such runs write, into a log view of its own. Returns the memory it took.
void SimulateMonth(HWND parent) {
    const size_t before = PrivateBytes();
    size_t peak = 0;
    {
        pelvane::LogView month;
        month.Create(parent, 2, 0, 0, pelvane::Scale(573), pelvane::Scale(240));
        const int runs = 30 * 24 * 60;
        for (int run = 0; run < runs; ++run) {
            month.AppendLine("*** Mentés indul: 2026.12.08 15:20:00");
            for (int task = 1; task <= 10; ++task) {
                month.AppendLine("*** Feladat: C:\\Dokumentumok\\Projekt" + std::to_string(task) +
                                 " >> E:\\Mentés");
                month.AppendLine("Összesen      1 234 567");
            }
            month.AppendLine("*** Mentés kész: 2026.12.08 15:20:03");
            if (run % 1000 == 0) {
                pelvane::Application::ProcessMessages();
                peak = std::max(peak, PrivateBytes());
            }
        }
        peak = std::max(peak, PrivateBytes());
        std::printf("a month of one-minute runs over ten tasks: %d lines written, %zu kept, %zu left\n",
                    runs * 22, month.LineCount(), month.DroppedLines());
        std::printf("memory of the page: %.1f MB at the most (committed bytes above the start)\n",
                    static_cast<double>(peak - before) / (1024.0 * 1024.0));
    }
}

}  // namespace

int main(int argc, char** argv) {
    int count = argc > 1 ? atoi(argv[1]) : 100000;
    BenchWindow window;
    pelvane::Application::ProcessMessages();
    UpdateWindow(window.Handle());
    SimulateMonth(window.Handle());  // first, while the heap is fresh

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
