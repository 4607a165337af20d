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
    std::string tableName_;
};

}  // namespace pelvane
