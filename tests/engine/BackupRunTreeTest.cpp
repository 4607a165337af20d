// Whole runs over real folder trees under Wine.
#include <gtest/gtest.h>

#include "common/Seged.h"
#include "engine/BackupEngine.h"
#include "tests/engine/RecordingSurroundings.h"
#include "tests/support/ScratchFolder.h"

using namespace pelvane;
using Lines = std::vector<std::string>;

namespace {

SYSTEMTIME Day(WORD year, WORD month, WORD day, WORD hour = 12, WORD minute = 0, WORD second = 0) {
    return SYSTEMTIME{year, month, 0, day, hour, minute, second, 0};
}

class TreeRun : public ::testing::Test {
  protected:
    test::ScratchFolder tree;
    std::unique_ptr<FileSystem> fs = MakeWin32FileSystem();

    // Runs the given tasks (paths relative to the tree) and returns the surroundings.
    std::unique_ptr<RecordingSurroundings> Run(
        const std::vector<MemoryTaskRows::Task>& tasks,
        const std::function<void(RecordingSurroundings&)>& setup = {}) {
        std::vector<MemoryTaskRows::Task> full;
        for (const auto& [source, target] : tasks) full.emplace_back(tree.Path(source), tree.Path(target));
        auto s = std::make_unique<RecordingSurroundings>(full);
        if (setup) setup(*s);
        BackupEngine engine(*s, *fs);
        engine.Button1Click();
        return s;
    }
};

TEST_F(TreeRun, MapsEachFileBelowTheSourcesLastFolderNameAndSkipsEmptyFolders) {
    tree.Write("src\\Docs\\a.txt", "alpha");
    tree.Write("src\\Docs\\2008\\b.txt", "beta");
    tree.Write("src\\Docs\\2008\\deep\\árvíztűrő.doc", "gamma");
    tree.MakeFolder("src\\Docs\\empty\\inner");
    auto s = Run({{"src\\Docs", "out"}});

    EXPECT_EQ(tree.Files("out"),
              (Lines{"Docs\\2008\\b.txt", "Docs\\2008\\deep\\árvíztűrő.doc", "Docs\\a.txt"}));
    EXPECT_FALSE(tree.Exists("out\\Docs\\empty"));
    EXPECT_EQ(tree.Read("out\\Docs\\2008\\deep\\árvíztűrő.doc"), "gamma");
    EXPECT_EQ(s->Body(), (Lines{"*** Feladat: " + tree.Path("src\\Docs") + " >> " + tree.Path("out"),
                                "Összesen    14"}));
    EXPECT_TRUE(s->log.front().rfind("*** Mentés indul: ", 0) == 0);
    EXPECT_TRUE(s->log.back().rfind("*** Mentés kész: ", 0) == 0);
    EXPECT_EQ(s->stepped, 14);
    EXPECT_EQ(s->position, 0);  // reset when the task ends
    EXPECT_EQ(s->progressMax, 14);
}

TEST_F(TreeRun, TrailingBackslashesGiveTheSameTargets) {
    tree.Write("src\\Docs\\a.txt", "alpha");
    Run({{"src\\Docs\\", "one\\"}, {"src\\Docs", "two"}});
    EXPECT_EQ(tree.Files("one"), Lines{"Docs\\a.txt"});
    EXPECT_EQ(tree.Files("two"), Lines{"Docs\\a.txt"});
}

TEST_F(TreeRun, HiddenAndSystemFoldersAreSkippedButHiddenAndReadOnlyFilesAreCopied) {
    tree.Write("src\\D\\hidden.txt", "h");
    tree.Write("src\\D\\readonly.txt", "r");
    tree.Write("src\\D\\H\\inside.txt", "x");
    tree.Write("src\\D\\S\\inside.txt", "x");
    SetFileAttributesA(tree.Path("src\\D\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(tree.Path("src\\D\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(tree.Path("src\\D\\H").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(tree.Path("src\\D\\S").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM);
    auto s = Run({{"src\\D", "out"}});

    EXPECT_EQ(tree.Files("out"), (Lines{"D\\hidden.txt", "D\\readonly.txt"}));
    EXPECT_TRUE(tree.Attributes("out\\D\\hidden.txt") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(tree.Attributes("out\\D\\readonly.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(s->Errors().empty());
}

TEST_F(TreeRun, ExclusionComparesExtensionsFoldingOnlyAtoZ) {
    for (const char* name :
         {"a.TMP", "b.temp", ".tmp", "noext", "c.tar.gz", "d.tmp.txt", "e.Á", "f.á", "g.x21"})
        tree.Write(std::string("src\\E\\") + name, "data");
    auto s = Run({{"src\\E", "out"}}, [](RecordingSurroundings& s) {
        // Twenty-one fields: the last one never takes part; ".á" matches only itself.
        s.excluded = ".tmp;.temp;.gz;.á;;.5;.6;.7;.8;.9;.10;.11;.12;.13;.14;.15;.16;.17;.18;.19;.x21";
    });
    EXPECT_EQ(tree.Files("out"), (Lines{"E\\d.tmp.txt", "E\\e.Á", "E\\g.x21", "E\\noext"}));
    EXPECT_EQ(s->stepped, 9 * 4);  // excluded files advance the bar as well
    EXPECT_EQ(s->status, "");
}

TEST_F(TreeRun, ABlankAfterTheSeparatorBelongsToTheField) {
    tree.Write("src\\E\\a.tmp", "1");
    tree.Write("src\\E\\b.temp", "2");
    Run({{"src\\E", "out"}}, [](RecordingSurroundings& s) { s.excluded = ".tmp; .temp"; });
    EXPECT_EQ(tree.Files("out"), Lines{"E\\b.temp"});
}

TEST_F(TreeRun, AnExcludedFilesOlderCopyKeepsItsContentButTakesTheDate) {
    tree.Write("src\\E\\a.tmp", "new", Day(2020, 5, 6));
    tree.Write("out\\E\\a.tmp", "old", Day(2010, 1, 1));
    Run({{"src\\E", "out"}});
    EXPECT_EQ(tree.Read("out\\E\\a.tmp"), "old");
    EXPECT_EQ(GetFileAge(tree.Path("out\\E\\a.tmp")), GetFileAge(tree.Path("src\\E\\a.tmp")));
}

TEST_F(TreeRun, CopiesCarryTheSourcesPackedDate) {
    tree.Write("src\\D\\a.txt", "a", Day(2008, 3, 14, 15, 9, 27));
    tree.Write("src\\D\\empty.txt", "");
    Run({{"src\\D", "out"}});
    int32_t age = GetFileAge(tree.Path("out\\D\\a.txt"));
    EXPECT_EQ(age, GetFileAge(tree.Path("src\\D\\a.txt")));
    EXPECT_EQ(age & 0x1F, 27 / 2);  // two-second steps
    EXPECT_EQ(tree.Read("out\\D\\empty.txt"), "");
}

TEST_F(TreeRun, NewerMethodCopiesMissingAndNewerFilesOnly) {
    tree.Write("src\\D\\missing.txt", "m", Day(2015, 1, 1));
    tree.Write("src\\D\\equal.txt", "src", Day(2015, 1, 1));
    tree.Write("src\\D\\older.txt", "src", Day(2014, 1, 1));
    tree.Write("src\\D\\newer.txt", "src", Day(2016, 1, 1));
    tree.Write("out\\D\\equal.txt", "copy", Day(2015, 1, 1, 12, 0, 1));  // same packed date
    tree.Write("out\\D\\older.txt", "copy", Day(2015, 1, 1));
    tree.Write("out\\D\\newer.txt", "copy", Day(2015, 1, 1));
    auto s = Run({{"src\\D", "out"}}, [](RecordingSurroundings& s) { s.method = 2; });

    EXPECT_EQ(tree.Read("out\\D\\missing.txt"), "m");
    EXPECT_EQ(tree.Read("out\\D\\equal.txt"), "copy");
    EXPECT_EQ(tree.Read("out\\D\\older.txt"), "copy");
    EXPECT_EQ(tree.Read("out\\D\\newer.txt"), "src");
    EXPECT_EQ(s->stepped, 1 + 3);  // files passed over do not move the bar

    // A second run finds every copy current.
    auto again = Run({{"src\\D", "out"}}, [](RecordingSurroundings& s) { s.method = 2; });
    EXPECT_EQ(again->stepped, 0);
}

TEST_F(TreeRun, MissingSourceLogsAZeroTotal) {
    auto s = Run({{"nothing\\here", "out"}});
    EXPECT_EQ(s->Body(), (Lines{"*** Feladat: " + tree.Path("nothing\\here") + " >> " + tree.Path("out"),
                                "Összesen    0"}));
    EXPECT_FALSE(tree.Exists("out"));
}

TEST_F(TreeRun, FailuresOfSingleFilesBecomeErrorLinesAndTheRunGoesOn) {
    tree.Write("src\\D\\1 vanishing.txt", "v");
    tree.Write("src\\D\\2 locked.txt", "l");
    tree.Write("src\\D\\3 blocked.txt", "b");
    tree.Write("src\\D\\4 fine.txt", "f");
    tree.MakeFolder("out\\D\\3 blocked.txt");  // a folder where the copy should go
    HANDLE lock = CreateFileA(tree.Path("src\\D\\2 locked.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    bool deleted = false;
    auto s = Run({{"src\\D", "out"}}, [&](RecordingSurroundings& s) {
        s.onMessages = [&] {  // the first copy-pass stop check comes after 1 + 4 others
            if (!deleted && s.messageCalls == 6)
                deleted = DeleteFileA(tree.Path("src\\D\\1 vanishing.txt").c_str());
        };
    });
    CloseHandle(lock);

    ASSERT_TRUE(deleted);
    Lines errors = s->Errors();
    ASSERT_EQ(errors.size(), 3u);
    std::string src = tree.Path("src\\D\\");
    EXPECT_EQ(errors[0].rfind(
                  "Hiba: " + src + "1 vanishing.txt : Cannot open file \"" + src + "1 vanishing.txt\". ", 0),
              0u);
    EXPECT_EQ(errors[1].rfind("Hiba: " + src + "2 locked.txt : Cannot open file \"", 0), 0u);
    EXPECT_EQ(errors[2].rfind("Hiba: " + src + "3 blocked.txt : Cannot create file \"" +
                                  tree.Path("out\\D\\3 blocked.txt") + "\". ",
                              0),
              0u);
    for (const auto& line : errors) EXPECT_NE(line.back(), '.') << line;  // the system text is cut
    EXPECT_EQ(tree.Files("out"), Lines{"D\\4 fine.txt"});
    EXPECT_EQ(s->stepped, 1);  // only the good copy advanced the bar
}

TEST_F(TreeRun, NoTemporaryFileIsLeftBehind) {
    tree.Write("src\\D\\a.txt", "1");
    tree.Write("out\\D\\a.txt", "old");
    Run({{"src\\D", "out"}});
    EXPECT_EQ(tree.Files("out"), Lines{"D\\a.txt"});
    EXPECT_EQ(tree.Read("out\\D\\a.txt"), "1");
}

TEST_F(TreeRun, StopDuringTheFirstOfThreeTasks) {
    for (const char* name : {"a", "b", "c"}) tree.Write(std::string("src\\One\\") + name, "x");
    tree.Write("src\\Two\\t", "x");
    tree.Write("src\\Three\\t", "x");
    BackupEngine* running = nullptr;
    auto s = std::make_unique<RecordingSurroundings>(
        std::vector<MemoryTaskRows::Task>{{tree.Path("src\\One"), tree.Path("out")},
                                          {tree.Path("src\\Two"), tree.Path("out")},
                                          {tree.Path("src\\Three"), tree.Path("out")}});
    int copyChecks = 0;
    s->onMessages = [&] {
        // One scan call, three mapping checks, then the copy pass: stop before the second file.
        if (s->messageCalls > 4 && ++copyChecks == 2) running->Button5Click();
    };
    BackupEngine engine(*s, *fs);
    running = &engine;
    engine.Button1Click();

    EXPECT_EQ(s->Body(),
              (Lines{"*** Feladat: " + tree.Path("src\\One") + " >> " + tree.Path("out"), "Összesen    3",
                     "*** Feladat: " + tree.Path("src\\Two") + " >> " + tree.Path("out"),
                     "*** Feladat: " + tree.Path("src\\Three") + " >> " + tree.Path("out")}));
    EXPECT_EQ(tree.Files("out"), Lines{"One\\a"});
    EXPECT_EQ(s->position, 0);
    EXPECT_TRUE(s->runButton);
    EXPECT_FALSE(s->stopButton);
}

TEST_F(TreeRun, OnlyTheCurrentTask) {
    tree.Write("src\\One\\a", "x");
    tree.Write("src\\Two\\b", "x");
    tree.Write("src\\Three\\c", "x");
    auto s =
        Run({{"src\\One", "out"}, {"src\\Two", "out"}, {"src\\Three", "out"}}, [](RecordingSurroundings& s) {
            s.onlyCurrent = true;
            s.rows.MoveTo(1);
        });
    EXPECT_EQ(s->Body(),
              (Lines{"*** Feladat: " + tree.Path("src\\Two") + " >> " + tree.Path("out"), "Összesen    1"}));
    EXPECT_EQ(tree.Files("out"), Lines{"Two\\b"});
    EXPECT_EQ(s->rows.Source(), tree.Path("src\\Two"));  // the cursor stays
}

}  // namespace
