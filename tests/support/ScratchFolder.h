#pragma once
// Real files for tests: a scratch folder that goes away with everything in
// it, and whole files read and written as bytes.
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

    // The folder itself, or the full path of a name below it.
    std::string Path(const std::string& relative = "") const;
    // Makes the folder and any missing ones above it.
    void MakeFolder(const std::string& relative) const;
    // Writes a file (making its folders); the date, when given, as local time.
    void Write(const std::string& relative, const std::string& content,
               std::optional<SYSTEMTIME> local = std::nullopt) const;
    void SetDate(const std::string& relative, const SYSTEMTIME& local) const;
    // The file's bytes, or "<missing>" when it cannot be opened.
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    DWORD Attributes(const std::string& relative) const;
    // Every file below relative, as paths relative to it, sorted.
    std::vector<std::string> Files(const std::string& relative = "") const;

  private:
    std::string root_;
};

// A whole file; "" when it cannot be read.
std::string ReadBytes(const std::string& path);
// Replaces a file's content; false when it cannot be written.
bool WriteBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

}  // namespace pelvane::test
