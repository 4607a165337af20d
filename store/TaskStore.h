#pragma once
// The task table as the main window owns it: the connection Db1 to
// Pelvane.sqb beside the program, the table dataset Tbl over feladat (shown
// in the grid, walked by runs) and the query Qry that reads the highest id.
// The console program uses the same class.
#include <cstdint>
#include <string>

#include "store/SqliteDb.h"
#include "store/SqliteQuery.h"
#include "store/SqliteTable.h"

namespace pelvane {

class TaskStore {
  public:
    TaskStore();  // AppDir\Pelvane.sqb through AppDir\sqlite3.dll; nothing opened yet
    TaskStore(const TaskStore&) = delete;
    TaskStore& operator=(const TaskStore&) = delete;

    // Another database file (the console program's --db PATH); before Open.
    void SetDatabaseFile(const std::string& path);

    void Open() { Tbl.Open(); }
    void Close() { Tbl.Close(); }

    // The id rule, Tbl's BeforePost: a row without id (or id 0) gets the
    // highest stored id plus 1; any other id stays.
    void TblBeforePost(TDataSet& dataSet);
    // The delete action: deletes the current row when there is one, asks nothing.
    void aTorolExecute();

    // For the console program. AddTask appends and posts a row (the folders
    // stored exactly) and returns its id; RemoveTask deletes the first row
    // with that id and returns false when there is none.
    int32_t AddTask(const std::wstring& source, const std::wstring& target);
    bool RemoveTask(int32_t id);

    // Declared in this order: the datasets go before the connection.
    TSqliteDb Db1;
    TSqliteTable Tbl{&Db1};
    TSqliteQuery Qry{&Db1};
};

}  // namespace pelvane
