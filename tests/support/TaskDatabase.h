#pragma once
// A task database of a test's own: the empty task table, as the build and the
// release packages make it, in a file the test names. Tests never read the
// build folder's Pelvane.sqb, which holds the tasks of whoever ran the program.
#include <string>

#include "common/Seged.h"
#include "common/Text.h"
#include "store/SqliteDb.h"

namespace pelvane::test {

constexpr const char* kTaskTable =
    "create table feladat (feladat integer, forras varchar(255), cel varchar(255));";

// Creates the database file at path (a full path of any name) with the
// given SQL, the empty task table unless told otherwise, through the
// sqlite3.dll beside the test program. Throws when it cannot.
inline void MakeTaskDatabase(const std::wstring& path, const std::string& sql = kTaskTable) {
    TSqliteDb db;
    db.SetDriverDLL(AppDir() + L"\\sqlite3.dll");
    const size_t slash = path.find_last_of(L'\\');
    db.SetDefaultDir(path.substr(0, slash));
    db.SetDatabase(path.substr(slash + 1));
    db.ExecuteStatement(sql);
}
inline void MakeTaskDatabase(const std::string& path, const std::string& sql = kTaskTable) {
    MakeTaskDatabase(AnsiToWide(path), sql);
}

}  // namespace pelvane::test
