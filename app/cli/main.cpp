// pelvane-cli: the backup engine for scripts and the Task Scheduler.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/ConsoleRun.h"
#include "common/Paths.h"
#include "common/ProgramFiles.h"
#include "common/Seged.h"
#include "common/Text.h"
#include "engine/BackupRun.h"
#include "engine/CopyFolders.h"
#include "engine/MemoryTaskRows.h"
#include "engine/RestoreRun.h"
#include "engine/RunLogFile.h"
#include "settings/StoredRunOptions.h"
#include "store/TableTaskRows.h"
#include "store/TaskTable.h"
#include "store/TaskStore.h"

using namespace pelvane;

namespace {

const char kUsage[] =
    "usage: pelvane-cli run [--method 0|1|2] [--clear-archive] [--exclude LIST] [--current N] [--progress]\n"
    "                       [--keep-days N] [--accept-changes] [--no-log] [SOURCE TARGET ...]\n"
    "       pelvane-cli restore [--as-of \"yyyy.mm.dd hh:nn[:ss]\"] [--progress] [--no-log]\n"
    "                           SOURCE TARGET INTO | --task ID INTO\n"
    "       pelvane-cli list\n"
    "       pelvane-cli add SOURCE TARGET\n"
    "       pelvane-cli remove ID\n"
    "       pelvane-cli --help\n"
    "Every command takes --db PATH: the task database (default: Pelvane.sqb beside the program).\n"
    "run without SOURCE TARGET pairs backs up the stored tasks, with the options stored in the\n"
    "Pelvane.ini beside the database; the options given here override them.\n"
    "\n"
    "  --method 0|1|2   0 all files (default), 1 files with the archive flag, 2 newer files only\n"
    "  --clear-archive  clear the archive flag of each source file after its copy\n"
    "  --exclude LIST   excluded extensions, e.g. \".tmp;.temp\" (the default); \"\" excludes nothing\n"
    "  --current N      back up only the N-th task (from 1)\n"
    "  --progress       draw a progress bar, with the file at hand, on standard error\n"
    "  --keep-days N    days a replaced copy is kept as a version in the target's version folder\n"
    "                   (0..9999; default 30, or VersionDays of Pelvane.ini; 0 keeps none and\n"
    "                   removes none)\n"
    "  --accept-changes let a task go ahead that the change guard holds: one that would replace\n"
    "                   more than ChangeGuard percent (default 50) of its copies, and at least 20\n"
    "  --no-log         append nothing to Pelvane.log (beside Pelvane.ini: the database's, or\n"
    "                   the program's for SOURCE TARGET pairs)\n"
    "\n"
    "restore writes the tree of one task's backup (SOURCE TARGET as given to run, or the stored\n"
    "task ID) into INTO\\<last folder name of SOURCE>, as it stood at the moment --as-of (local\n"
    "time): each file from the oldest version replaced after the moment, else from its copy if\n"
    "the copy's date is not after the moment; other files were not in the backup then. Without\n"
    "--as-of, the copies as they are now. INTO must be new or empty and may not lie inside TARGET\n"
    "or SOURCE: a restore never overwrites anything. Its log lines go where run writes them.\n"
    "\n"
    "add warns when the copies of the new task would go to the same folder as those of a stored\n"
    "one (a run leaves out the later of the two), and stores it all the same.\n"
    "\n"
    "Exit status: 0 no error line, 1 at least one \"Hiba: \" line, 2 usage error or a restore\n"
    "refused (INTO not empty, or inside TARGET or SOURCE; nothing written),\n"
    "3 the task database failed (remove, restore --task: no task with that id),\n"
    "4 the run was stopped (Ctrl+C, Ctrl+Break, the console closed), with or without error lines,\n"
    "5 the change guard held a task (not stopped; with or without other error lines).\n";

constexpr int kExitOk = 0, kExitErrors = 1, kExitUsage = 2, kExitStore = 3, kExitStopped = 4, kExitHeld = 5;

// A failure that the program reports itself, its message in UTF-16 (it may
// name a folder outside the code page); what() gives it in the code page.
class CliError : public std::exception {
  public:
    explicit CliError(std::wstring message) : message_(std::move(message)), ansi_(WideToAnsi(message_)) {}
    const std::wstring& Message() const { return message_; }
    const char* what() const noexcept override { return ansi_.c_str(); }

  private:
    std::wstring message_;
    std::string ansi_;
};

// The command line is wrong: the message and the usage go to standard error, exit 2.
struct UsageError : CliError {
    using CliError::CliError;
};

// A restore that may not run (its folder is not empty, or lies in the
// target or the source): the message goes to standard error, exit 2.
struct Refused : CliError {
    using CliError::CliError;
};

// A failure of the task store: its message goes to standard error, exit 3.
struct StoreFailure : CliError {
    using CliError::CliError;
};

// Runs a step on the task store; whatever it raises becomes a StoreFailure.
template <typename Step>
auto InStore(Step&& step) -> decltype(step()) {
    try {
        return step();
    } catch (const CliError&) {
        throw;
    } catch (const std::exception& e) {
        throw StoreFailure(AnsiToWide(e.what()));
    }
}

// The folders of a stored task: at most 255 bytes in UTF-8, and never cut
// (a cut path would back up some other folder).
constexpr size_t kMaxStoredFolder = 255;

int ParseNumber(const std::wstring& text, int low, int high, const wchar_t* option) {
    int32_t value = 0;
    if (!TryStrToInt(WideToAnsi(text), value) || value < low || value > high)
        throw UsageError{std::wstring(L"invalid value for ") + option + L": " + text};
    return value;
}

// Options common to the commands: --db PATH, taken out of args.
std::wstring TakeDatabaseOption(std::vector<std::wstring>& args) {
    std::wstring db;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != L"--db") continue;
        if (i + 1 >= args.size()) throw UsageError{L"missing value for --db"};
        db = args[i + 1];
        args.erase(args.begin() + i, args.begin() + i + 2);
        --i;
    }
    return db;
}

// The task store of --db (any path), or the program's own when it is not given, opened.
std::unique_ptr<TaskStore> OpenStore(const std::wstring& db) {
    auto store = std::make_unique<TaskStore>();
    InStore([&] {
        if (!db.empty()) store->SetDatabaseFile(db);
        store->SetMustExist(true);  // a mistyped --db must not leave a new empty file behind
        store->Open();
    });
    return store;
}

// The settings file that belongs to the database: the one beside it.
std::wstring SettingsBeside(TaskStore& store) {
    return SettingsFilePath(ExtractFilePath(InStore([&] { return store.DatabasePath(); })));
}

// Goes through the arguments: take(a, value) handles an option it knows
// (value() gives the argument after it) and says so; an unknown option is a
// usage error, and the rest come back in order.
template <typename Take>
std::vector<std::wstring> TakeOptions(const std::vector<std::wstring>& args, Take take) {
    std::vector<std::wstring> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        auto value = [&]() -> const std::wstring& {
            if (i + 1 >= args.size()) throw UsageError{L"missing value for " + a};
            return args[++i];
        };
        if (take(a, value)) continue;
        if (a.size() > 2 && a.compare(0, 2, L"--") == 0) throw UsageError{L"unknown option " + a};
        rest.push_back(a);
    }
    return rest;
}

int Run(std::vector<std::wstring> args) {
    const std::wstring db = TakeDatabaseOption(args);
    ConsoleOptions options;
    bool methodGiven = false, clearGiven = false, excludeGiven = false, daysGiven = false, logFile = true;
    int current = 0;
    const std::vector<std::wstring> folders = TakeOptions(args, [&](const std::wstring& a, auto value) {
        if (a == L"--method") {
            options.method = ParseNumber(value(), 0, 2, L"--method"), methodGiven = true;
        } else if (a == L"--clear-archive") {
            options.clearArchiveFlag = clearGiven = true;
        } else if (a == L"--exclude") {
            options.excludedTypes = WideToAnsi(value()), excludeGiven = true;
        } else if (a == L"--current") {
            current = ParseNumber(value(), 1, INT32_MAX, L"--current");
        } else if (a == L"--keep-days") {
            options.versionDays = ParseNumber(value(), 0, keys::kVersionDaysMax, L"--keep-days"),
            daysGiven = true;
        } else if (a == L"--accept-changes") {
            options.acceptChanges = true;
        } else if (a == L"--progress") {
            options.progress = true;
        } else if (a == L"--no-log") {
            logFile = false;
        } else {
            return false;
        }
        return true;
    });
    if (folders.size() % 2) throw UsageError{L"give SOURCE TARGET pairs"};
    if (!folders.empty() && !db.empty())
        throw UsageError{L"--db goes with the stored tasks, not with SOURCE TARGET"};

    std::unique_ptr<TaskStore> store;
    std::unique_ptr<TaskRows> rows;
    if (folders.empty()) {
        store = OpenStore(db);
        StoredRunOptions stored = ReadStoredRunOptions(SettingsBeside(*store));
        if (!methodGiven) options.method = stored.method;
        if (!clearGiven) options.clearArchiveFlag = stored.clearArchiveFlag;
        if (!excludeGiven) options.excludedTypes = stored.excludedTypes;
        if (!daysGiven) options.versionDays = stored.versionDays;
        options.changeGuard = stored.changeGuard;
        if (current > store->Table().RecordCount()) throw UsageError{L"--current is beyond the last task"};
        if (current) store->Table().MoveTo(current - 1);
        rows = std::make_unique<TableTaskRows>(store->Table());
    } else {
        std::vector<MemoryTaskRows::Task> tasks;
        for (size_t i = 0; i < folders.size(); i += 2) tasks.emplace_back(folders[i], folders[i + 1]);
        if (current > static_cast<int>(tasks.size())) throw UsageError{L"--current is beyond the last task"};
        auto memory = std::make_unique<MemoryTaskRows>(std::move(tasks));
        if (current) memory->MoveTo(current - 1);
        rows = std::move(memory);
    }
    options.currentTaskOnly = current > 0;

    // The run's record goes beside the settings file the run uses.
    std::unique_ptr<RunLogFile> runLog;
    if (logFile)
        runLog = std::make_unique<RunLogFile>(
            RunLogFilePath(store ? ExtractFilePath(SettingsBeside(*store)) : AppDir()));
    ConsoleRun console(options, runLog.get());
    std::unique_ptr<FileSystem> fs = MakeWin32FileSystem();
    BackupRun run(*rows, console, console, console, *fs);
    console.SetRun(&run);
    InstallCtrlCHandler();
    run.Run();
    RunEnded();
    // A stopped run did not do all its work, whatever else it met; a held
    // task is named before other errors, as it wants the user's decision.
    if (console.WasStopped()) return kExitStopped;
    if (console.WasHeld()) return kExitHeld;
    return console.SawError() ? kExitErrors : kExitOk;
}

// restore [--as-of MOMENT] [--progress] [--no-log] (SOURCE TARGET | --task ID) INTO
int Restore(std::vector<std::wstring> args) {
    const std::wstring db = TakeDatabaseOption(args);
    ConsoleOptions options;
    RestoreRequest request;
    bool logFile = true, taskGiven = false;
    int task = 0;
    const std::vector<std::wstring> folders = TakeOptions(args, [&](const std::wstring& a, auto value) {
        if (a == L"--as-of") {
            const std::wstring& text = value();
            LocalTime moment;
            if (!ParseMoment(WideToAnsi(text), moment))
                throw UsageError{L"invalid value for --as-of: " + text +
                                 L" (yyyy.mm.dd hh:nn or yyyy.mm.dd hh:nn:ss)"};
            request.asOf = moment;
        } else if (a == L"--task") {
            task = ParseNumber(value(), INT32_MIN, INT32_MAX, L"--task"), taskGiven = true;
        } else if (a == L"--progress") {
            options.progress = true;
        } else if (a == L"--no-log") {
            logFile = false;
        } else {
            return false;
        }
        return true;
    });
    std::unique_ptr<TaskStore> store;
    if (taskGiven) {
        if (folders.size() != 1) throw UsageError{L"restore --task ID takes INTO"};
        store = OpenStore(db);
        TSqliteTable& table = store->Table();
        const bool found = InStore([&] {
            for (table.First(); !table.Eof(); table.Next()) {
                int32_t id = 0;
                if (!TryStrToInt(table.FieldText(kTaskIdField), id) || id != task) continue;
                request.source = table.FieldWideText(kSourceField);
                request.target = table.FieldWideText(kTargetField);
                return true;
            }
            return false;
        });
        if (!found) throw StoreFailure(L"Nincs " + std::to_wstring(task) + L" azonosítójú feladat");
    } else {
        if (folders.size() != 3) throw UsageError{L"restore takes SOURCE TARGET INTO, or --task ID INTO"};
        if (!db.empty()) throw UsageError{L"--db goes with --task, not with SOURCE TARGET"};
        request.source = folders[0];
        request.target = folders[1];
    }
    request.into = folders.back();

    std::unique_ptr<RunLogFile> runLog;
    if (logFile)
        runLog = std::make_unique<RunLogFile>(
            RunLogFilePath(store ? ExtractFilePath(SettingsBeside(*store)) : AppDir()));
    ConsoleRun console(options, runLog.get());
    std::unique_ptr<FileSystem> fs = MakeWin32FileSystem();
    RestoreRun restore(console, console, *fs);
    // Refused before anything is written, and said as the command's own failure.
    const std::wstring refusal = restore.Refusal(request);
    if (!refusal.empty()) throw Refused(refusal);
    console.SetRun(&restore);
    InstallCtrlCHandler();
    restore.Run(request);
    RunEnded();
    return console.WasStopped() ? kExitStopped : console.SawError() ? kExitErrors : kExitOk;
}

int List(std::vector<std::wstring> args) {
    const std::wstring db = TakeDatabaseOption(args);
    if (!args.empty()) throw UsageError{L"list takes no arguments"};
    std::unique_ptr<TaskStore> store = OpenStore(db);
    TSqliteTable& table = store->Table();
    for (table.First(); !table.Eof(); table.Next())
        WriteLine(AnsiToWide(table.FieldText(kTaskIdField)) + L"\t" + table.FieldWideText(kSourceField) +
                  L"\t" + table.FieldWideText(kTargetField));
    return kExitOk;
}

// A warning when the copies of the task would go to the same folder as
// those of a stored one; "" when they would not.
std::wstring CollisionWarning(TSqliteTable& table, const std::wstring& source, const std::wstring& target) {
    if (source.empty() || target.empty()) return {};
    std::unique_ptr<FileSystem> fs = MakeWin32FileSystem();
    const std::wstring folder = CopyFolder(*fs, source, target);
    const NameLess less;
    return InStore([&]() -> std::wstring {
        for (table.First(); !table.Eof(); table.Next()) {
            const std::wstring otherSource = table.FieldWideText(kSourceField),
                               otherTarget = table.FieldWideText(kTargetField);
            if (otherSource.empty() || otherTarget.empty()) continue;
            const std::wstring other = CopyFolder(*fs, otherSource, otherTarget);
            if (less(folder, other) || less(other, folder)) continue;
            return L"pelvane-cli: warning: the copies of this task would go to the same folder (" +
                   fs->FullPath(folder) + L") as those of task " + AnsiToWide(table.FieldText(kTaskIdField)) +
                   L" (" + otherSource + L" >> " + otherTarget + L"); a run leaves out the later of the two";
        }
        return std::wstring();
    });
}

int Add(std::vector<std::wstring> args) {
    const std::wstring db = TakeDatabaseOption(args);
    if (args.size() != 2) throw UsageError{L"add takes SOURCE TARGET"};
    for (const std::wstring& folder : args)
        if (WideToUtf8(folder).size() > kMaxStoredFolder)
            throw UsageError{L"a stored folder holds at most 255 bytes of UTF-8: " + folder};
    std::unique_ptr<TaskStore> store = OpenStore(db);
    const std::wstring warning = CollisionWarning(store->Table(), args[0], args[1]);
    WriteLine(std::to_wstring(InStore([&] { return store->AddTask(args[0], args[1]); })));
    // Stored all the same, as the window stores it: the user may be about to
    // change the other task, and a run leaves out the later one meanwhile.
    if (!warning.empty()) WriteLine(warning, true);
    return kExitOk;
}

int Remove(std::vector<std::wstring> args) {
    const std::wstring db = TakeDatabaseOption(args);
    if (args.size() != 1) throw UsageError{L"remove takes ID"};
    int id = ParseNumber(args[0], INT32_MIN, INT32_MAX, L"ID");
    std::unique_ptr<TaskStore> store = OpenStore(db);
    if (!InStore([&] { return store->RemoveTask(id); }))
        throw StoreFailure(L"Nincs " + std::to_wstring(id) + L" azonosítójú feladat");
    return kExitOk;
}

}  // namespace

// The arguments in UTF-16: folders with any name reach the run and the store.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    try {
        if (args.empty()) throw UsageError{L""};
        std::wstring command = args.front();
        args.erase(args.begin());
        if (command == L"--help" || command == L"-h" || command == L"help") {
            fputs(kUsage, stdout);
            return kExitOk;
        }
        if (command == L"run") return Run(args);
        if (command == L"restore") return Restore(args);
        if (command == L"list") return List(args);
        if (command == L"add") return Add(args);
        if (command == L"remove") return Remove(args);
        throw UsageError{L"unknown command " + command};
    } catch (const UsageError& e) {
        if (!e.Message().empty()) WriteLine(L"pelvane-cli: " + e.Message(), true);
        fputs(kUsage, stderr);
        return kExitUsage;
    } catch (const Refused& e) {
        WriteLine(L"pelvane-cli: " + e.Message(), true);
        return kExitUsage;
    } catch (const StoreFailure& e) {
        WriteLine(e.Message(), true);
        return kExitStore;
    } catch (const std::exception& e) {
        WriteLine(L"pelvane-cli: " + AnsiToWide(e.what()), true);
        return kExitErrors;
    }
}
