#pragma once
// What a run tells while it goes on: its log lines, the file at hand and the
// progress in bytes. The texts come in UTF-16 with the true file names: each
// surrounding shows them as well as it can (the window in its code page).
#include <string>

namespace pelvane {

class RunReport {
  public:
    virtual ~RunReport() = default;

    virtual void AppendLog(const std::wstring& line) = 0;
    // The file being backed up; "" once the run has ended.
    virtual void SetStatusText(const std::wstring& text) = 0;

    // The progress of the task at hand, from 0 to a maximum that the run
    // keeps within 32 bits.
    virtual void SetProgressMax(int max) = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual void StepProgress(int amount) = 0;
};

}  // namespace pelvane
