#include <windows.h>

#include <cstring>

#include "common/Handles.h"
#include "common/Text.h"
#include "engine/FileSystem.h"

namespace pelvane {

namespace {

constexpr wchar_t kLongPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& s, const wchar_t* prefix) {
    return s.compare(0, wcslen(prefix), prefix) == 0;
}

class Win32File : public FileStream {
  public:
    explicit Win32File(HANDLE h) : file_(h) {}

    bool Size(uint64_t& size) override {
        LARGE_INTEGER value;
        if (!GetFileSizeEx(file_.get(), &value)) return false;
        size = static_cast<uint64_t>(value.QuadPart);
        return true;
    }
    uint32_t Attributes() override { return BasicInfo() ? basic_.FileAttributes : INVALID_FILE_ATTRIBUTES; }
    uint64_t LastWrite() override {
        return BasicInfo() ? static_cast<uint64_t>(basic_.LastWriteTime.QuadPart) : 0;
    }

    bool SetDateAndAttributes(uint64_t lastWrite, uint32_t attributes) override {
        FILE_BASIC_INFO info{};  // zero fields are left as they are
        info.LastWriteTime.QuadPart = static_cast<LONGLONG>(lastWrite);
        if (attributes != INVALID_FILE_ATTRIBUTES)
            info.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
        queried_ = false;
        return SetFileInformationByHandle(file_.get(), FileBasicInfo, &info, sizeof info);
    }
    uint32_t Read(void* buffer, uint32_t count) override {
        DWORD done = 0;
        return ReadFile(file_.get(), buffer, count, &done, nullptr) ? done : 0;
    }
    uint32_t Write(const void* buffer, uint32_t count) override {
        DWORD done = 0;
        return WriteFile(file_.get(), buffer, count, &done, nullptr) ? done : 0;
    }

    // Through the open handle: a move by path would open the file once more,
    // which costs Wine two round trips to its server for every file.
    bool RenameTo(const std::wstring& to, DWORD& error) override { return Rename(to, TRUE, error); }
    bool RenameWithoutReplacing(const std::wstring& to, DWORD& error) override {
        return Rename(to, FALSE, error);
    }
    // The mark of the handle's file, not of the handle (as FILE_FLAG_DELETE_ON_CLOSE
    // would be): it can be taken away again when the copy is complete.
    bool DeleteOnClose() override {
        FILE_DISPOSITION_INFO info{TRUE};
        return SetFileInformationByHandle(file_.get(), FileDispositionInfo, &info, sizeof info);
    }
    bool KeepOnClose(DWORD& error) override {
        FILE_DISPOSITION_INFO info{FALSE};
        if (SetFileInformationByHandle(file_.get(), FileDispositionInfo, &info, sizeof info)) return true;
        error = GetLastError();
        return false;
    }

  private:
    bool Rename(const std::wstring& to, BOOL replace, DWORD& error) {
        const size_t bytes = to.size() * sizeof(wchar_t);
        std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + bytes);
        auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
        info->ReplaceIfExists = replace;
        info->RootDirectory = nullptr;
        info->FileNameLength = static_cast<DWORD>(bytes);
        memcpy(info->FileName, to.c_str(), bytes + sizeof(wchar_t));
        if (SetFileInformationByHandle(file_.get(), FileRenameInfo, info, static_cast<DWORD>(buffer.size())))
            return true;
        error = GetLastError();
        // Windows says ERROR_ALREADY_EXISTS for a name that is taken; some
        // file systems say ERROR_FILE_EXISTS.
        if (error == ERROR_FILE_EXISTS) error = ERROR_ALREADY_EXISTS;
        return false;
    }

    // Attributes and times in one query. (GetFileInformationByHandle would
    // also ask for the volume's serial number, which costs Wine a round trip
    // to its mount manager for every file.)
    bool BasicInfo() {
        if (!queried_)
            ok_ = GetFileInformationByHandleEx(file_.get(), FileBasicInfo, &basic_, sizeof basic_),
            queried_ = true;
        return ok_;
    }

    FileHandle file_;
    FILE_BASIC_INFO basic_{};
    bool queried_ = false, ok_ = false;
};

class Win32FileSystem : public FileSystem {
  public:
    bool Enumerate(const std::wstring& pattern, std::vector<FoundEntry>& entries, DWORD& error) override {
        WIN32_FIND_DATAW fd;
        FindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (!find) {
            error = GetLastError();
            // No match in a folder that is there (an empty drive root) lists nothing.
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES) return false;
            std::wstring folder = pattern.substr(0, pattern.find_last_of(L'\\'));
            if (!folder.empty() && folder.back() == L':') folder += L'\\';
            DWORD attributes = GetFileAttributesW(folder.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
            error = ERROR_PATH_NOT_FOUND;
            return false;
        }
        do {
            const wchar_t* n = fd.cFileName;
            if (n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0))) continue;
            entries.push_back(
                {n, (uint64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow, fd.dwFileAttributes,
                 (uint64_t(fd.ftLastWriteTime.dwHighDateTime) << 32) | fd.ftLastWriteTime.dwLowDateTime});
        } while (FindNextFileW(find.get(), &fd));
        error = GetLastError();
        return error == ERROR_NO_MORE_FILES;
    }

    std::unique_ptr<FileStream> OpenRead(const std::wstring& path, DWORD& error) override {
        return Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                    FILE_FLAG_SEQUENTIAL_SCAN, error);
    }
    std::unique_ptr<FileStream> CreateNew(const std::wstring& path, DWORD& error) override {
        return Open(path, GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, CREATE_NEW, 0, error);
    }

    bool Delete(const std::wstring& path) override { return DeleteFileW(path.c_str()); }
    bool DeleteUnused(const std::wstring& path) override {
        // Shared with no one: the open fails while another program holds the file.
        FileHandle file(CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        return static_cast<bool>(file);
    }
    bool GetSize(const std::wstring& path, uint64_t& size) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
        size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        return true;
    }
    uint32_t GetAttributes(const std::wstring& path) override { return GetFileAttributesW(path.c_str()); }
    bool SetAttributes(const std::wstring& path, uint32_t attributes) override {
        return SetFileAttributesW(path.c_str(), attributes);
    }
    bool CreateFolder(const std::wstring& path) override { return CreateDirectoryW(path.c_str(), nullptr); }
    bool RemoveFolder(const std::wstring& path) override { return RemoveDirectoryW(path.c_str()); }
    // No MOVEFILE_COPY_ALLOWED: a version is never a second copy of the bytes.
    bool Move(const std::wstring& from, const std::wstring& to, DWORD& error) override {
        if (MoveFileExW(from.c_str(), to.c_str(), 0)) return true;
        error = GetLastError();
        if (error == ERROR_FILE_EXISTS) error = ERROR_ALREADY_EXISTS;
        return false;
    }

    std::wstring FolderIdentity(const std::wstring& path) override {
        FileHandle folder(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION info;
        if (!folder || !GetFileInformationByHandle(folder.get(), &info)) return {};
        return std::to_wstring(info.dwVolumeSerialNumber) + L":" +
               std::to_wstring((uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
    }

    std::wstring LongForm(const std::wstring& path) override {
        if (StartsWith(path, kLongPrefix) || StartsWith(path, L"\\\\.\\")) return path;
        std::wstring full(MAX_PATH, L'\0');
        for (;;) {
            DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
            if (n == 0) return path;  // no full form: the system will say what is wrong with it
            if (n < full.size()) {
                full.resize(n);
                break;
            }
            full.resize(n);
        }
        if (StartsWith(full, L"\\\\")) return kLongUncPrefix + full.substr(2);
        return kLongPrefix + full;
    }
    std::wstring FullPath(const std::wstring& path) override {
        if (StartsWith(path, kLongUncPrefix)) return L"\\\\" + path.substr(wcslen(kLongUncPrefix));
        if (StartsWith(path, kLongPrefix)) return path.substr(wcslen(kLongPrefix));
        return path;
    }
    std::wstring ErrorText(DWORD code) override { return SysErrorMessageW(code); }

  private:
    static std::unique_ptr<FileStream> Open(const std::wstring& path, DWORD access, DWORD share,
                                            DWORD disposition, DWORD flags, DWORD& error) {
        HANDLE h = CreateFileW(path.c_str(), access, share, nullptr, disposition,
                               FILE_ATTRIBUTE_NORMAL | flags, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            error = GetLastError();
            return nullptr;
        }
        return std::make_unique<Win32File>(h);
    }
};

}  // namespace

std::unique_ptr<FileSystem> MakeWin32FileSystem() {
    return std::make_unique<Win32FileSystem>();
}

}  // namespace pelvane
