#include <gtest/gtest.h>

#include <thread>

#include "common/Handles.h"
#include "store/TaskStore.h"
#include "tests/store/StoreTestSupport.h"

namespace pelvane {
namespace {

using test::MessageOf;
using test::RunSql;

// The program's task table (TaskStore) on a file of its own, every SQL text traced.
class TaskTable : public ::testing::Test {
  protected:
    void SetUp() override {
        path = folder.Path("Pelvane.sqb");
        store.SetDatabaseFile(AnsiToWide(path));
        trace.Attach(store.Connection());
    }
    void Reopen() {
        store.Close();
        store.Open();
    }
    // The first row's fields as a second connection reads them from the file.
    std::vector<std::string> FileValues(const std::string& sql, std::initializer_list<const char*> fields) {
        TSqliteDb db;
        test::PointAt(db, path);
        TSqliteQuery q(&db);
        q.SetSQL(sql);
        q.Open();
        std::vector<std::string> values;
        for (const char* field : fields) values.push_back(q.FieldText(field));
        return values;
    }
    // Values as a second connection sees them in the file, in rowid order.
    std::string FileRows() {
        TSqliteDb db;
        test::PointAt(db, path);
        TSqliteQuery q(&db);
        q.SetSQL(
            "select rowid as r, feladat, ifnull(forras, '<null>') as f, ifnull(cel, '<null>') as c "
            "from feladat order by rowid");
        q.Open();
        std::string rows;
        for (q.First(); !q.Eof(); q.Next())
            rows += q.FieldText("r") + ":" + q.FieldText("feladat") + "|" + q.FieldText("f") + "|" +
                    q.FieldText("c") + ";";
        return rows;
    }
    void AppendTask(const std::string& source, const std::string& target) {
        store.Table().Append();
        store.Table().SetFieldText("forras", source);
        store.Table().SetFieldText("cel", target);
        store.Table().Post();
    }

    test::ScratchFolder folder;
    std::string path;
    TaskStore store;
    test::Trace trace;
};

TEST_F(TaskTable, OpenUpdateDeleteAndInsertStatements) {
    RunSql(path,
           std::string(test::kTaskTable) +
               "insert into feladat (rowid, feladat, forras, cel) values (12, 7, 'C:\\Docs', 'E:\\Save');");
    store.Open();
    EXPECT_EQ("select *, rowid as rowid from feladat", trace.Last());
    ASSERT_EQ(1, store.Table().RecordCount());

    store.Table().Edit();  // every field is written, changed or not
    store.Table().Post();
    // The row is addressed by its rowid and must still hold what was read.
    const std::string unchanged =
        " where rowid='12' and (case when cast(feladat as integer) between -2147483648 and 2147483647 then "
        "cast(feladat as integer) else 0 end) is 7 and cast(forras as text) is 'C:\\Docs' and cast(cel as "
        "text) "
        "is 'E:\\Save'";
    EXPECT_EQ("update feladat set \r\nfeladat='7',forras='C:\\Docs',cel='E:\\Save' \r\n" + unchanged + "\r\n",
              trace.Last());

    store.DeleteCurrentTask();
    EXPECT_EQ("delete from feladat" + unchanged + "\r\n", trace.Last());
    EXPECT_EQ("", FileRows());

    store.Table().Append();
    store.Table().SetFieldValue("feladat", 7);
    store.Table().SetFieldText("forras", "C:\\Docs");
    store.Table().SetFieldText("cel", "E:\\Save");
    store.Table().Post();
    EXPECT_EQ("insert into feladat (\r\nfeladat,forras,cel) values (\r\n'7','C:\\Docs','E:\\Save')\r\n",
              trace.Last());
    EXPECT_EQ("1:7|C:\\Docs|E:\\Save;", FileRows());  // SQLite numbers the emptied table from 1
    EXPECT_EQ(1, store.Table().RowIdAt(0));
}

TEST_F(TaskTable, ApostrophesAndNullsRoundTrip) {
    RunSql(path, test::kTaskTable);
    store.Open();
    store.Table().Append();
    store.Table().SetFieldText("forras", "C:\\Bob's files");
    store.Table().Post();
    EXPECT_EQ("insert into feladat (\r\nfeladat,forras,cel) values (\r\n'1','C:\\Bob''s files',null)\r\n",
              trace.Last());

    store.Table().Edit();  // the same row is then updated by the rowid SQLite gave it
    store.Table().SetFieldText("cel", "E:\\Don't");
    store.Table().Post();
    EXPECT_NE(std::string::npos, trace.Last().find(" where rowid='1'"));
    Reopen();
    EXPECT_EQ("C:\\Bob's files", store.Table().FieldText("forras"));
    EXPECT_EQ("E:\\Don't", store.Table().FieldText("cel"));
    EXPECT_EQ("1:1|C:\\Bob's files|E:\\Don't;", FileRows());
}

TEST_F(TaskTable, AccentedTextIsUtf8InTheFileAndCutAtACharacter) {
    RunSql(path, test::kTaskTable);
    store.Open();
    const std::string accented = "C:\\\xC1rv\xEDzt\xFBr\xF5 t\xFCk\xF6rf\xFAr\xF3g\xE9p";  // cp1250
    const std::string longPath(200, '\xF5');  // 200 x "ő": 400 bytes in UTF-8
    AppendTask(accented, longPath);
    EXPECT_NE(std::string::npos, trace.Last().find("\xC3\x81rv\xC3\xADzt\xC5\xB1r\xC5\x91"));  // UTF-8
    EXPECT_EQ(std::string(127, '\xF5'), store.Table().FieldText("cel"));  // 254 bytes, no half character

    Reopen();
    EXPECT_EQ(accented, store.Table().FieldText("forras"));
    EXPECT_EQ(std::string(127, '\xF5'), store.Table().FieldText("cel"));

    EXPECT_EQ((std::vector<std::string>{"254", "127"}),
              FileValues("select length(cast(cel as blob)) as bytes, length(cel) as chars from feladat",
                         {"bytes", "chars"}));
}

TEST_F(TaskTable, TextOutsideTheCodePageSurvivesAnUpdate) {
    RunSql(path, test::kTaskTable);
    TSqliteDb other;
    test::PointAt(other, path);
    other.ExecuteStatement("insert into feladat values (1, 'C:\\\xD0\x96', 'E:\\a')", nullptr,
                           true);  // Cyrillic
    store.Open();
    store.Table().Edit();
    store.Table().SetFieldText("cel", "E:\\b");
    store.Table().Post();
    TSqliteQuery q(&other);
    q.SetSQL("select hex(forras) as h from feladat");
    q.Open();
    EXPECT_EQ("433A5CD096", q.FieldText("h"));
}

TEST_F(TaskTable, ChangeOnALockedFileFailsInsteadOfWaitingForever) {
    RunSql(path, std::string(test::kTaskTable) + "insert into feladat values (1, 'a', 'A');");
    store.Open();
    TSqliteDb holder;
    test::PointAt(holder, path);
    holder.ExecuteStatement("begin exclusive transaction");
    store.Table().Edit();
    store.Table().SetFieldText("cel", "B");
    EXPECT_EQ("database is locked", MessageOf<EDatabaseError>([&] { store.Table().Post(); }));
    EXPECT_EQ(DataSetState::Edit, store.Table().State());
    holder.RollBack();
    store.Table().Post();
    EXPECT_EQ("1:1|a|B;", FileRows());
}

TEST_F(TaskTable, LongTextFromAnotherToolIsCutWhenLoaded) {
    RunSql(path, std::string(test::kTaskTable) + "insert into feladat values (1, '" + std::string(300, 'a') +
                     "', '" + std::string(200, '\xE9') + "');");
    store.Open();
    EXPECT_EQ(std::string(255, 'a'), store.Table().FieldText("forras"));
    EXPECT_EQ(std::string(127, '\xE9'), store.Table().FieldText("cel"));
}

TEST_F(TaskTable, RowInsertedInTheMiddleKeepsItsPlaceAndRowid) {
    RunSql(path, std::string(test::kTaskTable) +
                     "insert into feladat values (1, 'a', 'A'); insert into feladat values (2, 'b', 'B');"
                     "insert into feladat values (3, 'c', 'C');");
    store.Open();
    store.Table().MoveTo(1);
    store.Table().Insert();
    store.Table().SetFieldText("forras", "x");
    store.Table().Post();
    EXPECT_EQ(1, store.Table().ActiveRow());
    EXPECT_EQ("4", store.Table().FieldText("feladat"));
    ASSERT_EQ(4, store.Table().RecordCount());
    const char* order[] = {"a", "x", "b", "c"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(order[i], store.Table().FieldTextAt(i, 1));

    store.Table().MoveTo(2);
    store.Table().Edit();
    store.Table().SetFieldText("cel", "B2");
    store.Table().Post();
    EXPECT_NE(std::string::npos, trace.Last().find(" where rowid='2'"));
    store.Table().MoveTo(1);
    store.Table().Edit();
    store.Table().SetFieldText("cel", "X2");
    store.Table().Post();
    EXPECT_NE(std::string::npos, trace.Last().find(" where rowid='4'"));
    EXPECT_EQ("1:1|a|A;2:2|b|B2;3:3|c|C;4:4|x|X2;", FileRows());

    Reopen();  // after a restart the row comes where SQLite returns it
    EXPECT_EQ("x", store.Table().FieldTextAt(3, 1));
}

TEST_F(TaskTable, DeletingMovesToTheNewLastRowAndEmptiesTheTable) {
    RunSql(path, std::string(test::kTaskTable) +
                     "insert into feladat values (1, 'a', 'A'); insert into feladat values (2, 'b', 'B');");
    store.Open();
    store.Table().Last();
    store.DeleteCurrentTask();
    EXPECT_EQ(1, store.Table().RecordCount());
    EXPECT_EQ(0, store.Table().ActiveRow());
    EXPECT_EQ("a", store.Table().FieldText("forras"));
    store.DeleteCurrentTask();
    EXPECT_EQ(0, store.Table().RecordCount());
    EXPECT_TRUE(store.Table().Eof());
    store.DeleteCurrentTask();  // nothing left: does nothing
    EXPECT_EQ("Cannot perform this operation on an empty dataset",
              MessageOf<EDatabaseError>([&] { store.Table().Delete(); }));
    EXPECT_EQ("", FileRows());
}

TEST_F(TaskTable, MissingTableLeavesAnEmptyClosedTable) {
    RunSql(path, "create table other (x integer);");
    EXPECT_EQ("no such table: feladat", MessageOf<EDatabaseError>([&] { store.Open(); }));
    EXPECT_FALSE(store.Table().Active());
    EXPECT_EQ(0, store.Table().RecordCount());
    store.DeleteCurrentTask();
    EXPECT_EQ("Dataset not in edit or insert mode", MessageOf<EDatabaseError>([&] { store.Table().Post(); }));
}

TEST_F(TaskTable, MissingFileIsCreatedThenLacksTheTable) {
    EXPECT_EQ("no such table: feladat", MessageOf<EDatabaseError>([&] { store.Open(); }));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
}

TEST_F(TaskTable, FileThatIsNotADatabase) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const char junk[] =
        "This is a text file, not a database, and long enough to have a header of its own.....";
    DWORD written = 0;
    WriteFile(file, junk, sizeof junk, &written, nullptr);
    CloseHandle(file);
    EXPECT_EQ("file is not a database", MessageOf<EDatabaseError>([&] { store.Open(); }));
}

TEST_F(TaskTable, FileHeldOpenByAnotherProgram) {
    RunSql(path, test::kTaskTable);
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    std::string message = MessageOf<EDatabaseError>([&] { store.Open(); });
    CloseHandle(file);
    EXPECT_EQ("unable to open database file", message);
    store.Open();  // usable once the other program lets go
    EXPECT_TRUE(store.Table().Active());
}

TEST_F(TaskTable, ColumnsThatDoNotFitTheDeclaredFields) {
    RunSql(path, "create table feladat (feladat integer, forras text, cel varchar(255));");
    EXPECT_EQ("Type mismatch for field 'forr\xE1s', expecting: String actual: Memo",
              MessageOf<EDatabaseError>([&] { store.Open(); }));
    RunSql(path, "drop table feladat; create table feladat (feladat int, forras varchar(255));");
    EXPECT_EQ("Field 'c\xE9l' not found", MessageOf<EDatabaseError>([&] { store.Open(); }));
    RunSql(path, "drop table feladat; create table feladat (feladat int, extra blob, forras, cel char(80));");
    store.Open();  // other columns load too; no declared type is a string
    EXPECT_TRUE(store.Table().Active());
}

TEST_F(TaskTable, FailedPostKeepsTheStateAndTheValues) {
    RunSql(path, std::string(test::kTaskTable) + "insert into feladat values (5, 'a', 'A');");
    store.Open();
    store.Table().Edit();
    store.Table().SetFieldText("cel", "changed");
    RunSql(path, "drop table feladat;");
    EXPECT_EQ("no such table: feladat", MessageOf<EDatabaseError>([&] { store.Table().Post(); }));
    EXPECT_EQ(DataSetState::Edit, store.Table().State());
    EXPECT_EQ("changed", store.Table().FieldText("cel"));
    store.Table().Cancel();
    EXPECT_EQ("A", store.Table().FieldText("cel"));

    store.Table().Append();
    store.Table().SetFieldText("forras", "new");
    EXPECT_EQ("no such table: feladat", MessageOf<EDatabaseError>([&] { store.Table().Post(); }));
    EXPECT_EQ(DataSetState::Insert, store.Table().State());
    EXPECT_EQ("new", store.Table().FieldText("forras"));
    EXPECT_EQ(1, store.Table().RecordCount());
}

TEST_F(TaskTable, AUserColumnNamedRowidIsReadAsAFieldAndRowsAreStillAddressedByTheirRowid) {
    RunSql(
        path,
        "create table feladat (rowid integer, feladat integer, forras varchar(255), cel varchar(255));"
        "insert into feladat (_rowid_, rowid, feladat, forras, cel) values (5, 900, 1, 'C:\\A', 'E:\\A');"
        "insert into feladat (_rowid_, rowid, feladat, forras, cel) values (6, 900, 2, 'C:\\B', 'E:\\B');");
    store.Open();
    ASSERT_EQ(2, store.Table().RecordCount());
    EXPECT_EQ("1", store.Table().FieldText("feladat"));
    EXPECT_EQ("C:\\A", store.Table().FieldText("forras"));
    EXPECT_EQ("E:\\A", store.Table().FieldText("cel"));
    EXPECT_EQ(5, store.Table().RowIdAt(0));
    EXPECT_EQ(6, store.Table().RowIdAt(1));

    // The user's column holds the same value in both rows: only the real
    // rowid tells them apart.
    store.Table().MoveTo(1);
    store.Table().Edit();
    store.Table().SetFieldText("cel", "E:\\B2");
    store.Table().Post();
    store.DeleteCurrentTask();  // the second row, now current
    EXPECT_EQ(std::vector<std::string>{"5:900:E:\\A"},
              FileValues("select group_concat(_rowid_ || ':' || rowid || ':' || cel, ';') as r from feladat",
                         {"r"}));
}

TEST_F(TaskTable, AnIdThatIsTheRowidFollowsTheIdRule) {
    RunSql(path,
           "create table feladat (feladat integer primary key, forras varchar(255), cel varchar(255));"
           "insert into feladat values (0, 'C:\\A', 'E:\\A');");
    store.Open();
    store.Table().Edit();  // id 0 gets the next id, which moves the row to rowid 1
    store.Table().Post();
    EXPECT_EQ("1", store.Table().FieldText("feladat"));
    store.Table().Edit();
    store.Table().SetFieldText("cel", "E:\\B");
    store.Table().Post();
    EXPECT_EQ("1:1|C:\\A|E:\\B;", FileRows());
    store.DeleteCurrentTask();
    EXPECT_EQ("", FileRows());
}

TEST_F(TaskTable, AChangeThatFindsNoRowIsAnError) {
    RunSql(path, std::string(test::kTaskTable) + "insert into feladat values (1, 'a', 'A');");
    store.Open();
    RunSql(path, "delete from feladat;");  // another program removed the row meanwhile
    store.Table().Edit();
    store.Table().SetFieldText("cel", "B");
    EXPECT_EQ("Row changed or deleted by another program in feladat (rowid 1): nothing was updated",
              MessageOf<ERowChanged>([&] { store.Table().Post(); }));
    EXPECT_EQ(DataSetState::Edit, store.Table().State());
    EXPECT_EQ("B", store.Table().FieldText("cel"));
    store.Table().Cancel();
    EXPECT_EQ("Row changed or deleted by another program in feladat (rowid 1): nothing was deleted",
              MessageOf<ERowChanged>([&] { store.Table().Delete(); }));
    EXPECT_EQ(1, store.Table().RecordCount());
}

// Another program removed task 3 and added one, which took its rowid (the
// table has no AUTOINCREMENT): the view that still shows the old task 3 must
// not change the new one.
TEST_F(TaskTable, ARowidReusedByAnotherProgramIsNeitherUpdatedNorDeleted) {
    RunSql(
        path,
        std::string(test::kTaskTable) +
            "insert into feladat values (1, 'C:\\A', 'E:\\S'); insert into feladat values (2, 'C:\\B', null);"
            "insert into feladat values (3, 'C:\\C', 'E:\\S');");
    store.Open();
    RunSql(path,
           "delete from feladat where feladat = 3; insert into feladat values (3, 'C:\\New', 'E:\\T');");
    const std::string others = "1:1|C:\\A|E:\\S;2:2|C:\\B|<null>;";
    ASSERT_EQ(others + "3:3|C:\\New|E:\\T;", FileRows());

    store.Table().MoveTo(2);
    store.Table().Edit();
    store.Table().SetFieldText("cel", "E:\\X");
    EXPECT_THROW(store.Table().Post(), ERowChanged);
    EXPECT_EQ(DataSetState::Edit, store.Table().State());
    store.Table().Cancel();
    EXPECT_THROW(store.DeleteCurrentTask(), ERowChanged);
    EXPECT_EQ(3, store.Table().RecordCount());
    EXPECT_EQ(others + "3:3|C:\\New|E:\\T;", FileRows());

    // Rows as they were read are changed as before, a NULL folder included.
    store.Table().MoveTo(1);
    store.Table().Edit();
    store.Table().SetFieldText("forras", "C:\\B2");
    store.Table().Post();
    store.Table().MoveTo(0);
    store.DeleteCurrentTask();
    EXPECT_EQ("2:2|C:\\B2|<null>;3:3|C:\\New|E:\\T;", FileRows());
}

// What another tool wrote is read through conversions (a long text cut, a
// real id taken as its whole part, a number in an untyped column as text):
// the row is still recognised as unchanged.
TEST_F(TaskTable, ValuesConvertedWhenReadStillMatchTheirRow) {
    RunSql(path,
           "create table feladat (feladat integer, forras, cel varchar(255));"
           "insert into feladat values (7.5, 12, '" +
               std::string(300, 'a') +
               "');"
               "insert into feladat values ('x', 'C:\\B', '" +
               std::string(200, '\xE9') + "');");
    store.Open();
    ASSERT_EQ(2, store.Table().RecordCount());
    EXPECT_EQ("7", store.Table().FieldText("feladat"));
    EXPECT_EQ("12", store.Table().FieldText("forras"));
    EXPECT_EQ(std::string(255, 'a'), store.Table().FieldText("cel"));
    store.Table().Edit();
    store.Table().SetFieldText("forras", "C:\\A");
    store.Table().Post();
    store.Table().MoveTo(1);
    EXPECT_EQ("0", store.Table().FieldText("feladat"));
    EXPECT_EQ(std::string(127, '\xE9'), store.Table().FieldText("cel"));  // cut to 254 bytes
    store.DeleteCurrentTask();
    EXPECT_EQ("1:7|C:\\A|" + std::string(255, 'a') + ";", FileRows());
}

TEST_F(TaskTable, ADeleteWaitsForABusyFileAsAnUpdateDoes) {
    RunSql(path, std::string(test::kTaskTable) + "insert into feladat values (1, 'a', 'A');");
    store.Open();
    TSqliteDb holder;
    test::PointAt(holder, path);
    holder.ExecuteStatement("begin exclusive transaction");
    // The other program lets go a moment after the delete has begun.
    KernelHandle deleting(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    store.Connection().OnTrace = [&](const std::string& sql) {
        if (sql.rfind("delete", 0) == 0) SetEvent(deleting.get());
    };
    std::thread other([&] {
        WaitForSingleObject(deleting.get(), 30000);
        Sleep(200);
        holder.RollBack();
    });
    std::string failure;
    try {
        store.DeleteCurrentTask();
    } catch (const EDatabaseError& e) {
        failure = e.Message();
    }
    other.join();
    EXPECT_EQ("", failure);
    EXPECT_EQ(0, store.Table().RecordCount());
    EXPECT_EQ("", FileRows());
}

TEST_F(TaskTable, AFieldSizeThatDoesNotParseLeavesNoStatementOpen) {
    RunSql(path, "create table feladat (feladat integer, forras varchar(2.5), cel varchar(255));");
    EXPECT_EQ("'2.5' is not a valid integer value", MessageOf<Exception>([&] { store.Open(); }));
    // A statement left open keeps the connection, and with it the file,
    // open after the disconnect.
    store.Connection().SetConnected(false);
    EXPECT_NE(FALSE, DeleteFileA(path.c_str())) << GetLastError();
}

TEST_F(TaskTable, ReadOnlyRefusesChanges) {
    RunSql(path, std::string(test::kTaskTable) + "insert into feladat values (5, 'a', 'A');");
    store.Table().ReadOnly = true;
    store.Open();
    store.Table().Edit();
    EXPECT_EQ("Cannot post into a read-only dataset", MessageOf<ESqliteError>([&] { store.Table().Post(); }));
    store.Table().Cancel();
    EXPECT_EQ("Cannot delete from a read-only dataset",
              MessageOf<ESqliteError>([&] { store.Table().Delete(); }));
    EXPECT_EQ(1, store.Table().RecordCount());
}

}  // namespace
}  // namespace pelvane
