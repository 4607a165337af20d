#pragma once
// A scratch folder tree on the real file system, removed afterwards.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace pelvane {

class TempTree {
  public:
    TempTree() {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        static int counter = 0;
        root_ = std::string(tmp) + "pelvane_test_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++counter);
        RemoveTree(root_);
        CreateDirectoryA(root_.c_str(), nullptr);
    }
    ~TempTree() { RemoveTree(root_); }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + "\\" + relative; }

    void Folder(const std::string& relative) const {
        std::string full = Path(relative);
        for (size_t i = root_.size() + 1; i <= full.size(); ++i)
            if (i == full.size() || full[i] == '\\') CreateDirectoryA(full.substr(0, i).c_str(), nullptr);
    }
    // Writes a file (making its folders); the date, when given, as local time.
    void File(const std::string& relative, const std::string& content,
              std::optional<SYSTEMTIME> local = std::nullopt) const {
        size_t slash = relative.find_last_of('\\');
        if (slash != std::string::npos) Folder(relative.substr(0, slash));
        std::string full = Path(relative);
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        HANDLE h = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD done;
        WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &done, nullptr);
        CloseHandle(h);
        if (local) SetDate(relative, *local);
    }
    void SetDate(const std::string& relative, const SYSTEMTIME& local) const {
        FILETIME lft, ft;
        SystemTimeToFileTime(&local, &lft);
        LocalFileTimeToFileTime(&lft, &ft);
        HANDLE h = CreateFileA(Path(relative).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        SetFileTime(h, nullptr, nullptr, &ft);
        CloseHandle(h);
    }
    std::string Read(const std::string& relative) const {
        HANDLE h = CreateFileA(Path(relative).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return "<missing>";
        std::string data(GetFileSize(h, nullptr), '\0');
        DWORD done = 0;
        if (!data.empty()) ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &done, nullptr);
        CloseHandle(h);
        return data;
    }
    bool Exists(const std::string& relative) const {
        return GetFileAttributesA(Path(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    DWORD Attributes(const std::string& relative) const { return GetFileAttributesA(Path(relative).c_str()); }

    // Every file below relative, as paths relative to it, sorted.
    std::vector<std::string> Files(const std::string& relative = "") const {
        std::vector<std::string> out;
        Walk(relative.empty() ? root_ : Path(relative), "", out);
        std::sort(out.begin(), out.end());
        return out;
    }

  private:
    static void Walk(const std::string& folder, const std::string& prefix, std::vector<std::string>& out) {
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Walk(folder + "\\" + name, prefix + name + "\\", out);
            else
                out.push_back(prefix + name);
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    static void RemoveTree(const std::string& folder) {
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string name = fd.cFileName, full = folder + "\\" + name;
                if (name == "." || name == "..") continue;
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(full);
                else
                    DeleteFileA(full.c_str());
            } while (FindNextFileA(find, &fd));
            FindClose(find);
        }
        RemoveDirectoryA(folder.c_str());
    }

    std::string root_;
};

}  // namespace pelvane
