// Versions, their prune and the change guard, as pelvane-cli makes them on
// real files: names, bytes, exit statuses.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "common/Text.h"
#include "tests/app/CliSupport.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TaskDatabase.h"

using namespace pelvane;
using namespace pelvane::test;

namespace {

const std::wstring kVersionFolder = L"out\\Pelvane-v\u00e1ltozatok", kVersions = kVersionFolder + L"\\";

uint64_t Ticks(const SYSTEMTIME& t) {
    FILETIME f;
    SystemTimeToFileTime(&t, &f);
    return (uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime;
}

SYSTEMTIME Now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t;
}

// "yyyy-mm-dd hhmmss" of a local time, written out here as a user reads it.
std::wstring Stamp(uint64_t ticks) {
    FILETIME f{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME t;
    FileTimeToSystemTime(&f, &t);
    wchar_t text[32];
    swprintf(text, 32, L"%04u-%02u-%02u %02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond);
    return text;
}

// The version names a file replaced between the two moments may have.
std::vector<std::wstring> NamesBetween(const std::wstring& stem, const std::wstring& ext,
                                       const SYSTEMTIME& from, const SYSTEMTIME& to) {
    std::vector<std::wstring> names;
    const uint64_t second = 10000000;
    for (uint64_t t = Ticks(from) / second * second; t <= Ticks(to); t += second)
        names.push_back(stem + L" (" + Stamp(t) + L")" + ext);
    return names;
}

// The one version in folder, which must be named for a replacement between
// the two moments; "" (and a failure) otherwise.
std::wstring OneVersion(const ScratchFolder& tree, const std::wstring& folder, const std::wstring& stem,
                        const std::wstring& ext, const SYSTEMTIME& from, const SYSTEMTIME& to) {
    std::vector<std::wstring> found;
    for (const std::wstring& name : tree.Files(folder))
        if (name.find(L'\\') == std::wstring::npos && name.rfind(stem + L" (", 0) == 0) found.push_back(name);
    EXPECT_EQ(found.size(), 1u) << WideToUtf8(folder + L"\\" + stem);
    if (found.size() != 1) return {};
    const auto names = NamesBetween(stem, ext, from, to);
    EXPECT_NE(std::find(names.begin(), names.end(), found[0]), names.end()) << WideToUtf8(found[0]);
    return folder + L"\\" + found[0];
}

std::vector<std::string> ErrorLines(const Result& r) {
    std::vector<std::string> errors;
    for (const std::string& line : r.Lines())
        if (line.rfind("Hiba: ", 0) == 0) errors.push_back(line);
    return errors;
}

// A replaced copy moves to its version under the exact name, holding the
// old bytes: an ordinary name in the code page, a name without extension,
// one outside the code page and a path beyond 260 characters. A copy
// rewritten with the same date and size keeps none.
TEST(CliVersions, AReplacedCopyGoesToItsVersionUnderItsExactNameWithTheOldBytes) {
    ScratchFolder tree;
    const std::wstring deep = std::wstring(120, L'a') + L"\\" + std::wstring(120, L'b');
    struct File {
        std::wstring folder, stem, ext;
    };
    const std::vector<File> files = {{L"2026", L"Jelentés", L".docx"},
                                     {L"", L"README", L""},
                                     {L"日本語", L"Ελληνικά 😀.tar", L".gz"},
                                     {deep, L"long", L".txt"}};
    auto path = [](const File& f) { return (f.folder.empty() ? L"" : f.folder + L"\\") + f.stem + f.ext; };
    for (const File& f : files) tree.Write(L"Docs\\" + path(f), "old " + WideToUtf8(f.stem));
    tree.Write(L"Docs\\same.txt", "unchanged");

    Result first = Cli(std::vector<std::wstring>{L"run", L"--no-log", tree.Path(L"Docs"), tree.Path(L"out")});
    ASSERT_EQ(first.exitCode, 0u) << first.out;
    ASSERT_GT(tree.Path(L"out\\Docs\\" + path(files[3])).size(), 260u);
    EXPECT_EQ(tree.Read(L"out\\Docs\\" + path(files[3])), "old long");
    for (const File& f : files) tree.Write(L"Docs\\" + path(f), "new content of " + WideToUtf8(f.stem));

    const SYSTEMTIME before = Now();
    Result second =
        Cli(std::vector<std::wstring>{L"run", L"--no-log", tree.Path(L"Docs"), tree.Path(L"out")});
    const SYSTEMTIME after = Now();
    EXPECT_EQ(second.exitCode, 0u) << second.out;
    for (const File& f : files) {
        const std::wstring folder = kVersions + L"Docs" + (f.folder.empty() ? L"" : L"\\" + f.folder);
        const std::wstring version = OneVersion(tree, folder, f.stem, f.ext, before, after);
        EXPECT_EQ(tree.Read(version), "old " + WideToUtf8(f.stem)) << WideToUtf8(version);
        EXPECT_EQ(tree.Read(L"out\\Docs\\" + path(f)), "new content of " + WideToUtf8(f.stem));
    }
    EXPECT_EQ(tree.Files(kVersionFolder).size(), files.size());  // none for same.txt
    EXPECT_EQ(tree.Read(L"out\\Docs\\same.txt"), "unchanged");
}

// A FILE where the version folder should be: the copy stays as it was, with
// a "Hiba: " line and exit status 1; the other files go on.
TEST(CliVersions, AVersionThatCannotBeMadeLeavesTheCopyAsItWas) {
    ScratchFolder tree;
    tree.Write("src\\a.txt", "old a");
    tree.Write("src\\Sub\\b.txt", "old b");
    ASSERT_EQ(Cli({"run", "--no-log", tree.Path("src"), tree.Path("out")}).exitCode, 0u);
    tree.Write("out\\Pelvane-változatok\\src", "a file in the way");
    // Other sizes: a change within the two seconds a date may be off by.
    tree.Write("src\\a.txt", "newer a");
    tree.Write("src\\Sub\\b.txt", "newer b");
    tree.Write("src\\c.txt", "new c");
    Result r = Cli({"run", "--no-log", tree.Path("src"), tree.Path("out")});
    EXPECT_EQ(r.exitCode, 1u) << r.out;
    const auto errors = ErrorLines(r);
    ASSERT_EQ(errors.size(), 2u) << r.out;
    EXPECT_EQ(errors[0].rfind(AnsiToUtf8("Hiba: " + tree.Path("src\\a.txt") + " : "), 0), 0u) << errors[0];
    EXPECT_NE(errors[0].find(AnsiToUtf8("A másolat változatlan maradt.")), std::string::npos) << errors[0];
    EXPECT_EQ(tree.Read("out\\src\\a.txt"), "old a");
    EXPECT_EQ(tree.Read("out\\src\\Sub\\b.txt"), "old b");
    EXPECT_EQ(tree.Read("out\\src\\c.txt"), "new c");  // a new file needs no version
    EXPECT_EQ(tree.Read("out\\Pelvane-változatok\\src"), "a file in the way");
}

// A target inside its source: the copies are scanned again (as they always
// were), but never the versions beside them.
// Also the versions of another task's target that lies in this source; a
// folder of the same name that is no target's (a copy of another backup
// drive, say) is the user's own and is backed up.
TEST(CliVersions, TheVersionFolderOfATargetInsideTheSourceIsNeverScanned) {
    ScratchFolder tree;
    tree.Write("src\\a.txt", "one");
    tree.Write("src\\Old drive\\Pelvane-változatok\\Docs\\a (2025-01-02 030405).txt", "kept");
    tree.Write("other\\b.txt", "b1");
    const std::string source = tree.Path("src"), target = tree.Path("src\\Save");
    const std::string other = tree.Path("other"), otherTarget = tree.Path("src\\Elsewhere");
    auto run = [&] { return Cli({"run", "--no-log", source, target, other, otherTarget}); };
    ASSERT_EQ(run().exitCode, 0u);
    tree.Write("src\\a.txt", "two!");
    tree.Write("other\\b.txt", "b2!");
    ASSERT_EQ(run().exitCode, 0u);
    ASSERT_EQ(tree.Files("src\\Save\\Pelvane-változatok").size(), 1u);
    ASSERT_EQ(tree.Files("src\\Elsewhere\\Pelvane-változatok").size(), 1u);
    tree.Write("src\\a.txt", "three");
    Result third = run();
    EXPECT_EQ(third.exitCode, 0u) << third.out;
    EXPECT_FALSE(tree.Exists("src\\Save\\src\\Save\\Pelvane-változatok"));
    EXPECT_FALSE(tree.Exists("src\\Save\\src\\Elsewhere\\Pelvane-változatok"));
    EXPECT_EQ(tree.Read("src\\Save\\src\\a.txt"), "three");
    EXPECT_EQ(tree.Read("src\\Save\\src\\Old drive\\Pelvane-változatok\\Docs\\a (2025-01-02 030405).txt"),
              "kept");
}

// --keep-days removes the versions older than that many days by the time in
// their names, and the folders they leave empty; a name without such a time
// stays, and so does everything while no versions are kept (0).
TEST(CliVersions, KeepDaysPrunesOldVersionsByTheirNamesAndLeavesOtherNames) {
    ScratchFolder tree;
    tree.Write("src\\a.txt", "a");
    const std::wstring recent = L"recent (" + Stamp(Ticks(Now()) - 2 * 864000000000ULL) + L").txt";
    const std::vector<std::wstring> stay = {L"notes.txt", L"bad (2020-13-45 250000).txt", recent};
    tree.Write(kVersions + L"src\\Sub\\Deeper\\old (2020-01-01 000000).txt", "old");
    tree.Write(kVersions + L"src\\Sub\\Deeper\\Ünnep\\older (2019-12-24 180000).txt", "older");
    for (const auto& name : stay) tree.Write(kVersions + L"src\\" + name, "stays");

    Result none = Cli({"run", "--no-log", "--keep-days", "0", tree.Path("src"), tree.Path("out")});
    EXPECT_EQ(none.exitCode, 0u) << none.out;
    EXPECT_EQ(tree.Files(kVersionFolder).size(), 5u);

    Result pruned = Cli({"run", "--no-log", "--keep-days", "3", tree.Path("src"), tree.Path("out")});
    EXPECT_EQ(pruned.exitCode, 0u) << pruned.out;
    std::vector<std::wstring> expected;
    for (const auto& name : stay) expected.push_back(L"src\\" + name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(tree.Files(kVersionFolder), expected);
    EXPECT_FALSE(tree.Exists(kVersions + L"src\\Sub"));  // left empty, so gone

    Result shorter = Cli({"run", "--no-log", "--keep-days", "1", tree.Path("src"), tree.Path("out")});
    EXPECT_EQ(shorter.exitCode, 0u) << shorter.out;
    EXPECT_FALSE(tree.Exists(kVersions + L"src\\" + recent));
    EXPECT_TRUE(tree.Exists(kVersions + L"src\\notes.txt"));

    for (const char* bad : {"-1", "10000", "x"})
        EXPECT_EQ(Cli({"run", "--keep-days", bad, tree.Path("src"), tree.Path("out")}).exitCode, 2u) << bad;
}

// Thirty files backed up; a run then finds the given ones changed.
class MassChange : public ::testing::Test {
  protected:
    ScratchFolder tree;
    static std::string Name(int i) { return (i % 3 ? "Docs\\Sub\\" : "Docs\\") + std::to_string(i) + ".txt"; }
    void SetUp() override {
        for (int i = 0; i < 30; ++i) tree.Write(Name(i), "old");
        ASSERT_EQ(Run({}).exitCode, 0u);
    }
    Result Run(std::vector<std::string> options) {
        std::vector<std::string> args = {"run", "--no-log"};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), {tree.Path("Docs"), tree.Path("out")});
        return Cli(args);
    }
    void Change(int from, int to) {
        for (int i = from; i < to; ++i) tree.Write(Name(i), "changed");
    }
    int Copies(const std::string& content, int count = 30) {
        int n = 0;
        for (int i = 0; i < count; ++i) n += tree.Read("out\\" + Name(i)) == content;
        return n;
    }
};

// More than half of the copies and at least 20: the task is held, nothing of
// it copied or replaced, exit status 5 also over other error lines; new
// files do not count; --accept-changes lets it go ahead.
TEST_F(MassChange, MoreThanHalfAndAtLeastTwentyChangedCopiesHoldTheTaskUntilAccepted) {
    // 15 changed and 25 new of 30 copies: new files are no change.
    Change(0, 15);
    for (int i = 30; i < 55; ++i) tree.Write(Name(i), "old");
    Result some = Run({});
    EXPECT_EQ(some.exitCode, 0u) << some.out;
    EXPECT_EQ(Copies("changed"), 15);
    EXPECT_EQ(Copies("old", 55), 40);

    // 28 of 55 copies would change: held.
    Change(15, 43);
    tree.Write("Docs\\brand new.txt", "new");
    tree.Write("Other\\x.txt", "x");
    Result held = Cli({"run", "--no-log", tree.Path("Docs"), tree.Path("out"), tree.Path("Missing"),
                       tree.Path("out"), tree.Path("Other"), tree.Path("out")});
    EXPECT_EQ(held.exitCode, 5u) << held.out;  // 5 over the missing source's 1
    const auto errors = ErrorLines(held);
    ASSERT_EQ(errors.size(), 2u) << held.out;
    EXPECT_EQ(errors[0],
              AnsiToUtf8("Hiba: " + tree.Path("Docs") +
                         " : A feladat 55 másolatából 28 változna meg (több mint 50%), ami "
                         "zsarolóvírus vagy lemezhiba jele lehet: a feladat most nem fut le. Ha a "
                         "változás szándékos, futtassa újra így: pelvane-cli run --accept-changes"));
    EXPECT_EQ(Copies("changed", 55), 15);
    EXPECT_FALSE(tree.Exists("out\\Docs\\brand new.txt"));
    EXPECT_EQ(tree.Files(kVersions + L"Docs").size(), 15u);  // only the earlier run's
    EXPECT_EQ(tree.Read("out\\Other\\x.txt"), "x");          // the other tasks run

    Result accepted = Run({"--accept-changes"});
    EXPECT_EQ(accepted.exitCode, 0u) << accepted.out;
    EXPECT_EQ(ErrorLines(accepted), std::vector<std::string>{});
    EXPECT_EQ(Copies("changed", 55), 43);
    EXPECT_EQ(tree.Read("out\\Docs\\brand new.txt"), "new");
    EXPECT_EQ(tree.Files(kVersions + L"Docs").size(), 43u);
    EXPECT_NE(accepted.out.find(AnsiToUtf8("Figyelem: " + tree.Path("Docs") +
                                           " : A feladat 55 másolatából 28 változik meg")),
              std::string::npos)
        << accepted.out;
}

TEST_F(MassChange, NineteenChangedCopiesNeverHoldATask) {
    Change(0, 19);
    Result r = Run({});
    EXPECT_EQ(r.exitCode, 0u) << r.out;
    EXPECT_EQ(Copies("changed"), 19);
}

// Stored tasks take VersionDays and ChangeGuard from the Pelvane.ini beside
// the database; --keep-days overrides the days for one run.
TEST(CliVersions, StoredTasksTakeVersionDaysAndChangeGuardFromTheSettingsBesideTheDatabase) {
    ScratchFolder tree;
    const std::string db = tree.Path("Pelvane.sqb");
    MakeTaskDatabase(db);
    for (int i = 0; i < 25; ++i) tree.Write("src\\" + std::to_string(i) + ".txt", "old");
    ASSERT_EQ(Cli({"add", "--db", db, tree.Path("src"), tree.Path("out")}).exitCode, 0u);
    tree.Write("Pelvane.ini", "[Defaults]\r\nVersionDays=0\r\nChangeGuard=0\r\n");
    ASSERT_EQ(Cli({"run", "--db", db}).exitCode, 0u);

    // The guard off: all 25 change; no versions kept.
    for (int i = 0; i < 25; ++i) tree.Write("src\\" + std::to_string(i) + ".txt", "second");
    Result off = Cli({"run", "--db", db});
    EXPECT_EQ(off.exitCode, 0u) << off.out;
    EXPECT_EQ(tree.Read("out\\src\\0.txt"), "second");
    EXPECT_FALSE(tree.Exists(kVersionFolder));

    // --keep-days for this run only; the settings file is never written.
    tree.Write("src\\0.txt", "three");
    EXPECT_EQ(Cli({"run", "--db", db, "--keep-days", "7"}).exitCode, 0u);
    EXPECT_EQ(tree.Files(kVersionFolder).size(), 1u);
    EXPECT_EQ(tree.Read("Pelvane.ini"), "[Defaults]\r\nVersionDays=0\r\nChangeGuard=0\r\n");

    // Without the keys, the defaults: 30 days and a guard at 50%.
    tree.Write("Pelvane.ini", "[Defaults]\r\n");
    for (int i = 0; i < 25; ++i) tree.Write("src\\" + std::to_string(i) + ".txt", "fourth!");
    Result held = Cli({"run", "--db", db});
    EXPECT_EQ(held.exitCode, 5u) << held.out;
    EXPECT_EQ(tree.Read("out\\src\\1.txt"), "second");
}

}  // namespace
