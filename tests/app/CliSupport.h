#pragma once
// pelvane-cli run as a user or a script runs it, from its own program folder:
// its arguments, output and exit status.
#include <windows.h>

#include <string>
#include <vector>

#include "common/Handles.h"
#include "tests/support/ScratchFolder.h"

namespace pelvane::test {

struct Result {
    DWORD exitCode = 0;
    std::string out, err;  // as written: UTF-8
    std::vector<std::string> Lines() const;
};

// Quoted as the C runtime parses it: backslashes before the closing quote doubled.
std::wstring Quote(const std::wstring& arg);

// A file the child writes its output into, removed when done. Files, not
// pipes: a pipe stays open as long as any process that inherited it lives,
// which under Wine can outlast the child.
class CapturedOutput {
  public:
    explicit CapturedOutput(const char* name);
    ~CapturedOutput();
    HANDLE Handle() const { return handle_.get(); }
    std::string Text();

  private:
    std::string path_;
    FileHandle handle_;
};

// Copies one of the build's files into folder.
bool CopyFromBuild(const wchar_t* name, const std::wstring& folder);

// A program folder of these tests' own, with a copy of pelvane-cli.exe and
// its sqlite3.dll: a run over folder pairs writes its Pelvane.log there,
// never into the build's folder.
const ScratchFolder& ProgramFolder();

// Starts the pelvane-cli.exe at exe with the arguments, each quoted, in the
// current folder cwd (the test's own when empty), its output into out and
// err; an empty handle when it could not be started.
KernelHandle StartCli(const std::wstring& exe, const std::vector<std::wstring>& args, const std::wstring& cwd,
                      const CapturedOutput& out, const CapturedOutput& err);
// Its exit status once it has ended: 98 when it hung (it is ended then, so a
// hang fails the test, not the whole run), 99 when it never started.
DWORD WaitForCli(HANDLE process);

// Runs the pelvane-cli.exe at exe as StartCli starts it, to its end.
Result CliAt(const std::wstring& exe, const std::vector<std::wstring>& args, const std::wstring& cwd = {});
// Runs pelvane-cli.exe in its program folder.
Result Cli(const std::vector<std::wstring>& args);
// Arguments in the code page, as most of these tests give them.
Result Cli(const std::vector<std::string>& args);

}  // namespace pelvane::test
