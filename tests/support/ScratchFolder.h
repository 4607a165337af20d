#pragma once
// Real files for tests: a scratch folder that goes away with everything in
// it, and whole files read and written as bytes. Names come in the code page
// (1250) or in UTF-16, for names outside it and paths of any length.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace pelvane::test {

// A fresh folder under the temporary path, removed with its files (read-only
// ones too) when it goes out of scope. Relative names may hold subfolders.
class ScratchFolder {
  public:
    // The folder's name starts with name; the process id and a counter follow.
    explicit ScratchFolder(const std::string& name = "pelvane-test");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder itself, or the full path of a name below it (in the
    // ordinary form, also beyond 260 characters).
    std::string Path(const std::string& relative = "") const;
    std::wstring Path(const std::wstring& relative) const;
    // Makes the folder and any missing ones above it.
    void MakeFolder(const std::string& relative) const;
    void MakeFolder(const std::wstring& relative) const;
    // Writes a file (making its folders); the date, when given, as local time.
    void Write(const std::string& relative, const std::string& content,
               std::optional<SYSTEMTIME> local = std::nullopt) const;
    void Write(const std::wstring& relative, const std::string& content,
               std::optional<SYSTEMTIME> local = std::nullopt) const;
    void SetDate(const std::string& relative, const SYSTEMTIME& local) const;
    void SetDate(const std::wstring& relative, const SYSTEMTIME& local) const;
    // The file's bytes, or "<missing>" when it cannot be opened.
    std::string Read(const std::string& relative) const;
    std::string Read(const std::wstring& relative) const;
    bool Exists(const std::string& relative) const;
    bool Exists(const std::wstring& relative) const;
    DWORD Attributes(const std::string& relative) const;
    DWORD Attributes(const std::wstring& relative) const;
    // Every file below relative, as paths relative to it, sorted.
    std::vector<std::string> Files(const std::string& relative = "") const;
    std::vector<std::wstring> Files(const std::wstring& relative) const;

  private:
    std::wstring root_;
};

// The long form (\\?\...) of a full path, which reaches any length; a
// relative path stays as it is.
std::wstring LongPath(const std::wstring& path);

// A whole file; "" when it cannot be read.
std::string ReadBytes(const std::string& path);
std::string ReadBytes(const std::wstring& path);
// The lines of a file whose lines each end in CRLF (a log file), as bytes,
// without their ends; none when the file cannot be read.
std::vector<std::string> FileLines(const std::string& path);
std::vector<std::string> FileLines(const std::wstring& path);
// Replaces a file's content; false when it cannot be written.
bool WriteBytes(const std::string& path, const std::string& bytes);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::string& path);
bool FileExists(const std::wstring& path);

}  // namespace pelvane::test
