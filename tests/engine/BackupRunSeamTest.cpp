// What Wine cannot show, through a file system that behaves as Windows does.
#include <gtest/gtest.h>

#include "common/Exception.h"
#include "engine/BackupEngine.h"
#include "tests/engine/FakeFileSystem.h"
#include "tests/engine/RecordingSurroundings.h"

using namespace pelvane;
using Lines = std::vector<std::string>;

namespace {

constexpr uint32_t kArchive = FILE_ATTRIBUTE_ARCHIVE, kReadOnly = FILE_ATTRIBUTE_READONLY,
                   kHidden = FILE_ATTRIBUTE_HIDDEN;
constexpr int32_t kSourceDate = 0x4A6E6000;

class SeamRun : public ::testing::Test {
  protected:
    FakeFileSystem fs;
    RecordingSurroundings s{{{"C:\\Data\\Docs", "E:\\Save"}}};
    BackupEngine engine{s, fs};

    SeamRun() {
        fs.AddFolder("C:");
        fs.AddFolder("E:");
        fs.AddFolder("E:\\Save");
    }
    FakeFileSystem::Node& Source(const std::string& name, std::string data, uint32_t attributes = kArchive) {
        auto& n = fs.AddFile("C:\\Data\\Docs\\" + name, std::move(data), attributes);
        n.date = kSourceDate;
        return n;
    }
    FakeFileSystem::Node* Copy(const std::string& name) { return fs.Find("E:\\Save\\Docs\\" + name); }
};

TEST_F(SeamRun, ArchiveMethodTakesOnlyFilesWithTheArchiveFlag) {
    Source("flagged.txt", "12345");
    Source("clean.txt", "123", 0);
    s.method = 1;
    engine.Button1Click();
    EXPECT_NE(Copy("flagged.txt"), nullptr);
    EXPECT_EQ(Copy("clean.txt"), nullptr);
    EXPECT_EQ(s.Body()[1], "Összesen    5");
}

TEST_F(SeamRun, ClearingTheArchiveFlagLeavesTheOtherBitsAndGivesTheCopyTheOldWord) {
    Source("ro.txt", "a", kReadOnly | kArchive);
    Source("plain.txt", "b", kHidden);
    s.clearArchive = true;
    engine.Button1Click();
    EXPECT_EQ(fs.Find("C:\\Data\\Docs\\ro.txt")->attributes, kReadOnly);
    EXPECT_EQ(Copy("ro.txt")->attributes, kReadOnly | kArchive);
    EXPECT_EQ(Copy("ro.txt")->date, kSourceDate);  // dated before it became read-only
    EXPECT_EQ(fs.Find("C:\\Data\\Docs\\plain.txt")->attributes, kHidden);
    EXPECT_EQ(Copy("plain.txt")->attributes, kHidden);
}

TEST_F(SeamRun, ReadOnlyHiddenAndSystemCopiesAreReplaced) {
    Source("ro.txt", "new ro", kReadOnly);
    Source("hidden.txt", "new hidden", kHidden | kArchive);
    Source("system.txt", "new system", FILE_ATTRIBUTE_SYSTEM);
    fs.AddFile("E:\\Save\\Docs\\ro.txt", "old", kReadOnly);
    fs.AddFile("E:\\Save\\Docs\\hidden.txt", "old", kHidden);
    fs.AddFile("E:\\Save\\Docs\\system.txt", "old", FILE_ATTRIBUTE_SYSTEM);
    engine.Button1Click();
    EXPECT_TRUE(s.Errors().empty());
    EXPECT_EQ(Copy("ro.txt")->data, "new ro");
    EXPECT_EQ(Copy("ro.txt")->attributes, kReadOnly);
    EXPECT_EQ(Copy("hidden.txt")->data, "new hidden");
    EXPECT_EQ(Copy("system.txt")->data, "new system");
    EXPECT_EQ(fs.CountFiles("E:\\Save"), 3);
}

TEST_F(SeamRun, AFullDiskKeepsTheOldCopyIntactAndUndated) {
    Source("big.bin", std::string(200000, 'n'));
    auto& old = fs.AddFile("E:\\Save\\Docs\\big.bin", "previous good copy");
    old.date = 0x30000000;
    fs.freeBytes = 100000;
    engine.Button1Click();
    EXPECT_EQ(s.Errors(), Lines{"Hiba: C:\\Data\\Docs\\big.bin : Stream write error"});
    EXPECT_EQ(Copy("big.bin")->data, "previous good copy");
    EXPECT_EQ(Copy("big.bin")->date, 0x30000000);
    EXPECT_EQ(fs.CountFiles("E:\\Save"), 1);  // the partial copy is gone
    EXPECT_EQ(s.stepped, 0);
}

TEST_F(SeamRun, AnUnknownSizeNeverGivesAnEmptyCopy) {
    Source("a.txt", "content").sizeUnreadable = true;
    fs.AddFile("E:\\Save\\Docs\\a.txt", "previous");
    engine.Button1Click();
    EXPECT_EQ(s.Errors(), Lines{"Hiba: C:\\Data\\Docs\\a.txt : Stream read error"});
    EXPECT_EQ(Copy("a.txt")->data, "previous");
}

TEST_F(SeamRun, FailedCopiesAreNotStampedAndKeepTheSourcesArchiveFlag) {
    Source("locked.txt", "x").locked = true;
    auto& stale = fs.AddFile("E:\\Save\\Docs\\locked.txt", "stale");
    stale.date = 0x30000000;
    s.clearArchive = true;
    engine.Button1Click();
    ASSERT_EQ(s.Errors().size(), 1u);
    EXPECT_EQ(s.Errors()[0],
              "Hiba: C:\\Data\\Docs\\locked.txt : Cannot open file \"C:\\Data\\Docs\\locked.txt\". error 32");
    EXPECT_EQ(Copy("locked.txt")->date, 0x30000000);
    EXPECT_EQ(fs.Find("C:\\Data\\Docs\\locked.txt")->attributes, kArchive);
}

TEST_F(SeamRun, AnExcludedFilesCopyIsStampedAndItsSourceCleared) {
    Source("a.TMP", "new", kArchive | kHidden);
    fs.AddFile("E:\\Save\\Docs\\a.TMP", "old", 0);
    s.clearArchive = true;
    engine.Button1Click();
    EXPECT_EQ(Copy("a.TMP")->data, "old");
    EXPECT_EQ(Copy("a.TMP")->date, kSourceDate);
    EXPECT_EQ(Copy("a.TMP")->attributes, kArchive | kHidden);
    EXPECT_EQ(fs.Find("C:\\Data\\Docs\\a.TMP")->attributes, kHidden);
    EXPECT_EQ(s.status, "");  // cleared at the end of the run
    EXPECT_EQ(s.stepped, 3);
}

TEST_F(SeamRun, AFolderWhereTheCopyGoesGivesACreateError) {
    Source("name", "data");
    fs.AddFolder("E:\\Save\\Docs");
    fs.AddFolder("E:\\Save\\Docs\\name");
    engine.Button1Click();
    EXPECT_EQ(s.Errors(),
              Lines{"Hiba: C:\\Data\\Docs\\name : Cannot create file \"E:\\Save\\Docs\\name\". error 5"});
    EXPECT_TRUE(Copy("name")->folder);
    EXPECT_EQ(fs.CountFiles("E:\\Save"), 0);
}

TEST_F(SeamRun, AnUnreadableAttributeWordIsNotPassedOn) {
    Source("a.txt", "data").attributesUnreadable = true;
    fs.AddFile("E:\\Save\\Docs\\a.txt", "old", kHidden);
    engine.Button1Click();
    EXPECT_EQ(Copy("a.txt")->data, "data");
    EXPECT_NE(Copy("a.txt")->attributes, INVALID_FILE_ATTRIBUTES);
}

TEST_F(SeamRun, ADriveRootSourceMapsToAnInvalidPath) {
    RecordingSurroundings root{{{"C:\\", "E:\\Save"}}};
    fs.AddFile("C:\\a.txt", "x");
    BackupEngine e(root, fs);
    e.Button1Click();
    EXPECT_EQ(root.Body()[2], "Hiba: C:\\a.txt : Cannot create file \"E:\\Save\\C:\\a.txt\". error 123");
}

TEST_F(SeamRun, TotalsOfManyGigabytesAreShownInFullAndScaledForTheBar) {
    Source("huge.iso", "").virtualSize = 5000000000ULL;  // excluded: counted, not copied
    Source("more.iso", "").virtualSize = 4294967296ULL;
    s.excluded = ".iso";
    engine.Button1Click();
    EXPECT_EQ(s.Body()[1], "Összesen 9 294 967 296");
    EXPECT_GT(s.progressMax, 0);
    EXPECT_EQ(s.stepped, s.progressMax);  // the bar ends full
}

TEST_F(SeamRun, EmptyFoldersOfATaskAreReportedAndTheRunGoesOn) {
    RecordingSurroundings t{{{"", "E:\\Save"}, {"C:\\Data\\Docs", ""}, {"C:\\Data\\Docs", "E:\\Save"}}};
    Source("a.txt", "x");
    BackupEngine e(t, fs);
    e.Button1Click();
    EXPECT_EQ(t.Body(),
              (Lines{"*** Feladat:  >> E:\\Save", "Hiba:  : Nincs megadva a forrás mappa",
                     "*** Feladat: C:\\Data\\Docs >> ", "Hiba: C:\\Data\\Docs : Nincs megadva a cél mappa",
                     "*** Feladat: C:\\Data\\Docs >> E:\\Save", "Összesen    1"}));
    EXPECT_NE(Copy("a.txt"), nullptr);
}

// Task rows whose walk fails after the first task.
class FailingRows : public MemoryTaskRows {
  public:
    using MemoryTaskRows::MemoryTaskRows;
    void Next() override { throw Exception("Table closed"); }
};

TEST_F(SeamRun, AFailureOutsideTheFilesEndsTheRunCleanly) {
    FailingRows rows({{"C:\\Data\\Docs", "E:\\Save"}, {"C:\\Other", "E:\\Save"}});
    s.taskRows = &rows;
    Source("a.txt", "x");
    engine.Button1Click();
    EXPECT_EQ(s.log[s.log.size() - 2], "Hiba: Table closed");
    EXPECT_EQ(s.log.back().rfind("*** Mentés kész: ", 0), 0u);
    EXPECT_TRUE(s.runButton && s.grid && s.deleteAction);
    EXPECT_FALSE(s.stopButton);
    EXPECT_FALSE(engine.InRun());
}

TEST_F(SeamRun, AnEmptyTableShowsTheErrorBoxOnly) {
    RecordingSurroundings empty;
    BackupEngine e(empty, fs);
    e.Button1Click();
    EXPECT_EQ(empty.errors, Lines{"Nincs végrehajtható feladat"});
    EXPECT_TRUE(empty.log.empty());
    EXPECT_TRUE(empty.grid && empty.deleteAction && empty.runButton);
    EXPECT_FALSE(empty.logPage);
}

TEST_F(SeamRun, StartRequestsDuringARunAreIgnored) {
    Source("a.txt", "x");
    Source("b.txt", "y");
    s.onMessages = [&] { engine.Button1Click(); };  // a timer tick inside the run
    engine.Button1Click();
    EXPECT_EQ(s.log.size(), 4u);
    EXPECT_EQ(s.log[0].rfind("*** Mentés indul: ", 0), 0u);
    EXPECT_TRUE(s.runButton);
}

TEST_F(SeamRun, ControlsDuringARun) {
    Source("a.txt", "x");
    bool checked = false;
    s.onMessages = [&] {
        if (checked) return;
        checked = true;
        EXPECT_FALSE(s.runButton);
        EXPECT_TRUE(s.stopButton);
        EXPECT_FALSE(s.grid);
        EXPECT_FALSE(s.deleteAction);
        EXPECT_TRUE(s.logPage);
        EXPECT_TRUE(engine.Running());
    };
    engine.Button1Click();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(s.runButton && s.grid && s.deleteAction);
    EXPECT_FALSE(s.stopButton);
    EXPECT_EQ(s.status, "");
}

TEST(FormatTotal, FillsTheMaskFromTheRight) {
    EXPECT_EQ(FormatTotal(0), "   0");
    EXPECT_EQ(FormatTotal(7), "   7");
    EXPECT_EQ(FormatTotal(999), "   999");
    EXPECT_EQ(FormatTotal(1000), "  1 000");
    EXPECT_EQ(FormatTotal(1234567), " 1 234 567");
    EXPECT_EQ(FormatTotal(2147483647), "2 147 483 647");
    EXPECT_EQ(FormatTotal(1234567890123LL), "1234 567 890 123");
}

}  // namespace
