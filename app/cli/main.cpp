// pelvane-cli: the backup engine for scripts and the Task Scheduler.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/cli/ConsoleSurroundings.h"
#include "common/Paths.h"
#include "common/Seged.h"
#include "common/Text.h"
#include "engine/BackupEngine.h"
#include "engine/MemoryTaskRows.h"
#include "engine/RunLogFile.h"
#include "settings/StoredRunOptions.h"
#include "store/TableTaskRows.h"
#include "store/TaskStore.h"

using namespace pelvane;

namespace {

const char kUsage[] =
    "usage: pelvane-cli run [--method 0|1|2] [--clear-archive] [--exclude LIST] [--current N] [--progress]\n"
    "                       [--no-log] [SOURCE TARGET ...]\n"
    "       pelvane-cli list\n"
    "       pelvane-cli add SOURCE TARGET\n"
    "       pelvane-cli remove ID\n"
    "Every command takes --db PATH: the task database (default: Pelvane.sqb beside the program).\n"
    "run without SOURCE TARGET pairs backs up the stored tasks, with the options stored in the\n"
    "Pelvane.ini beside the database; the options given here override them.\n"
    "\n"
    "  --method 0|1|2   0 all files (default), 1 files with the archive flag, 2 newer files only\n"
    "  --clear-archive  clear the archive flag of each source file after its copy\n"
    "  --exclude LIST   excluded extensions, e.g. \".tmp;.temp\" (the default); \"\" excludes nothing\n"
    "  --current N      back up only the N-th task (from 1)\n"
    "  --progress       draw a progress bar on standard error\n"
    "  --no-log         append nothing to Pelvane.log (beside Pelvane.ini: the database's, or\n"
    "                   the program's for SOURCE TARGET pairs)\n"
    "\n"
    "Exit status: 0 no error line, 1 at least one \"Hiba: \" line, 2 usage error,\n"
    "3 the task database failed (remove: no task with that id).\n";

constexpr int kExitOk = 0, kExitErrors = 1, kExitUsage = 2, kExitStore = 3;

// A failure of the task store: its message goes to standard error, exit 3.
struct StoreFailure {
    std::wstring message;
};

struct UsageError {
    std::wstring message;
};

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

// The task store names its file in the code page.
std::string DatabasePath(const std::wstring& db) {
    std::string path = WideToAnsi(db);
    if (AnsiToWide(path) != db)
        throw StoreFailure{L"pelvane-cli: the path of the task database must be in code page 1250: " + db};
    return path;
}

void OpenStore(TaskStore& store, const std::wstring& db) {
    const std::string path = DatabasePath(db);
    try {
        if (!path.empty()) store.SetDatabaseFile(path);
        store.Db1.SetMustExist(true);  // a mistyped --db must not leave a new empty file behind
        store.Open();
    } catch (const std::exception& e) {
        throw StoreFailure{AnsiToWide(e.what())};
    }
}

// The settings file that belongs to the database: the one beside it.
std::string SettingsBeside(const std::wstring& db) {
    if (db.empty()) return AppDir() + "\\Pelvane.ini";
    const std::string path = DatabasePath(db);
    char full[MAX_PATH * 2];
    char* name = nullptr;
    DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, &name);
    return (n > 0 && n < sizeof full ? ExtractFilePath(std::string(full)) : ExtractFilePath(path)) +
           "Pelvane.ini";
}

int Run(std::vector<std::wstring> args) {
    const std::wstring db = TakeDatabaseOption(args);
    RunOptions options;
    bool methodGiven = false, clearGiven = false, excludeGiven = false, logFile = true;
    int current = 0;
    std::vector<std::wstring> folders;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        auto value = [&]() -> const std::wstring& {
            if (i + 1 >= args.size()) throw UsageError{L"missing value for " + a};
            return args[++i];
        };
        if (a == L"--method") {
            options.method = ParseNumber(value(), 0, 2, L"--method"), methodGiven = true;
        } else if (a == L"--clear-archive") {
            options.clearArchive = clearGiven = true;
        } else if (a == L"--exclude") {
            options.excludedTypes = WideToAnsi(value()), excludeGiven = true;
        } else if (a == L"--current") {
            current = ParseNumber(value(), 1, INT32_MAX, L"--current");
        } else if (a == L"--progress") {
            options.progress = true;
        } else if (a == L"--no-log") {
            logFile = false;
        } else if (a.size() > 2 && a.compare(0, 2, L"--") == 0) {
            throw UsageError{L"unknown option " + a};
        } else {
            folders.push_back(a);
        }
    }
    if (folders.size() % 2) throw UsageError{L"give SOURCE TARGET pairs"};
    if (!folders.empty() && !db.empty())
        throw UsageError{L"--db goes with the stored tasks, not with SOURCE TARGET"};

    std::unique_ptr<TaskStore> store;
    std::unique_ptr<TaskRows> rows;
    if (folders.empty()) {
        store = std::make_unique<TaskStore>();
        OpenStore(*store, db);
        StoredRunOptions stored = ReadStoredRunOptions(SettingsBeside(db));
        if (!methodGiven) options.method = stored.mode;
        if (!clearGiven) options.clearArchive = stored.delArchived;
        if (!excludeGiven) options.excludedTypes = stored.excludedTypes;
        if (current > store->Tbl.RecordCount()) throw UsageError{L"--current is beyond the last task"};
        if (current) store->Tbl.MoveTo(current - 1);
        rows = std::make_unique<TableTaskRows>(store->Tbl);
    } else {
        std::vector<MemoryTaskRows::Task> tasks;
        for (size_t i = 0; i < folders.size(); i += 2) tasks.emplace_back(folders[i], folders[i + 1]);
        if (current > static_cast<int>(tasks.size())) throw UsageError{L"--current is beyond the last task"};
        auto memory = std::make_unique<MemoryTaskRows>(std::move(tasks));
        if (current) memory->MoveTo(current - 1);
        rows = std::move(memory);
    }
    options.onlyCurrent = current > 0;

    // The run's record goes beside the settings file the run uses.
    std::unique_ptr<RunLogFile> runLog;
    if (logFile)
        runLog =
            std::make_unique<RunLogFile>(AnsiToWide(ExtractFilePath(SettingsBeside(db)) + "Pelvane.log"));
    ConsoleSurroundings console(*rows, options, runLog.get());
    std::unique_ptr<FileSystem> fs = MakeWin32FileSystem();
    BackupEngine engine(console, *fs);
    console.SetEngine(&engine);
    InstallCtrlCHandler();
    engine.Run();
    if (options.progress) fputs("\r\x1b[K", stderr);
    return console.SawError() ? kExitErrors : kExitOk;
}

int List(std::vector<std::wstring> args) {
    const std::wstring db = TakeDatabaseOption(args);
    if (!args.empty()) throw UsageError{L"list takes no arguments"};
    TaskStore store;
    OpenStore(store, db);
    for (store.Tbl.First(); !store.Tbl.Eof(); store.Tbl.Next())
        WriteLine(AnsiToWide(store.Tbl.FieldText("feladat")) + L"\t" + store.Tbl.FieldWideText("forras") +
                  L"\t" + store.Tbl.FieldWideText("cel"));
    return kExitOk;
}

int Add(std::vector<std::wstring> args) {
    const std::wstring db = TakeDatabaseOption(args);
    if (args.size() != 2) throw UsageError{L"add takes SOURCE TARGET"};
    for (const std::wstring& folder : args)
        if (WideToUtf8(folder).size() > kMaxStoredFolder)
            throw UsageError{L"a stored folder holds at most 255 bytes of UTF-8: " + folder};
    TaskStore store;
    OpenStore(store, db);
    try {
        WriteLine(std::to_wstring(store.AddTask(args[0], args[1])));
    } catch (const std::exception& e) {
        throw StoreFailure{AnsiToWide(e.what())};
    }
    return kExitOk;
}

int Remove(std::vector<std::wstring> args) {
    const std::wstring db = TakeDatabaseOption(args);
    if (args.size() != 1) throw UsageError{L"remove takes ID"};
    int id = ParseNumber(args[0], INT32_MIN, INT32_MAX, L"ID");
    TaskStore store;
    OpenStore(store, db);
    try {
        if (!store.RemoveTask(id))
            throw StoreFailure{L"Nincs " + std::to_wstring(id) + L" azonosítójú feladat"};
    } catch (const StoreFailure&) {
        throw;
    } catch (const std::exception& e) {
        throw StoreFailure{AnsiToWide(e.what())};
    }
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
        if (command == L"run") return Run(args);
        if (command == L"list") return List(args);
        if (command == L"add") return Add(args);
        if (command == L"remove") return Remove(args);
        throw UsageError{L"unknown command " + command};
    } catch (const UsageError& e) {
        if (!e.message.empty()) WriteLine(L"pelvane-cli: " + e.message, true);
        fputs(kUsage, stderr);
        return kExitUsage;
    } catch (const StoreFailure& e) {
        WriteLine(e.message, true);
        return kExitStore;
    } catch (const std::exception& e) {
        WriteLine(L"pelvane-cli: " + AnsiToWide(e.what()), true);
        return kExitErrors;
    }
}
