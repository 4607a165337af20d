#include "tests/ui/MainWindowTestSupport.h"

#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

#include "common/Seged.h"
#include "store/SqliteDb.h"
#include "ui/Application.h"

namespace pelvane::test {
namespace {

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = dir + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

std::function<bool()>& IdleAction() {
    static std::function<bool()> action;
    return action;
}

void CALLBACK IdleTimer(HWND, UINT, UINT_PTR id, DWORD) {
    auto& action = IdleAction();
    if (!action) {
        KillTimer(nullptr, id);
        return;
    }
    // The action may open a loop of its own: take it out first.
    auto run = std::move(action);
    action = nullptr;
    if (run()) {
        KillTimer(nullptr, id);
    } else if (!action) {
        action = std::move(run);
    }
}

BOOL CALLBACK CollectBox(HWND wnd, LPARAM lp) {
    char cls[32] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(wnd)) return TRUE;
    BoxInfo box;
    box.wnd = wnd;
    char text[1024] = {};
    GetWindowTextA(wnd, text, sizeof text);
    box.caption = text;
    text[0] = 0;
    GetDlgItemTextA(wnd, 0xFFFF, text, sizeof text);
    box.text = text;
    reinterpret_cast<std::vector<BoxInfo>*>(lp)->push_back(box);
    return TRUE;
}

constexpr char kProbeClass[] = "PelvaneTestProbe";
constexpr UINT kProbeMessage = WM_APP + 7;

LRESULT CALLBACK ProbeProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kProbeMessage) {
        auto* action = reinterpret_cast<std::function<void()>*>(lp);
        (*action)();
        delete action;
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND ProbeWindow() {
    static HWND wnd = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ProbeProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kProbeClass;
        RegisterClassA(&wc);
        return CreateWindowExA(0, kProbeClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                               nullptr);
    }();
    return wnd;
}

uint32_t Crc32(const unsigned char* data, size_t n, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void Put32(std::string& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out += static_cast<char>((v >> s) & 0xFF);
}

void Chunk(std::string& png, const char* type, const std::string& data) {
    Put32(png, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    png += body;
    Put32(png, Crc32(reinterpret_cast<const unsigned char*>(body.data()), body.size()));
}

// The program's manifest (common controls 6, themed) for the whole test
// program, so the window is tested as it ships.
class ManifestEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        std::string path = PELVANE_MANIFEST;
        if (!path.empty() && path[0] == '/') {
            for (char& c : path)
                if (c == '/') c = '\\';
            path = "Z:" + path;
        }
        ACTCTXA ctx = {};
        ctx.cbSize = sizeof ctx;
        ctx.lpSource = path.c_str();
        HANDLE handle = CreateActCtxA(&ctx);
        ULONG_PTR cookie = 0;
        if (handle != INVALID_HANDLE_VALUE) ActivateActCtx(handle, &cookie);
    }
};
const auto* const kManifest = ::testing::AddGlobalTestEnvironment(new ManifestEnvironment);

}  // namespace

std::string ProgramFile(const std::string& name) {
    return AppDir() + "\\" + name;
}

void ResetProgramFolder(bool withTable) {
    static bool copied = false;
    if (!copied) {
        CopyFileA((AppDir() + "\\..\\sqlite3.dll").c_str(), ProgramFile("sqlite3.dll").c_str(), FALSE);
        copied = true;
    }
    DeleteFileA(ProgramFile("Pelvane.ini").c_str());
    DeleteFileA(ProgramFile("Pelvane.sqb").c_str());
    DeleteFileA(ProgramFile("pelvane.htm").c_str());
    TSqliteDb db;
    db.SetDriverDLL(ProgramFile("sqlite3.dll"));
    db.SetDefaultDir(AppDir());
    db.SetDatabase("Pelvane.sqb");
    db.ExecuteStatement(withTable
                            ? "create table feladat (feladat integer, forras varchar(255), cel varchar(255));"
                            : "create table other (x integer);");
}

std::string ReadIni(const std::string& section, const std::string& key) {
    char buf[2048] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", buf, sizeof buf,
                             ProgramFile("Pelvane.ini").c_str());
    return buf;
}

std::string ReadFile(const std::string& path) {
    std::string content;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, n);
        fclose(f);
    }
    return content;
}

TreeFolder::TreeFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    path_ = std::string(temp) + "pelvane-main-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    CreateDirectoryA(path_.c_str(), nullptr);
}

TreeFolder::~TreeFolder() {
    RemoveTree(path_);
}

void TreeFolder::Write(const std::string& relative, const std::string& content) {
    std::string full = path_ + "\\" + relative;
    for (size_t i = path_.size() + 1; i < full.size(); ++i)
        if (full[i] == '\\') CreateDirectoryA(full.substr(0, i).c_str(), nullptr);
    if (FILE* f = fopen(full.c_str(), "wb")) {
        fwrite(content.data(), 1, content.size(), f);
        fclose(f);
    }
}

bool TreeFolder::Exists(const std::string& relative) const {
    return GetFileAttributesA((path_ + "\\" + relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<BoxInfo> OpenBoxes() {
    std::vector<BoxInfo> boxes;
    EnumThreadWindows(GetCurrentThreadId(), CollectBox, reinterpret_cast<LPARAM>(&boxes));
    return boxes;
}

void WhenIdle(std::function<bool()> action, UINT every) {
    IdleAction() = std::move(action);
    SetTimer(nullptr, 0, every, IdleTimer);
}

void AnswerNextBox(std::vector<BoxInfo>& seen) {
    WhenIdle([&seen] {
        auto boxes = OpenBoxes();
        if (boxes.empty()) return false;
        seen.push_back(boxes.front());
        PostMessageA(boxes.front().wnd, WM_COMMAND, IDOK, 0);
        return true;
    });
}

void AtNextMessageProcessing(std::function<void()> action) {
    PostMessageA(ProbeWindow(), kProbeMessage, 0,
                 reinterpret_cast<LPARAM>(new std::function<void()>(std::move(action))));
}

void PostKey(HWND wnd, UINT vk, bool ctrl) {
    BYTE saved[256], state[256];
    GetKeyboardState(saved);
    std::memcpy(state, saved, sizeof state);
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_SHIFT] = 0;
    state[VK_MENU] = 0;
    SetKeyboardState(state);
    PostMessageA(wnd, WM_KEYDOWN, vk, 1);
    ProcessQueue();
    SetKeyboardState(saved);
}

void ProcessQueue() {
    Application::ProcessMessages();
}

bool SavePng(HWND wnd, const std::string& path) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    ProcessQueue();
    RECT rc;
    GetWindowRect(wnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    // Rows of RGB bytes, each after a filter byte 0, in stored deflate blocks.
    std::string raw;
    const auto* px = static_cast<const unsigned char*>(bits);
    for (int y = 0; y < h; ++y) {
        raw += '\0';
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = px + (static_cast<size_t>(y) * w + x) * 4;
            raw += static_cast<char>(p[2]);
            raw += static_cast<char>(p[1]);
            raw += static_cast<char>(p[0]);
        }
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);

    std::string z = "\x78\x01";
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
        size_t n = std::min<size_t>(65535, raw.size() - pos);
        bool last = pos + n >= raw.size();
        z += static_cast<char>(last ? 1 : 0);
        z += static_cast<char>(n & 0xFF);
        z += static_cast<char>(n >> 8);
        z += static_cast<char>(~n & 0xFF);
        z += static_cast<char>((~n >> 8) & 0xFF);
        z.append(raw, pos, n);
        pos += n;
        if (last) break;
    }
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);

    std::string png = "\x89PNG\r\n\x1A\n";
    std::string header;
    Put32(header, static_cast<uint32_t>(w));
    Put32(header, static_cast<uint32_t>(h));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", "");
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    fwrite(png.data(), 1, png.size(), f);
    fclose(f);
    return true;
}

}  // namespace pelvane::test
