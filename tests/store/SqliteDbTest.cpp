#include <gtest/gtest.h>

#include <stdexcept>

#include "common/Callback.h"
#include "common/Text.h"

#include "store/SqliteQuery.h"
#include "store/SqliteTable.h"
#include "tests/store/StoreTestSupport.h"

namespace pelvane {
namespace {

using test::MessageOf;
using test::PointAt;
using test::RunSql;
using test::ScratchFolder;

TEST(SqliteDbPaths, DatabaseNameAndDefaultExt) {
    TSqliteDb db;
    EXPECT_EQ(L"SQLite3.dll", db.DriverDLL());
    db.SetDatabase(L"data");  // no DefaultExt stored yet: nothing appended
    EXPECT_EQ(L"data", db.Database());
    EXPECT_EQ(L".sqb", db.DefaultExt());
    db.SetDatabase(L"  data  ");
    EXPECT_EQ(L"data.sqb", db.Database());
    db.SetDatabase(L"data.db");
    EXPECT_EQ(L"data.db", db.Database());
    db.SetDatabase(L":MEMORY:");
    EXPECT_EQ(L":MEMORY:", db.Database());
    db.SetDatabase(L"c:\\v1.2\\data");  // a point in a folder name is no extension
    EXPECT_EQ(L"c:\\v1.2\\data.sqb", db.Database());
}

TEST(SqliteDbPaths, DefaultDirCurrentFolderAndMemory) {
    TSqliteDb db;
    db.SetDefaultDir(L"c:\\app");
    db.SetDatabase(L"x.sqb");
    EXPECT_EQ(L"c:\\app\\x.sqb", db.DatabasePath());
    EXPECT_EQ(L"c:\\app\\", db.DefaultDir());

    db.SetDefaultDir(L"");
    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    EXPECT_EQ(std::wstring(cwd) + L"\\x.sqb", db.DatabasePath());
    db.SetDatabase(L"d:\\data\\x.sqb");
    EXPECT_EQ(L"d:\\data\\x.sqb", db.DatabasePath());

    db.SetDefaultDir(L"c:\\app");
    db.SetDatabase(L":memory:");
    EXPECT_EQ(L":memory:", db.DatabasePath());
}

TEST(SqliteDbPaths, ACurrentFolderLongerThanMaxPath) {
    ScratchFolder folder;
    std::string deep = "";
    for (char c = 'a'; c < 'g'; ++c) deep += (deep.empty() ? "" : "\\") + std::string(60, c);
    folder.MakeFolder(deep);
    const std::string path = folder.Path(deep);
    ASSERT_GT(path.size(), static_cast<size_t>(MAX_PATH));
    std::wstring saved(GetCurrentDirectoryW(0, nullptr), L'\0');
    saved.resize(GetCurrentDirectoryW(static_cast<DWORD>(saved.size()), saved.data()));
    ASSERT_TRUE(SetCurrentDirectoryW(test::LongPath(AnsiToWide(path)).c_str()));
    TSqliteDb db;
    db.SetDatabase(L"x.sqb");
    const std::wstring where = db.DatabasePath();
    SetCurrentDirectoryW(saved.c_str());
    EXPECT_EQ(AnsiToWide(path) + L"\\x.sqb", where);
}

TEST(SqliteDbConnect, FailuresCarryTheirMessages) {
    TSqliteDb db;
    db.SetDriverDLL(test::SqliteDll());
    EXPECT_EQ("Missing database property", MessageOf<ESqliteError>([&] { db.SetConnected(true); }));

    ScratchFolder folder;
    PointAt(db, folder.Path("missing.sqb"));
    db.SetMustExist(true);
    EXPECT_EQ("Database " + folder.Path("missing.sqb") + " does not exist",
              MessageOf<EDatabaseError>([&] { db.SetConnected(true); }));
    EXPECT_FALSE(db.Connected());

    db.SetMustExist(false);  // SQLite creates the file
    db.SetConnected(true);
    EXPECT_TRUE(db.Connected());
    EXPECT_EQ("3.53.2", db.Version());
    EXPECT_TRUE(folder.Exists("missing.sqb"));
    db.SetConnected(false);
    EXPECT_FALSE(db.Connected());
}

TEST(SqliteDbConnect, MissingLibraryAndMissingEntryPoint) {
    TSqliteDb db;
    db.SetDatabase(L":memory:");
    db.SetDriverDLL(L"no-such-sqlite.dll");
    EXPECT_EQ("Could not load SQLite library(no-such-sqlite.dll)",
              MessageOf<ESqliteError>([&] { db.SetConnected(true); }));

    db.SetDriverDLL(AppDir() + L"\\sqlite_missing_entry.dll");
    for (int attempt = 0; attempt < 2; ++attempt) {  // the second must not call into the stub
        EXPECT_EQ("DLL::SQlite3GetTable not found", MessageOf<ESqliteError>([&] { db.SetConnected(true); }));
        EXPECT_FALSE(db.Connected());
    }
    db.SetDriverDLL(test::SqliteDll());
    db.SetConnected(true);
    EXPECT_TRUE(db.Connected());
}

// A program folder outside the code page ("Hélène": the è is not in
// Windows-1250): the library loads from there and the database file there is
// the one opened, by its true name, never a look-alike or a "?" one.
TEST(SqliteDbConnect, AFolderOutsideTheCodePageHoldsTheLibraryAndTheDatabase) {
    ScratchFolder folder;
    const std::wstring program = L"Hélène Мария 日本", name = L"tükör ő.sqb";
    folder.MakeFolder(program);
    ASSERT_TRUE(CopyFileW(test::SqliteDll().c_str(), folder.Path(program + L"\\sqlite3.dll").c_str(), FALSE));
    const std::wstring path = folder.Path(program + L"\\" + name);

    TSqliteDb db;
    db.SetDriverDLL(folder.Path(program + L"\\sqlite3.dll"));
    db.SetDefaultDir(folder.Path(program));
    db.SetDatabase(name);
    db.ExecuteStatement(test::kTaskTable);
    db.ExecuteStatement("insert into feladat values (1, 'a', 'b');");
    db.SetConnected(false);
    EXPECT_EQ(folder.Files(L""),
              (std::vector<std::wstring>{program + L"\\sqlite3.dll", program + L"\\" + name}));

    TSqliteDb again;
    again.SetDriverDLL(folder.Path(program + L"\\sqlite3.dll"));
    again.SetDatabase(path);
    again.SetMustExist(true);
    TSqliteQuery q(&again);
    q.SetSQL("select count(*) as n from feladat");
    q.Open();
    EXPECT_EQ("1", q.FieldText("n"));

    // Messages show the path in the code page, a missing letter as "?".
    TSqliteDb missing;
    missing.SetDriverDLL(folder.Path(program + L"\\sqlite3.dll"));
    missing.SetDatabase(folder.Path(program + L"\\nincs.sqb"));
    missing.SetMustExist(true);
    EXPECT_EQ("Database " + folder.Path() + "\\H\xE9l?ne ????? ??\\nincs.sqb does not exist",
              MessageOf<EDatabaseError>([&] { missing.SetConnected(true); }));
    TSqliteDb noLibrary;
    noLibrary.SetDriverDLL(folder.Path(program + L"\\sqlite4.dll"));
    noLibrary.SetDatabase(L":memory:");
    EXPECT_EQ("Could not load SQLite library(" + folder.Path() + "\\H\xE9l?ne ????? ??\\sqlite4.dll)",
              MessageOf<ESqliteError>([&] { noLibrary.SetConnected(true); }));
}

TEST(SqliteDbExecute, SeveralStatementsTrailingBlanksAndErrors) {
    TSqliteDb db;
    db.SetDriverDLL(test::SqliteDll());
    db.SetDatabase(L":memory:");
    db.ExecuteStatement("create table t (a integer);\r\ninsert into t values (1);\r\n  \r\n");
    EXPECT_EQ(1, db.RowsAffected());
    db.ExecuteStatement("insert into t values (2);\r\n");
    EXPECT_EQ(2, db.LastInsertRowId());
    EXPECT_EQ("no such table: u", MessageOf<EDatabaseError>([&] { db.ExecuteStatement("delete from u"); }));

    db.StartTransactionOfType("IMMEDIATE");
    EXPECT_TRUE(db.InTransaction());
    db.ExecuteStatement("insert into t values (3)");
    db.RollBack();
    EXPECT_FALSE(db.InTransaction());
    TSqliteQuery q(&db);
    q.SetSQL("select count(*) as n from t");
    q.Open();
    EXPECT_EQ("2", q.FieldText("n"));

    TSqliteDb closed;
    EXPECT_EQ(-1, closed.RowsAffected());
}

// The code of the store's error of type E that action raises; -1 for none.
template <typename E, typename F>
int CodeOf(F&& action) {
    try {
        action();
    } catch (const E& e) {
        return e.ResultCode();
    }
    return -1;
}

TEST(SqliteDbErrors, EveryFailureIsADatabaseErrorWithSqlitesResultCode) {
    TSqliteDb db;
    db.SetDriverDLL(test::SqliteDll());
    EXPECT_EQ(0, CodeOf<EDatabaseError>([&] { db.SetConnected(true); }));  // the layer's own: no property
    db.SetDatabase(L":memory:");
    EXPECT_EQ(SQLITE_ERROR, CodeOf<EDatabaseError>([&] { db.ExecuteStatement("select * from nowhere"); }));
    db.ExecuteStatement("create table u (a integer unique); insert into u values (1);");
    EXPECT_EQ("UNIQUE constraint failed: u.a",
              MessageOf<EDatabaseError>([&] { db.ExecuteStatement("insert into u values (1)"); }));
    EXPECT_EQ(SQLITE_CONSTRAINT,
              CodeOf<EDatabaseError>([&] { db.ExecuteStatement("insert into u values (1)"); }));

    // A step that fails names its real code, not the generic one.
    TSqliteQuery q(&db);
    q.SetSQL("select abs(-9223372036854775807 - 1)");
    EXPECT_EQ("integer overflow", MessageOf<EDatabaseError>([&] { q.Open(); }));
    EXPECT_EQ(SQLITE_ERROR, CodeOf<EDatabaseError>([&] { q.Open(); }));
    EXPECT_FALSE(q.Active());
}

// Another program changes the schema (here a second connection) after this
// one has read it: each kind of statement is prepared again, once, and runs.
TEST(SqliteDbErrors, AStatementMetByAChangedSchemaRunsAgain) {
    ScratchFolder folder;
    const std::string path = folder.Path("schema.sqb");
    RunSql(path, std::string(test::kTaskTable) + "insert into feladat values (1, 'a', 'b');");
    TSqliteDb db;
    PointAt(db, path);
    TSqliteQuery rows(&db);
    rows.SetSQL("select * from feladat");
    TSqliteTable table(&db);
    table.SetTableName("feladat");
    table.AddField("feladat", FieldKind::Integer);
    table.AddField("forras", FieldKind::String, 255);
    table.AddField("cel", FieldKind::String, 255);
    rows.Open();
    rows.Close();

    TSqliteDb other;
    PointAt(other, path);
    other.ExecuteStatement("create table later1 (x integer);");
    rows.Open();  // a query's rows
    EXPECT_EQ(1, rows.RecordCount());
    rows.Close();

    other.ExecuteStatement("create table later2 (x integer);");
    db.ExecuteStatement("insert into feladat values (2, 'c', 'd');");  // a change
    EXPECT_EQ(1, db.RowsAffected());

    other.ExecuteStatement("create table later3 (x integer);");
    table.Open();  // the table's columns, then its rows
    EXPECT_EQ(2, table.RecordCount());
}

TEST(SqliteDbExecute, CollationsCompareAsciiCaseAndBytes) {
    TSqliteDb db;
    db.SetDriverDLL(test::SqliteDll());
    db.SetDatabase(L":memory:");
    TSqliteQuery q(&db);
    q.SetSQL(
        "select 'ABC' = 'abc' collate systemnocase as nocase, 'ABC' = 'abc' collate system as bytes, "
        "'ab' < 'abc' collate system as shorter");
    q.Open();
    EXPECT_EQ("1", q.FieldText("nocase"));
    EXPECT_EQ("0", q.FieldText("bytes"));
    EXPECT_EQ("1", q.FieldText("shorter"));
}

// SQLite calls the collations back: a failure in one must not cross
// SQLite's frame (the 32-bit program would end there); it compares equal.
TEST(SqliteDbExecute, ACollationThatFailsComparesEqual) {
    TSqliteDb db;
    db.SetDriverDLL(test::SqliteDll());
    db.SetDatabase(L":memory:");
    TSqliteQuery q(&db);
    q.SetSQL("select 'ab' = 'abc' collate system as same");
    SetCallbackProbe([](const char* callback) {
        if (std::string(callback) == "collation") throw std::runtime_error("collation");
    });
    q.Open();
    SetCallbackProbe(nullptr);
    EXPECT_EQ("1", q.FieldText("same"));
}

TEST(SqliteDbFields, DeclaredTypeMapping) {
    struct Case {
        const char* declared;
        FieldKind kind;
        int size;
        int precision;
    };
    const Case cases[] = {
        {"VARCHAR(255)", FieldKind::String, 255, 0},
        {"char(10)", FieldKind::String, 10, 0},
        {"nvarchar(20)", FieldKind::WideString, 40, 0},
        {"numeric(10,2)", FieldKind::Float, 10, 2},
        {"numeric(8.125)", FieldKind::Float, 8, 12},
        {"numeric(6)", FieldKind::Float, 6, 0},
        {"varchar(12", FieldKind::String, 256, 0},
        {"decimal(5,2)", FieldKind::String, 255, 0},
        {"TEXT", FieldKind::Memo, 4, 0},
        {"INTEGER", FieldKind::Integer, 12, 0},
        {"int", FieldKind::Integer, 12, 0},
        {"", FieldKind::String, 255, 0},
        {"varchar", FieldKind::String, 255, 0},
        {"char", FieldKind::String, 1, 0},
        {"date", FieldKind::Date, 10, 0},
        {"datetime", FieldKind::DateTime, 24, 0},
        {"timestamp", FieldKind::TimeStamp, 12, 0},
        {"boolean", FieldKind::Boolean, 2, 0},
        {"money", FieldKind::Currency, 10, 0},
        {"blob", FieldKind::Blob, 4, 0},
        {"graphic", FieldKind::Graphic, 4, 0},
        {"widetext", FieldKind::WideString, 512, 0},
        {"ntext", FieldKind::WideString, 60, 0},
        {"bigint", FieldKind::String, 255, 0},
    };
    for (const Case& c : cases) {
        FieldDef def = GetFieldInfo(c.declared);
        EXPECT_EQ(c.kind, def.kind) << c.declared;
        EXPECT_EQ(c.size, def.size) << c.declared;
        EXPECT_EQ(c.precision, def.precision) << c.declared;
    }
    EXPECT_EQ("' x' is not a valid integer value", MessageOf<Exception>([] { GetFieldInfo("varchar( x)"); }));
}

TEST(SqliteDbFields, ColumnsBecomeFieldsWithRowidAndRepeatedNames) {
    TSqliteDb db;
    db.SetDriverDLL(test::SqliteDll());
    db.SetDatabase(L":memory:");
    db.ExecuteStatement(std::string(test::kTaskTable) + "create table m (note text, n integer);");
    TSqliteQuery q(&db);
    q.SetSQL("select feladat, feladat, forras, rowid, MAX(feladat) from feladat");
    q.Open();
    const std::vector<FieldDef>& defs = q.FieldDefs();
    ASSERT_EQ(4u, defs.size());
    EXPECT_EQ("feladat", defs[0].name);
    EXPECT_EQ("feladat_1", defs[1].name);
    EXPECT_EQ(FieldKind::Integer, defs[1].kind);
    EXPECT_EQ(FieldKind::String, defs[2].kind);
    EXPECT_EQ(255, defs[2].size);
    EXPECT_EQ(FieldKind::String, defs[3].kind);  // an expression has no declared type
    q.Close();

    q.SetSQL("select note from m");
    q.Open();
    EXPECT_EQ(FieldKind::Memo, q.FieldDefs()[0].kind);
    q.Close();
    q.TypeLess = true;
    q.SetSQL("select n from m");
    q.Open();
    EXPECT_EQ(FieldKind::String, q.FieldDefs()[0].kind);
    EXPECT_EQ(12, q.FieldDefs()[0].size);
}

// busy.sqb in folder, holding the task table with one row.
std::string OneTaskFile(const ScratchFolder& folder) {
    std::string path = folder.Path("busy.sqb");
    RunSql(path, std::string(test::kTaskTable) + "insert into feladat values (1, 'a', 'b');");
    return path;
}

TEST(SqliteDbBusy, FetchingFromALockedFile) {
    ScratchFolder folder;
    const std::string path = OneTaskFile(folder);

    TSqliteDb reader;
    PointAt(reader, path);
    TSqliteTable table(&reader);
    table.SetTableName("feladat");
    table.Open();  // schema read while the file is free
    table.Close();

    TSqliteDb holder;
    PointAt(holder, path);
    holder.ExecuteStatement("begin exclusive transaction");

    SqliteStatement statement = reader.PrepareResult("select * from feladat", table);
    EXPECT_EQ("database is locked", MessageOf<EDatabaseError>([&] { reader.FetchRow(statement, table); }));
    EXPECT_EQ(SQLITE_BUSY, CodeOf<EDatabaseError>([&] { reader.FetchRow(statement, table); }));
    reader.CloseResult(std::move(statement));
}

TEST(SqliteDbBusy, OnBusyEndsTheFetchQuietly) {
    ScratchFolder folder;
    const std::string path = OneTaskFile(folder);
    TSqliteDb reader;
    PointAt(reader, path);
    int busyCalls = 0;
    reader.OnBusy = [&](TSqliteDb&) { ++busyCalls; };
    TSqliteTable table(&reader);
    table.SetTableName("feladat");
    table.Open();
    table.Close();

    TSqliteDb holder;
    PointAt(holder, path);
    holder.ExecuteStatement("begin exclusive transaction");
    table.Open();  // the rows end at the busy step
    EXPECT_EQ(1, busyCalls);
    EXPECT_EQ(0, table.RecordCount());
    holder.RollBack();
    table.Close();
    table.Open();
    EXPECT_EQ(1, table.RecordCount());
}

}  // namespace
}  // namespace pelvane
