#include "store/SqliteQuery.h"

#include "store/SqliteDb.h"

namespace pelvane {

void TSqliteQuery::SetSQL(const std::string& sql) {
    Close();
    sql_ = sql;
}

std::string TSqliteQuery::OpenStatement() {
    size_t b = sql_.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) throw ESqliteError("no query specified");
    size_t e = sql_.find_last_not_of(" \t\r\n");
    std::string text = sql_.substr(b, e - b + 1);
    if (MaxResults == 0 && StartResult != 0) MaxResults = -1;
    if (MaxResults != 0) text += " limit " + std::to_string(MaxResults);
    if (StartResult != 0) text += " offset " + std::to_string(StartResult);
    return text;
}

void TSqliteQuery::InternalPost() {
    throw ESqliteError("Missing TSqliteUpdateSQL component");
}

void TSqliteQuery::InternalDelete() {
    throw ESqliteError("Missing TSqliteUpdateSQL component");
}

}  // namespace pelvane
