// The dataset protocol as the grid and the run use it, on an in-memory table.
#include <gtest/gtest.h>

#include "store/SqliteTable.h"
#include "tests/store/StoreTestSupport.h"

namespace pelvane {
namespace {

struct Recorder : DataSetObserver {
    std::string events;
    void DataSetChanged() override { events += "D"; }
    void RecordChanged() override { events += "R"; }
    void StateChanged() override { events += "S"; }
    void Scrolled() override { events += "M"; }
};

class DataSetProtocol : public ::testing::Test {
  protected:
    void SetUp() override {
        db.SetDriverDLL(test::SqliteDll());
        db.SetDatabase(L":memory:");
        db.ExecuteStatement(test::kTaskTable);
        table.SetTableName("feladat");
        table.AddField("feladat", FieldKind::Integer);
        table.AddField("forras", FieldKind::String, 255, "forr\xE1s");
    }
    void Fill(int rows) {
        for (int i = 1; i <= rows; ++i)
            db.ExecuteStatement("insert into feladat values (" + std::to_string(i) + ", 'r" +
                                std::to_string(i) + "', null)");
    }
    std::string Column(int field) {
        std::string out;
        for (int row = 0; row < table.RowCount(); ++row) out += table.FieldTextAt(row, field) + ",";
        return out;
    }

    TSqliteDb db;
    TSqliteTable table{&db};
};

TEST_F(DataSetProtocol, EmptyTableNavigationAndEditInserting) {
    table.Open();
    EXPECT_EQ(0, table.RecordCount());
    table.First();
    EXPECT_TRUE(table.Eof());
    EXPECT_TRUE(table.Bof());
    EXPECT_EQ(-1, table.ActiveRow());
    EXPECT_TRUE(IsNull(table.FieldValue("forras")));

    table.Edit();  // nothing to edit: a new row instead
    EXPECT_EQ(DataSetState::Insert, table.State());
    EXPECT_EQ(1, table.RowCount());
    EXPECT_EQ(0, table.RecordCount());
}

TEST_F(DataSetProtocol, WalkingAndBookmarks) {
    Fill(3);
    table.Open();
    std::string seen;
    for (table.First(); !table.Eof(); table.Next()) seen += table.FieldText("forras");
    EXPECT_EQ("r1r2r3", seen);
    EXPECT_EQ(3, table.RecNo());
    table.Prior();
    int bookmark = table.Bookmark();
    table.First();
    table.Prior();
    EXPECT_TRUE(table.Bof());
    table.GotoBookmark(bookmark);
    EXPECT_EQ("r2", table.FieldText("forras"));
    EXPECT_THROW(table.GotoBookmark(99), EDatabaseError);
    EXPECT_EQ(1, table.FieldByName("FORRAS").column);  // names match without regard to ASCII case
}

TEST_F(DataSetProtocol, GridViewOfANewRowAndLeavingIt) {
    Fill(2);
    table.Open();
    table.MoveTo(1);
    table.Insert();
    EXPECT_EQ(3, table.RowCount());
    EXPECT_EQ(1, table.ActiveRow());
    EXPECT_EQ("r1,,r2,", Column(1));
    EXPECT_FALSE(table.Modified());

    table.MoveTo(2);  // an unchanged new row is dropped; r2 is now row 1
    EXPECT_EQ(DataSetState::Browse, table.State());
    EXPECT_EQ("r1,r2,", Column(1));
    EXPECT_EQ(1, table.ActiveRow());

    table.Append();
    table.SetFieldText("forras", "r3");
    EXPECT_TRUE(table.Modified());
    EXPECT_EQ("r1,r2,r3,", Column(1));
    table.MoveTo(0);  // a changed one is posted
    EXPECT_EQ(3, table.RecordCount());
    EXPECT_EQ(0, table.ActiveRow());
    EXPECT_EQ("r1,r2,r3,", Column(1));
}

TEST_F(DataSetProtocol, EditCancelAndTextConversion) {
    Fill(1);
    table.Open();
    EXPECT_EQ("Dataset not in edit or insert mode", [&] {
        try {
            table.SetFieldText("forras", "x");
        } catch (const EDatabaseError& e) {
            return e.Message();
        }
        return std::string();
    }());
    table.Edit();
    table.SetFieldText("forras", "changed");
    EXPECT_EQ("changed", table.FieldTextAt(0, 1));
    table.Cancel();
    EXPECT_EQ("r1", table.FieldText("forras"));

    table.Edit();
    table.SetFieldText("feladat", "");
    EXPECT_TRUE(IsNull(table.FieldValue("feladat")));
    table.SetFieldText("feladat", "$1F");
    EXPECT_EQ(Variant(int32_t{31}), table.FieldValue("feladat"));
    EXPECT_THROW(table.SetFieldText("feladat", "12a"), EDatabaseError);
    table.SetFieldValue("feladat", std::string("8"));  // stored as the field's kind
    EXPECT_EQ(Variant(int32_t{8}), table.FieldValue("feladat"));
    table.SetFieldText("forras", "");  // present and empty, not null
    EXPECT_FALSE(IsNull(table.FieldValue("forras")));
    table.Post();
    EXPECT_EQ("8", table.FieldText("feladat"));
}

TEST_F(DataSetProtocol, ObserversHearEveryChange) {
    Fill(2);
    Recorder recorder;
    table.AddObserver(&recorder);
    table.Open();
    EXPECT_EQ("SD", recorder.events);
    recorder.events.clear();
    table.Next();
    table.Edit();
    table.SetFieldText("forras", "x");
    table.Post();
    EXPECT_EQ("MSRSR", recorder.events);
    recorder.events.clear();
    table.Insert();
    table.Cancel();
    table.Delete();
    EXPECT_EQ("SDSDD", recorder.events);
    table.RemoveObserver(&recorder);
    recorder.events.clear();
    table.Close();
    EXPECT_EQ("", recorder.events);
}

TEST_F(DataSetProtocol, DisconnectClosesTheDatasets) {
    Fill(1);
    table.Open();
    db.SetConnected(false);
    EXPECT_FALSE(table.Active());
    EXPECT_EQ(0, table.RecordCount());
}

}  // namespace
}  // namespace pelvane
