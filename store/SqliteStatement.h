#pragma once
// The owner of one prepared statement: finalized when it goes, through the
// library that prepared it. It must not outlive that library's connect cycle
// (the connection's own operations keep it inside one call).
#include "common/Handles.h"
#include "store/SqliteApi.h"

namespace pelvane {

struct SqliteStatementTraits {
    struct Handle {
        sqlite3_stmt* statement = nullptr;
        decltype(&::sqlite3_finalize) finalize = nullptr;
        bool operator==(const Handle& other) const { return statement == other.statement; }
        bool operator!=(const Handle& other) const { return statement != other.statement; }
    };
    static Handle Invalid() { return {}; }
    static void Close(Handle h) { h.finalize(h.statement); }
};
using SqliteStatement = UniqueHandle<SqliteStatementTraits>;

}  // namespace pelvane
