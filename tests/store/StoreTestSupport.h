#pragma once
// Database files for store tests: a connection bound to the sqlite3.dll beside
// the test program, and SQL run and traced on it. Each test keeps its files in
// a ScratchFolder.
#include <windows.h>

#include <string>
#include <vector>

#include "common/Seged.h"
#include "common/Text.h"
#include "store/SqliteDb.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TaskDatabase.h"

namespace pelvane::test {

inline std::wstring SqliteDll() {
    return AppDir() + L"\\sqlite3.dll";
}

// A connection to the file at path (folder and name split as the program does).
inline void PointAt(TSqliteDb& db, const std::wstring& path) {
    db.SetDriverDLL(SqliteDll());
    size_t slash = path.find_last_of(L'\\');
    db.SetDefaultDir(path.substr(0, slash));
    db.SetDatabase(path.substr(slash + 1));
}
inline void PointAt(TSqliteDb& db, const std::string& path) {
    PointAt(db, AnsiToWide(path));
}

// Runs SQL against a database file through a connection of its own.
inline void RunSql(const std::wstring& path, const std::string& sql) {
    TSqliteDb db;
    PointAt(db, path);
    db.ExecuteStatement(sql);
}
inline void RunSql(const std::string& path, const std::string& sql) {
    RunSql(AnsiToWide(path), sql);
}

// Records every SQL text a connection sends.
struct Trace {
    std::vector<std::string> texts;
    void Attach(TSqliteDb& db) {
        db.OnTrace = [this](const std::string& sql) { texts.push_back(sql); };
    }
    const std::string& Last() const { return texts.back(); }
};

// The message of the exception of type E that action raises.
template <typename E, typename F>
std::string MessageOf(F&& action) {
    try {
        action();
    } catch (const E& e) {
        return e.Message();
    }
    return "(no exception)";
}

}  // namespace pelvane::test
