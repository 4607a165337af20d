#include "tests/support/ScratchFolder.h"

#include <algorithm>

#include "common/Handles.h"

namespace pelvane::test {
namespace {

// Shares reads and writes: a test may read a file the code under test holds open.
std::optional<std::string> ReadAll(const std::string& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::string data(GetFileSize(file.get(), nullptr), '\0');
    DWORD done = 0;
    if (!data.empty()) ReadFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &done, nullptr);
    data.resize(done);
    return data;
}

// Calls visit(name, isFolder) for each entry of folder but "." and "..".
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
    WIN32_FIND_DATAA fd;
    FindHandle find(FindFirstFileA((folder + "\\*").c_str(), &fd));
    if (!find) return;
    do {
        std::string name = fd.cFileName;
        if (name != "." && name != "..") visit(name, (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileA(find.get(), &fd));
}

void Walk(const std::string& folder, const std::string& prefix, std::vector<std::string>& out) {
    ForEachEntry(folder, [&](const std::string& name, bool isFolder) {
        if (isFolder)
            Walk(folder + "\\" + name, prefix + name + "\\", out);
        else
            out.push_back(prefix + name);
    });
}

// Read-only entries would refuse to go: their attributes are cleared first.
void RemoveTree(const std::string& folder) {
    ForEachEntry(folder, [&](const std::string& name, bool isFolder) {
        std::string full = folder + "\\" + name;
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (isFolder)
            RemoveTree(full);
        else
            DeleteFileA(full.c_str());
    });
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    root_ = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    RemoveTree(root_);  // left by an earlier process of the same id
    CreateDirectoryA(root_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(root_);
}

std::string ScratchFolder::Path(const std::string& relative) const {
    return relative.empty() ? root_ : root_ + "\\" + relative;
}

void ScratchFolder::MakeFolder(const std::string& relative) const {
    std::string full = Path(relative);
    for (size_t i = root_.size() + 1; i <= full.size(); ++i)
        if (i == full.size() || full[i] == '\\') CreateDirectoryA(full.substr(0, i).c_str(), nullptr);
}

void ScratchFolder::Write(const std::string& relative, const std::string& content,
                          std::optional<SYSTEMTIME> local) const {
    size_t slash = relative.find_last_of('\\');
    if (slash != std::string::npos) MakeFolder(relative.substr(0, slash));
    std::string full = Path(relative);
    SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);  // so a read-only file can be replaced
    WriteBytes(full, content);
    if (local) SetDate(relative, *local);
}

void ScratchFolder::SetDate(const std::string& relative, const SYSTEMTIME& local) const {
    FILETIME localTime, utc;
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &utc);
    FileHandle file(CreateFileA(Path(relative).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    SetFileTime(file.get(), nullptr, nullptr, &utc);
}

std::string ScratchFolder::Read(const std::string& relative) const {
    return ReadAll(Path(relative)).value_or("<missing>");
}

bool ScratchFolder::Exists(const std::string& relative) const {
    return FileExists(Path(relative));
}

DWORD ScratchFolder::Attributes(const std::string& relative) const {
    return GetFileAttributesA(Path(relative).c_str());
}

std::vector<std::string> ScratchFolder::Files(const std::string& relative) const {
    std::vector<std::string> out;
    Walk(Path(relative), "", out);
    std::sort(out.begin(), out.end());
    return out;
}

std::string ReadBytes(const std::string& path) {
    return ReadAll(path).value_or("");
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD done = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
           done == bytes.size();
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace pelvane::test
