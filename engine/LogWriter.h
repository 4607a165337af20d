#pragma once
// The run's log lines, through its report, counting the "Hiba: " lines: the
// count tells the surroundings how the run went.
#include <string>

#include "engine/RunReport.h"

namespace pelvane {

class LogWriter {
  public:
    explicit LogWriter(RunReport& report) : report_(report) {}

    void Line(const std::wstring& line) { report_.AppendLog(line); }
    // "Hiba: " + path + " : " + message: a step that failed on a file or folder.
    void Error(const std::wstring& path, const std::wstring& message) {
        ++errorLines_;
        report_.AppendLog(L"Hiba: " + path + L" : " + message);
    }
    // "Hiba: " + message: a failure of the run itself (the task rows).
    void Error(const std::wstring& message) {
        ++errorLines_;
        report_.AppendLog(L"Hiba: " + message);
    }

    int ErrorLines() const { return errorLines_; }
    void ResetCount() { errorLines_ = 0; }

  private:
    RunReport& report_;
    int errorLines_ = 0;
};

// "yyyy.mm.dd hh:mm:ss", the local time now, for the lines that frame a run;
// the colons are the system's time separator.
std::wstring LogTimestamp();

}  // namespace pelvane
