#include "ui/DataGrid.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/Seged.h"

#include "tests/ui/UiTestSupport.h"
#include "ui/demo/MemoryDataSet.h"

namespace pelvane {
namespace {

std::vector<FieldDef> TaskColumns() {
    return {{"feladat", FieldKind::Integer, 0, 0},
            {"forras", FieldKind::String, 255, 0},
            {"cel", FieldKind::String, 255, 0}};
}

Row Task(int id, const std::string& from, const std::string& to) {
    return {id, from, to};
}

class DataGridTest : public ::testing::Test {
  protected:
    void Open(std::vector<Row> rows) {
        ds = std::make_unique<MemoryDataSet>(TaskColumns(), std::move(rows));
        ds->AddField("feladat", FieldKind::Integer).visible = false;
        ds->AddField("forras", FieldKind::String, 255, "forrás");
        ds->AddField("cel", FieldKind::String, 255, "cél");
        ds->Open();
        grid.Create(host, 1, Scale(4), Scale(4), Scale(565), Scale(137));
        grid.SetColumns({{"forras", 267}, {"cel", 264}});
        grid.SetDataSet(ds.get());
        other = CreateWindowExA(0, "BUTTON", "x", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, Scale(150), 60, 24,
                                host, nullptr, nullptr, nullptr);
        grid.OnDblClick = [this] { ++dblClicks; };
        grid.OnEditButtonClick = [this] { ++buttonClicks; };
        SetFocus(grid.Handle());
        test::Pump();
    }
    void Key(UINT vk, bool ctrl = false, bool shift = false) {
        test::PressKey(grid.Editor(), vk, ctrl, shift);
    }
    std::string Cell(int row, const char* field) {
        return VariantToText(ds->Rows().at(row).at(field[0] == 'f' ? 1 : 2));
    }

    void TearDown() override {
        if (other) DestroyWindow(other);
    }
    HWND host = test::SharedHost();
    std::unique_ptr<MemoryDataSet> ds;
    DataGrid grid;
    HWND other = nullptr;
    int dblClicks = 0, buttonClicks = 0;
};

TEST_F(DataGridTest, LayoutTitlesAndEditor) {
    Open({Task(1, "C:\\Docs", "E:\\Save"), Task(2, "C:\\Képek", "E:\\Save")});
    EXPECT_EQ(Scale(267), grid.ColumnWidth(0));
    EXPECT_EQ(Scale(264), grid.ColumnWidth(1));
    EXPECT_TRUE(grid.EditorVisible());
    EXPECT_EQ(grid.Editor(), GetFocus());
    char text[300] = {};
    GetWindowTextA(grid.Editor(), text, sizeof text);
    EXPECT_STREQ("C:\\Docs", text);
    EXPECT_EQ("forras", grid.SelectedField());
    test::Screenshot(host, "datagrid");
}

TEST_F(DataGridTest, LeavingAChangedRowStoresIt) {
    Open({Task(1, "C:\\Docs", "E:\\Save"), Task(2, "C:\\Képek", "E:\\Save")});
    SendMessageA(grid.Editor(), EM_SETSEL, 0, -1);
    test::Type(grid.Editor(), "D:\\Új");
    EXPECT_EQ(DataSetState::Edit, ds->State());
    EXPECT_EQ("C:\\Docs", Cell(0, "forras"));  // not stored while the row is current
    Key(VK_DOWN);
    EXPECT_EQ(DataSetState::Browse, ds->State());
    EXPECT_EQ(1, ds->PostCount());
    EXPECT_EQ("D:\\Új", Cell(0, "forras"));
    EXPECT_EQ(1, ds->ActiveRow());
}

TEST_F(DataGridTest, DownAppendsUpDiscardsAnUnchangedNewRow) {
    Open({Task(1, "a", "b"), Task(2, "c", "d")});
    Key(VK_DOWN);
    Key(VK_DOWN);  // the last row: a new one
    EXPECT_EQ(DataSetState::Insert, ds->State());
    EXPECT_EQ(3, ds->RowCount());
    EXPECT_EQ(2, ds->ActiveRow());
    Key(VK_DOWN);  // unchanged new row: nothing
    EXPECT_EQ(3, ds->RowCount());
    EXPECT_EQ(DataSetState::Insert, ds->State());
    Key(VK_UP);  // unchanged new last row: gone
    EXPECT_EQ(DataSetState::Browse, ds->State());
    EXPECT_EQ(2, ds->RowCount());
    EXPECT_EQ(1, ds->ActiveRow());
    EXPECT_EQ(0, ds->PostCount());
    // A new row with something typed in is stored by Down, and a next one starts.
    Key(VK_DOWN);
    test::Type(grid.Editor(), "X");
    Key(VK_DOWN);
    EXPECT_EQ(1, ds->PostCount());
    EXPECT_EQ(3, ds->RecordCount());
    EXPECT_EQ("X", Cell(2, "forras"));
    EXPECT_EQ(DataSetState::Insert, ds->State());
    EXPECT_EQ(4, ds->RowCount());
}

TEST_F(DataGridTest, InsertStartsARowBeforeTheCurrentOne) {
    Open({Task(1, "a", "b"), Task(2, "c", "d")});
    Key(VK_DOWN);
    Key(VK_INSERT);
    EXPECT_EQ(DataSetState::Insert, ds->State());
    EXPECT_EQ(1, ds->ActiveRow());
    test::Type(grid.Editor(), "uj");
    Key(VK_TAB);
    EXPECT_EQ(1, grid.SelectedIndex());
    test::Type(grid.Editor(), "cel");
    Key(VK_UP);  // leaving the changed new row stores it in its place
    EXPECT_EQ(3, ds->RecordCount());
    EXPECT_EQ("uj", Cell(1, "forras"));
    EXPECT_EQ("cel", Cell(1, "cel"));
    EXPECT_EQ("c", Cell(2, "forras"));
    EXPECT_EQ(0, ds->ActiveRow());
}

TEST_F(DataGridTest, EscDiscardsPendingChanges) {
    Open({Task(1, "a", "b")});
    SendMessageA(grid.Editor(), EM_SETSEL, 0, -1);
    test::Type(grid.Editor(), "zzz");
    Key(VK_ESCAPE);
    EXPECT_EQ(DataSetState::Browse, ds->State());
    EXPECT_EQ(0, ds->PostCount());
    char text[300] = {};
    GetWindowTextA(grid.Editor(), text, sizeof text);
    EXPECT_STREQ("a", text);
}

TEST_F(DataGridTest, TabAndShiftTabWalkTheCells) {
    Open({Task(1, "a", "b"), Task(2, "c", "d")});
    Key(VK_TAB);
    EXPECT_EQ(1, grid.SelectedIndex());
    EXPECT_EQ("cel", grid.SelectedField());
    Key(VK_TAB);  // past the last cell: the next row's first
    EXPECT_EQ(0, grid.SelectedIndex());
    EXPECT_EQ(1, ds->ActiveRow());
    Key(VK_TAB, false, true);
    EXPECT_EQ(1, grid.SelectedIndex());
    EXPECT_EQ(0, ds->ActiveRow());
    Key(VK_TAB, false, true);
    EXPECT_EQ(0, grid.SelectedIndex());
}

TEST_F(DataGridTest, EllipsisButtonCtrlEnterAndDoubleClick) {
    Open({Task(1, "a", "b"), Task(2, "c", "d")});
    Key(VK_RETURN, true);
    EXPECT_EQ(1, buttonClicks);
    RECT b = grid.EditButtonRect();
    test::Click(grid.Handle(), (b.left + b.right) / 2, (b.top + b.bottom) / 2);
    EXPECT_EQ(2, buttonClicks);
    // The first click of a double-click makes the cell current.
    RECT cell = grid.CellRect(1, 1);
    test::Click(grid.Handle(), cell.left + 5, cell.top + 5, true);
    EXPECT_EQ(1, dblClicks);
    EXPECT_EQ(1, ds->ActiveRow());
    EXPECT_EQ("cel", grid.SelectedField());
    SendMessageA(grid.Editor(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(2, dblClicks);
}

TEST_F(DataGridTest, LosingTheFocusDropsOnlyAnUnchangedNewRow) {
    Open({Task(1, "a", "b")});
    Key(VK_DOWN);
    EXPECT_EQ(DataSetState::Insert, ds->State());
    SetFocus(other);
    test::Pump();
    EXPECT_EQ(DataSetState::Browse, ds->State());
    EXPECT_EQ(1, ds->RowCount());
    SetFocus(grid.Handle());
    test::Type(grid.Editor(), "q");
    SetFocus(other);
    test::Pump();
    EXPECT_EQ(DataSetState::Edit, ds->State());  // a changed row waits for its post
}

TEST_F(DataGridTest, TypingIntoAnEmptyTableStartsARow) {
    Open({});
    EXPECT_TRUE(grid.EditorVisible());
    test::Type(grid.Editor(), "C:\\Elso");
    EXPECT_EQ(DataSetState::Insert, ds->State());
    Key(VK_DOWN);
    EXPECT_EQ(1, ds->RecordCount());
    EXPECT_EQ("C:\\Elso", Cell(0, "forras"));
}

TEST_F(DataGridTest, WheelPagingAndScrolling) {
    std::vector<Row> rows;
    for (int i = 0; i < 40; ++i) rows.push_back(Task(i + 1, "src" + std::to_string(i), "dst"));
    Open(rows);
    SendMessageA(grid.Editor(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(1, ds->ActiveRow());
    int page = grid.VisibleRowCount();
    Key(VK_NEXT);
    EXPECT_EQ(1 + page, ds->ActiveRow());
    EXPECT_GT(grid.TopRow(), 0);
    EXPECT_LE(grid.TopRow(), ds->ActiveRow());
    EXPECT_GT(grid.TopRow() + page, ds->ActiveRow());
    Key(VK_END, true);
    EXPECT_EQ(39, ds->ActiveRow());
    EXPECT_EQ(40 - page, grid.TopRow());
    SendMessageA(grid.Handle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(0, grid.TopRow());
    EXPECT_FALSE(grid.EditorVisible());  // the current row is out of view
    EXPECT_EQ(39, ds->ActiveRow());
    test::Type(grid.Handle(), "x");  // typing brings it back and goes into its cell
    EXPECT_TRUE(grid.EditorVisible());
    EXPECT_EQ(40 - page, grid.TopRow());
    EXPECT_EQ(DataSetState::Edit, ds->State());
    EXPECT_EQ("x", ds->FieldText("forras"));
}

TEST_F(DataGridTest, DraggingATitleEdgeResizesTheColumn) {
    Open({Task(1, "a", "b")});
    RECT t = grid.TitleRect(0);
    int y = (t.top + t.bottom) / 2;
    SendMessageA(grid.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(t.right, y));
    SendMessageA(grid.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(t.right - 40, y));
    SendMessageA(grid.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(t.right - 40, y));
    EXPECT_EQ(Scale(267) - 40, grid.ColumnWidth(0));
}

TEST_F(DataGridTest, PopupMenuCommandsReachTheTopLevelWindow) {
    Open({Task(1, "a", "b")});
    MenuHandle menu(CreatePopupMenu());
    AppendMenuA(menu.get(), MF_STRING, 4711, "Feladat törlése");
    grid.SetPopupMenu(menu.get());
    test::SharedHostWindow().lastCommand = 0;
    auto choose = test::ChooseFirstItemOfNextMenu();
    RECT cell = grid.CellRect(0, 1);
    POINT pt = {cell.left + 5, cell.top + 5};
    ClientToScreen(grid.Handle(), &pt);
    SendMessageA(grid.Editor(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(grid.Editor()),
                 MAKELPARAM(pt.x, pt.y));
    test::Pump();
    EXPECT_EQ(4711, test::SharedHostWindow().lastCommand);
    grid.SetPopupMenu(nullptr);
}

TEST_F(DataGridTest, DisabledGridHidesTheEditor) {
    Open({Task(1, "a", "b")});
    grid.SetEnabled(false);
    test::Pump();
    EXPECT_FALSE(grid.EditorVisible());
    test::Screenshot(host, "datagrid-disabled");
    grid.SetEnabled(true);
    SetFocus(grid.Handle());
    EXPECT_TRUE(grid.EditorVisible());
}

}  // namespace
}  // namespace pelvane
