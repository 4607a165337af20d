#include <windows.h>

#include "common/FileDate.h"
#include "common/Handles.h"
#include "common/Seged.h"
#include "common/Text.h"
#include "engine/FileSystem.h"

namespace pelvane {

namespace {

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
    int32_t PackedDate() override {
        if (!BasicInfo()) return -1;
        FILETIME written{static_cast<DWORD>(basic_.LastWriteTime.LowPart),
                         static_cast<DWORD>(basic_.LastWriteTime.HighPart)};
        return FileTimeToPackedDate(written);
    }

    bool SetDateAndAttributes(int32_t packed, uint32_t attributes) override {
        FILE_BASIC_INFO info{};  // zero fields are left as they are
        FILETIME utc;
        if (packed != -1 && !PackedDateToFileTime(packed, utc)) return false;
        if (packed != -1)
            info.LastWriteTime.LowPart = utc.dwLowDateTime, info.LastWriteTime.HighPart = utc.dwHighDateTime;
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

  private:
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
    bool Enumerate(const std::string& pattern, std::vector<FoundEntry>& entries) override {
        WIN32_FIND_DATAA fd;
        FindHandle find(FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (!find) return false;
        do {
            const char* n = fd.cFileName;
            if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
            entries.push_back({n, (uint64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow, fd.dwFileAttributes});
        } while (FindNextFileA(find.get(), &fd));
        return true;
    }

    std::unique_ptr<FileStream> OpenRead(const std::string& path, DWORD& error) override {
        return Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                    FILE_FLAG_SEQUENTIAL_SCAN, error);
    }
    std::unique_ptr<FileStream> CreateNew(const std::string& path, DWORD& error) override {
        return Open(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, CREATE_NEW, 0, error);
    }
    bool Replace(const std::string& from, const std::string& to, DWORD& error) override {
        if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
        error = GetLastError();
        return false;
    }
    bool Delete(const std::string& path) override { return DeleteFileA(path.c_str()); }

    uint32_t GetAttributes(const std::string& path) override { return GetFileAttributesA(path.c_str()); }
    bool SetAttributes(const std::string& path, uint32_t attributes) override {
        return SetFileAttributesA(path.c_str(), attributes);
    }
    bool CreateFolder(const std::string& path) override { return CreateDirectoryA(path.c_str(), nullptr); }

    int32_t FileAge(const std::string& path) override { return GetFileAge(path); }
    bool FileExists(const std::string& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data;
        return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
               !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
               FileTimeToPackedDate(data.ftLastWriteTime) != -1;
    }
    bool SetFileDate(const std::string& path, int32_t packed) override {
        FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        return file && Win32File(file.release()).SetDateAndAttributes(packed, INVALID_FILE_ATTRIBUTES);
    }

    std::string FullPath(const std::string& path) override {
        char buf[MAX_PATH * 2];
        char* name = nullptr;
        DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, &name);
        return n > 0 && n < sizeof buf ? std::string(buf, n) : path;
    }
    std::string ErrorText(DWORD code) override { return SysErrorMessage(code); }

  private:
    static std::unique_ptr<FileStream> Open(const std::string& path, DWORD access, DWORD share,
                                            DWORD disposition, DWORD flags, DWORD& error) {
        HANDLE h = CreateFileA(path.c_str(), access, share, nullptr, disposition,
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
