#pragma once
// The SQLite entry points bound at run time from sqlite3.dll: each named once,
// in the order they are checked, with the message raised when it is missing.
// Pointers are typed from the library's own prototypes.
#include <sqlite3.h>

#define PELVANE_SQLITE_ENTRY_POINTS(X)                                          \
    X(sqlite3_open, "DLL::SQlite3Open not found")                               \
    X(sqlite3_close, "DLL::SQlite3Close not found")                             \
    X(sqlite3_exec, "DLL::SQlite3Exe not found")                                \
    X(sqlite3_libversion, "DLL::SQliteLibversion not found")                    \
    X(sqlite3_errmsg, "DLL::SQlite3ErrorStringnot found")                       \
    X(sqlite3_get_table, "DLL::SQlite3GetTable not found")                      \
    X(sqlite3_free_table, "DLL::SQlite3FreeTable not found")                    \
    X(sqlite3_free, "DLL::SQlite3FreeMem not found")                            \
    X(sqlite3_complete, "DLL::SQlite3Complete not found")                       \
    X(sqlite3_last_insert_rowid, "DLL::SQlite3LastInsertRow not found")         \
    X(sqlite3_interrupt, "DLL::SQlite3Cancel not found")                        \
    X(sqlite3_busy_timeout, "DLL::SQlite3Busytimeout not found")                \
    X(sqlite3_busy_handler, "DLL::SQlite3BusyHandler not found")                \
    X(sqlite3_changes, "DLL::SQlite3Changes not found")                         \
    X(sqlite3_prepare, "DLL::SQlite3Prepare not found")                         \
    X(sqlite3_finalize, "DLL::SQlite3Finalize not found")                       \
    X(sqlite3_reset, "DLL::SQlite3Reset not found")                             \
    X(sqlite3_step, "DLL::SQlite3Step not found")                               \
    X(sqlite3_column_blob, "DLL::SQlite3ColumnBlob not found")                  \
    X(sqlite3_column_bytes, "DLL::SQlite3ColumnBytes not found")                \
    X(sqlite3_column_bytes16, "DLL::SQlite3ColumnBytes16 not found")            \
    X(sqlite3_column_count, "DLL::SQlite3ColumnCount not found")                \
    X(sqlite3_column_decltype, "DLL::SQlite3ColumnDeclType not found")          \
    X(sqlite3_column_double, "DLL::SQlite3ColumnDouble not found")              \
    X(sqlite3_column_int, "DLL::SQlite3ColumnInt not found")                    \
    X(sqlite3_column_int64, "DLL::SQlite3ColumnInt64 not found")                \
    X(sqlite3_column_name, "DLL::SQlite3ColumnName not found")                  \
    X(sqlite3_column_text, "DLL::SQlite3ColumnText not found")                  \
    X(sqlite3_column_text16, "DLL::SQlite3ColumnText16 not found")              \
    X(sqlite3_column_type, "DLL::SQlite3COlumnTypenot found")                   \
    X(sqlite3_bind_blob, "DLL::SQlite3BindBlob not found")                      \
    X(sqlite3_bind_text16, "DLL::SQlite3BindText16 not found")                  \
    X(sqlite3_bind_parameter_count, "DLL::SQlite3BindParameterCount not found") \
    X(sqlite3_create_collation, "DLL::SQlite3CreateCollation not found")

namespace pelvane {

struct SqliteApi {
#define PELVANE_SQLITE_POINTER(name, missing) decltype(&::name) name = nullptr;
    PELVANE_SQLITE_ENTRY_POINTS(PELVANE_SQLITE_POINTER)
#undef PELVANE_SQLITE_POINTER
};

}  // namespace pelvane
