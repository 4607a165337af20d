// pelvane-cli: the backup engine for scripts and the Task Scheduler.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/cli/ConsoleSurroundings.h"
#include "engine/MemoryTaskRows.h"
#include "common/Seged.h"
#include "engine/BackupEngine.h"

using namespace pelvane;

namespace {

const char kUsage[] =
    "usage: pelvane-cli run [--method 0|1|2] [--clear-archive] [--exclude LIST] [--current N] [--progress]\n"
    "                       SOURCE TARGET [SOURCE TARGET ...]\n"
    "\n"
    "  --method 0|1|2   0 all files (default), 1 files with the archive flag, 2 newer files only\n"
    "  --clear-archive  clear the archive flag of each source file after its copy\n"
    "  --exclude LIST   excluded extensions, e.g. \".tmp;.temp\" (the default); \"\" excludes nothing\n"
    "  --current N      back up only the N-th task (from 1)\n"
    "  --progress       draw a progress bar on standard error\n"
    "\n"
    "Exit status: 0 no error line, 1 at least one \"Hiba: \" line, 2 usage error.\n";

constexpr int kExitOk = 0, kExitErrors = 1, kExitUsage = 2;

struct UsageError {
    std::string message;
};

int ParseNumber(const char* text, int low, int high, const char* option) {
    int32_t value = 0;
    if (!TryStrToInt(text, value) || value < low || value > high)
        throw UsageError{std::string("invalid value for ") + option + ": " + text};
    return value;
}

int Run(const std::vector<std::string>& args) {
    RunOptions options;
    int current = 0;
    std::vector<MemoryTaskRows::Task> tasks;
    std::vector<std::string> folders;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= args.size()) throw UsageError{"missing value for " + a};
            return args[++i].c_str();
        };
        if (a == "--method") {
            options.method = ParseNumber(value(), 0, 2, "--method");
        } else if (a == "--clear-archive") {
            options.clearArchive = true;
        } else if (a == "--exclude") {
            options.excludedTypes = value();
        } else if (a == "--current") {
            current = ParseNumber(value(), 1, INT32_MAX, "--current");
        } else if (a == "--progress") {
            options.progress = true;
        } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            throw UsageError{"unknown option " + a};
        } else {
            folders.push_back(a);
        }
    }
    if (folders.empty() || folders.size() % 2) throw UsageError{"give SOURCE TARGET pairs"};
    for (size_t i = 0; i < folders.size(); i += 2) tasks.emplace_back(folders[i], folders[i + 1]);
    if (current > static_cast<int>(tasks.size())) throw UsageError{"--current is beyond the last task"};

    MemoryTaskRows rows(std::move(tasks));
    if (current) {
        options.onlyCurrent = true;
        rows.MoveTo(current - 1);
    }
    ConsoleSurroundings console(rows, options);
    std::unique_ptr<FileSystem> fs = MakeWin32FileSystem();
    BackupEngine engine(console, *fs);
    console.SetEngine(&engine);
    InstallCtrlCHandler();
    engine.Button1Click();
    if (options.progress) fputs("\r\x1b[K", stderr);
    return console.SawError() ? kExitErrors : kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    // Arguments arrive in the ANSI code page (1250), as Windows passes them.
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.empty()) throw UsageError{""};
        std::string command = args.front();
        args.erase(args.begin());
        if (command == "run") return Run(args);
        throw UsageError{"unknown command " + command};
    } catch (const UsageError& e) {
        if (!e.message.empty()) fprintf(stderr, "pelvane-cli: %s\n", e.message.c_str());
        fputs(kUsage, stderr);
        return kExitUsage;
    } catch (const std::exception& e) {
        WriteLine(std::string("pelvane-cli: ") + e.what(), true);
        return kExitErrors;
    }
}
