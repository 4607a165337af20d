// What Wine cannot show, through a file system that behaves as Windows does.
#include <gtest/gtest.h>

#include <cwchar>
#include <new>

#include "common/Exception.h"
#include "tests/engine/FakeFileSystem.h"
#include "tests/engine/RecordingSurroundings.h"

using namespace pelvane;
using Lines = std::vector<std::wstring>;

namespace {

constexpr uint32_t kArchive = FILE_ATTRIBUTE_ARCHIVE, kReadOnly = FILE_ATTRIBUTE_READONLY,
                   kHidden = FILE_ATTRIBUTE_HIDDEN;
constexpr int32_t kSourceDate = 0x4A6E6000;

// A clock that moves 40 ms each time it is read: a copy lets the window work
// every third block or so.
uint64_t fakeNow = 0;
uint64_t SlowClock() {
    return fakeNow += 40;
}

class SeamRun : public ::testing::Test {
  protected:
    FakeFileSystem fs;
    RecordingSurroundings s{{{L"C:\\Data\\Docs", L"E:\\Save"}}};
    RecordedRun engine{s, fs};

    SeamRun() {
        fs.AddFolder(L"C:");
        fs.AddFolder(L"E:");
        fs.AddFolder(L"E:\\Save");
    }
    FakeFileSystem::Node& Source(const std::wstring& name, std::string data, uint32_t attributes = kArchive) {
        auto& n = fs.AddFile(L"C:\\Data\\Docs\\" + name, std::move(data), attributes);
        n.date = kSourceDate;
        return n;
    }
    FakeFileSystem::Node* Copy(const std::wstring& name) { return fs.Find(L"E:\\Save\\Docs\\" + name); }
};

TEST_F(SeamRun, ArchiveMethodTakesOnlyFilesWithTheArchiveFlag) {
    Source(L"flagged.txt", "12345");
    Source(L"clean.txt", "123", 0);
    s.method = 1;
    engine.Run();
    EXPECT_NE(Copy(L"flagged.txt"), nullptr);
    EXPECT_EQ(Copy(L"clean.txt"), nullptr);
    EXPECT_EQ(s.Body()[1], L"Összesen    5");
}

TEST_F(SeamRun, ArchiveMethodOverNamesOutsideTheCodePageAndLongPaths) {
    const std::wstring deep = std::wstring(L"Русский\\") + std::wstring(120, L'd') + L"\\" +
                              std::wstring(120, L'e') + L"\\" + std::wstring(120, L'f');
    const std::wstring japanese = L"日本語のファイル.txt", greek = L"Ελληνικά.txt", emoji = L"nyaralás 😀.jpg",
                       inDeep = deep + L"\\naïve façade.txt";
    Source(japanese, "ja");
    Source(greek, "el", 0);
    Source(emoji, "emoji");
    Source(inDeep, "deep");
    s.method = 1;
    engine.Run();
    EXPECT_TRUE(s.Errors().empty());
    EXPECT_EQ(Copy(japanese)->data, "ja");
    EXPECT_EQ(Copy(greek), nullptr);  // no archive flag
    EXPECT_EQ(Copy(emoji)->data, "emoji");
    const FakeFileSystem::Node* copy = Copy(inDeep);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->data, "deep");
    EXPECT_TRUE(copy->name == inDeep.substr(inDeep.find_last_of(L'\\') + 1));
    EXPECT_EQ(copy->date, kSourceDate);
}

TEST_F(SeamRun, ClearingTheArchiveFlagLeavesTheOtherBitsAndGivesTheCopyTheOldWord) {
    Source(L"ro.txt", "a", kReadOnly | kArchive);
    Source(L"plain.txt", "b", kHidden);
    s.clearArchiveFlag = true;
    engine.Run();
    EXPECT_EQ(fs.Find(L"C:\\Data\\Docs\\ro.txt")->attributes, kReadOnly);
    EXPECT_EQ(Copy(L"ro.txt")->attributes, kReadOnly | kArchive);
    EXPECT_EQ(Copy(L"ro.txt")->date, kSourceDate);  // dated before it became read-only
    EXPECT_EQ(fs.Find(L"C:\\Data\\Docs\\plain.txt")->attributes, kHidden);
    EXPECT_EQ(Copy(L"plain.txt")->attributes, kHidden);
}

TEST_F(SeamRun, ReadOnlyHiddenAndSystemCopiesAreReplaced) {
    Source(L"ro.txt", "new ro", kReadOnly);
    Source(L"hidden.txt", "new hidden", kHidden | kArchive);
    Source(L"system.txt", "new system", FILE_ATTRIBUTE_SYSTEM);
    fs.AddFile(L"E:\\Save\\Docs\\ro.txt", "old", kReadOnly);
    fs.AddFile(L"E:\\Save\\Docs\\hidden.txt", "old", kHidden);
    fs.AddFile(L"E:\\Save\\Docs\\system.txt", "old", FILE_ATTRIBUTE_SYSTEM);
    engine.Run();
    EXPECT_TRUE(s.Errors().empty());
    EXPECT_EQ(Copy(L"ro.txt")->data, "new ro");
    EXPECT_EQ(Copy(L"ro.txt")->attributes, kReadOnly);
    EXPECT_EQ(Copy(L"hidden.txt")->data, "new hidden");
    EXPECT_EQ(Copy(L"system.txt")->data, "new system");
    EXPECT_EQ(fs.CountFiles(L"E:\\Save"), 3);
}

TEST_F(SeamRun, AFullDiskKeepsTheOldCopyIntactAndUndated) {
    Source(L"big.bin", std::string(400000, 'n'));
    auto& old = fs.AddFile(L"E:\\Save\\Docs\\big.bin", "previous good copy");
    old.date = 0x30000000;
    fs.freeBytes = 300000;
    engine.SetClock(SlowClock);  // the bar moves within the file, and goes back when it fails
    engine.Run();
    EXPECT_EQ(s.Errors(), Lines{L"Hiba: C:\\Data\\Docs\\big.bin : Stream write error"});
    EXPECT_EQ(Copy(L"big.bin")->data, "previous good copy");
    EXPECT_EQ(Copy(L"big.bin")->date, 0x30000000);
    EXPECT_EQ(fs.CountFiles(L"E:\\Save"), 1);  // the partial copy is gone
    EXPECT_GT(s.steps, 0);
    EXPECT_EQ(s.stepped, 0);
}

TEST_F(SeamRun, AnUnknownSizeNeverGivesAnEmptyCopy) {
    Source(L"a.txt", "content").sizeUnreadable = true;
    fs.AddFile(L"E:\\Save\\Docs\\a.txt", "previous");
    engine.Run();
    EXPECT_EQ(s.Errors(), Lines{L"Hiba: C:\\Data\\Docs\\a.txt : Stream read error"});
    EXPECT_EQ(Copy(L"a.txt")->data, "previous");
}

TEST_F(SeamRun, FailedCopiesAreNotStampedAndKeepTheSourcesArchiveFlag) {
    Source(L"locked.txt", "x").locked = true;
    auto& stale = fs.AddFile(L"E:\\Save\\Docs\\locked.txt", "stale");
    stale.date = 0x30000000;
    s.clearArchiveFlag = true;
    engine.Run();
    ASSERT_EQ(s.Errors().size(), 1u);
    EXPECT_EQ(
        s.Errors()[0],
        L"Hiba: C:\\Data\\Docs\\locked.txt : Cannot open file \"C:\\Data\\Docs\\locked.txt\". error 32");
    EXPECT_EQ(Copy(L"locked.txt")->date, 0x30000000);
    EXPECT_EQ(fs.Find(L"C:\\Data\\Docs\\locked.txt")->attributes, kArchive);
}

TEST_F(SeamRun, AnExcludedFileIsLeftEntirelyAlone) {
    // Stamping an older copy with the source's date would make it look
    // current to the newer method once the exclusion is lifted.
    Source(L"a.TMP", "new", kArchive | kHidden);
    Source(L"Only excluded\\b.tmp", "b");
    auto& old = fs.AddFile(L"E:\\Save\\Docs\\a.TMP", "old", 0);
    old.date = 0x30000000;
    s.clearArchiveFlag = true;
    engine.Run();
    EXPECT_EQ(Copy(L"a.TMP")->data, "old");
    EXPECT_EQ(Copy(L"a.TMP")->date, 0x30000000);
    EXPECT_EQ(Copy(L"a.TMP")->attributes, 0u);
    EXPECT_EQ(fs.Find(L"C:\\Data\\Docs\\a.TMP")->attributes, kArchive | kHidden);
    EXPECT_EQ(Copy(L"Only excluded"), nullptr);  // no folder for files that are not copied
    EXPECT_EQ(s.stepped, 4);                     // the bar still counts them
    EXPECT_EQ(s.status, L"");
}

TEST_F(SeamRun, AFolderWhereTheCopyGoesGivesACreateError) {
    Source(L"name", "data");
    fs.AddFolder(L"E:\\Save\\Docs");
    fs.AddFolder(L"E:\\Save\\Docs\\name");
    engine.Run();
    EXPECT_EQ(s.Errors(),
              Lines{L"Hiba: C:\\Data\\Docs\\name : Cannot create file \"E:\\Save\\Docs\\name\". error 5"});
    EXPECT_TRUE(Copy(L"name")->folder);
    EXPECT_EQ(fs.CountFiles(L"E:\\Save"), 0);
}

// The copy is given the word as read, which "unknown" leaves alone (the real
// file system's guard is tested on real files); the source's archive flag is
// cleared from the word, so an unknown word must stop that.
TEST_F(SeamRun, AnUnreadableAttributeWordLeavesTheSourceAsItIs) {
    Source(L"a.txt", "data", kArchive | kHidden).attributesUnreadable = true;
    fs.AddFile(L"E:\\Save\\Docs\\a.txt", "old", kHidden);
    s.clearArchiveFlag = true;
    engine.Run();
    EXPECT_EQ(s.Errors(), Lines{});
    EXPECT_EQ(Copy(L"a.txt")->data, "data");
    EXPECT_EQ(Copy(L"a.txt")->date, kSourceDate);
    EXPECT_EQ(fs.Find(L"C:\\Data\\Docs\\a.txt")->attributes, kArchive | kHidden);
}

TEST_F(SeamRun, ADriveRootSourceMapsToAnInvalidPath) {
    RecordingSurroundings root{{{L"C:\\", L"E:\\Save"}}};
    fs.AddFile(L"C:\\a.txt", "x");
    RecordedRun e(root, fs);
    e.Run();
    EXPECT_EQ(root.Body()[2], L"Hiba: C:\\a.txt : Cannot create file \"E:\\Save\\C:\\a.txt\". error 123");
}

TEST_F(SeamRun, TotalsOfManyGigabytesAreShownInFullAndScaledForTheBar) {
    Source(L"huge.iso", "").virtualSize = 5000000000ULL;  // excluded: counted, not copied
    Source(L"more.iso", "").virtualSize = 4294967296ULL;
    s.excluded = ".iso";
    engine.Run();
    EXPECT_EQ(s.Body()[1], L"Összesen 9 294 967 296");
    EXPECT_GT(s.progressMax, 0);
    EXPECT_EQ(s.stepped, s.progressMax);  // the bar ends full
}

TEST_F(SeamRun, EmptyFoldersOfATaskAreReportedAndTheRunGoesOn) {
    RecordingSurroundings t{{{L"", L"E:\\Save"}, {L"C:\\Data\\Docs", L""}, {L"C:\\Data\\Docs", L"E:\\Save"}}};
    Source(L"a.txt", "x");
    RecordedRun e(t, fs);
    e.Run();
    EXPECT_EQ(t.Body(),
              (Lines{L"*** Feladat:  >> E:\\Save", L"Hiba:  : Nincs megadva a forrás mappa",
                     L"*** Feladat: C:\\Data\\Docs >> ", L"Hiba: C:\\Data\\Docs : Nincs megadva a cél mappa",
                     L"*** Feladat: C:\\Data\\Docs >> E:\\Save", L"Összesen    1"}));
    EXPECT_NE(Copy(L"a.txt"), nullptr);
}

TEST_F(SeamRun, FoldersThatCannotBeListedAreReportedAndTheRunGoesOn) {
    Source(L"a.txt", "a");
    Source(L"Locked\\inner.txt", "i");
    Source(L"Locked\\Below\\deeper.txt", "d");
    Source(L"Open\\b.txt", "b");
    fs.Find(L"C:\\Data\\Docs\\Locked")->unlistable = true;
    RecordingSurroundings t{{{L"C:\\Data\\Docs", L"E:\\Save"}, {L"C:\\Data\\Gone", L"E:\\Save"}}};
    RecordedRun e(t, fs);
    e.Run();
    EXPECT_EQ(t.Body(),
              (Lines{L"*** Feladat: C:\\Data\\Docs >> E:\\Save", L"Hiba: C:\\Data\\Docs\\Locked : error 5",
                     L"Összesen    2", L"*** Feladat: C:\\Data\\Gone >> E:\\Save",
                     L"Hiba: C:\\Data\\Gone : error 3", L"Összesen    0"}));
    EXPECT_EQ(t.finished, std::vector<int>{2});
    EXPECT_NE(Copy(L"a.txt"), nullptr);
    EXPECT_NE(Copy(L"Open\\b.txt"), nullptr);
}

TEST_F(SeamRun, ALinkBackToAFolderAboveIsReportedNotFollowed) {
    Source(L"a.txt", "a");
    Source(L"Sub\\b.txt", "b");
    fs.AddFolder(L"C:\\Data\\Docs\\Sub\\up").linkTo = L"C:\\Data\\Docs";
    fs.Find(L"C:\\Data\\Docs\\Sub\\up")->attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    Source(L"Sub\\up\\seen through the link.txt", "x");
    fs.AddFolder(L"C:\\Data\\Docs\\elsewhere").linkTo = L"C:\\Other";
    fs.Find(L"C:\\Data\\Docs\\elsewhere")->attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    Source(L"elsewhere\\c.txt", "c");
    engine.Run();
    EXPECT_EQ(s.Errors(), Lines{L"Hiba: C:\\Data\\Docs\\Sub\\up : error 1921"});
    EXPECT_EQ(fs.CountFiles(L"E:\\Save"), 3);  // a, b and the link that leads elsewhere
    EXPECT_NE(Copy(L"elsewhere\\c.txt"), nullptr);
}

TEST_F(SeamRun, AStopInsideAFileEndsItsCopyAndKeepsTheOldOne) {
    Source(L"1 big.iso", "").virtualSize = 50000000;
    Source(L"2 next.txt", "next");
    auto& old = fs.AddFile(L"E:\\Save\\Docs\\1 big.iso", "previous good copy");
    old.date = 0x30000000;
    engine.SetClock(SlowClock);
    s.clearArchiveFlag = true;
    int positionAtStop = -1;
    s.onMessages = [&] {
        if (s.status != L"C:\\Data\\Docs\\1 big.iso" || positionAtStop >= 0) return;
        positionAtStop = s.position;  // inside the file: its first bytes are on the bar
        engine.RequestStop();
    };
    engine.Run();
    EXPECT_GT(positionAtStop, 0);
    EXPECT_LT(positionAtStop, s.progressMax);
    EXPECT_EQ(s.Body(), (Lines{L"*** Feladat: C:\\Data\\Docs >> E:\\Save", L"Összesen  50 000 004"}));
    EXPECT_EQ(s.log.back().rfind(L"*** Mentés kész: ", 0), 0u);
    EXPECT_EQ(Copy(L"1 big.iso")->data, "previous good copy");
    EXPECT_EQ(Copy(L"1 big.iso")->date, 0x30000000);
    EXPECT_EQ(Copy(L"2 next.txt"), nullptr);
    EXPECT_EQ(fs.CountFiles(L"E:\\Save"), 1);  // no temporary file left
    EXPECT_EQ(fs.Find(L"C:\\Data\\Docs\\1 big.iso")->attributes, kArchive);
    EXPECT_EQ(s.position, 0);
}

TEST_F(SeamRun, MessagesAreProcessedInsideACopyByTheClockNotPerBlock) {
    for (int i = 0; i < 5; ++i) Source(std::to_wstring(i) + L".txt", std::string(200000, 'x'));
    engine.SetClock([]() -> uint64_t { return 0; });  // time stands still
    engine.Run();
    EXPECT_EQ(s.messageCalls, 1 + 5 + 5);  // the scan, the mapping pass, the copy pass
}

TEST_F(SeamRun, NewerMethodListsEachTargetFolderOnceAndOpensNoFileWhenNothingIsNewer) {
    Source(L"a.txt", "a");
    Source(L"B.txt", "b");
    Source(L"Sub\\c.txt", "c");
    Source(L"Sub\\d.txt", "d");
    s.method = 2;
    engine.Run();
    EXPECT_EQ(fs.CountFiles(L"E:\\Save\\Docs"), 4);

    // A copy whose name differs only in case is the same file.
    fs.Find(L"E:\\Save\\Docs\\B.txt")->name = L"b.TXT";
    fs.listings = fs.opens = 0;
    s.stepped = 0;
    engine.Run();
    EXPECT_EQ(fs.opens, 0);
    EXPECT_EQ(fs.listings, 2 + 2);  // each source and each target folder once
    EXPECT_EQ(s.stepped, 0);

    // A changed source is copied again; an older one is not.
    Source(L"Sub\\c.txt", "changed").date = kSourceDate + 1;
    fs.Find(L"C:\\Data\\Docs\\a.txt")->date = kSourceDate - 1;
    engine.Run();
    EXPECT_EQ(fs.opens, 1);
    EXPECT_EQ(Copy(L"Sub\\c.txt")->data, "changed");
    EXPECT_EQ(Copy(L"a.txt")->date, kSourceDate);
}

TEST_F(SeamRun, NewerMethodCopiesOverCopiesWithoutAUsableDate) {
    Source(L"undated.txt", "new");
    Source(L"folder", "new");
    fs.AddFile(L"E:\\Save\\Docs\\undated.txt", "old").date = -1;
    fs.AddFolder(L"E:\\Save\\Docs\\folder");
    s.method = 2;
    engine.Run();
    EXPECT_EQ(Copy(L"undated.txt")->data, "new");
    // A folder in the way is no copy: the file is tried and the failure reported.
    EXPECT_EQ(s.Errors().size(), 1u);
}

TEST_F(SeamRun, ATargetFolderRemovedBetweenRunsIsMadeAgain) {
    Source(L"Sub\\a.txt", "a");
    engine.Run();
    ASSERT_NE(Copy(L"Sub\\a.txt"), nullptr);
    fs.Remove(L"E:\\Save\\Docs");
    engine.Run();
    EXPECT_TRUE(s.Errors().empty());
    EXPECT_NE(Copy(L"Sub\\a.txt"), nullptr);
}

TEST_F(SeamRun, ATargetFolderRemovedDuringARunIsMadeAgain) {
    Source(L"1.txt", "1");
    Source(L"2.txt", "2");
    s.onMessages = [&] {
        if (Copy(L"1.txt") && !Copy(L"2.txt")) fs.Remove(L"E:\\Save\\Docs");
    };
    engine.Run();
    EXPECT_TRUE(s.Errors().empty());
    EXPECT_NE(Copy(L"2.txt"), nullptr);
}

// Task rows whose walk fails after the first task.
class FailingRows : public MemoryTaskRows {
  public:
    using MemoryTaskRows::MemoryTaskRows;
    void Next() override { throw Exception("Table closed"); }
};

TEST_F(SeamRun, AFailureOutsideTheFilesEndsTheRunCleanly) {
    FailingRows rows({{L"C:\\Data\\Docs", L"E:\\Save"}, {L"C:\\Other", L"E:\\Save"}});
    s.taskRows = &rows;
    RecordedRun engine(s, fs);
    Source(L"a.txt", "x");
    engine.Run();
    EXPECT_EQ(s.log[s.log.size() - 2], L"Hiba: Table closed");
    EXPECT_EQ(s.log.back().rfind(L"*** Mentés kész: ", 0), 0u);
    EXPECT_EQ(s.finished, std::vector<int>{1});
    EXPECT_TRUE(s.runButton && s.grid && s.deleteAction);
    EXPECT_FALSE(s.stopButton);
    EXPECT_FALSE(engine.UnderWay());
}

TEST_F(SeamRun, AFailureThatEscapesATaskNamesItsSource) {
    // Long enough to live on the heap; the message is as long, so its text
    // would take the freed place of a source that was not kept.
    const std::wstring source = L"C:\\Data\\" + std::wstring(200, L's');
    const std::string message(source.size(), 'm');
    RecordingSurroundings t{{{source, L"E:\\Save"}}};
    fs.AddFile(source + L"\\a.txt", "x");
    t.onMessages = [&] { throw Exception(message); };
    RecordedRun e(t, fs);
    e.Run();
    ASSERT_EQ(t.log.size(), 4u);
    EXPECT_EQ(t.log[2], L"Hiba: " + source + L" : " + std::wstring(message.begin(), message.end()));
    EXPECT_TRUE(t.runButton && t.grid);
}

TEST_F(SeamRun, AnEmptyTableShowsTheErrorBoxOnly) {
    RecordingSurroundings empty;
    RecordedRun e(empty, fs);
    e.Run();
    EXPECT_EQ(empty.errors, std::vector<std::string>{"Nincs végrehajtható feladat"});
    EXPECT_TRUE(empty.log.empty());
    EXPECT_TRUE(empty.finished.empty());
    EXPECT_TRUE(empty.grid && empty.deleteAction && empty.runButton);
    EXPECT_FALSE(empty.logPage);
}

TEST_F(SeamRun, StartRequestsDuringARunAreIgnored) {
    Source(L"a.txt", "x");
    Source(L"b.txt", "y");
    s.onMessages = [&] { engine.Run(); };  // a timer tick inside the run
    engine.Run();
    EXPECT_EQ(s.log.size(), 4u);
    EXPECT_EQ(s.log[0].rfind(L"*** Mentés indul: ", 0), 0u);
    EXPECT_TRUE(s.runButton);
}

TEST_F(SeamRun, ControlsDuringARun) {
    Source(L"a.txt", "x");
    bool checked = false;
    s.onMessages = [&] {
        if (checked) return;
        checked = true;
        EXPECT_FALSE(s.runButton);
        EXPECT_TRUE(s.stopButton);
        EXPECT_FALSE(s.grid);
        EXPECT_FALSE(s.deleteAction);
        EXPECT_TRUE(s.logPage);
        EXPECT_TRUE(engine.UnderWay());
        EXPECT_FALSE(engine.StopRequested());
    };
    engine.Run();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(s.runButton && s.grid && s.deleteAction);
    EXPECT_FALSE(s.stopButton);
    EXPECT_EQ(s.status, L"");
    EXPECT_EQ(s.finished, std::vector<int>{0});
}

// A temporary file that another run is writing.

TEST_F(SeamRun, AnotherRunsTemporaryFileIsNeitherRemovedNorInTheWay) {
    Source(L"a.txt", "data");
    fs.AddFolder(L"E:\\Save\\Docs");
    DWORD error = 0;
    // Windows refuses to open or create a file of that name while it is being written.
    std::unique_ptr<FileStream> other = fs.CreateNew(L"E:\\Save\\Docs\\~pelvane.tmp", error);
    ASSERT_TRUE(other);
    other->DeleteOnClose();
    engine.Run();
    EXPECT_EQ(s.Errors(), Lines{});
    ASSERT_NE(Copy(L"a.txt"), nullptr);
    EXPECT_EQ(Copy(L"a.txt")->data, "data");
    EXPECT_NE(Copy(L"~pelvane.tmp"), nullptr);
    other.reset();
    EXPECT_EQ(fs.CountFiles(L"E:\\Save"), 1);
}

// Tasks whose copies would land in one folder, and names that would share a copy.

const std::wstring kCollision =
    L" : Ugyanabba a mappába (E:\\Save\\Documents) mentene, mint egy korábbi feladat ";

TEST_F(SeamRun, OfTwoTasksWhoseCopiesShareAFolderTheLaterIsNotRun) {
    fs.AddFile(L"C:\\Users\\anna\\Documents\\a.txt", "anna");
    fs.AddFile(L"D:\\Work\\documents\\a.txt", "work");
    fs.AddFile(L"D:\\Other\\b.txt", "b");
    // Compared without regard to case and trailing backslashes.
    RecordingSurroundings t{{{L"C:\\Users\\anna\\Documents", L"E:\\Save"},
                             {L"D:\\Work\\documents\\", L"e:\\save\\"},
                             {L"D:\\Other", L"E:\\Save"}}};
    RecordedRun e(t, fs);
    e.Run();
    EXPECT_EQ(t.Body(), (Lines{L"*** Feladat: C:\\Users\\anna\\Documents >> E:\\Save", L"Összesen    4",
                               L"*** Feladat: D:\\Work\\documents\\ >> e:\\save\\",
                               L"Hiba: D:\\Work\\documents\\" + kCollision +
                                   L"(C:\\Users\\anna\\Documents >> E:\\Save); nem fut le",
                               L"*** Feladat: D:\\Other >> E:\\Save", L"Összesen    1"}));
    EXPECT_EQ(fs.Find(L"E:\\Save\\Documents\\a.txt")->data, "anna");
    EXPECT_NE(fs.Find(L"E:\\Save\\Other\\b.txt"), nullptr);
    EXPECT_EQ(t.finished, std::vector<int>{1});

    // Nor when it runs alone, as the current task.
    t.log.clear();
    t.currentTaskOnly = true;
    t.rows.MoveTo(1);
    e.Run();
    EXPECT_EQ(t.Errors(), Lines{L"Hiba: D:\\Work\\documents\\" + kCollision +
                                L"(C:\\Users\\anna\\Documents >> E:\\Save); nem fut le"});
    EXPECT_EQ(fs.Find(L"E:\\Save\\Documents\\a.txt")->data, "anna");
    EXPECT_EQ(t.rows.Source(), L"D:\\Work\\documents\\");  // the cursor stays
}

TEST_F(SeamRun, NamesThatDifferOnlyInCaseAreReportedNotCopiedOverEachOther) {
    Source(L"readme.txt", "lower").twins = {L"README.txt"};
    Source(L"Sub\\x.txt", "x");
    fs.Find(L"C:\\Data\\Docs\\Sub")->twins = {L"SUB"};
    s.method = 2;  // each would make the other look current
    engine.Run();
    EXPECT_EQ(
        s.Body(),
        (Lines{L"*** Feladat: C:\\Data\\Docs >> E:\\Save",
               L"Hiba: C:\\Data\\Docs\\README.txt : Csak kis- és nagybetűben különbözik ettől: "
               L"readme.txt; a másolatuk ugyanoda kerülne",
               L"Hiba: C:\\Data\\Docs\\SUB : Csak kis- és nagybetűben különbözik ettől: Sub; a másolatuk "
               L"ugyanoda kerülne",
               L"Összesen    6"}));
    EXPECT_EQ(Copy(L"readme.txt")->data, "lower");
    EXPECT_EQ(fs.opens, 2);  // readme.txt and Sub\x.txt, once each
}

// A stop, during the scan or the copies, and a failure that escapes one task.

TEST_F(SeamRun, AStoppedRunSaysSoBeforeItsEndLine) {
    Source(L"1.txt", "1");
    Source(L"2.txt", "2");
    s.onMessages = [&] {
        if (Copy(L"1.txt")) engine.RequestStop();
    };
    engine.Run();
    ASSERT_GE(s.log.size(), 2u);
    const std::wstring stopped = s.log[s.log.size() - 2], end = s.log.back();
    EXPECT_EQ(stopped.rfind(L"*** Mentés megszakítva: ", 0), 0u) << stopped;
    EXPECT_EQ(end.rfind(L"*** Mentés kész: ", 0), 0u) << end;
    // The same timestamp form as the start line.
    EXPECT_EQ(stopped.size() - wcslen(L"*** Mentés megszakítva: "),
              end.size() - wcslen(L"*** Mentés kész: "));
    EXPECT_EQ(s.stopped, std::vector<bool>{true});
    EXPECT_EQ(Copy(L"2.txt"), nullptr);

    // The next run, not stopped, says nothing of it.
    s.onMessages = nullptr;
    engine.Run();
    EXPECT_EQ(s.stopped, (std::vector<bool>{true, false}));
    EXPECT_EQ(s.log[s.log.size() - 2], L"Összesen    2");
}

TEST_F(SeamRun, AStopDuringTheScanEndsItAtTheNextFolder) {
    for (int i = 0; i < 5; ++i) Source(L"Sub" + std::to_wstring(i) + L"\\a.txt", "x");
    RecordingSurroundings t{{{L"C:\\Data\\Docs", L"E:\\Save"}, {L"C:\\Data\\Docs", L"E:\\Other"}}};
    RecordedRun e(t, fs);
    t.onMessages = [&] { e.RequestStop(); };  // at the first folder's listing
    e.Run();
    EXPECT_EQ(fs.listings, 1);
    EXPECT_EQ(t.Body(), (Lines{L"*** Feladat: C:\\Data\\Docs >> E:\\Save",
                               L"*** Feladat: C:\\Data\\Docs >> E:\\Other"}));
    EXPECT_EQ(fs.CountFiles(L"E:\\"), 0);
    EXPECT_EQ(t.stopped, std::vector<bool>{true});
}

TEST_F(SeamRun, AFailureThatEscapesOneTaskEndsOnlyThatTask) {
    Source(L"a.txt", "a");
    fs.AddFile(L"C:\\Data\\Next\\b.txt", "b");
    RecordingSurroundings t{{{L"C:\\Data\\Docs", L"E:\\Save"}, {L"C:\\Data\\Next", L"E:\\Save"}}};
    t.onMessages = [&] {
        if (t.messageCalls == 1) throw std::bad_alloc();  // a huge tree on the 32-bit build
    };
    RecordedRun e(t, fs);
    e.Run();
    EXPECT_EQ(t.Body(),
              (Lines{L"*** Feladat: C:\\Data\\Docs >> E:\\Save", L"Hiba: C:\\Data\\Docs : Nincs elég memória",
                     L"*** Feladat: C:\\Data\\Next >> E:\\Save", L"Összesen    1"}));
    EXPECT_NE(fs.Find(L"E:\\Save\\Next\\b.txt"), nullptr);
    EXPECT_EQ(Copy(L"a.txt"), nullptr);
    EXPECT_EQ(t.finished, std::vector<int>{1});
    EXPECT_EQ(t.position, 0);
}

TEST_F(SeamRun, TaskStartedComesOnlyForTasksThatAreBackedUp) {
    fs.AddFile(L"C:\\A\\Docs\\a.txt", "a");
    fs.AddFile(L"C:\\A\\Docs\\z.txt", "z");
    fs.AddFile(L"C:\\B\\Docs\\b.txt", "b");   // its copies would go where A's went
    fs.AddFile(L"C:\\C\\Other\\c.txt", "c");  // the run is stopped before it
    RecordingSurroundings t{
        {{L"C:\\A\\Docs", L"E:\\Save"}, {L"C:\\B\\Docs", L"E:\\Save"}, {L"C:\\C\\Other", L"E:\\Save"}}};
    RecordedRun e(t, fs);
    e.SetClock([]() -> uint64_t { return 0; });  // no stop point inside a copy
    t.onMessages = [&] {
        if (fs.CountFiles(L"E:\\Save") > 0) e.RequestStop();
    };
    e.Run();
    EXPECT_EQ(t.tasksStarted, Lines{L"C:\\A\\Docs >> E:\\Save"});
    EXPECT_EQ(t.stopped, std::vector<bool>{true});
    EXPECT_EQ(fs.CountFiles(L"E:\\Save"), 1);
}

TEST(FormatTotal, FillsTheMaskFromTheRight) {
    EXPECT_EQ(FormatTotal(0), L"   0");
    EXPECT_EQ(FormatTotal(7), L"   7");
    EXPECT_EQ(FormatTotal(999), L"   999");
    EXPECT_EQ(FormatTotal(1000), L"  1 000");
    EXPECT_EQ(FormatTotal(1234567), L" 1 234 567");
    EXPECT_EQ(FormatTotal(2147483647), L"2 147 483 647");
    EXPECT_EQ(FormatTotal(1234567890123LL), L"1234 567 890 123");
}

}  // namespace
