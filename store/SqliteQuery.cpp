#include "store/SqliteQuery.h"

#include "common/Text.h"
#include "store/SqliteDb.h"

namespace pelvane {

void TSqliteQuery::SetSQL(const std::string& sql) {
    Close();
    sql_ = sql;
}

std::string TSqliteQuery::OpenStatement() {
    std::string text = Trim(sql_);
    if (text.empty()) throw ESqliteError("no query specified");
    for (const std::string& clause : LimitClauses()) text += clause;
    return text;
}

void TSqliteQuery::InternalPost() {
    throw ESqliteError("Missing TSqliteUpdateSQL component");
}

void TSqliteQuery::InternalDelete() {
    throw ESqliteError("Missing TSqliteUpdateSQL component");
}

}  // namespace pelvane
