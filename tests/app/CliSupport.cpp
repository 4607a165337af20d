#include "tests/app/CliSupport.h"

#include "common/Seged.h"
#include "common/Text.h"

namespace pelvane::test {

std::vector<std::string> Result::Lines() const {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(out.substr(start, end - start));
    return lines;
}

std::wstring Quote(const std::wstring& arg) {
    size_t last = arg.find_last_not_of(L'\\');
    size_t trailing = last == std::wstring::npos ? arg.size() : arg.size() - last - 1;
    return L"\"" + arg + std::wstring(trailing, L'\\') + L"\"";
}

CapturedOutput::CapturedOutput(const char* name) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    path_ = std::string(tmp) + "pelvane_cli_" + std::to_string(GetCurrentProcessId()) + "_" + name;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    handle_.reset(CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
}

CapturedOutput::~CapturedOutput() {
    DeleteFileA(path_.c_str());
}

std::string CapturedOutput::Text() {
    handle_.reset();
    FileHandle in(CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr));
    std::string data;
    char buf[4096];
    DWORD got;
    while (in && ReadFile(in.get(), buf, sizeof buf, &got, nullptr) && got) data.append(buf, got);
    return data;
}

bool CopyFromBuild(const wchar_t* name, const std::wstring& folder) {
    return CopyFileW((AppDir() + L"\\" + name).c_str(), (folder + L"\\" + name).c_str(), FALSE) != FALSE;
}

const ScratchFolder& ProgramFolder() {
    static const ScratchFolder folder("pelvane-cli-program");
    static const bool copied = CopyFromBuild(L"pelvane-cli.exe", folder.Path(L"")) &&
                               CopyFromBuild(L"sqlite3.dll", folder.Path(L""));
    (void)copied;
    return folder;
}

KernelHandle StartCli(const std::wstring& exe, const std::vector<std::wstring>& args, const std::wstring& cwd,
                      const CapturedOutput& out, const CapturedOutput& err) {
    std::wstring command = Quote(exe);
    for (const auto& a : args) command += L" " + Quote(a);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out.Handle();
    si.hStdError = err.Handle();
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        cwd.empty() ? nullptr : cwd.c_str(), &si, &pi))
        return KernelHandle();
    CloseHandle(pi.hThread);
    return KernelHandle(pi.hProcess);
}

DWORD WaitForCli(HANDLE process) {
    DWORD code = 99;
    if (!process) return code;
    if (WaitForSingleObject(process, 600000) != WAIT_OBJECT_0) {
        TerminateProcess(process, 98);
        WaitForSingleObject(process, 10000);
    }
    GetExitCodeProcess(process, &code);
    return code;
}

Result CliAt(const std::wstring& exe, const std::vector<std::wstring>& args, const std::wstring& cwd) {
    CapturedOutput out("out"), err("err");
    Result r;
    r.exitCode = WaitForCli(StartCli(exe, args, cwd, out, err).get());
    r.out = out.Text();
    r.err = err.Text();
    return r;
}

Result Cli(const std::vector<std::wstring>& args) {
    return CliAt(ProgramFolder().Path(L"pelvane-cli.exe"), args);
}

Result Cli(const std::vector<std::string>& args) {
    std::vector<std::wstring> wide;
    for (const auto& a : args) wide.push_back(AnsiToWide(a));
    return Cli(wide);
}

}  // namespace pelvane::test
