/* A stand-in sqlite3.dll that exports every entry point the store binds but
   sqlite3_get_table, which the store never calls yet must refuse to miss.
   Nothing here is ever called. */
// A table, one entry point after the other: clang-format would indent it as one statement.
// clang-format off
#define STUB(name) __declspec(dllexport) int name(void) { return 0; }
STUB(sqlite3_open) STUB(sqlite3_close) STUB(sqlite3_exec) STUB(sqlite3_libversion)
STUB(sqlite3_errmsg) STUB(sqlite3_free_table) STUB(sqlite3_free) STUB(sqlite3_complete)
STUB(sqlite3_last_insert_rowid) STUB(sqlite3_interrupt) STUB(sqlite3_busy_timeout)
STUB(sqlite3_busy_handler) STUB(sqlite3_changes) STUB(sqlite3_prepare) STUB(sqlite3_finalize)
STUB(sqlite3_reset) STUB(sqlite3_step) STUB(sqlite3_column_blob) STUB(sqlite3_column_bytes)
STUB(sqlite3_column_bytes16) STUB(sqlite3_column_count) STUB(sqlite3_column_decltype)
STUB(sqlite3_column_double) STUB(sqlite3_column_int) STUB(sqlite3_column_int64)
STUB(sqlite3_column_name) STUB(sqlite3_column_text) STUB(sqlite3_column_text16)
STUB(sqlite3_column_type) STUB(sqlite3_bind_blob) STUB(sqlite3_bind_text16)
STUB(sqlite3_bind_parameter_count) STUB(sqlite3_create_collation)
