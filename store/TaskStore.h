#pragma once
// The task table as the main window owns it: the connection Db1 to
// Pelvane.sqb in the program folder, the table dataset Tbl over feladat
// (shown in the grid, walked by runs) and the query Qry that reads the
// highest id. The console program uses the same class.
#include <cstdint>
#include <string>

#include "common/Seged.h"
#include "store/SqliteDb.h"
#include "store/SqliteQuery.h"
#include "store/SqliteTable.h"

namespace pelvane {

class TaskStore {
  public:
    // programDir\Pelvane.sqb through programDir\sqlite3.dll; nothing opened yet.
    explicit TaskStore(const std::wstring& programDir = AppDir());
    TaskStore(const TaskStore&) = delete;
    TaskStore& operator=(const TaskStore&) = delete;

    // The program's files in another folder; before Open.
    void SetProgramDir(const std::wstring& programDir);
    // Another database file (the console program's --db PATH, any name,
    // relative to the current folder); before Open.
    void SetDatabaseFile(const std::wstring& path);
    // When true, opening a file that does not exist fails instead of creating it.
    void SetMustExist(bool mustExist) { Db1.SetMustExist(mustExist); }
    // The path the database file is opened at.
    std::wstring DatabasePath() { return Db1.DatabasePath(); }

    void Open() { Tbl.Open(); }
    void Close() { Tbl.Close(); }

    // The task table: the grid shows it, runs walk it.
    TSqliteTable& Table() { return Tbl; }
    const TSqliteTable& Table() const { return Tbl; }
    // The connection, for the tests that prepare a file through it.
    TSqliteDb& Connection() { return Db1; }
    // The query of the id rule, open only while a post runs it.
    const TSqliteQuery& IdQuery() const { return Qry; }

    // The id rule, Tbl's BeforePost: a row without id (or id 0) gets the
    // highest stored id plus 1; any other id stays.
    void TblBeforePost(TDataSet& dataSet);
    // The delete action: deletes the current row when there is one, asks nothing.
    void DeleteCurrentTask();

    // For the console program. AddTask appends and posts a row (the folders
    // stored exactly) and returns its id; RemoveTask deletes the first row
    // with that id and returns false when there is none.
    int32_t AddTask(const std::wstring& source, const std::wstring& target);
    bool RemoveTask(int32_t id);

  private:
    // Declared in this order: the datasets go before the connection.
    TSqliteDb Db1;
    TSqliteTable Tbl{&Db1};
    TSqliteQuery Qry{&Db1};
};

}  // namespace pelvane
