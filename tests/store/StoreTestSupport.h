#pragma once
// Database files for store tests: a fresh folder per test (removed with its
// files) and a connection bound to the sqlite3.dll beside the test program.
#include <windows.h>

#include <string>
#include <vector>

#include "common/Seged.h"
#include "store/SqliteDb.h"

namespace pelvane::test {

class TempFolder {
  public:
    explicit TempFolder(const std::string& name = "pelvane-store") {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int counter = 0;
        path_ = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { RemoveTree(path_); }

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

  private:
    static void RemoveTree(const std::string& dir) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string name = fd.cFileName;
                if (name == "." || name == "..") continue;
                std::string full = dir + "\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(full);
                else
                    DeleteFileA(full.c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
    }

    std::string path_;
};

inline std::string SqliteDll() {
    return AppDir() + "\\sqlite3.dll";
}

// A connection to the file at path (folder and name split as the program does).
inline void PointAt(TSqliteDb& db, const std::string& path) {
    db.SetDriverDLL(SqliteDll());
    size_t slash = path.find_last_of('\\');
    db.SetDefaultDir(path.substr(0, slash));
    db.SetDatabase(path.substr(slash + 1));
}

// Runs SQL against a database file through a connection of its own.
inline void RunSql(const std::string& path, const std::string& sql) {
    TSqliteDb db;
    PointAt(db, path);
    db.ExecuteStatement(sql);
}

constexpr const char* kTaskTable =
    "create table feladat (feladat integer, forras varchar(255), cel varchar(255));";

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
