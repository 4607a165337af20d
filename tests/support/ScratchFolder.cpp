#include "tests/support/ScratchFolder.h"

#include <algorithm>

#include "common/Handles.h"

namespace pelvane::test {
namespace {

// The code page of the program's texts (kept here: this library stands on
// its own, without the program's).
constexpr UINT kCodePage = 1250;

std::wstring Widen(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(kCodePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(kCodePage, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string Narrow(const std::wstring& w) {
    if (w.empty()) return {};
    int n =
        WideCharToMultiByte(kCodePage, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(kCodePage, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

// Shares reads and writes: a test may read a file the code under test holds open.
std::optional<std::string> ReadAll(const std::wstring& path) {
    FileHandle file(CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::string data(GetFileSize(file.get(), nullptr), '\0');
    DWORD done = 0;
    if (!data.empty()) ReadFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &done, nullptr);
    data.resize(done);
    return data;
}

bool WriteAll(const std::wstring& path, const std::string& bytes) {
    FileHandle file(
        CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD done = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
           done == bytes.size();
}

// Calls visit(name, isFolder) for each entry of folder but "." and "..".
template <typename Visit>
void ForEachEntry(const std::wstring& folder, Visit visit) {
    WIN32_FIND_DATAW fd;
    FindHandle find(FindFirstFileW((LongPath(folder) + L"\\*").c_str(), &fd));
    if (!find) return;
    do {
        std::wstring name = fd.cFileName;
        if (name != L"." && name != L"..") visit(name, (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileW(find.get(), &fd));
}

void Walk(const std::wstring& folder, const std::wstring& prefix, std::vector<std::wstring>& out) {
    ForEachEntry(folder, [&](const std::wstring& name, bool isFolder) {
        if (isFolder)
            Walk(folder + L"\\" + name, prefix + name + L"\\", out);
        else
            out.push_back(prefix + name);
    });
}

// Read-only entries would refuse to go: their attributes are cleared first.
void RemoveTree(const std::wstring& folder) {
    ForEachEntry(folder, [&](const std::wstring& name, bool isFolder) {
        std::wstring full = LongPath(folder + L"\\" + name);
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (isFolder)
            RemoveTree(full);
        else
            DeleteFileW(full.c_str());
    });
    RemoveDirectoryW(LongPath(folder).c_str());
}

}  // namespace

std::wstring LongPath(const std::wstring& path) {
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path;
    const bool absolute =
        path.compare(0, 2, L"\\\\") == 0 || (path.size() >= 3 && path[1] == L':' && path[2] == L'\\');
    if (!absolute) return path;  // a relative path stays as it is
    // The long form takes no "." or "..": the full form resolves them first.
    std::wstring full(path.size() + MAX_PATH, L'\0');
    DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size()) return path;
    full.resize(n);
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

ScratchFolder::ScratchFolder(const std::string& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int counter = 0;
    root_ = std::wstring(temp) + Widen(name) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    RemoveTree(root_);  // left by an earlier process of the same id
    CreateDirectoryW(LongPath(root_).c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(root_);
}

std::string ScratchFolder::Path(const std::string& relative) const {
    return Narrow(Path(Widen(relative)));
}
std::wstring ScratchFolder::Path(const std::wstring& relative) const {
    return relative.empty() ? root_ : root_ + L"\\" + relative;
}

void ScratchFolder::MakeFolder(const std::string& relative) const {
    MakeFolder(Widen(relative));
}
void ScratchFolder::MakeFolder(const std::wstring& relative) const {
    std::wstring full = Path(relative);
    for (size_t i = root_.size() + 1; i <= full.size(); ++i)
        if (i == full.size() || full[i] == L'\\')
            CreateDirectoryW(LongPath(full.substr(0, i)).c_str(), nullptr);
}

void ScratchFolder::Write(const std::string& relative, const std::string& content,
                          std::optional<SYSTEMTIME> local) const {
    Write(Widen(relative), content, local);
}
void ScratchFolder::Write(const std::wstring& relative, const std::string& content,
                          std::optional<SYSTEMTIME> local) const {
    size_t slash = relative.find_last_of(L'\\');
    if (slash != std::wstring::npos) MakeFolder(relative.substr(0, slash));
    std::wstring full = Path(relative);
    SetFileAttributesW(LongPath(full).c_str(), FILE_ATTRIBUTE_NORMAL);  // so a read-only file can be replaced
    WriteAll(full, content);
    if (local) SetDate(relative, *local);
}

void ScratchFolder::SetDate(const std::string& relative, const SYSTEMTIME& local) const {
    SetDate(Widen(relative), local);
}
void ScratchFolder::SetDate(const std::wstring& relative, const SYSTEMTIME& local) const {
    FILETIME localTime, utc;
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &utc);
    FileHandle file(CreateFileW(LongPath(Path(relative)).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    SetFileTime(file.get(), nullptr, nullptr, &utc);
}

std::string ScratchFolder::Read(const std::string& relative) const {
    return Read(Widen(relative));
}
std::string ScratchFolder::Read(const std::wstring& relative) const {
    return ReadAll(Path(relative)).value_or("<missing>");
}

bool ScratchFolder::Exists(const std::string& relative) const {
    return Exists(Widen(relative));
}
bool ScratchFolder::Exists(const std::wstring& relative) const {
    return Attributes(relative) != INVALID_FILE_ATTRIBUTES;
}

DWORD ScratchFolder::Attributes(const std::string& relative) const {
    return Attributes(Widen(relative));
}
DWORD ScratchFolder::Attributes(const std::wstring& relative) const {
    return GetFileAttributesW(LongPath(Path(relative)).c_str());
}

std::vector<std::string> ScratchFolder::Files(const std::string& relative) const {
    std::vector<std::string> out;
    for (const std::wstring& name : Files(Widen(relative))) out.push_back(Narrow(name));
    std::sort(out.begin(), out.end());
    return out;
}
std::vector<std::wstring> ScratchFolder::Files(const std::wstring& relative) const {
    std::vector<std::wstring> out;
    Walk(Path(relative), L"", out);
    std::sort(out.begin(), out.end());
    return out;
}

std::string ReadBytes(const std::string& path) {
    return ReadBytes(Widen(path));
}
std::string ReadBytes(const std::wstring& path) {
    return ReadAll(path).value_or("");
}

std::vector<std::string> FileLines(const std::string& path) {
    return FileLines(Widen(path));
}
std::vector<std::string> FileLines(const std::wstring& path) {
    std::vector<std::string> lines;
    const std::string bytes = ReadBytes(path);
    for (size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(bytes.substr(at, end - at));
    return lines;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    return WriteBytes(Widen(path), bytes);
}
bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    return WriteAll(path, bytes);
}

bool FileExists(const std::string& path) {
    return FileExists(Widen(path));
}
bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace pelvane::test
