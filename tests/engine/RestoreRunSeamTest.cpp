// Restores where Wine cannot show what matters: a stop inside a big file, a
// folder reached by another path, a folder that refuses to be listed.
#include <gtest/gtest.h>

#include "engine/RestoreRun.h"
#include "tests/engine/FakeFileSystem.h"
#include "tests/engine/RecordingSurroundings.h"

using namespace pelvane;
using Lines = std::vector<std::wstring>;

namespace {

// A clock that moves 40 ms each time it is read: a write lets the
// surroundings act every third block or so.
uint64_t fakeNow = 0;
uint64_t SlowClock() {
    return fakeNow += 40;
}

const std::wstring kVersions = std::wstring(L"E:\\Save\\") + kVersionFolderName + L"\\Docs\\";

class RestoreSeam : public ::testing::Test {
  protected:
    FakeFileSystem fs;
    RecordingSurroundings s;
    RestoreRun restore{s, s, fs};

    RestoreSeam() {
        fs.AddFolder(L"C:");
        fs.AddFolder(L"D:");
        fs.AddFolder(L"E:");
        fs.AddFolder(L"E:\\Save");
    }
    RestoreRequest Request(const std::wstring& into, std::optional<LocalTime> asOf = std::nullopt) {
        return {L"C:\\Data\\Docs", L"E:\\Save", into, asOf};
    }
};

TEST_F(RestoreSeam, AStopInsideABigFileRemovesWhatWasWrittenOfIt) {
    const std::wstring big = kVersions + VersionFileName(L"1 big.iso", LocalTime{2020, 3, 1, 0, 0, 0});
    fs.AddFile(big, "").virtualSize = 50000000;
    fs.AddFile(L"E:\\Save\\Docs\\1 big.iso", "the later copy");
    fs.AddFile(L"E:\\Save\\Docs\\2 next.txt", "next");
    restore.SetClock(SlowClock);
    int positionAtStop = -1;
    s.onMessages = [&] {
        if (s.status != big || positionAtStop >= 0) return;
        positionAtStop = s.position;  // inside the file: its first bytes are on the bar
        restore.RequestStop();
    };
    restore.Run(Request(L"D:\\Out", LocalTime{2020, 2, 1, 0, 0, 0}));
    EXPECT_GT(positionAtStop, 0);
    EXPECT_LT(positionAtStop, s.progressMax);
    EXPECT_EQ(s.Errors(), Lines{});
    ASSERT_GE(s.log.size(), 2u);
    EXPECT_EQ(s.log[s.log.size() - 2].rfind(L"*** Visszaállítás megszakítva: ", 0), 0u);
    EXPECT_EQ(s.log.back().rfind(L"*** Visszaállítás kész: ", 0), 0u);
    EXPECT_EQ(s.stopped, std::vector<bool>{true});
    // The file restored before it is there; of the big one nothing, no temporary file.
    EXPECT_EQ(fs.CountFiles(L"D:\\Out"), 1);
    ASSERT_NE(fs.Find(L"D:\\Out\\Docs\\2 next.txt"), nullptr);
    EXPECT_EQ(fs.Find(L"D:\\Out\\Docs\\1 big.iso"), nullptr);
    EXPECT_EQ(s.position, 0);
    EXPECT_FALSE(restore.UnderWay());
}

TEST_F(RestoreSeam, AFolderReachedThroughALinkToTheTargetOrTheSourceIsRefused) {
    fs.AddFile(L"E:\\Save\\Docs\\a.txt", "a");
    fs.AddFolder(L"C:\\Data");
    fs.AddFolder(L"C:\\Data\\Docs");
    fs.AddFolder(L"D:\\ToSave").linkTo = L"E:\\Save";
    fs.AddFolder(L"D:\\ToSource").linkTo = L"C:\\Data\\Docs";
    EXPECT_EQ(restore.Refusal(Request(L"D:\\ToSave\\Out")),
              L"A visszaállítás nem kerülhet a cél mappába vagy alá: D:\\ToSave\\Out");
    EXPECT_EQ(restore.Refusal(Request(L"D:\\ToSource")),
              L"A visszaállítás nem kerülhet a forrás mappába vagy alá: D:\\ToSource");
    restore.Run(Request(L"D:\\ToSave\\Out"));
    EXPECT_EQ(s.log, Lines{});
    EXPECT_EQ(fs.Find(L"D:\\ToSave\\Out"), nullptr);
    EXPECT_EQ(restore.Refusal(Request(L"D:\\Elsewhere")), L"");
}

TEST_F(RestoreSeam, AVersionFolderThatCannotBeListedGivesALineAndTheRestGoesOn) {
    fs.AddFile(L"E:\\Save\\Docs\\a.txt", "a");
    fs.AddFile(L"E:\\Save\\Docs\\Sub\\b.txt", "b");
    fs.AddFile(kVersions + L"Sub\\" + VersionFileName(L"b.txt", LocalTime{2020, 3, 1, 0, 0, 0}), "b0");
    fs.Find(kVersions + L"Sub")->unlistable = true;
    restore.Run(Request(L"D:\\Out"));
    EXPECT_EQ(s.Errors(), Lines{L"Hiba: " + kVersions + L"Sub : error 5"});
    EXPECT_EQ(s.finished, std::vector<int>{1});
    EXPECT_EQ(fs.Find(L"D:\\Out\\Docs\\a.txt")->data, "a");
    EXPECT_EQ(fs.Find(L"D:\\Out\\Docs\\Sub\\b.txt")->data, "b");
}

// A copy that cannot be read and a full disk: each a line, the others restored.
TEST_F(RestoreSeam, FilesThatFailAreReportedOneByOne) {
    fs.AddFile(L"E:\\Save\\Docs\\1.txt", "one").locked = true;
    fs.AddFile(L"E:\\Save\\Docs\\2.txt", "two");
    fs.AddFile(L"E:\\Save\\Docs\\3.txt", "three");
    fs.freeBytes = 3;  // "two" fits, "three" does not
    restore.Run(Request(L"D:\\Out"));
    EXPECT_EQ(s.Errors(),
              (Lines{L"Hiba: E:\\Save\\Docs\\1.txt : Cannot open file \"E:\\Save\\Docs\\1.txt\". error 32",
                     L"Hiba: E:\\Save\\Docs\\3.txt : Stream write error"}));
    EXPECT_EQ(fs.CountFiles(L"D:\\Out"), 1);
    EXPECT_EQ(fs.Find(L"D:\\Out\\Docs\\2.txt")->data, "two");
}

}  // namespace
