// Versions, the change guard and the prune, where a real disk will not fail
// on demand: through a file system that behaves as Windows does.
#include <gtest/gtest.h>

#include "engine/VersionName.h"
#include "tests/engine/FakeFileSystem.h"
#include "tests/engine/RecordingSurroundings.h"

using namespace pelvane;
using Lines = std::vector<std::wstring>;

namespace {

constexpr uint32_t kArchive = FILE_ATTRIBUTE_ARCHIVE, kReadOnly = FILE_ATTRIBUTE_READONLY;
constexpr int32_t kOld = 0x4A6E6000, kNew = 0x4A6F6000;  // two packed dates a day apart
const std::wstring kVersions = L"E:\\Save\\Pelvane-v\u00e1ltozatok\\Docs\\";

// The local time of every replacement in these tests.
SYSTEMTIME ReplacedAt() {
    return SYSTEMTIME{2026, 12, 0, 9, 1, 30, 45, 0};
}

class VersionRun : public ::testing::Test {
  protected:
    FakeFileSystem fs;
    RecordingSurroundings s{{{L"C:\\Data\\Docs", L"E:\\Save"}}};
    RecordedRun engine{s, fs};

    VersionRun() {
        fs.AddFolder(L"C:");
        fs.AddFolder(L"E:");
        fs.AddFolder(L"E:\\Save");
        s.versionDays = 30;
        engine.SetLocalClock(ReplacedAt);
    }
    FakeFileSystem::Node& Source(const std::wstring& name, std::string data, int32_t date = kNew,
                                 uint32_t attributes = kArchive) {
        auto& n = fs.AddFile(L"C:\\Data\\Docs\\" + name, std::move(data), attributes);
        n.date = date;
        return n;
    }
    FakeFileSystem::Node& OldCopy(const std::wstring& name, std::string data, int32_t date = kOld,
                                  uint32_t attributes = kArchive) {
        auto& n = fs.AddFile(L"E:\\Save\\Docs\\" + name, std::move(data), attributes);
        n.date = date;
        return n;
    }
    FakeFileSystem::Node* Copy(const std::wstring& name) { return fs.Find(L"E:\\Save\\Docs\\" + name); }
    FakeFileSystem::Node* Version(const std::wstring& name) { return fs.Find(kVersions + name); }
    int Versions() { return fs.CountFiles(L"E:\\Save\\Pelvane-v\u00e1ltozatok"); }
};

TEST_F(VersionRun, ACopyOfOtherContentMovesToItsVersionAndOnlySuchACopyDoes) {
    Source(L"Jelentés.docx", "new");
    OldCopy(L"Jelentés.docx", "old");
    Source(L"sized.txt", "longer", kOld);
    OldCopy(L"sized.txt", "short");  // the same date, another size
    Source(L"same.txt", "same", kOld);
    OldCopy(L"same.txt", "SAME");  // the same date and size: written over, no version
    Source(L"near.txt", "near", kOld)
        .date.SetUtc(fs.Find(L"C:\\Data\\Docs\\same.txt")->date.Utc() + 10000000);
    OldCopy(L"near.txt", "NEAR");  // a second apart: the same date
    Source(L"new.txt", "first");
    Source(L"Sub\\README", "new readme");
    OldCopy(L"Sub\\README", "old readme", kOld, kReadOnly);
    s.clearArchiveFlag = true;
    engine.Run();

    EXPECT_EQ(s.Errors(), Lines{});
    EXPECT_EQ(Copy(L"Jelentés.docx")->data, "new");
    const FakeFileSystem::Node* version = Version(L"Jelentés (2026-12-09 013045).docx");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->data, "old");
    EXPECT_EQ(version->date, kOld);  // moved, not copied: the old copy as it was
    ASSERT_NE(Version(L"sized (2026-12-09 013045).txt"), nullptr);
    EXPECT_EQ(Version(L"sized (2026-12-09 013045).txt")->data, "short");
    EXPECT_EQ(Copy(L"same.txt")->data, "same");
    EXPECT_EQ(Copy(L"near.txt")->data, "near");
    EXPECT_EQ(Copy(L"new.txt")->data, "first");
    // A name without extension gets none; a read-only copy keeps its attribute in its version.
    ASSERT_NE(Version(L"Sub\\README (2026-12-09 013045)"), nullptr);
    EXPECT_EQ(Version(L"Sub\\README (2026-12-09 013045)")->data, "old readme");
    EXPECT_EQ(Version(L"Sub\\README (2026-12-09 013045)")->attributes, kReadOnly);
    EXPECT_EQ(Copy(L"Sub\\README")->data, "new readme");
    EXPECT_EQ(Versions(), 3);
    EXPECT_EQ(fs.Find(L"C:\\Data\\Docs\\Jelentés.docx")->attributes, 0u);  // a saved file loses its flag

    // The newer method: only a newer file replaces its copy, and keeps its version.
    s.method = 2;
    Source(L"new.txt", "second", kNew + 0x20000);
    Source(L"same.txt", "older than its copy", kOld - 0x20000);
    engine.Run();
    EXPECT_EQ(Copy(L"new.txt")->data, "second");
    EXPECT_EQ(Copy(L"same.txt")->data, "same");
    EXPECT_EQ(Version(L"new (2026-12-09 013045).txt")->data, "first");
    EXPECT_EQ(Versions(), 4);
}

TEST_F(VersionRun, NoVersionsKeptReplacesAsBeforeAndRemovesNone) {
    s.versionDays = 0;
    Source(L"a.txt", "new");
    OldCopy(L"a.txt", "old");
    fs.AddFile(kVersions + L"a (2000-01-01 000000).txt", "ancient");
    engine.Run();
    EXPECT_EQ(Copy(L"a.txt")->data, "new");
    EXPECT_EQ(Versions(), 1);
    EXPECT_NE(Version(L"a (2000-01-01 000000).txt"), nullptr);
}

TEST_F(VersionRun, ATakenVersionNameGivesTheNextFreeSecond) {
    Source(L"a.txt", "third");
    OldCopy(L"a.txt", "second");
    fs.AddFile(kVersions + L"a (2026-12-09 013045).txt", "first");
    fs.AddFolder(kVersions + L"a (2026-12-09 013046).txt");  // a folder by that name counts as taken too
    engine.Run();
    EXPECT_EQ(s.Errors(), Lines{});
    EXPECT_EQ(Version(L"a (2026-12-09 013045).txt")->data, "first");
    ASSERT_NE(Version(L"a (2026-12-09 013047).txt"), nullptr);
    EXPECT_EQ(Version(L"a (2026-12-09 013047).txt")->data, "second");
    EXPECT_EQ(Copy(L"a.txt")->data, "third");
}

// No right to rename, a copy held open by another program, a file where the
// version folder should be: the copy stays as it is, dated as it was, and
// the source keeps its archive flag for the next run.
TEST_F(VersionRun, AVersionThatCannotBeMadeLeavesTheCopyAsItIs) {
    Source(L"refused.txt", "new");
    OldCopy(L"refused.txt", "old refused");
    Source(L"locked.txt", "new");
    OldCopy(L"locked.txt", "old locked").locked = true;
    Source(L"Sub\\blocked.txt", "new");
    OldCopy(L"Sub\\blocked.txt", "old blocked");
    fs.AddFile(kVersions + L"Sub", "a file, not a folder");
    Source(L"fine.txt", "new");
    OldCopy(L"fine.txt", "old fine");
    fs.refuseName = [](const std::wstring& to) -> DWORD {
        return to.find(L"refused (") != std::wstring::npos ? ERROR_ACCESS_DENIED : 0;
    };
    s.clearArchiveFlag = true;
    engine.Run();

    const std::wstring cannot = L" : A régi másolat nem tehető félre változatként (\"" + kVersions;
    EXPECT_EQ(
        s.Errors(),
        (Lines{L"Hiba: C:\\Data\\Docs\\locked.txt" + cannot + L"locked (2026-12-09 013045).txt\"). error " +
                   std::to_wstring(ERROR_SHARING_VIOLATION) + L" A másolat változatlan maradt.",
               L"Hiba: C:\\Data\\Docs\\refused.txt" + cannot + L"refused (2026-12-09 013045).txt\"). error " +
                   std::to_wstring(ERROR_ACCESS_DENIED) + L" A másolat változatlan maradt.",
               L"Hiba: C:\\Data\\Docs\\Sub\\blocked.txt" + cannot +
                   L"Sub\\blocked (2026-12-09 013045).txt\"). error " +
                   std::to_wstring(ERROR_PATH_NOT_FOUND) + L" A másolat változatlan maradt."}));
    for (const wchar_t* name : {L"refused.txt", L"locked.txt", L"Sub\\blocked.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Copy(name)->data.substr(0, 4), "old ");
        EXPECT_EQ(Copy(name)->date, kOld);
        EXPECT_EQ(fs.Find(L"C:\\Data\\Docs\\" + std::wstring(name))->attributes, kArchive);
    }
    EXPECT_EQ(Copy(L"fine.txt")->data, "new");
    EXPECT_EQ(fs.CountFiles(L"E:\\Save\\Docs"), 4);  // no temporary file left
    EXPECT_EQ(Versions(), 2);                        // fine's, and the file in the way
}

// The old copy went to its version, then the new one could not take its
// name: the old one goes back, or the line says where it is.
TEST_F(VersionRun, APutInPlaceThatFailsAfterTheMoveSaysWhereTheOldCopyIs) {
    Source(L"back.txt", "new");
    OldCopy(L"back.txt", "old back");
    Source(L"stays.txt", "new");
    OldCopy(L"stays.txt", "old stays");
    int refusals = 0;
    fs.refuseName = [&](const std::wstring& to) -> DWORD {
        // back.txt's name is refused once (the new copy), stays.txt's every time (the way back too).
        if (to == L"E:\\Save\\Docs\\back.txt" && refusals++ == 0) return ERROR_ACCESS_DENIED;
        return to == L"E:\\Save\\Docs\\stays.txt" ? ERROR_ACCESS_DENIED : 0;
    };
    s.clearArchiveFlag = true;
    engine.Run();

    const std::wstring denied = L"\". error " + std::to_wstring(ERROR_ACCESS_DENIED);
    EXPECT_EQ(s.Errors(),
              (Lines{L"Hiba: C:\\Data\\Docs\\back.txt : Cannot create file \"E:\\Save\\Docs\\back.txt" +
                         denied + L" A régi másolat a helyére került vissza.",
                     L"Hiba: C:\\Data\\Docs\\stays.txt : Cannot create file \"E:\\Save\\Docs\\stays.txt" +
                         denied + L" A régi másolat a változatok között maradt: \"" + kVersions +
                         L"stays (2026-12-09 013045).txt\"."}));
    EXPECT_EQ(Copy(L"back.txt")->data, "old back");
    EXPECT_EQ(Version(L"back (2026-12-09 013045).txt"), nullptr);
    EXPECT_EQ(Copy(L"stays.txt"), nullptr);
    EXPECT_EQ(Version(L"stays (2026-12-09 013045).txt")->data, "old stays");
    EXPECT_EQ(fs.CountFiles(L"E:\\Save\\Docs"), 1);  // the temporary files are gone
    EXPECT_EQ(fs.Find(L"C:\\Data\\Docs\\back.txt")->attributes, kArchive);
    EXPECT_EQ(fs.Find(L"C:\\Data\\Docs\\stays.txt")->attributes, kArchive);
}

// A folder whose listing was refused looked empty, and a copy turned up
// during the run: neither is replaced without its version.
TEST_F(VersionRun, NoCopyIsReplacedWithoutItsVersionWhenTheDecisionMissedIt) {
    Source(L"Unlisted\\a.txt", "new a");
    OldCopy(L"Unlisted\\a.txt", "old a");
    fs.Find(L"E:\\Save\\Docs\\Unlisted")->unlistable = true;
    Source(L"late.txt", "new late");
    s.onMessages = [&] {
        // The copy pass has begun once the pass before it has decided both files.
        if (s.messageCalls == 2 + 2 + 1) OldCopy(L"late.txt", "old late");
    };
    engine.Run();
    EXPECT_EQ(s.Errors(), Lines{});
    EXPECT_EQ(Copy(L"Unlisted\\a.txt")->data, "new a");
    EXPECT_EQ(Version(L"Unlisted\\a (2026-12-09 013045).txt")->data, "old a");
    EXPECT_EQ(Copy(L"late.txt")->data, "new late");
    EXPECT_EQ(Version(L"late (2026-12-09 013045).txt")->data, "old late");
}

// A task of 40 copies: how many may change before the guard holds it.
class GuardRun : public VersionRun {
  protected:
    GuardRun() {
        s.changeGuard = 50;
        for (int i = 0; i < 40; ++i) {
            Source(Name(i), "same", kOld);
            OldCopy(Name(i), "same");
        }
    }
    static std::wstring Name(int i) { return (i % 2 ? L"Sub\\" : L"") + std::to_wstring(i) + L".txt"; }
    void Change(int from, int to) {
        for (int i = from; i < to; ++i) Source(Name(i), "changed");
    }
    int Changed() {
        int n = 0;
        for (int i = 0; i < 40; ++i) n += Copy(Name(i))->data == "changed";
        return n;
    }
};

TEST_F(GuardRun, MoreThanTheShareAndAtLeastTwentyChangedCopiesHoldTheTask) {
    Change(0, 21);
    Source(L"brand new.txt", "new");  // held too: nothing of the task is copied
    s.rows = MemoryTaskRows({{L"C:\\Data\\Docs", L"E:\\Save"}, {L"C:\\Data\\Mail", L"E:\\Save"}});
    fs.AddFile(L"C:\\Data\\Mail\\m.txt", "mail");
    engine.Run();

    EXPECT_EQ(Changed(), 0);
    EXPECT_EQ(Copy(L"brand new.txt"), nullptr);
    EXPECT_EQ(Versions(), 0);
    EXPECT_NE(fs.Find(L"E:\\Save\\Mail\\m.txt"), nullptr);  // the next task runs
    EXPECT_EQ(s.Errors(),
              Lines{L"Hiba: C:\\Data\\Docs : A feladat 40 másolatából 21 változna meg (több mint 50%), ami "
                    L"zsarolóvírus vagy lemezhiba jele lehet: a feladat most nem fut le. (how to go ahead)"});
    ASSERT_EQ(s.massChanges.size(), 1u);
    EXPECT_EQ(s.massChanges[0].source, L"C:\\Data\\Docs");
    EXPECT_EQ(s.massChanges[0].target, L"E:\\Save");
    EXPECT_EQ(s.massChanges[0].changed, 21u);
    EXPECT_EQ(s.massChanges[0].existing, 40u);
    EXPECT_EQ(s.massChanges[0].limit, 50);
    EXPECT_EQ(s.finished, std::vector<int>{1});

    // Let go ahead: every changed copy is replaced, each keeping its version.
    s.acceptMassChange = true;
    s.log.clear();
    engine.Run();
    EXPECT_EQ(Changed(), 21);
    EXPECT_EQ(Versions(), 21);
    EXPECT_EQ(s.Errors(), Lines{});
    EXPECT_EQ(
        s.Body()[2],
        L"Figyelem: C:\\Data\\Docs : A feladat 40 másolatából 21 változik meg (több mint 50%); a mentés "
        L"engedéllyel folytatódik");
}

TEST_F(GuardRun, ExactlyTheShareAndNewFilesDoNotHoldATask) {
    Change(0, 20);
    for (int i = 0; i < 30; ++i) Source(L"new" + std::to_wstring(i) + L".txt", "new");
    engine.Run();
    EXPECT_TRUE(s.massChanges.empty());
    EXPECT_EQ(Changed(), 20);
}

TEST_F(GuardRun, ExcludedFilesAreLeftAloneSoTheyDoNotCount) {
    Change(0, 10);
    for (int i = 0; i < 30; ++i) {
        Source(std::to_wstring(i) + L".tmp", "changed");
        OldCopy(std::to_wstring(i) + L".tmp", "same");
    }
    engine.Run();
    EXPECT_TRUE(s.massChanges.empty());  // 10 of 70, not 40
    EXPECT_EQ(Changed(), 10);
    EXPECT_EQ(Copy(L"0.tmp")->data, "same");
}

TEST_F(GuardRun, FewerThanTwentyOrTheGuardOffNeverHold) {
    s.changeGuard = 0;
    Change(0, 40);
    engine.Run();
    EXPECT_EQ(Changed(), 40);

    s.changeGuard = 50;
    for (int i = 0; i < 21; ++i) fs.Remove(L"C:\\Data\\Docs\\" + Name(i));
    for (int i = 21; i < 40; ++i) Source(Name(i), "changed again", kNew + 0x20000);  // 19 of 19
    engine.Run();
    EXPECT_TRUE(s.massChanges.empty());
    EXPECT_EQ(Copy(Name(39))->data, "changed again");
}

TEST_F(GuardRun, OnlyTheCopiesThemselvesCountAsExisting) {
    // Stale temporary files are no copies: 21 of 22.
    for (int i = 22; i < 40; ++i) fs.Remove(L"E:\\Save\\Docs\\" + Name(i));
    for (int i = 22; i < 40; ++i) fs.Remove(L"C:\\Data\\Docs\\" + Name(i));
    for (int i = 1; i < 20; ++i) fs.AddFile(L"E:\\Save\\Docs\\~pelvane" + std::to_wstring(i) + L".tmp", "");
    Change(0, 21);
    engine.Run();
    ASSERT_EQ(s.massChanges.size(), 1u);
    EXPECT_EQ(s.massChanges[0].existing, 22u);
}

// The archive method takes only the flagged files, but the copies of the
// others count: editing twenty files of one folder is no mass change.
TEST_F(GuardRun, TheArchiveMethodCountsTheCopiesOfFilesItDoesNotTake) {
    for (int i = 0; i < 40; ++i) fs.Find(L"C:\\Data\\Docs\\" + Name(i))->attributes = 0;
    for (int i = 0; i < 20; ++i) Source(L"Edited\\" + std::to_wstring(i) + L".txt", "changed");
    for (int i = 0; i < 20; ++i) OldCopy(L"Edited\\" + std::to_wstring(i) + L".txt", "same");
    s.method = 1;
    engine.Run();
    EXPECT_TRUE(s.massChanges.empty());
    EXPECT_EQ(Copy(L"Edited\\0.txt")->data, "changed");
}

// With versions kept and the guard on, nothing newer still costs one
// listing of each folder and no open.
TEST_F(GuardRun, NothingNewerListsEachFolderOnce) {
    s.method = 2;
    fs.listings = fs.opens = 0;
    engine.Run();
    EXPECT_EQ(fs.opens, 0);
    EXPECT_EQ(fs.listings, 2 + 2 + 1);  // each source and target folder, and the version folder
    EXPECT_EQ(Versions(), 0);
}

class PruneRun : public VersionRun {
  protected:
    PruneRun() { Source(L"a.txt", "a"); }
    FakeFileSystem::Node& Kept(const std::wstring& version) { return fs.AddFile(kVersions + version, "v"); }
};

// Thirty days before 2026-12-09 01:30:45 is 2026-11-09 01:30:45: a version
// replaced then is kept, one a second older goes.
TEST_F(PruneRun, ExpiredVersionsGoWithTheFoldersTheyLeaveEmptyAndNothingElse) {
    Kept(L"a (2026-11-09 013045).txt");
    Kept(L"a (2026-11-09 013044).txt");
    Kept(L"Sub\\b (2020-01-01 000000)");
    fs.Find(kVersions + L"Sub\\b (2020-01-01 000000)")->attributes = kReadOnly;
    Kept(L"Sub\\Deeper\\c (2020-01-01 000000).txt");
    Kept(L"Mixed\\c (2020-01-01 000000).txt");
    Kept(L"Mixed\\notes.txt");                  // no time in its name
    Kept(L"Mixed\\d (2020-13-01 000000).txt");  // a time that does not exist
    fs.AddFolder(kVersions + L"Mixed\\Empty");  // left empty by an earlier failure
    fs.AddFile(L"E:\\Save\\Pelvane-v\u00e1ltozatok\\Other\\x (2000-01-01 000000).txt", "another task's");
    OldCopy(L"y (2000-01-01 000000).txt", "a copy with a version's name");
    engine.Run();

    EXPECT_EQ(s.Errors(), Lines{});
    EXPECT_NE(Version(L"a (2026-11-09 013045).txt"), nullptr);
    EXPECT_EQ(Version(L"a (2026-11-09 013044).txt"), nullptr);
    EXPECT_EQ(fs.Find(kVersions + L"Sub"), nullptr);
    EXPECT_EQ(Version(L"Mixed\\c (2020-01-01 000000).txt"), nullptr);
    EXPECT_NE(Version(L"Mixed\\notes.txt"), nullptr);
    EXPECT_NE(Version(L"Mixed\\d (2020-13-01 000000).txt"), nullptr);
    EXPECT_EQ(fs.Find(kVersions + L"Mixed\\Empty"), nullptr);
    EXPECT_NE(fs.Find(L"E:\\Save\\Pelvane-v\u00e1ltozatok\\Other\\x (2000-01-01 000000).txt"), nullptr);
    EXPECT_NE(Copy(L"y (2000-01-01 000000).txt"), nullptr);
    EXPECT_EQ(Versions(), 4);

    // Once every version is gone, so is the task's version folder.
    fs.Remove(kVersions + L"Mixed");
    s.versionDays = 1;
    engine.Run();
    EXPECT_EQ(fs.Find(kVersions.substr(0, kVersions.size() - 1)), nullptr);
    EXPECT_NE(fs.Find(L"E:\\Save\\Pelvane-v\u00e1ltozatok"), nullptr);
}

TEST_F(PruneRun, AVersionThatCannotBeRemovedIsReportedAndTheRunGoesOn) {
    Kept(L"a (2020-01-01 000000).txt").locked = true;
    Kept(L"b (2020-01-01 000000).txt");
    engine.Run();
    EXPECT_EQ(s.Errors(),
              Lines{L"Hiba: E:\\Save\\Pelvane-v\u00e1ltozatok\\Docs\\a (2020-01-01 000000).txt : A "
                    L"lejárt változat nem törölhető. error " +
                    std::to_wstring(ERROR_SHARING_VIOLATION)});
    EXPECT_NE(Version(L"a (2020-01-01 000000).txt"), nullptr);
    EXPECT_EQ(Version(L"b (2020-01-01 000000).txt"), nullptr);
    EXPECT_EQ(s.log.back().rfind(L"*** Mentés kész: ", 0), 0u);
}

TEST_F(PruneRun, NeitherAStoppedRunNorOneKeepingNoVersionsRemovesAny) {
    Kept(L"a (2020-01-01 000000).txt");
    s.onMessages = [&] {
        if (Copy(L"a.txt")) engine.RequestStop();
    };
    Source(L"b.txt", "b");
    engine.Run();
    EXPECT_TRUE(s.stopped.back());
    EXPECT_NE(Version(L"a (2020-01-01 000000).txt"), nullptr);

    s.onMessages = nullptr;
    s.versionDays = 0;
    engine.Run();
    EXPECT_NE(Version(L"a (2020-01-01 000000).txt"), nullptr);
}

// The version folder of a run's target is never scanned, also when the
// target lies in another task's source; a folder of that name that is no
// target's (a copy of another backup drive) is the user's own and is backed
// up. A version folder is never a task's source.
TEST_F(VersionRun, OnlyTheVersionFoldersOfTheRunsTargetsAreLeftOutOfTheScan) {
    Source(L"a.txt", "a");
    Source(L"PELVANE-V\u00c1LTOZATOK\\x.txt", "x");
    Source(L"Sub\\pelvane-v\u00e1ltozatok\\y.txt", "y");
    Source(L"Sub\\b.txt", "b");
    fs.AddFile(L"C:\\Data\\Other\\c.txt", "c");
    s.rows = MemoryTaskRows({{L"C:\\Data\\Docs", L"E:\\Save"},
                             {L"C:\\Data\\Other", L"C:\\Data\\Docs\\Sub"},
                             {L"C:\\Data\\Docs\\Sub\\Pelvane-v\u00e1ltozatok", L"F:"}});
    engine.Run();
    EXPECT_EQ(fs.CountFiles(L"E:\\Save\\Docs"), 3);
    EXPECT_NE(Copy(L"PELVANE-V\u00c1LTOZATOK\\x.txt"), nullptr);
    EXPECT_EQ(Copy(L"Sub\\pelvane-v\u00e1ltozatok\\y.txt"), nullptr);
    EXPECT_EQ(s.Body()[1], L"\u00d6sszesen    3");
    EXPECT_EQ(
        s.Errors(),
        Lines{L"Hiba: C:\\Data\\Docs\\Sub\\Pelvane-v\u00e1ltozatok : A(z) Pelvane-v\u00e1ltozatok "
              L"nev\u0171 mappa a Pelvane v\u00e1ltozatainak helye; forr\u00e1sk\u00e9nt nem menthet\u0151"});
}

}  // namespace
