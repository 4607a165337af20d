#include "engine/RunLogFile.h"

#include "common/Handles.h"

namespace pelvane {
namespace {

std::string ToUtf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n =
        WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

}  // namespace

bool RunLogFile::Append(const std::wstring& line) noexcept {
    try {
        std::string bytes = ToUtf8(line) + "\r\n";
        // Opened for each line and shared with everyone: the user may read
        // the file, and another Pelvane may write to it, while a run goes on.
        const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        FileHandle file(CreateFileW(path_.c_str(), FILE_APPEND_DATA, share, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return error_ = GetLastError(), false;
        LARGE_INTEGER size{};
        if (GetFileSizeEx(file.get(), &size) && static_cast<uint64_t>(size.QuadPart) >= limit_) {
            file.reset();
            const std::wstring older = path_ + L".1";
            if (!MoveFileExW(path_.c_str(), older.c_str(), MOVEFILE_REPLACE_EXISTING))
                return error_ = GetLastError(), false;
            file.reset(CreateFileW(path_.c_str(), FILE_APPEND_DATA, share, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) return error_ = GetLastError(), false;
        }
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size()) {
            DWORD code = GetLastError();
            return error_ = code ? code : ERROR_HANDLE_DISK_FULL, false;
        }
        return true;
    } catch (...) {
        error_ = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
}

}  // namespace pelvane
