#include "engine/RunLogFile.h"

#include "common/Handles.h"
#include "common/Text.h"

namespace pelvane {

bool RunLogFile::Append(const std::wstring& line) noexcept {
    bool written = false;
    try {
        written = Write(WideToUtf8(line) + "\r\n");
    } catch (...) {
        error_ = ERROR_NOT_ENOUGH_MEMORY;
    }
    failureIsNew_ = !written && !failing_;
    failing_ = !written;
    return written;
}

bool RunLogFile::Write(const std::string& bytes) {
    // Opened for each line and shared with everyone: the user may read the
    // file, and another Pelvane may write to it, while a run goes on.
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    auto open = [&] {
        return FileHandle(CreateFileW(path_.c_str(), FILE_APPEND_DATA, share, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    FileHandle file = open();
    if (!file) return error_ = GetLastError(), false;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) && static_cast<uint64_t>(size.QuadPart) >= limit_) {
        file.reset();
        // Another program may hold the file without delete sharing, or the
        // older generation may be read-only: the line then goes on the end
        // of this file, and the next line tries the rotation again.
        MoveFileExW(path_.c_str(), (path_ + L".1").c_str(), MOVEFILE_REPLACE_EXISTING);
        file = open();
        if (!file) return error_ = GetLastError(), false;
    }
    DWORD done = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) ||
        done != bytes.size()) {
        DWORD code = GetLastError();
        return error_ = code ? code : ERROR_HANDLE_DISK_FULL, false;
    }
    return true;
}

std::wstring RunLogFile::FailureNote() const {
    return L"*** A naplófájl nem írható: " + path_ + L" : " + SysErrorMessageW(error_);
}

}  // namespace pelvane
