// The grid over the real task table in an in-memory database: what the user
// types reaches SQLite through the table's post, with the id rule applied.
#include <gtest/gtest.h>

#include "common/Seged.h"
#include "store/TaskStore.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/DataGrid.h"

namespace pelvane {
namespace {

class DataGridStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        store.Connection().SetDefaultDir({});
        store.Connection().SetDatabase(L":memory:");
        store.Connection().SetConnected(true);
        store.Connection().ExecuteStatement(
            "create table feladat (feladat integer, forras varchar(255), cel varchar(255))");
        store.Open();
        grid.Create(test::SharedHost(), 1, Scale(4), Scale(4), Scale(565), Scale(137));
        grid.SetColumns({{"forras", 267}, {"cel", 264}});
        grid.SetDataSet(&store.Table());
        SetFocus(grid.Handle());
        test::Pump();
    }
    void Key(UINT vk) { test::PressKey(grid.Editor(), vk); }
    int Stored(const char* where) {
        // A query of its own reads the file's rows afresh.
        TSqliteQuery count(&store.Connection());
        count.SetSQL(std::string("SELECT COUNT(*) AS n FROM feladat WHERE ") + where + ";");
        count.Open();
        return VariantToInt(count.FieldValue("n"));
    }

    TaskStore store;
    DataGrid grid;
};

TEST_F(DataGridStoreTest, TypedRowsAreStoredWithTheNextId) {
    test::Type(grid.Editor(), "C:\\Docs");
    Key(VK_TAB);
    test::Type(grid.Editor(), "E:\\Bob's");
    Key(VK_DOWN);  // stores the row and starts a new one
    EXPECT_EQ(1, store.Table().RecordCount());
    EXPECT_EQ(1, Stored("feladat=1 AND forras='C:\\Docs' AND cel='E:\\Bob''s'"));
    EXPECT_EQ(DataSetState::Insert, store.Table().State());
    EXPECT_EQ("cel", grid.SelectedField());  // the column stays
    test::Type(grid.Editor(), "F:\\Masik");
    Key(VK_UP);  // a changed new row is stored when left
    EXPECT_EQ(1, Stored("feladat=2 AND forras IS NULL AND cel='F:\\Masik'"));
    EXPECT_EQ(DataSetState::Browse, store.Table().State());
    EXPECT_EQ(0, store.Table().ActiveRow());
    // An edit of the first row is an update by rowid.
    SendMessageA(grid.Editor(), EM_SETSEL, 0, -1);
    test::Type(grid.Editor(), "G:\\Uj");
    Key(VK_DOWN);
    EXPECT_EQ(1, Stored("feladat=1 AND cel='G:\\Uj'"));
    EXPECT_EQ(2, Stored("1=1"));
}

TEST_F(DataGridStoreTest, AFolderOutsideTheCodePageIsShownAsWellAsItCanAndNeverWrittenBack) {
    const std::wstring source = L"C:\\Русский";
    store.AddTask(source, L"E:\\a");
    store.AddTask(L"C:\\b", L"E:\\b");
    store.Table().First();
    grid.SetSelectedIndex(0);
    test::Pump();
    EXPECT_EQ("C:\\???????", store.Table().FieldTextAt(0, 1));
    char shown[64] = {};
    GetWindowTextA(grid.Editor(), shown, sizeof shown);
    EXPECT_EQ(std::string("C:\\???????"), shown);

    // Moving over the cell and editing the other one of the row stores the
    // row, but this folder as it was.
    Key(VK_TAB);
    SendMessageA(grid.Editor(), EM_SETSEL, 0, -1);
    test::Type(grid.Editor(), "E:\\Uj");
    Key(VK_DOWN);
    Key(VK_UP);
    Key(VK_DOWN);
    store.Close();
    store.Open();
    EXPECT_TRUE(store.Table().FieldWideText("forras") == source);
    EXPECT_EQ(L"E:\\Uj", store.Table().FieldWideText("cel"));
}

}  // namespace
}  // namespace pelvane
