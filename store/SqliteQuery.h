#pragma once
// A dataset over the rows of a statement; read-only here (changes would need
// update templates, which the program never uses).
#include <string>

#include "store/SqliteBaseQuery.h"

namespace pelvane {

class TSqliteQuery : public TSqliteBaseQuery {
  public:
    using TSqliteBaseQuery::TSqliteBaseQuery;

    const std::string& SQL() const { return sql_; }
    void SetSQL(const std::string& sql);  // closes the dataset

  protected:
    std::string OpenStatement() override;
    void InternalPost() override;
    void InternalDelete() override;

  private:
    std::string sql_;
};

}  // namespace pelvane
