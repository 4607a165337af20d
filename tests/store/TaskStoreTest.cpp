#include <gtest/gtest.h>

#include "store/TableTaskRows.h"
#include "store/TaskStore.h"
#include "tests/store/StoreTestSupport.h"

namespace pelvane {
namespace {

class TaskStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path = folder.Path(L"tasks.sqb");
        test::RunSql(path, test::kTaskTable);
        store.SetDatabaseFile(path);
    }
    test::ScratchFolder folder;
    std::wstring path;
    TaskStore store;
};

TEST_F(TaskStoreTest, IdRule) {
    store.Open();
    EXPECT_EQ(1, store.AddTask(L"C:\\a", L"E:\\a"));  // empty table: MAX gives null
    EXPECT_FALSE(store.IdQuery().Active());

    store.Table().Append();
    store.Table().SetFieldValue("feladat", 5);
    store.Table().Post();
    EXPECT_EQ("5", store.Table().FieldText("feladat"));

    store.Table().Append();
    store.Table().SetFieldValue("feladat", 0);
    store.Table().Post();
    EXPECT_EQ("6", store.Table().FieldText("feladat"));

    store.Table().First();  // an edited row keeps a non-zero id
    store.Table().Edit();
    store.Table().SetFieldText("cel", "E:\\b");
    store.Table().Post();
    EXPECT_EQ("1", store.Table().FieldText("feladat"));

    test::RunSql(path, "update feladat set feladat = 0 where feladat = 5;");
    store.Close();
    store.Open();
    store.Table().MoveTo(1);
    store.Table().Edit();  // a stored row with id 0 gets the next id when posted
    store.Table().Post();
    EXPECT_EQ("7", store.Table().FieldText("feladat"));
}

TEST(TaskStoreShipped, ProgramOpensTheTaskTableTheBuildPutBesideIt) {
    TaskStore program;  // AppDir: the test program's folder, where the build put Pelvane.sqb
    EXPECT_EQ(AppDir() + L"\\Pelvane.sqb", program.DatabasePath());
    // Opened as a copy: the build's own file stays untouched. Whoever ran the
    // program from the build folder may have stored tasks in it; only the
    // table's shape is the build's.
    test::ScratchFolder folder;
    ASSERT_TRUE(CopyFileW(program.DatabasePath().c_str(), folder.Path(L"Pelvane.sqb").c_str(), FALSE));
    program.SetDatabaseFile(folder.Path(L"Pelvane.sqb"));
    program.Open();
    ASSERT_TRUE(program.Table().Active());
    std::vector<std::string> columns;
    for (const FieldDef& def : program.Table().FieldDefs()) columns.push_back(def.name);
    EXPECT_EQ((std::vector<std::string>{"feladat", "forras", "cel"}), columns);
}

TEST_F(TaskStoreTest, ConsoleHelpersAddAndRemove) {
    EXPECT_EQ(1, store.AddTask(L"C:\\a", L"E:\\a"));
    EXPECT_EQ(2, store.AddTask(L"C:\\b", L"E:\\b"));
    EXPECT_FALSE(store.RemoveTask(9));
    EXPECT_TRUE(store.RemoveTask(1));
    EXPECT_EQ(3, store.AddTask(L"C:\\c", L"E:\\c"));
    store.Close();
    store.Open();
    ASSERT_EQ(2, store.Table().RecordCount());
    EXPECT_EQ("C:\\b", store.Table().FieldTextAt(0, 1));
    EXPECT_EQ("E:\\c", store.Table().FieldTextAt(1, 2));
}

TEST_F(TaskStoreTest, TaskRowsPostAPendingEditAndWalk) {
    store.AddTask(L"C:\\a", L"E:\\a");
    store.Table().Append();
    store.Table().SetFieldText("forras", "C:\\b");
    TableTaskRows rows(store.Table());
    ASSERT_FALSE(rows.InBrowseState());
    rows.Post();
    EXPECT_TRUE(rows.InBrowseState());
    ASSERT_EQ(2, rows.Count());
    std::wstring seen;
    for (rows.First(); !rows.Eof(); rows.Next()) seen += rows.Source() + L">" + rows.Target() + L";";
    EXPECT_EQ(L"C:\\a>E:\\a;C:\\b>;", seen);
}

TEST_F(TaskStoreTest, FoldersOutsideTheCodePageAreStoredExactly) {
    const std::wstring source = L"C:\\Русский\\日本語 😀", target = L"E:\\naïve façade";
    store.AddTask(source, target);
    store.Close();
    store.Open();
    TableTaskRows rows(store.Table());
    rows.First();
    EXPECT_EQ(source, rows.Source());
    EXPECT_EQ(target, rows.Target());
    // Shown in the code page with "?" for what it lacks, never a look-alike.
    EXPECT_EQ("E:\\na?ve façade", store.Table().FieldText("cel"));

    // Storing the row again (an edit of the other folder) keeps this one as it was.
    store.Table().Edit();
    store.Table().SetFieldText("cel", "E:\\Mentés");
    store.Table().Post();
    store.Close();
    store.Open();
    EXPECT_EQ(source, rows.Source());
    EXPECT_EQ(L"E:\\Mentés", rows.Target());
}

}  // namespace
}  // namespace pelvane
