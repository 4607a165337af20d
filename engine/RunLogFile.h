#pragma once
// The record of every run that outlives the program: each log line, as the
// run wrote it, appended to Pelvane.log in UTF-8 with CRLF line ends. Past
// its size limit the file becomes Pelvane.log.1 (one older generation is
// kept) and a new one is started; while it cannot be renamed, lines go on
// its end.
#include <windows.h>

#include <cstdint>
#include <string>

namespace pelvane {

class RunLogFile {
  public:
    static constexpr uint64_t kDefaultLimit = 1024 * 1024;

    explicit RunLogFile(std::wstring path, uint64_t limit = kDefaultLimit)
        : path_(std::move(path)), limit_(limit) {}

    // Appends one line. A failure never throws and never stops a run: it
    // returns false, and FailureIsNew tells whether the file was written
    // before it (or not yet tried), so that the user hears of it once.
    bool Append(const std::wstring& line) noexcept;
    bool FailureIsNew() const { return failureIsNew_; }
    // What the user reads about it (not a "Hiba: " line: the run has not failed).
    std::wstring FailureNote() const;
    const std::wstring& Path() const { return path_; }
    DWORD LastError() const { return error_; }

  private:
    bool Write(const std::string& bytes);

    std::wstring path_;
    uint64_t limit_;
    DWORD error_ = 0;
    bool failing_ = false, failureIsNew_ = false;
};

}  // namespace pelvane
