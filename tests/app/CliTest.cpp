// pelvane-cli as a user or a script sees it: arguments, output, exit status.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "common/Handles.h"
#include "common/Seged.h"
#include "common/Text.h"
#include "tests/app/CliSupport.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TaskDatabase.h"

using namespace pelvane;
using namespace pelvane::test;

namespace {

TEST(Cli, RunsTasksAndPrintsTheLogInUtf8) {
    test::ScratchFolder tree;
    tree.Write("Árvíztűrő\\a.txt", "12345");
    tree.Write("Árvíztűrő\\b.tmp", "x");
    tree.Write("Two\\c.txt", "1");
    Result r = Cli({"run", tree.Path("Árvíztűrő"), tree.Path("out"), tree.Path("Two"), tree.Path("out")});
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    auto lines = r.Lines();
    ASSERT_EQ(lines.size(), 6u) << r.out;
    EXPECT_EQ(lines[0].rfind(AnsiToUtf8("*** Mentés indul: "), 0), 0u);
    EXPECT_EQ(lines[1], AnsiToUtf8("*** Feladat: " + tree.Path("Árvíztűrő") + " >> " + tree.Path("out")));
    EXPECT_EQ(lines[2], AnsiToUtf8("Összesen    6"));
    EXPECT_EQ(lines[4], AnsiToUtf8("Összesen    1"));
    EXPECT_EQ(lines[5].rfind(AnsiToUtf8("*** Mentés kész: "), 0), 0u);
    EXPECT_EQ(tree.Read("out\\Árvíztűrő\\a.txt"), "12345");
    EXPECT_FALSE(tree.Exists("out\\Árvíztűrő\\b.tmp"));
}

// The lines of Pelvane.log in dir (or the folder below it), in UTF-8.
std::vector<std::string> LogFileLines(const test::ScratchFolder& dir, const std::wstring& below = L"") {
    return test::FileLines(dir.Path(below.empty() ? std::wstring(L"Pelvane.log") : below + L"\\Pelvane.log"));
}

TEST(Cli, EveryRunAppendsItsLinesToPelvaneLogBesideTheSettingsItUses) {
    DeleteFileA(ProgramFolder().Path("Pelvane.log").c_str());
    test::ScratchFolder tree;
    const std::wstring name = L"Mentés 日本";
    tree.Write(name + L"\\a.txt", "1");
    std::vector<std::string> printed;
    for (int run = 0; run < 2; ++run) {
        Result r = Cli(std::vector<std::wstring>{L"run", tree.Path(name), tree.Path(L"out")});
        EXPECT_EQ(r.exitCode, 0u) << r.err;
        for (const auto& line : r.Lines()) printed.push_back(line);
    }
    ASSERT_EQ(printed.size(), 8u);
    EXPECT_EQ(LogFileLines(ProgramFolder()), printed);  // pairs: beside the program
    EXPECT_NE(printed[1].find(WideToUtf8(name)), std::string::npos);

    // Stored tasks: beside the database; --no-log: nowhere.
    test::ScratchFolder data;
    test::MakeTaskDatabase(data.Path("Pelvane.sqb"));
    Result added = Cli(std::vector<std::wstring>{L"add", L"--db", AnsiToWide(data.Path("Pelvane.sqb")),
                                                 tree.Path(name), tree.Path(L"out2")});
    ASSERT_EQ(added.exitCode, 0u) << added.err;
    Result stored = Cli({"run", "--db", data.Path("Pelvane.sqb")});
    EXPECT_EQ(stored.exitCode, 0u) << stored.err;
    ASSERT_EQ(stored.Lines().size(), 4u) << stored.out;
    EXPECT_EQ(LogFileLines(data), stored.Lines());
    EXPECT_EQ(LogFileLines(ProgramFolder()).size(), 8u);
    Result unlogged = Cli({"run", "--no-log", "--db", data.Path("Pelvane.sqb")});
    EXPECT_EQ(unlogged.exitCode, 0u) << unlogged.err;
    EXPECT_EQ(unlogged.Lines().size(), 4u) << unlogged.out;
    EXPECT_EQ(LogFileLines(data), stored.Lines());
}

TEST(Cli, ALogFileThatCannotBeWrittenIsNotedOnceOnStandardErrorAndFailsNothing) {
    test::ScratchFolder data;
    test::MakeTaskDatabase(data.Path("Pelvane.sqb"));
    data.MakeFolder("Pelvane.log");
    data.Write("src\\a.txt", "1");
    ASSERT_EQ(Cli({"add", "--db", data.Path("Pelvane.sqb"), data.Path("src"), data.Path("out")}).exitCode,
              0u);
    Result r = Cli({"run", "--db", data.Path("Pelvane.sqb")});
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.Lines().size(), 4u);
    EXPECT_EQ(r.err.rfind(AnsiToUtf8("*** A naplófájl nem írható: " + data.Path("Pelvane.log") + " : "), 0),
              0u)
        << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    EXPECT_EQ(data.Read("out\\src\\a.txt"), "1");
}

TEST(Cli, TakesFoldersOutsideTheCodePageAndPrintsTheirTrueNames) {
    test::ScratchFolder tree;
    const std::wstring source = L"Русский 日本語 😀", target = L"Ελληνικά", name = L"naïve façade.txt";
    tree.Write(source + L"\\" + name, "12345");
    Result r = Cli(std::vector<std::wstring>{L"run", tree.Path(source), tree.Path(target)});
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    auto lines = r.Lines();
    ASSERT_EQ(lines.size(), 4u) << r.out;
    const std::string feladat =
        WideToUtf8(L"*** Feladat: " + tree.Path(source) + L" >> " + tree.Path(target));
    EXPECT_EQ(lines[1], feladat);
    EXPECT_EQ(tree.Read(target + L"\\" + source + L"\\" + name), "12345");
}

TEST(Cli, AFolderThatCannotBeListedGivesExitStatusOne) {
    test::ScratchFolder tree;
    Result r = Cli({"run", tree.Path("missing"), tree.Path("out")});
    EXPECT_EQ(r.exitCode, 1u);
    auto lines = r.Lines();
    ASSERT_EQ(lines.size(), 5u) << r.out;
    EXPECT_EQ(lines[2].rfind(AnsiToUtf8("Hiba: " + tree.Path("missing") + " : "), 0), 0u) << lines[2];
    EXPECT_EQ(lines[3], AnsiToUtf8("Összesen    0"));
}

TEST(Cli, OptionsReachTheRun) {
    test::ScratchFolder tree;
    tree.Write("One\\a.tmp", "x");
    tree.Write("Two\\b.tmp", "y");
    Result r = Cli({"run", "--exclude", "", "--current", "2", "--method", "2", tree.Path("One"),
                    tree.Path("out"), tree.Path("Two"), tree.Path("out")});
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(tree.Files("out"), std::vector<std::string>{"Two\\b.tmp"});
}

// The bar on standard error names the file at hand, by its true name; a
// name too long for the line keeps its end, never half a character.
TEST(Cli, TheProgressBarShowsTheFileAtHand) {
    test::ScratchFolder tree;
    const std::wstring name = L"日本語 ファイル.txt", tail = std::wstring(23, L'y') + L".txt";
    tree.Write(L"src\\" + name, "12345");
    tree.Write(L"src\\" + std::wstring(30, L'x') + L"😀" + tail, "67890");
    Result r = Cli(std::vector<std::wstring>{L"run", L"--progress", tree.Path(L"src"), tree.Path(L"out")});
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(r.Lines().size(), 4u) << r.out;  // the bar stays off standard output
    EXPECT_NE(r.err.find(WideToUtf8(L"% " + name + L"\x1b[K")), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(WideToUtf8(L"% ..." + tail + L"\x1b[K")), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("] 100% "), std::string::npos) << r.err;
    ASSERT_GE(r.err.size(), 4u);
    EXPECT_EQ(r.err.substr(r.err.size() - 4), "\r\x1b[K");  // gone when the run has ended
}

TEST(Cli, ErrorLinesGiveExitStatusOne) {
    test::ScratchFolder tree;
    tree.Write("src\\a.txt", "x");
    tree.MakeFolder("out\\src\\a.txt");
    Result r = Cli({"run", tree.Path("src"), tree.Path("out")});
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_NE(r.out.find("Hiba: "), std::string::npos);
}

TEST(Cli, UsageErrorsGiveExitStatusTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"backup"},
                                                                  {"run", "only-source"},
                                                                  {"run", "--method", "3", "a", "b"},
                                                                  {"run", "--current", "2", "a", "b"},
                                                                  {"run", "--bogus", "a", "b"},
                                                                  {"run", "a", "b", "--exclude"}}) {
        Result r = Cli(args);
        EXPECT_EQ(r.exitCode, 2u) << (args.empty() ? "" : args.back());
        EXPECT_NE(r.err.find("usage: pelvane-cli"), std::string::npos);
        EXPECT_TRUE(r.out.empty());
    }
}

// An empty task database in a scratch folder.
class StoredTasks : public ::testing::Test {
  protected:
    test::ScratchFolder tree;
    std::string db = tree.Path("Pelvane.sqb");
    void SetUp() override { test::MakeTaskDatabase(db); }
};

TEST_F(StoredTasks, AddListRemove) {
    Result first = Cli({"add", "--db", db, "C:\\Bob's files", "E:\\Mentés"});
    EXPECT_EQ(first.exitCode, 0u) << first.err;
    EXPECT_EQ(first.out, "1\n");
    Result second = Cli({"add", "--db", db, "C:\\Two", "E:\\"});
    EXPECT_EQ(second.exitCode, 0u) << second.err;
    EXPECT_EQ(second.out, "2\n");
    EXPECT_EQ(Cli({"list", "--db", db}).out,
              AnsiToUtf8("1\tC:\\Bob's files\tE:\\Mentés\n2\tC:\\Two\tE:\\\n"));
    EXPECT_EQ(Cli({"remove", "--db", db, "1"}).exitCode, 0u);
    Result missing = Cli({"remove", "--db", db, "1"});
    EXPECT_EQ(missing.exitCode, 3u);
    EXPECT_FALSE(missing.err.empty());
    EXPECT_EQ(Cli({"list", "--db", db}).out, "2\tC:\\Two\tE:\\\n");
    EXPECT_EQ(Cli({"add", "--db", db, "C:\\Three", "E:\\"}).out, "3\n");
}

TEST_F(StoredTasks, FoldersOutsideTheCodePageAreStoredExactly) {
    const std::wstring source = tree.Path(L"日本語 Ελληνικά"), target = L"E:\\naïve 😀";
    tree.Write(L"日本語 Ελληνικά\\a.txt", "a");
    EXPECT_EQ(Cli(std::vector<std::wstring>{L"add", L"--db", AnsiToWide(db), source, target}).out, "1\n");
    EXPECT_EQ(Cli({"list", "--db", db}).out, WideToUtf8(L"1\t" + source + L"\t" + target + L"\n"));

    // Never cut: a shorter path would name some other folder.
    const std::wstring longer = source + std::wstring(80, L'語');
    Result tooLong = Cli(std::vector<std::wstring>{L"add", L"--db", AnsiToWide(db), longer, target});
    EXPECT_EQ(tooLong.exitCode, 2u);
    EXPECT_EQ(Cli({"list", "--db", db}).Lines().size(), 1u);
}

TEST_F(StoredTasks, RunUsesTheStoredTasksAndTheOptionsBesideTheDatabase) {
    tree.Write("src\\a.dat", "1");
    tree.Write("src\\b.txt", "2");
    tree.Write("Pelvane.ini", "[Defaults]\r\nNoFile=.dat\r\n");
    ASSERT_EQ(Cli({"add", "--db", db, tree.Path("src"), tree.Path("out")}).exitCode, 0u);
    Result stored = Cli({"run", "--db", db});
    EXPECT_EQ(stored.exitCode, 0u) << stored.err;
    EXPECT_EQ(tree.Files("out"), std::vector<std::string>{"src\\b.txt"});
    EXPECT_EQ(Cli({"run", "--db", db, "--exclude", ".txt"}).exitCode, 0u);
    EXPECT_EQ(tree.Files("out"), (std::vector<std::string>{"src\\a.dat", "src\\b.txt"}));
    EXPECT_EQ(tree.Read("Pelvane.ini"), "[Defaults]\r\nNoFile=.dat\r\n");  // never written
}

TEST_F(StoredTasks, EmptyTableAndBrokenDatabases) {
    Result empty = Cli({"run", "--db", db});
    EXPECT_EQ(empty.exitCode, 1u);
    EXPECT_EQ(empty.err, AnsiToUtf8("Nincs végrehajtható feladat\n"));
    EXPECT_TRUE(empty.out.empty());

    Result missing = Cli({"list", "--db", tree.Path("typo.sqb")});
    EXPECT_EQ(missing.exitCode, 3u);
    EXPECT_FALSE(tree.Exists("typo.sqb"));  // not created by a mistyped path

    tree.Write("junk.sqb", "this is no database");
    Result junk = Cli({"run", "--db", tree.Path("junk.sqb")});
    EXPECT_EQ(junk.exitCode, 3u);
    EXPECT_NE(junk.err.find("not a database"), std::string::npos) << junk.err;
}

// Installed where a user named "Hélène" or "Мария" installs it: a program
// folder whose path the code page cannot hold. The program finds its own
// database, settings and log file there, and --db takes any path, also a
// relative one from a current folder outside the code page.
TEST(Cli, WorksFromAProgramFolderOutsideTheCodePage) {
    test::ScratchFolder home;
    const std::wstring program = L"Hélène Мария\\Pelvane", source = L"Forrás Мария", target = L"Cél";
    home.MakeFolder(program);
    const std::wstring folder = home.Path(program), exe = folder + L"\\pelvane-cli.exe";
    for (const wchar_t* file : {L"pelvane-cli.exe", L"sqlite3.dll"}) ASSERT_TRUE(CopyFromBuild(file, folder));
    test::MakeTaskDatabase(folder + L"\\Pelvane.sqb");
    home.Write(program + L"\\Pelvane.ini", "[Defaults]\r\nNoFile=.dat\r\n");
    home.Write(source + L"\\a.txt", "1");
    home.Write(source + L"\\b.dat", "2");

    Result add = CliAt(exe, {L"add", home.Path(source), home.Path(target)});
    EXPECT_EQ(add.exitCode, 0u) << add.err;
    EXPECT_EQ(add.out, "1\n");
    Result list = CliAt(exe, {L"list"});
    EXPECT_EQ(list.exitCode, 0u) << list.err;
    EXPECT_EQ(list.out, WideToUtf8(L"1\t" + home.Path(source) + L"\t" + home.Path(target) + L"\n"));
    Result run = CliAt(exe, {L"run"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;  // the log file was written
    EXPECT_EQ(home.Read(target + L"\\" + source + L"\\a.txt"), "1");
    EXPECT_FALSE(home.Exists(target + L"\\" + source + L"\\b.dat"));  // the options of the Pelvane.ini there
    EXPECT_EQ(LogFileLines(home, program), run.Lines());
    ASSERT_EQ(run.Lines().size(), 4u);
    EXPECT_EQ(run.Lines()[1], WideToUtf8(L"*** Feladat: " + home.Path(source) + L" >> " + home.Path(target)));

    // --db in another such folder, given in full and relative to the current folder.
    const std::wstring data = L"Мария adatai";
    home.MakeFolder(data);
    test::MakeTaskDatabase(home.Path(data + L"\\Pelvane.sqb"));
    const std::wstring db = home.Path(data + L"\\Pelvane.sqb");
    EXPECT_EQ(CliAt(exe, {L"add", L"--db", db, home.Path(source), home.Path(L"Másik")}).out, "1\n");
    Result relative = CliAt(exe, {L"run", L"--db", L"Pelvane.sqb"}, home.Path(data));
    EXPECT_EQ(relative.exitCode, 0u) << relative.err;
    EXPECT_EQ(home.Read(L"Másik\\" + source + L"\\b.dat"), "2");  // no Pelvane.ini beside this one
    EXPECT_EQ(LogFileLines(home, data), relative.Lines());
    EXPECT_EQ(LogFileLines(home, program).size(), 4u);

    // A mistyped one names the true path in the message, in the code page.
    Result missing = CliAt(exe, {L"list", L"--db", home.Path(data + L"\\nincs.sqb")});
    EXPECT_EQ(missing.exitCode, 3u);
    EXPECT_EQ(missing.err,
              AnsiToUtf8("Database " + home.Path() + "\\????? adatai\\nincs.sqb does not exist\n"));
    EXPECT_FALSE(home.Exists(data + L"\\nincs.sqb"));
}

// Help, a task that collides with a stored one, and runs that end early.

TEST(Cli, HelpPrintsTheUsageWithExitStatusZero) {
    for (const char* request : {"--help", "-h", "help"}) {
        Result r = Cli({request});
        EXPECT_EQ(r.exitCode, 0u) << request;
        EXPECT_EQ(r.out.rfind("usage: pelvane-cli", 0), 0u) << request;
        EXPECT_NE(r.out.find("4 the run was stopped"), std::string::npos) << request;
        EXPECT_NE(r.out.find("5 the change guard held a task"), std::string::npos) << request;
        EXPECT_NE(r.out.find("--keep-days N"), std::string::npos) << request;
        EXPECT_NE(r.out.find("--accept-changes"), std::string::npos) << request;
        EXPECT_EQ(r.err, "") << request;
    }
}

TEST_F(StoredTasks, AddWarnsOfATaskWhoseCopiesWouldShareAFolderAndStoresIt) {
    Result first = Cli({"add", "--db", db, "C:\\Users\\anna\\Documents", "E:\\Save"});
    EXPECT_EQ(first.err, "");
    Result second = Cli({"add", "--db", db, "D:\\Work\\documents\\", "e:\\save\\"});
    EXPECT_EQ(second.exitCode, 0u);
    EXPECT_EQ(second.out, "2\n");
    EXPECT_EQ(
        second.err,
        "pelvane-cli: warning: the copies of this task would go to the same folder (e:\\save\\documents) "
        "as those of task 1 (C:\\Users\\anna\\Documents >> E:\\Save); a run leaves out the later of "
        "the two\n");
    EXPECT_EQ(Cli({"list", "--db", db}).Lines().size(), 2u);
    EXPECT_EQ(Cli({"add", "--db", db, "D:\\Work\\Other", "E:\\Save"}).err, "");
}

// A run of pelvane-cli that is still going.
struct RunningCli {
    KernelHandle process;
    CapturedOutput out{"running_out"}, err{"running_err"};

    explicit RunningCli(const std::vector<std::string>& args) {
        std::vector<std::wstring> wide;
        for (const auto& a : args) wide.push_back(AnsiToWide(a));
        process = StartCli(ProgramFolder().Path(L"pelvane-cli.exe"), wide, {}, out, err);
    }
    bool Ended() const { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }
    DWORD Wait() { return WaitForCli(process.get()); }
};

// A source whose one file is a sparse gigabyte: its copy takes a while.
void WriteBigSource(const test::ScratchFolder& tree) {
    tree.Write("Big\\big.iso", "");
    FileHandle file(
        CreateFileA(tree.Path("Big\\big.iso").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size;
    size.QuadPart = 1LL << 30;
    SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN);
    SetEndOfFile(file.get());
}

// Waits until the copy's temporary file is there (the run is inside the
// file) or the run has ended; true for the former.
bool WaitForTheTemporaryFile(RunningCli& run, const std::string& folder) {
    while (!run.Ended()) {
        WIN32_FIND_DATAA fd;
        FindHandle find(FindFirstFileA((folder + "\\~pelvane*.tmp").c_str(), &fd));
        if (find) return true;
        Sleep(5);  // polling for the file itself
    }
    return false;
}

TEST(Cli, AKilledRunLeavesNoTemporaryFile) {
    test::ScratchFolder tree;
    WriteBigSource(tree);
    RunningCli run({"run", "--no-log", tree.Path("Big"), tree.Path("out")});
    ASSERT_TRUE(run.process);
    ASSERT_TRUE(WaitForTheTemporaryFile(run, tree.Path("out\\Big"))) << "the copy ended before it was seen";
    TerminateProcess(run.process.get(), 9);  // as log-off or the Task Scheduler ends it
    EXPECT_EQ(run.Wait(), 9u);
    EXPECT_EQ(tree.Files("out"), std::vector<std::string>{});
}

// Restores: the tree of one task's backup, from folder pairs or a stored
// task, as it stands or as it stood at a moment.

SYSTEMTIME Day(WORD year, WORD month, WORD day) {
    return SYSTEMTIME{year, month, 0, day, 12, 0, 0, 0};
}

TEST(Cli, RestoreWritesATasksTreeAsItStandsOrAsItStoodFromPairsAndStoredTasks) {
    test::ScratchFolder tree;
    const std::wstring task = L"Mentés 日本";
    tree.Write(task + L"\\a.txt", "a now", Day(2024, 3, 1));
    tree.Write(task + L"\\sub\\b.txt", "b", Day(2024, 1, 1));
    ASSERT_EQ(
        Cli(std::vector<std::wstring>{L"run", L"--no-log", tree.Path(task), tree.Path(L"Save")}).exitCode,
        0u);
    // What a run keeps of a.txt when it replaced its copy on 2024-02-15.
    tree.Write(L"Save\\Pelvane-változatok\\" + task + L"\\a (2024-02-15 120000).txt", "a before",
               Day(2024, 1, 10));

    DeleteFileA(ProgramFolder().Path("Pelvane.log").c_str());
    Result latest =
        Cli(std::vector<std::wstring>{L"restore", tree.Path(task), tree.Path(L"Save"), tree.Path(L"Most")});
    EXPECT_EQ(latest.exitCode, 0u) << latest.err;
    auto lines = latest.Lines();
    ASSERT_EQ(lines.size(), 5u) << latest.out;
    EXPECT_EQ(lines[0].rfind(AnsiToUtf8("*** Visszaállítás indul: "), 0), 0u);
    EXPECT_EQ(lines[1], WideToUtf8(L"*** Feladat: " + tree.Path(task) + L" >> " + tree.Path(L"Save")));
    EXPECT_EQ(lines[2], WideToUtf8(L"*** Állapot: legutóbbi >> " + tree.Path(L"Most\\" + task)));
    EXPECT_EQ(lines[3], AnsiToUtf8("Összesen    6"));
    EXPECT_EQ(lines[4].rfind(AnsiToUtf8("*** Visszaállítás kész: "), 0), 0u);
    EXPECT_EQ(tree.Read(L"Most\\" + task + L"\\a.txt"), "a now");
    EXPECT_EQ(tree.Read(L"Most\\" + task + L"\\sub\\b.txt"), "b");
    EXPECT_EQ(LogFileLines(ProgramFolder()), lines);  // pairs: beside the program

    test::ScratchFolder data;
    test::MakeTaskDatabase(data.Path("Pelvane.sqb"));
    const std::wstring db = AnsiToWide(data.Path("Pelvane.sqb"));
    ASSERT_EQ(Cli(std::vector<std::wstring>{L"add", L"--db", db, L"C:\\Other", L"E:\\"}).exitCode, 0u);
    ASSERT_EQ(
        Cli(std::vector<std::wstring>{L"add", L"--db", db, tree.Path(task), tree.Path(L"Save")}).exitCode,
        0u);
    Result asOf = Cli(std::vector<std::wstring>{L"restore", L"--as-of", L"2024.02.01 00:00", L"--db", db,
                                                L"--task", L"2", tree.Path(L"Február")});
    EXPECT_EQ(asOf.exitCode, 0u) << asOf.err;
    ASSERT_EQ(asOf.Lines().size(), 5u) << asOf.out;
    EXPECT_EQ(asOf.Lines()[2],
              WideToUtf8(L"*** Állapot: 2024.02.01 00:00:00 >> " + tree.Path(L"Február\\" + task)));
    EXPECT_EQ(tree.Files(L"Február\\" + task), (std::vector<std::wstring>{L"a.txt", L"sub\\b.txt"}));
    EXPECT_EQ(tree.Read(L"Február\\" + task + L"\\a.txt"), "a before");
    EXPECT_EQ(LogFileLines(data), asOf.Lines());  // stored tasks: beside the database

    Result missing =
        Cli(std::vector<std::wstring>{L"restore", L"--db", db, L"--task", L"7", tree.Path(L"Hét")});
    EXPECT_EQ(missing.exitCode, 3u);
    EXPECT_EQ(missing.err, AnsiToUtf8("Nincs 7 azonosítójú feladat\n"));
    EXPECT_FALSE(tree.Exists(L"Hét"));
}

TEST(Cli, ARestoreIntoAFolderThatIsNotNewAndEmptyOrLiesInTheBackupOrSourceIsRefused) {
    test::ScratchFolder tree;
    tree.Write("Save\\Docs\\a.txt", "copy");
    tree.Write("Full\\mine.txt", "mine");
    const std::string source = tree.Path("Docs"), target = tree.Path("Save");
    for (const std::string into : {"Full", "Save\\Docs\\Vissza", "Docs\\Vissza"}) {
        Result r = Cli({"restore", source, target, tree.Path(into)});
        EXPECT_EQ(r.exitCode, 2u) << into;
        EXPECT_EQ(r.err.rfind(AnsiToUtf8("pelvane-cli: A "), 0), 0u) << r.err;
        EXPECT_NE(r.err.find(AnsiToUtf8(tree.Path(into))), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(tree.Files(""), (std::vector<std::string>{"Full\\mine.txt", "Save\\Docs\\a.txt"}));

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"restore", source, target},
             {"restore", "--as-of", "2024.02.30 10:00", source, target, tree.Path("Out")},
             {"restore", "--as-of", "yesterday", source, target, tree.Path("Out")},
             {"restore", "--db", tree.Path("Pelvane.sqb"), source, target, tree.Path("Out")},
             {"restore", "--task", "1", source, tree.Path("Out")},
             {"restore", "--keep", source, target, tree.Path("Out")}}) {
        Result r = Cli(args);
        EXPECT_EQ(r.exitCode, 2u) << args[2];
        EXPECT_NE(r.err.find("usage: pelvane-cli"), std::string::npos) << args[2];
    }
    EXPECT_FALSE(tree.Exists("Out"));
    Result help = Cli({"--help"});
    EXPECT_NE(help.out.find("pelvane-cli restore [--as-of"), std::string::npos);
}

}  // namespace
