// Restores over real backup trees under Wine: copies and versions made by
// hand, with the names a run gives versions and dates chosen for each.
#include <gtest/gtest.h>

#include <map>

#include "common/Handles.h"
#include "engine/RestoreRun.h"
#include "tests/engine/RecordingSurroundings.h"
#include "tests/support/ScratchFolder.h"

using namespace pelvane;
using Lines = std::vector<std::wstring>;
using Tree = std::map<std::wstring, std::string>;  // relative path: content

namespace {

SYSTEMTIME Day(WORD year, WORD month, WORD day, WORD hour = 12, WORD minute = 0, WORD second = 0) {
    return SYSTEMTIME{year, month, 0, day, hour, minute, second, 0};
}

LocalTime At(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
    return LocalTime{year, month, day, hour, minute, second};
}

// The last-write time of a file as a FILETIME (UTC); 0 when it cannot be read.
uint64_t WriteTime(const std::wstring& path) {
    FileHandle file(CreateFileW(test::LongPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME written;
    if (!file || !GetFileTime(file.get(), nullptr, nullptr, &written)) return 0;
    return (uint64_t(written.dwHighDateTime) << 32) | written.dwLowDateTime;
}

// A task C:\...\src\<task> backed up to Save: its copies and versions as a
// run leaves them, written by hand.
class RestoreTree : public ::testing::Test {
  protected:
    test::ScratchFolder tree;
    std::unique_ptr<FileSystem> fs = MakeWin32FileSystem();
    std::wstring task = L"Docs";

    std::wstring CopyPath(const std::wstring& relative) const { return L"Save\\" + task + L"\\" + relative; }
    std::wstring VersionPath(const std::wstring& relative, const LocalTime& replaced) const {
        const size_t slash = relative.find_last_of(L'\\') + 1;
        return L"Save\\" + std::wstring(kVersionFolderName) + L"\\" + task + L"\\" +
               relative.substr(0, slash) + VersionFileName(relative.substr(slash), replaced);
    }
    void Copy(const std::wstring& relative, const std::string& content, const SYSTEMTIME& date) const {
        tree.Write(CopyPath(relative), content, date);
    }
    // The content a copy had until it was replaced, dated as that copy was.
    void Version(const std::wstring& relative, const std::string& content, const SYSTEMTIME& date,
                 const LocalTime& replaced) const {
        tree.Write(VersionPath(relative, replaced), content, date);
    }

    RestoreRequest Request(const std::wstring& into, std::optional<LocalTime> asOf = std::nullopt) const {
        // The source itself need not be there: it may be what was lost.
        return RestoreRequest{tree.Path(L"src\\" + task), tree.Path(L"Save"), tree.Path(into), asOf};
    }
    std::unique_ptr<RecordingSurroundings> Restore(const RestoreRequest& request) {
        auto s = std::make_unique<RecordingSurroundings>();
        RestoreRun restore(*s, *s, *fs);
        restore.Run(request);
        return s;
    }
    std::unique_ptr<RecordingSurroundings> Restore(const std::wstring& into,
                                                   std::optional<LocalTime> asOf = std::nullopt) {
        return Restore(Request(into, asOf));
    }
    // What a restore wrote below into\<task>.
    Tree Restored(const std::wstring& into) const {
        Tree restored;
        for (const std::wstring& file : tree.Files(into + L"\\" + task))
            restored[file] = tree.Read(into + L"\\" + task + L"\\" + file);
        return restored;
    }
};

// One history, restored as of moments before, between and after its runs:
//   a.txt    "a1" replaced 02-01 12:00 by "a2", replaced 03-01 12:00 by "a3"
//   sub\b.txt "b1", never replaced
//   sub\c.txt "c1", new in February
//   d.txt    "d1" new in February, replaced 03-01 12:00 by "d2"
//   e.txt    "e1" replaced 02-01 12:00; its copy deleted by the user since
TEST_F(RestoreTree, EachMomentGivesTheContentEveryFileHadInTheBackupThen) {
    const LocalTime february = At(2024, 2, 1), march = At(2024, 3, 1);
    Version(L"a.txt", "a1", Day(2024, 1, 1, 10), february);
    Version(L"a.txt", "a2", Day(2024, 1, 20), march);
    Copy(L"a.txt", "a3", Day(2024, 2, 20));
    Copy(L"sub\\b.txt", "b1", Day(2024, 1, 5));
    Copy(L"sub\\c.txt", "c1", Day(2024, 2, 10));
    Version(L"d.txt", "d1", Day(2024, 2, 5), march);
    Copy(L"d.txt", "d2", Day(2024, 2, 25));
    Version(L"e.txt", "e1", Day(2024, 1, 2), february);

    EXPECT_EQ(Restored(L"Jan"), Tree{}) << "not yet restored";
    auto january = Restore(L"Jan", At(2024, 1, 15));
    EXPECT_EQ(january->Errors(), Lines{});
    // d.txt's first content came after the moment, although its version
    // was replaced after it: it was not in the backup then.
    EXPECT_EQ(Restored(L"Jan"), (Tree{{L"a.txt", "a1"}, {L"e.txt", "e1"}, {L"sub\\b.txt", "b1"}}));
    EXPECT_EQ(january->log[2], L"*** Állapot: 2024.01.15 12:00:00 >> " + tree.Path(L"Jan\\Docs"));
    EXPECT_EQ(january->log[3], L"Összesen    6");

    Restore(L"Feb", At(2024, 2, 15));
    EXPECT_EQ(Restored(L"Feb"),
              (Tree{{L"a.txt", "a2"}, {L"d.txt", "d1"}, {L"sub\\b.txt", "b1"}, {L"sub\\c.txt", "c1"}}));
    // The second a version was replaced is the first the next content held.
    Restore(L"AtTheReplacement", february);
    EXPECT_EQ(Restored(L"AtTheReplacement")[L"a.txt"], "a2");
    Restore(L"JustBefore", At(2024, 2, 1, 11, 59, 59));
    EXPECT_EQ(Restored(L"JustBefore")[L"a.txt"], "a1");

    auto latest = Restore(L"Now");
    EXPECT_EQ(latest->log[2], L"*** Állapot: legutóbbi >> " + tree.Path(L"Now\\Docs"));
    EXPECT_EQ(Restored(L"Now"),
              (Tree{{L"a.txt", "a3"}, {L"d.txt", "d2"}, {L"sub\\b.txt", "b1"}, {L"sub\\c.txt", "c1"}}));

    // Before the first file: nothing, but the folder asked for is there.
    auto before = Restore(L"Before", At(2024, 1, 1, 9));
    EXPECT_EQ(before->Errors(), Lines{});
    EXPECT_EQ(before->log[3], L"Összesen    0");
    EXPECT_TRUE(tree.Exists(L"Before"));
    EXPECT_EQ(tree.Files(L"Before"), Lines{});

    // The backup is only read.
    EXPECT_EQ(tree.Read(CopyPath(L"a.txt")), "a3");
    EXPECT_EQ(tree.Files(L"Save").size(), 8u);
}

TEST_F(RestoreTree, RestoredFilesTakeTheDateAndAttributesOfTheirCopyOrVersion) {
    Copy(L"ro.txt", "read-only copy", Day(2023, 5, 6, 7, 8, 10));
    SetFileAttributesW(test::LongPath(tree.Path(CopyPath(L"ro.txt"))).c_str(), FILE_ATTRIBUTE_READONLY);
    Version(L"hidden.txt", "hidden version", Day(2023, 4, 5, 6, 7, 8), At(2023, 6, 1));
    SetFileAttributesW(test::LongPath(tree.Path(VersionPath(L"hidden.txt", At(2023, 6, 1)))).c_str(),
                       FILE_ATTRIBUTE_HIDDEN);
    Copy(L"hidden.txt", "later", Day(2023, 5, 20));

    auto s = Restore(L"Out", At(2023, 5, 31));
    EXPECT_EQ(s->Errors(), Lines{});
    EXPECT_EQ(tree.Read(L"Out\\Docs\\ro.txt"), "read-only copy");
    EXPECT_EQ(WriteTime(tree.Path(L"Out\\Docs\\ro.txt")), WriteTime(tree.Path(CopyPath(L"ro.txt"))));
    EXPECT_EQ(tree.Attributes(L"Out\\Docs\\ro.txt") & FILE_ATTRIBUTE_READONLY,
              DWORD(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(tree.Read(L"Out\\Docs\\hidden.txt"), "hidden version");
    EXPECT_EQ(WriteTime(tree.Path(L"Out\\Docs\\hidden.txt")),
              WriteTime(tree.Path(VersionPath(L"hidden.txt", At(2023, 6, 1)))));
    EXPECT_EQ(tree.Attributes(L"Out\\Docs\\hidden.txt") & FILE_ATTRIBUTE_HIDDEN,
              DWORD(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(s->stepped, 14 + 14);  // the bar counts what was restored
    EXPECT_EQ(s->progressMax, 28);
}

// A run's temporary file, a version whose name holds no valid time, and a
// name that only looks like a version among the copies.
TEST_F(RestoreTree, OnlyCopiesAndTrueVersionsAreRestored) {
    Copy(L"~pelvane.tmp", "half a copy", Day(2023, 1, 1));
    Copy(L"Notes (2020-01-01 101010).txt", "a copy named so", Day(2023, 1, 1));
    tree.Write(L"Save\\" + std::wstring(kVersionFolderName) + L"\\Docs\\x (2023-13-01 000000).txt", "junk",
               Day(2023, 1, 1));
    tree.Write(L"Save\\" + std::wstring(kVersionFolderName) + L"\\Docs\\~pelvane3.tmp", "junk",
               Day(2023, 1, 1));
    Version(L"x.txt", "x1", Day(2023, 1, 1), At(2023, 2, 1));

    auto s = Restore(L"Out", At(2023, 1, 15));
    EXPECT_EQ(s->Errors(), Lines{});
    EXPECT_EQ(Restored(L"Out"),
              (Tree{{L"Notes (2020-01-01 101010).txt", "a copy named so"}, {L"x.txt", "x1"}}));
}

TEST_F(RestoreTree, AMomentNotBeforeNowIsTheLatestStateAlsoForCopiesDatedInTheFuture) {
    Copy(L"camera.jpg", "wrong clock", Day(2099, 1, 1));
    Version(L"old.txt", "replaced", Day(2023, 1, 1), At(2023, 2, 1));
    auto s = Restore(L"Out", At(9999, 12, 31, 23, 59, 59));
    EXPECT_EQ(s->log[2], L"*** Állapot: legutóbbi >> " + tree.Path(L"Out\\Docs"));
    EXPECT_EQ(Restored(L"Out"), (Tree{{L"camera.jpg", "wrong clock"}}));
}

// Names in many scripts, the task's own folder among them, at depths beyond
// 260 and 1,000 characters, in the copies and the versions alike.
TEST_F(RestoreTree, NamesOutsideTheCodePageAndPathsOfAnyLength) {
    task = L"Русский документы";
    std::wstring deep = L"ελληνικά";
    while (tree.Path(L"Save\\" + std::wstring(kVersionFolderName) + L"\\" + task + L"\\" + deep).size() <
           1000)
        deep += L"\\日本語のフォルダ" + std::wstring(40, L'ï');
    const std::wstring emoji = L"nyaralás 😀.jpg", inDeep = deep + L"\\naïve façade.txt";
    Version(emoji, "emoji 1", Day(2022, 1, 1), At(2022, 3, 1));
    Copy(emoji, "emoji 2", Day(2022, 2, 1));
    Version(inDeep, "deep 1", Day(2022, 1, 1), At(2022, 3, 1));
    Copy(inDeep, "deep 2", Day(2022, 2, 1));
    Copy(L"日本語のファイル.txt", "ja", Day(2021, 1, 1));
    ASSERT_GT(tree.Path(VersionPath(inDeep, At(2022, 3, 1))).size(), 1000u);

    // The folder restored into lies beyond 260 characters too.
    const std::wstring into = L"Vissza " + std::wstring(250, L'ő');
    auto early = Restore(into, At(2022, 1, 15));
    EXPECT_EQ(early->Errors(), Lines{});
    const std::wstring japanese = L"日本語のファイル.txt";  // not inside a macro: the code page lacks it
    EXPECT_EQ(Restored(into), (Tree{{emoji, "emoji 1"}, {inDeep, "deep 1"}, {japanese, "ja"}}));
    ASSERT_GT(tree.Path(into + L"\\" + task + L"\\" + inDeep).size(), 1250u);

    auto latest = Restore(L"Most");
    EXPECT_EQ(latest->Errors(), Lines{});
    EXPECT_EQ(Restored(L"Most"), (Tree{{emoji, "emoji 2"}, {inDeep, "deep 2"}, {japanese, "ja"}}));
    EXPECT_EQ(latest->log[1], L"*** Feladat: " + tree.Path(L"src\\" + task) + L" >> " + tree.Path(L"Save"));
}

// Restoring never overwrites anything: a folder that holds something, the
// target, the source, or a folder inside them is refused before any line
// or file; a missing one is made.
TEST_F(RestoreTree, OnlyANewOrEmptyFolderOutsideTheTargetAndTheSourceIsTaken) {
    Copy(L"a.txt", "copy", Day(2023, 1, 1));
    tree.Write(L"src\\Docs\\a.txt", "the source");
    tree.Write(L"Full\\mine.txt", "keep me");
    tree.Write(L"AFile", "a file");
    struct Refused {
        std::wstring into, reason;
    };
    const std::vector<Refused> refused = {
        {L"Full",
         L"A mappa nem üres: " + tree.Path(L"Full") + L"; a visszaállítás csak új vagy üres mappába ír"},
        {L"AFile", L"Ez nem mappa, hanem file: " + tree.Path(L"AFile")},
        {L"Save", L"A visszaállítás nem kerülhet a cél mappába vagy alá: " + tree.Path(L"Save")},
        {L"SAVE\\Docs\\new",
         L"A visszaállítás nem kerülhet a cél mappába vagy alá: " + tree.Path(L"SAVE\\Docs\\new")},
        {L"src\\Docs\\..\\Docs\\Vissza", L"A visszaállítás nem kerülhet a forrás mappába vagy alá: " +
                                             tree.Path(L"src\\Docs\\..\\Docs\\Vissza")},
    };
    for (const Refused& r : refused) {
        SCOPED_TRACE(WideToUtf8(r.into));
        auto s = Restore(r.into);
        EXPECT_EQ(s->errors, std::vector<std::string>{WideToAnsi(r.reason)});
        EXPECT_EQ(s->log, Lines{});
        EXPECT_EQ(s->finished, std::vector<int>{});
        EXPECT_TRUE(s->grid);  // the surroundings are back as they were
    }
    EXPECT_EQ(tree.Files(L"Full"), Lines{L"mine.txt"});
    EXPECT_EQ(tree.Files(L"Save"), Lines{L"Docs\\a.txt"});
    EXPECT_EQ(tree.Files(L"src"), Lines{L"Docs\\a.txt"});
    EXPECT_EQ(tree.Read(L"AFile"), "a file");

    // A folder that is not there, two levels deep, and an empty one.
    auto made = Restore(L"New\\Deeper");
    EXPECT_EQ(made->Errors(), Lines{});
    EXPECT_EQ(made->finished, std::vector<int>{0});
    EXPECT_EQ(Restored(L"New\\Deeper"), (Tree{{L"a.txt", "copy"}}));
    tree.MakeFolder(L"Empty");
    Restore(L"Empty");
    EXPECT_EQ(Restored(L"Empty"), (Tree{{L"a.txt", "copy"}}));
}

TEST_F(RestoreTree, ATaskNeverBackedUpThereSaysSoAndFrameLinesAsABackup) {
    auto s = Restore(L"Out");
    ASSERT_EQ(s->log.size(), 6u);
    EXPECT_EQ(s->log[0].rfind(L"*** Visszaállítás indul: ", 0), 0u) << s->log[0];
    EXPECT_EQ(s->log[3].rfind(L"Hiba: " + tree.Path(L"Save\\Docs") + L" : ", 0), 0u) << s->log[3];
    EXPECT_EQ(s->log[4], L"Összesen    0");
    EXPECT_EQ(s->log[5].rfind(L"*** Visszaállítás kész: ", 0), 0u) << s->log[5];
    EXPECT_EQ(s->finished, std::vector<int>{1});
    EXPECT_EQ(s->tasksStarted, Lines{tree.Path(L"src\\Docs") + L" >> " + tree.Path(L"Save")});
}

}  // namespace
