#include "tests/ui/MainWindowTestSupport.h"

#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "common/Callback.h"
#include "common/Seged.h"
#include "tests/support/TaskDatabase.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Application.h"

namespace pelvane::test {
namespace {

constexpr char kProbeClass[] = "PelvaneTestProbe";
constexpr UINT kProbeMessage = WM_APP + 7;

LRESULT CALLBACK ProbeProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg != kProbeMessage) return DefWindowProcA(wnd, msg, wp, lp);
    return GuardCallback(
        "test probe", LRESULT{0},
        [lp] {
            std::unique_ptr<std::function<void()>> action(reinterpret_cast<std::function<void()>*>(lp));
            (*action)();
            return LRESULT{0};
        },
        [](const char* message) {
            ADD_FAILURE() << "exception in the probe: " << (message ? message : "?");
        });
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
    return WideToAnsi(AppDir()) + "\\" + name;
}

void ResetProgramFolder(bool withTable) {
    static bool copied = false;
    if (!copied) {
        CopyFileW((AppDir() + L"\\..\\sqlite3.dll").c_str(), AnsiToWide(ProgramFile("sqlite3.dll")).c_str(),
                  FALSE);
        copied = true;
    }
    DeleteFileA(ProgramFile("Pelvane.ini").c_str());
    DeleteFileA(ProgramFile("Pelvane.sqb").c_str());
    DeleteFileA(ProgramFile("pelvane.htm").c_str());
    DeleteFileA(ProgramFile("Pelvane.log").c_str());
    DeleteFileA(ProgramFile("Pelvane.log.1").c_str());
    RemoveDirectoryA(ProgramFile("Pelvane.log").c_str());
    MakeTaskDatabase(ProgramFile("Pelvane.sqb"), withTable ? kTaskTable : "create table other (x integer);");
}

std::string ReadIni(const std::string& section, const std::string& key) {
    char buf[2048] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", buf, sizeof buf,
                             ProgramFile("Pelvane.ini").c_str());
    return buf;
}

void AtNextMessageProcessing(std::function<void()> action) {
    auto owned = std::make_unique<std::function<void()>>(std::move(action));
    // The probe takes it over once the message is queued.
    if (PostMessageA(ProbeWindow(), kProbeMessage, 0, reinterpret_cast<LPARAM>(owned.get()))) owned.release();
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
    const WindowPixels shot = CaptureWindow(wnd);
    if (shot.pixels.empty()) return false;
    // Rows of RGB bytes, each after a filter byte 0, in stored deflate blocks.
    std::string raw;
    for (int y = 0; y < shot.height; ++y) {
        raw += '\0';
        for (int x = 0; x < shot.width; ++x) {
            const uint32_t p = shot.pixels[static_cast<size_t>(y) * shot.width + x];
            raw += static_cast<char>(p >> 16 & 0xFF);
            raw += static_cast<char>(p >> 8 & 0xFF);
            raw += static_cast<char>(p & 0xFF);
        }
    }

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
    Put32(header, static_cast<uint32_t>(shot.width));
    Put32(header, static_cast<uint32_t>(shot.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", "");
    return WriteBytes(path, png);
}

}  // namespace pelvane::test
