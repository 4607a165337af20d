#pragma once
// A dataset over one table: opened with "select *, rowid as rowid from" the
// table; each post is one insert or update and each delete one delete
// statement, the row addressed by its rowid.
#include <string>

#include "store/SqliteBaseQuery.h"

namespace pelvane {

class TSqliteTable : public TSqliteBaseQuery {
  public:
    using TSqliteBaseQuery::TSqliteBaseQuery;

    const std::string& TableName() const { return tableName_; }
    void SetTableName(const std::string& name);  // closes the dataset
    bool PrimaryAutoInc = false;                 // SQLite numbers an integer first field on insert
    std::string OrderBy;

  protected:
    std::string OpenStatement() override;
    void InternalPost() override;
    void InternalDelete() override;

  private:
    // Reads the table's columns: which name reaches the rowid (a column of
    // the table may be called rowid), and which column, if any, is the rowid.
    void InspectTable();
    // " where" the row at rowId still holds the values read into it.
    std::string WhereUnchanged(int64_t rowId, const Row& read) const;
    [[noreturn]] void RowChanged(int64_t rowId, const char* change) const;

    std::string tableName_;
    std::string rowIdName_ = "rowid";  // rowid, _rowid_ or oid: the first the table leaves free
    std::string rowIdField_;           // an "integer primary key" column: its value is the rowid
};

}  // namespace pelvane
