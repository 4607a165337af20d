#include "ui/MainWindow.h"

#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <thread>

#include "common/Handles.h"
#include "common/Text.h"
#include "settings/Autostart.h"
#include "tests/support/ScratchKey.h"
#include "tests/ui/MainWindowTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/Application.h"
#include "ui/InputDialog.h"

namespace pelvane {
namespace {

using test::BoxInfo;

std::string Text(HWND wnd) {
    char buf[512] = {};
    GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

// A control's rectangle relative to its parent, in 96-dpi pixels.
RECT Placement(HWND wnd) {
    RECT rc;
    GetWindowRect(wnd, &rc);
    MapWindowPoints(nullptr, GetParent(wnd), reinterpret_cast<POINT*>(&rc), 2);
    return RECT{MulDiv(rc.left, 96, SystemDpi()), MulDiv(rc.top, 96, SystemDpi()),
                MulDiv(rc.right, 96, SystemDpi()), MulDiv(rc.bottom, 96, SystemDpi())};
}

bool Enabled(HWND wnd) {
    return IsWindowEnabled(wnd) != FALSE;
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::ResetProgramFolder();
        SetAutostartRoot(root.get());
    }
    void TearDown() override {
        form.reset();
        SetAutostartRoot(HKEY_CURRENT_USER);
        // A close without a main form link would have ended the loop.
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    Tfrm_Main& Create() {
        form = std::make_unique<Tfrm_Main>(&mainForm);
        return *form;
    }
    HWND C(int id) const { return form->Control(id); }
    void Click(int id) {
        SendMessageA(C(id), BM_CLICK, 0, 0);
        test::ProcessQueue();
    }
    // The window over two one-file tasks, One and Two, both saved into Save.
    Tfrm_Main& CreateWithTwoTasks(const test::TreeFolder& tree) {
        tree.Write("One\\a.txt", "a");
        tree.Write("Two\\b.txt", "b");
        Tfrm_Main& f = Create();
        AddTaskThroughGrid(tree.Path() + "\\One", tree.Path() + "\\Save");
        AddTaskThroughGrid(tree.Path() + "\\Two", tree.Path() + "\\Save");
        return f;
    }
    // Stores a task the way a user does it in the grid: a folder chosen for
    // each cell of a new row.
    void AddTaskThroughGrid(const std::string& from, const std::string& to) {
        TDataSet& tbl = form->Store().Table();
        if (tbl.RecordCount() > 0) {
            tbl.Last();
            SendMessageA(form->DBGrid1().Handle(), WM_KEYDOWN, VK_DOWN, 0);  // a new row below the last
        }
        std::wstring next = AnsiToWide(from);
        form->SetFolderBrowser([&next](const FolderRequest&, std::wstring& path) {
            path = next;
            return true;
        });
        form->DBGrid1().SetSelectedIndex(0);
        form->DBGrid1DblClick();
        next = AnsiToWide(to);
        form->DBGrid1().SetSelectedIndex(1);
        form->DBGrid1DblClick();
        form->SetFolderBrowser(ShellBrowseForFolder);
    }
    std::vector<std::string> Log() {
        std::vector<std::string> lines;
        for (size_t i = 0; i < form->LogView1().LineCount(); ++i) lines.push_back(form->LogView1().Line(i));
        return lines;
    }

    test::ScratchKey root{"mainwindow"};  // stands for HKEY_CURRENT_USER
    test::FakeMainForm mainForm;
    std::unique_ptr<Tfrm_Main> form;
};

TEST_F(MainWindowTest, LayoutTextsAndInitialState) {
    Tfrm_Main& f = Create();
    RECT client;
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(Scale(573), client.right);
    EXPECT_EQ(Scale(463), client.bottom);
    EXPECT_EQ("Pelvane", Text(f.Handle()));
    LONG_PTR style = GetWindowLongPtrA(f.Handle(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(IsWindowVisible(f.Handle()));  // created hidden; the entry shows it

    struct Expect {
        int id;
        const char* text;
        RECT at;
    };
    const Expect controls[] = {
        {Tfrm_Main::kPanel1, "", {0, 0, 573, 290}},
        {Tfrm_Main::kRadioGroup1, "Módszer", {8, 8, 241, 109}},
        {Tfrm_Main::kGroupBox1, "Egyéb", {248, 44, 465, 109}},
        {Tfrm_Main::kCheckBox2, "Csak aktuális feladat", {8, 20, 133, 37}},
        {Tfrm_Main::kCheckBox4, "Archív jelző törlése másolás után", {8, 40, 185, 57}},
        {Tfrm_Main::kGroupBox2, "Rendszeres", {8, 112, 285, 209}},
        {Tfrm_Main::kCheckBox1, "Automatikus indítás Windows indításakor", {8, 20, 233, 37}},
        {Tfrm_Main::kRadioButton1, "Rendszeres mentés naponta", {8, 44, 185, 61}},
        {Tfrm_Main::kDateTimePicker1, nullptr, {188, 40, 265, 61}},
        {Tfrm_Main::kRadioButton2, "Folyamatos mentés (percenként)", {8, 72, 185, 89}},
        {Tfrm_Main::kEdit1, nullptr, {188, 68, 264, 89}},
        {Tfrm_Main::kGroupBox3, "Névjegy", {292, 112, 465, 209}},
        {Tfrm_Main::kGroupBox4, "Védelem", {8, 212, 465, 282}},
        {Tfrm_Main::kImage2, "", {8, 36, 40, 68}},
        {Tfrm_Main::kImage1, "", {284, 8, 441, 41}},
        {Tfrm_Main::kButton1, "Archiválás most", {472, 8, 565, 33}},
        {Tfrm_Main::kButton5, "Megállít", {472, 36, 565, 61}},
        {Tfrm_Main::kButton4, "Kizárt filetípusok", {472, 64, 565, 89}},
        {Tfrm_Main::kButton7, "Súgó", {472, 124, 565, 149}},
        {Tfrm_Main::kButton2, "Háttérben", {472, 156, 565, 181}},
        {Tfrm_Main::kButton3, "Bezár", {472, 184, 565, 209}},
        {Tfrm_Main::kPageControl1, "", {0, 290, 573, 427}},
        {Tfrm_Main::kProgressBar1, "", {0, 427, 573, 444}},
        {Tfrm_Main::kStatusBar1, nullptr, {0, 444, 573, 463}},
    };
    for (const Expect& e : controls) {
        SCOPED_TRACE(e.id);
        HWND wnd = C(e.id);
        ASSERT_NE(nullptr, wnd);
        if (e.text) {
            EXPECT_EQ(e.text, Text(wnd));
        }
        RECT at = Placement(wnd);
        EXPECT_EQ(e.at.left, at.left);
        EXPECT_EQ(e.at.top, at.top);
        EXPECT_EQ(e.at.right, at.right);
        EXPECT_EQ(e.at.bottom, at.bottom);
    }
    // Each count field: a label, the field with its arrows inside its
    // width, and a label after it, on one line.
    struct CountRow {
        int label, field, arrows, after;
        const char* text;
        const char* afterText;
        int top;
    };
    for (const CountRow& r :
         {CountRow{Tfrm_Main::kLabel1, Tfrm_Main::kEdit2, Tfrm_Main::kUpDown1, Tfrm_Main::kLabel2,
                   "Régi változatok megőrzése", "napig (0: soha)", 17},
          CountRow{Tfrm_Main::kLabel3, Tfrm_Main::kEdit3, Tfrm_Main::kUpDown2, Tfrm_Main::kLabel4,
                   "Figyelmeztetés, ha a másolatok több mint", "%-a változna (0: soha)", 41}}) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(r.text, Text(C(r.label)));
        EXPECT_EQ(r.afterText, Text(C(r.after)));
        const RECT label = Placement(C(r.label)), field = Placement(C(r.field)),
                   arrows = Placement(C(r.arrows)), after = Placement(C(r.after));
        EXPECT_EQ(8, label.left);
        EXPECT_EQ(r.top + 4, label.top);
        EXPECT_LT(label.right, field.left);  // the longer label's text fits before the field
        EXPECT_EQ(236, field.left);
        EXPECT_EQ(r.top, field.top);
        EXPECT_EQ(r.top + 21, field.bottom);
        // The arrows stand at the field's right edge, within its width.
        EXPECT_LE(arrows.left, field.right);
        EXPECT_GE(arrows.left, field.right - 2);
        EXPECT_LE(arrows.right, 286);
        EXPECT_GE(arrows.right, 282);
        EXPECT_EQ(292, after.left);
        EXPECT_LT(after.right, 457);
        EXPECT_EQ(C(r.field), reinterpret_cast<HWND>(SendMessageA(C(r.arrows), UDM_GETBUDDY, 0, 0)));
    }
    EXPECT_EQ("Biztonsági mentés program", Text(C(Tfrm_Main::kLabel13)));
    EXPECT_FALSE(Enabled(C(Tfrm_Main::kLabel13)));
    EXPECT_EQ(Tfrm_Main::kWebLabel, Text(C(Tfrm_Main::kLabel17)));
    const char* items[] = {"Összes file másolása", "Csak módosított file-ok másolása",
                           "Csak újabb file-ok másolása (lassabb)"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(items[i], Text(C(Tfrm_Main::kRadio0 + i))) << i;

    // Tahoma 8 pt, Central European.
    LOGFONTA lf = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(C(Tfrm_Main::kButton1), WM_GETFONT, 0, 0)), sizeof lf,
               &lf);
    EXPECT_STREQ("Tahoma", lf.lfFaceName);
    EXPECT_EQ(Scale(-11), lf.lfHeight);
    EXPECT_EQ(EASTEUROPE_CHARSET, lf.lfCharSet);

    // Initial state with no settings file.
    EXPECT_TRUE(Enabled(C(Tfrm_Main::kButton1)));
    EXPECT_FALSE(Enabled(C(Tfrm_Main::kButton5)));
    EXPECT_EQ(0, f.Settings().Method());
    EXPECT_FALSE(f.Settings().AutoStart());
    EXPECT_TRUE(f.Settings().DailyRun());
    EXPECT_FALSE(Enabled(C(Tfrm_Main::kRadioButton1)));
    // Version 6 controls (the program's manifest) are Unicode windows; the
    // masked field must still hold its text.
    EXPECT_TRUE(IsWindowUnicode(C(Tfrm_Main::kEdit1)));
    EXPECT_EQ("60  ", f.Settings().IntervalText());
    EXPECT_EQ(".tmp;.temp", f.Settings().ExcludedTypes());
    EXPECT_EQ("30", Text(C(Tfrm_Main::kEdit2)));
    EXPECT_EQ("50", Text(C(Tfrm_Main::kEdit3)));
    EXPECT_EQ(0, f.ActivePage());
    EXPECT_EQ("", f.StatusText(0));
    EXPECT_EQ("Folyamatos aktív: Nem", f.StatusText(1));
    EXPECT_EQ("Rendszeres aktív: Nem", f.StatusText(2));
    EXPECT_EQ(10, f.Settings().WindowLeft());
    EXPECT_EQ(10, f.Settings().WindowTop());

    // The tab order inside Panel1, then the page control and the grid.
    std::vector<HWND> order;
    HWND at = GetNextDlgTabItem(f.Handle(), C(Tfrm_Main::kButton1), FALSE);
    order.push_back(C(Tfrm_Main::kButton1));
    for (int i = 0; i < 14 && at && at != order.front(); ++i) {
        order.push_back(at);
        at = GetNextDlgTabItem(f.Handle(), at, FALSE);
    }
    std::vector<HWND> expected = {
        C(Tfrm_Main::kButton1),         C(Tfrm_Main::kButton2),   C(Tfrm_Main::kButton3),
        C(Tfrm_Main::kDateTimePicker1), C(Tfrm_Main::kCheckBox1), C(Tfrm_Main::kEdit1),
        C(Tfrm_Main::kButton4),         C(Tfrm_Main::kRadio0),    C(Tfrm_Main::kCheckBox2),
        C(Tfrm_Main::kCheckBox4),       C(Tfrm_Main::kEdit2),     C(Tfrm_Main::kEdit3),
        C(Tfrm_Main::kButton7),         C(Tfrm_Main::kDBGrid1)};
    // Disabled controls (the radio buttons, Megállít) are skipped; Tab goes
    // on into the page shown.
    ASSERT_GE(order.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        char cls[64] = {};
        GetClassNameA(order[i], cls, sizeof cls);
        EXPECT_EQ(expected[i], order[i]) << i << " " << cls;
    }
}

BOOL CALLBACK CollectChild(HWND wnd, LPARAM list) noexcept {
    try {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(wnd);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

// Every control the window made is found by its own id, and no two share one.
TEST_F(MainWindowTest, EveryControlIsFoundByItsId) {
    Tfrm_Main& f = Create();
    std::vector<HWND> children;
    EnumChildWindows(f.Handle(), CollectChild, reinterpret_cast<LPARAM>(&children));
    std::set<int> ids;
    for (HWND child : children) {
        const int id = GetDlgCtrlID(child);
        if (id < Tfrm_Main::kPanel1 || id >= Tfrm_Main::kMenuUndo) continue;  // the controls' own parts
        EXPECT_EQ(child, C(id)) << id;
        EXPECT_TRUE(ids.insert(id).second) << id;
    }
    for (int id : {Tfrm_Main::kTabSheet1, Tfrm_Main::kTabSheet2, Tfrm_Main::kDBGrid1, Tfrm_Main::kLogView1})
        EXPECT_EQ(1u, ids.count(id)) << id;
    EXPECT_EQ(nullptr, C(Tfrm_Main::kMenuUndo));
}

TEST_F(MainWindowTest, ARunFromTheButtonOverTasksStoredThroughTheGrid) {
    test::TreeFolder tree;
    tree.Write("Docs\\a.txt", "alpha");
    tree.Write("Docs\\sub\\b.txt", "bravo");
    tree.Write("Docs\\skip.tmp", "temp");
    tree.Write("Mail\\c.txt", "charlie");
    Tfrm_Main& f = Create();
    AddTaskThroughGrid(tree.Path() + "\\Docs", tree.Path() + "\\Save");
    AddTaskThroughGrid(tree.Path() + "\\Mail", tree.Path() + "\\Save\\");
    ASSERT_EQ(2, f.Store().Table().RecordCount());
    EXPECT_EQ(2, VariantToInt(f.Store().Table().FieldValue("feladat")));

    bool probed = false;
    bool runButton = true, stopButton = false, grid = true, deleteAction = true;
    int page = -1;
    test::AtNextMessageProcessing([&] {
        probed = true;
        runButton = Enabled(C(Tfrm_Main::kButton1));
        stopButton = Enabled(C(Tfrm_Main::kButton5));
        grid = Enabled(C(Tfrm_Main::kDBGrid1));
        deleteAction = f.DeleteActionEnabled();
        page = f.ActivePage();
    });
    Click(Tfrm_Main::kButton1);

    ASSERT_TRUE(probed);
    EXPECT_FALSE(runButton);
    EXPECT_TRUE(stopButton);
    EXPECT_FALSE(grid);
    EXPECT_FALSE(deleteAction);
    EXPECT_EQ(1, page);

    auto log = Log();
    ASSERT_EQ(6u, log.size());
    EXPECT_EQ(0u, log[0].rfind("*** Mentés indul: ", 0));
    EXPECT_EQ("*** Feladat: " + tree.Path() + "\\Docs >> " + tree.Path() + "\\Save", log[1]);
    EXPECT_EQ(0u, log[2].rfind("Összesen ", 0));
    EXPECT_EQ("*** Feladat: " + tree.Path() + "\\Mail >> " + tree.Path() + "\\Save\\", log[3]);
    EXPECT_EQ(0u, log[4].rfind("Összesen ", 0));
    EXPECT_EQ(0u, log[5].rfind("*** Mentés kész: ", 0));
    EXPECT_TRUE(tree.Exists("Save\\Docs\\a.txt"));
    EXPECT_TRUE(tree.Exists("Save\\Docs\\sub\\b.txt"));
    EXPECT_FALSE(tree.Exists("Save\\Docs\\skip.tmp"));
    EXPECT_TRUE(tree.Exists("Save\\Mail\\c.txt"));

    EXPECT_TRUE(Enabled(C(Tfrm_Main::kButton1)));
    EXPECT_FALSE(Enabled(C(Tfrm_Main::kButton5)));
    EXPECT_TRUE(Enabled(C(Tfrm_Main::kDBGrid1)));
    EXPECT_TRUE(f.DeleteActionEnabled());
    EXPECT_EQ(1, f.ActivePage());
    EXPECT_EQ("", f.StatusText(0));
    EXPECT_EQ(2, f.Store().Table().RecNo());  // a run over all rows ends on the last
}

TEST_F(MainWindowTest, StopDuringTheFirstTaskScanEndsBeforeAnyCopy) {
    test::TreeFolder tree;
    Tfrm_Main& f = CreateWithTwoTasks(tree);
    test::AtNextMessageProcessing([&] { Click(Tfrm_Main::kButton5); });
    Click(Tfrm_Main::kButton1);

    auto log = Log();
    ASSERT_EQ(5u, log.size());
    EXPECT_EQ(0u, log[1].rfind("*** Feladat: " + tree.Path() + "\\One", 0));
    // The scan ends at its next folder, without a total.
    EXPECT_EQ(0u, log[2].rfind("*** Feladat: " + tree.Path() + "\\Two", 0));
    EXPECT_EQ(0u, log[3].rfind("*** Mentés megszakítva: ", 0));
    EXPECT_EQ(0u, log[4].rfind("*** Mentés kész: ", 0));
    EXPECT_FALSE(tree.Exists("Save"));
    EXPECT_FALSE(f.RunUnderWay());
    EXPECT_TRUE(Enabled(C(Tfrm_Main::kButton1)));
    EXPECT_FALSE(Enabled(C(Tfrm_Main::kButton5)));
}

// The lines of a log file, from UTF-8 with CRLF line ends; the path in the
// code page or wide.
template <typename Path>
std::vector<std::wstring> FileLines(const Path& path) {
    std::vector<std::wstring> lines;
    for (const std::string& line : test::FileLines(path)) lines.push_back(Utf8ToWide(line));
    return lines;
}

TEST_F(MainWindowTest, EveryRunAppendsItsLinesToTheLogFileWithTheTrueNames) {
    test::TreeFolder tree;
    const std::wstring name = L"Mentés 日本";  // the page shows "Mentés ??"
    tree.Write(name + L"\\a.txt", "a");
    Tfrm_Main& f = Create();
    EXPECT_EQ(AnsiToWide(test::ProgramFile("Pelvane.log")), f.RunLogPath());
    AddTaskThroughGrid(tree.Path() + "\\Other", tree.Path() + "\\Save");
    f.SetFolderBrowser([&](const FolderRequest&, std::wstring& path) {
        path = tree.Path(name);
        return true;
    });
    f.DBGrid1().SetSelectedIndex(0);
    f.DBGrid1DblClick();
    Click(Tfrm_Main::kButton1);
    Click(Tfrm_Main::kButton1);  // a second run appends
    std::vector<std::wstring> file = FileLines(test::ProgramFile("Pelvane.log"));
    std::vector<std::string> page = Log();
    ASSERT_EQ(page.size(), file.size());
    ASSERT_EQ(8u, page.size());
    for (size_t i = 0; i < page.size(); ++i) EXPECT_EQ(page[i], WideToAnsi(file[i])) << i;
    EXPECT_EQ(L"*** Feladat: " + tree.Path(name) + L" >> " + AnsiToWide(tree.Path() + "\\Save"), file[1]);
    EXPECT_NE(std::string::npos, page[1].find("Ment\xE9s ??"));
    // Its popup menu opens the file, which is there now.
    HMENU menu = f.LogPopupMenu();
    ASSERT_EQ(4, GetMenuItemCount(menu));
    SendMessageA(f.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_EQ(0u, GetMenuState(menu, Tfrm_Main::kMenuLogOpenFile, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(MainWindowTest, ALogFileThatCannotBeWrittenIsNotedOnceAndTheRunGoesOn) {
    CreateDirectoryA(test::ProgramFile("Pelvane.log").c_str(), nullptr);  // a folder in its place
    test::TreeFolder tree;
    Tfrm_Main& f = CreateWithTwoTasks(tree);
    Click(Tfrm_Main::kButton1);
    Click(Tfrm_Main::kButton1);
    std::vector<std::string> page = Log();
    int notes = 0;
    for (const std::string& line : page) notes += line.rfind("*** A naplófájl nem írható: ", 0) == 0;
    EXPECT_EQ(1, notes);
    EXPECT_EQ(13u, page.size());  // two runs of six lines, and the note
    EXPECT_EQ("b", tree.Read("Save\\Two\\b.txt"));
    ASSERT_EQ(2u, mainForm.results.size());
    EXPECT_NE(std::string::npos, mainForm.results[1].tip.find("hiba nélkül"));
    SendMessageA(f.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(f.LogPopupMenu()), 0);
    EXPECT_NE(0u, GetMenuState(f.LogPopupMenu(), Tfrm_Main::kMenuLogOpenFile, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(MainWindowTest, ARunThatEndsWithErrorsUnseenIsAnnouncedAndTheTipTellsTheLastRun) {
    test::TreeFolder tree;
    Tfrm_Main& f = CreateWithTwoTasks(tree);
    AddTaskThroughGrid(tree.Path() + "\\Missing", tree.Path() + "\\Save");
    // Seen: the tip, but no balloon.
    f.Show();
    Click(Tfrm_Main::kButton1);
    ASSERT_EQ(1u, mainForm.results.size());
    const std::string& tip = mainForm.results[0].tip;
    EXPECT_EQ(0u, tip.find("Pelvane \x96 utolsó mentés: "));
    EXPECT_EQ(", 1 hiba", tip.substr(tip.size() - 8));
    EXPECT_LE(tip.size(), 63u);  // the version-1 record's room
    EXPECT_EQ("", mainForm.results[0].balloon);
    // Hidden in the notification area, as a scheduled run finds it.
    f.Button2Click();
    SendMessageA(f.Handle(), WM_TIMER, Scheduler::kContinuousTimerId, 0);
    test::ProcessQueue();
    ASSERT_EQ(2u, mainForm.results.size());
    EXPECT_EQ("A mentés 1 hibával ért véget. Kattintson ide a napló megtekintéséhez.",
              mainForm.results[1].balloon);
}

TEST_F(MainWindowTest, TheWindowAnswersAndCanBeStoppedWhileABigFileCopies) {
    test::TreeFolder tree;
    tree.Write("Big\\big.iso", "");
    {  // sparse: a gigabyte that takes no room in the source
        FileHandle file(CreateFileA(tree.Path("Big\\big.iso").c_str(), GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER size;
        size.QuadPart = 1LL << 30;
        ASSERT_TRUE(SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
    }
    tree.Write("Save\\Big\\big.iso", "the old copy");
    Tfrm_Main& f = Create();
    AddTaskThroughGrid(tree.Path() + "\\Big", tree.Path() + "\\Save");
    HANDLE change =
        FindFirstChangeNotificationA(tree.Path("Save\\Big").c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    ASSERT_NE(change, INVALID_HANDLE_VALUE);

    // From another thread, as Windows asks a window whether it still
    // answers: once the copy is under way (its temporary file is there),
    // a message, then the stop button. The answer counts only if it came
    // while the copy still ran (the temporary file is still there): the
    // window answers everything once the run is over.
    KernelHandle runEnded(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    KernelHandle otherDone(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    bool copyStarted = false, answeredDuringTheCopy = false, stopSent = false;
    std::thread other([&] {
        HANDLE events[] = {change, runEnded.get()};
        while (!(copyStarted = tree.Exists("Save\\Big\\~pelvane.tmp")) &&
               WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0)
            FindNextChangeNotification(change);
        DWORD_PTR result = 0;
        answeredDuringTheCopy =
            SendMessageTimeoutA(f.Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result) != 0 &&
            tree.Exists("Save\\Big\\~pelvane.tmp");
        stopSent = SendMessageTimeoutA(f.Handle(), WM_COMMAND, MAKEWPARAM(Tfrm_Main::kButton5, BN_CLICKED),
                                       reinterpret_cast<LPARAM>(C(Tfrm_Main::kButton5)), SMTO_NORMAL, 600000,
                                       &result) != 0;
        SetEvent(otherDone.get());
    });
    Click(Tfrm_Main::kButton1);
    // Whatever came too late for the run is answered now.
    SetEvent(runEnded.get());
    HANDLE done = otherDone.get();
    while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        test::ProcessQueue();
    other.join();
    FindCloseChangeNotification(change);

    ASSERT_TRUE(copyStarted);
    EXPECT_TRUE(answeredDuringTheCopy);
    EXPECT_TRUE(stopSent);
    // The stop ended the copy inside the file: the old copy stands, no
    // temporary file is left, and the file has no line of its own.
    const std::string old = tree.Read("Save\\Big\\big.iso");
    ASSERT_EQ(12u, old.size());  // not a gigabyte in the message
    EXPECT_EQ("the old copy", old);
    EXPECT_EQ(std::vector<std::string>{"big.iso"}, tree.Files("Save\\Big"));
    auto log = Log();
    ASSERT_EQ(5u, log.size());
    EXPECT_EQ("Összesen 1 073 741 824", log[2]);
    // It says it was stopped, on the page and in the tray icon's tip.
    EXPECT_EQ(0u, log[3].rfind("*** Mentés megszakítva: ", 0)) << log[3];
    EXPECT_EQ(0u, log[4].rfind("*** Mentés kész: ", 0));
    ASSERT_EQ(1u, mainForm.results.size());
    const std::string& tip = mainForm.results[0].tip;
    EXPECT_EQ("megszakítva", tip.substr(tip.size() - 11)) << tip;
    EXPECT_EQ(0, f.ProgressPosition());
}

TEST_F(MainWindowTest, NamesOutsideTheCodePageShowQuestionMarksInTheLog) {
    test::TreeFolder tree;
    const std::wstring folder = L"Русский", file = L"naïve façade.txt";
    tree.Write(folder + L"\\" + file, "x");
    tree.MakeFolder(L"Save\\" + folder + L"\\" + file);  // a folder where the copy should go
    Tfrm_Main& f = Create();
    f.SetFolderBrowser([&](const FolderRequest& r, std::wstring& path) {
        path = r.caption == "Forrás mappa kiválasztás" ? tree.Path(folder) : tree.Path(L"Save");
        return true;
    });
    f.DBGrid1().SetSelectedIndex(0);
    f.DBGrid1DblClick();
    f.DBGrid1().SetSelectedIndex(1);
    f.DBGrid1DblClick();
    Click(Tfrm_Main::kButton1);
    auto log = Log();
    ASSERT_EQ(5u, log.size());
    EXPECT_EQ("*** Feladat: " + tree.Path() + "\\??????? >> " + tree.Path() + "\\Save", log[1]);
    // Never a look-alike: "naive" would name another file.
    EXPECT_EQ(0u, log[3].rfind("Hiba: " + tree.Path() + "\\???????\\na?ve façade.txt : ", 0)) << log[3];
}

TEST_F(MainWindowTest, AnEmptyTableShowsTheErrorBoxAndLeavesTheWindowAsItWas) {
    Tfrm_Main& f = Create();
    std::vector<BoxInfo> boxes;
    auto answer = test::AnswerNextBox(boxes);
    Click(Tfrm_Main::kButton1);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Hiba", boxes[0].caption);
    EXPECT_EQ("Nincs végrehajtható feladat", boxes[0].text);
    EXPECT_EQ(0u, f.LogView1().LineCount());
    EXPECT_EQ(0, f.ActivePage());
    EXPECT_TRUE(Enabled(C(Tfrm_Main::kDBGrid1)));
    EXPECT_TRUE(f.DeleteActionEnabled());
    EXPECT_TRUE(Enabled(C(Tfrm_Main::kButton1)));
    EXPECT_FALSE(Enabled(C(Tfrm_Main::kButton5)));
}

TEST_F(MainWindowTest, AMissingTableAtStartShowsTheStandardErrorBoxAndAnEmptyGrid) {
    test::ResetProgramFolder(false);
    std::vector<BoxInfo> boxes;
    auto answer = test::AnswerNextBox(boxes);
    Tfrm_Main& f = Create();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Pelvane", boxes[0].caption);
    EXPECT_NE(std::string::npos, boxes[0].text.find("feladat")) << boxes[0].text;
    EXPECT_EQ('.', boxes[0].text.back());
    EXPECT_NE(nullptr, f.Handle());
    EXPECT_EQ(0, f.Store().Table().RecordCount());
    // Nothing to delete, nothing shown.
    EXPECT_EQ(test::BoxesShownBy([&] { f.aTorolExecute(); }), std::vector<BoxInfo>{});
}

TEST_F(MainWindowTest, TheExclusionDialogRoundTrip) {
    Tfrm_Main& f = Create();
    std::string caption, label, shown;
    auto idle = test::WhenIdle([&] {
        if (!InputDialog::Shown()) return false;
        caption = Text(InputDialog::Shown()->Handle());
        label = Text(InputDialog::Shown()->Label1());
        shown = InputDialog::Shown()->Edit1().Text();
        InputDialog::Shown()->Edit1().SetText(".bak;.old");
        SendMessageA(InputDialog::Shown()->Button1(), BM_CLICK, 0, 0);
        return true;
    });
    Click(Tfrm_Main::kButton4);
    EXPECT_EQ("Kizárt file-típusok", caption);
    EXPECT_EQ("Pontosvessző határolt, pl. \".tmp;.temp\"", label);
    EXPECT_EQ(39u, label.size());
    EXPECT_EQ(".tmp;.temp", shown);
    EXPECT_EQ(".bak;.old", f.Settings().ExcludedTypes());

    // Mégsem keeps the list; an empty confirmed field empties it.
    auto answer = [&](const std::string& typed, bool confirm) {
        auto idle = test::WhenIdle([&] {
            if (!InputDialog::Shown()) return false;
            InputDialog::Shown()->Edit1().SetText(typed);
            SendMessageA(confirm ? InputDialog::Shown()->Button1() : InputDialog::Shown()->Button2(),
                         BM_CLICK, 0, 0);
            return true;
        });
        Click(Tfrm_Main::kButton4);
    };
    answer("ignored", false);
    EXPECT_EQ(".bak;.old", f.Settings().ExcludedTypes());
    answer("", true);
    EXPECT_EQ("", f.Settings().ExcludedTypes());
    // The list reaches the file only at the close.
    EXPECT_EQ("<missing>", test::ReadIni("Defaults", "NoFile"));
    Click(Tfrm_Main::kButton3);
    EXPECT_EQ("", test::ReadIni("Defaults", "NoFile"));
}

// "Visszaállítás..." of the grid's menu: the moment (now offered; a wrong
// one said and asked again as typed), the folder (one that is not empty or
// lies in the target said and asked again), then the restore on the log
// page with "Megállít", during which no backup starts.
TEST_F(MainWindowTest, RestoreAsksTheMomentAndTheFolderThenRunsOnTheLogPage) {
    test::TreeFolder tree;
    tree.Write("Docs\\a.txt", "a now", SYSTEMTIME{2024, 3, 0, 1, 12, 0, 0, 0});
    tree.Write("Full\\mine.txt", "mine");
    Tfrm_Main& f = Create();
    AddTaskThroughGrid(tree.Path() + "\\Docs", tree.Path() + "\\Save");
    Click(Tfrm_Main::kButton1);
    // What a run keeps of a.txt when it replaced its copy on 2024-02-15.
    tree.Write("Save\\Pelvane-változatok\\Docs\\a (2024-02-15 120000).txt", "a before",
               SYSTEMTIME{2024, 1, 0, 10, 12, 0, 0, 0});
    const size_t backupLines = Log().size();

    SendMessageA(f.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(f.PopupMenu1()), 0);
    char caption[64] = {};
    GetMenuStringA(f.PopupMenu1(), Tfrm_Main::kMenuRestore, caption, sizeof caption, MF_BYCOMMAND);
    EXPECT_STREQ("Visszaállítás...", caption);
    EXPECT_EQ(0u, GetMenuState(f.PopupMenu1(), Tfrm_Main::kMenuRestore, MF_BYCOMMAND) & MF_GRAYED);

    const std::vector<std::string> typed = {"2024.02.30 10:00:00", "2024.02.01 00:00:00"};
    std::vector<std::string> shown;  // what the field held when the dialog came
    std::string dialogCaption, prompt;
    auto answer = test::WhenIdle([&] {
        InputDialog* dialog = InputDialog::Shown();
        if (!dialog) return false;
        dialogCaption = Text(dialog->Handle());
        prompt = Text(dialog->Label1());
        shown.push_back(dialog->Edit1().Text());
        dialog->Edit1().SetText(typed[shown.size() - 1]);
        SendMessageA(dialog->Button1(), BM_CLICK, 0, 0);
        return shown.size() == typed.size();
    });
    const std::vector<std::wstring> folders = {tree.Path(L"Full"), tree.Path(L"Save\\Vissza"),
                                               tree.Path(L"Out")};
    std::vector<FolderRequest> requests;
    bool probed = false, runButton = true, stopButton = false, grid = true, underWay = false;
    int page = -1;
    f.SetFolderBrowser([&](const FolderRequest& r, std::wstring& path) {
        requests.push_back(r);
        path = folders[requests.size() - 1];
        if (requests.size() == folders.size())
            test::AtNextMessageProcessing([&] {
                probed = true;
                runButton = Enabled(C(Tfrm_Main::kButton1));
                stopButton = Enabled(C(Tfrm_Main::kButton5));
                grid = Enabled(C(Tfrm_Main::kDBGrid1));
                page = f.ActivePage();
                underWay = f.RunUnderWay();
                f.Button1Click();  // as the schedule would: it must wait
            });
        return true;
    });
    const std::vector<BoxInfo> boxes =
        test::BoxesShownBy([&] { SendMessageA(f.Handle(), WM_COMMAND, Tfrm_Main::kMenuRestore, 0); });

    EXPECT_EQ("Visszaállítás", dialogCaption);
    EXPECT_EQ("Időpont (éééé.hh.nn óó:pp:mm):", prompt);
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ(19u, shown[0].size()) << shown[0];
    LocalTime offered;
    EXPECT_TRUE(ParseMoment(shown[0], offered)) << shown[0];
    EXPECT_EQ(typed[0], shown[1]);  // asked again with what was typed
    ASSERT_EQ(3u, boxes.size());
    EXPECT_EQ(0u, boxes[0].text.rfind("Érvénytelen időpont: 2024.02.30 10:00:00.", 0)) << boxes[0].text;
    EXPECT_EQ("A mappa nem üres: " + tree.Path("Full") + "; a visszaállítás csak új vagy üres mappába ír",
              boxes[1].text);
    EXPECT_EQ("A visszaállítás nem kerülhet a cél mappába vagy alá: " + tree.Path("Save\\Vissza"),
              boxes[2].text);
    ASSERT_EQ(3u, requests.size());
    EXPECT_EQ("Visszaállítás mappa kiválasztás", requests[0].caption);
    EXPECT_EQ(folders[1], requests[2].initial);  // the refused one offered again

    ASSERT_TRUE(probed);
    EXPECT_FALSE(runButton);
    EXPECT_TRUE(stopButton);
    EXPECT_FALSE(grid);
    EXPECT_EQ(1, page);
    EXPECT_TRUE(underWay);
    auto log = Log();
    log.erase(log.begin(), log.begin() + backupLines);
    ASSERT_EQ(5u, log.size());
    EXPECT_EQ(0u, log[0].rfind("*** Visszaállítás indul: ", 0));
    EXPECT_EQ("*** Feladat: " + tree.Path() + "\\Docs >> " + tree.Path() + "\\Save", log[1]);
    EXPECT_EQ("*** Állapot: 2024.02.01 00:00:00 >> " + tree.Path("Out\\Docs"), log[2]);
    EXPECT_EQ(0u, log[4].rfind("*** Visszaállítás kész: ", 0));
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, tree.Files("Out\\Docs"));
    EXPECT_EQ("a before", tree.Read("Out\\Docs\\a.txt"));
    EXPECT_TRUE(Enabled(C(Tfrm_Main::kButton1)));
    EXPECT_FALSE(Enabled(C(Tfrm_Main::kButton5)));
    EXPECT_TRUE(Enabled(C(Tfrm_Main::kDBGrid1)));
    EXPECT_FALSE(f.RunUnderWay());
    EXPECT_EQ(1u, mainForm.results.size()) << "a restore leaves the tip of the last backup";

    // The moment offered, confirmed as it is, is the latest state; Mégsem stops.
    const size_t restoreLines = Log().size();
    auto confirm = test::WhenIdle([&] {
        if (!InputDialog::Shown()) return false;
        SendMessageA(InputDialog::Shown()->Button1(), BM_CLICK, 0, 0);
        return true;
    });
    f.SetFolderBrowser([&](const FolderRequest&, std::wstring& path) {
        path = tree.Path(L"Most");
        return true;
    });
    SendMessageA(f.Handle(), WM_COMMAND, Tfrm_Main::kMenuRestore, 0);
    log = Log();
    log.erase(log.begin(), log.begin() + restoreLines);
    ASSERT_EQ(5u, log.size());
    EXPECT_EQ("*** Állapot: legutóbbi >> " + tree.Path("Most\\Docs"), log[2]);
    EXPECT_EQ("a now", tree.Read("Most\\Docs\\a.txt"));
    auto cancel = test::WhenIdle([&] {
        if (!InputDialog::Shown()) return false;
        SendMessageA(InputDialog::Shown()->Button2(), BM_CLICK, 0, 0);
        return true;
    });
    SendMessageA(f.Handle(), WM_COMMAND, Tfrm_Main::kMenuRestore, 0);
    EXPECT_EQ(restoreLines + 5, Log().size());
}

// The program folder handed to the window holds everything it reads and
// writes: the database through its own SQLite library, the settings, the
// prompt dialog's position and the log file; also when its name lies outside
// the code page (the è of "Hélène" and Cyrillic are not in Windows-1250).
// The test program's folder stays untouched.
TEST_F(MainWindowTest, AProgramFolderOfItsOwnHoldsTheTasksTheSettingsTheDialogPositionAndTheLog) {
    test::ScratchFolder dir;
    const std::wstring name = L"Hélène Мария", folder = dir.Path(name);
    dir.MakeFolder(name);
    ASSERT_TRUE(CopyFileW(AnsiToWide(test::ProgramFile("sqlite3.dll")).c_str(),
                          (folder + L"\\sqlite3.dll").c_str(), FALSE));
    TSqliteDb db;
    db.SetDriverDLL(AnsiToWide(test::ProgramFile("sqlite3.dll")));
    db.SetDefaultDir(folder);
    db.SetDatabase(L"Pelvane.sqb");
    db.ExecuteStatement("create table feladat (feladat integer, forras varchar(255), cel varchar(255));");
    dir.Write(name + L"\\Pelvane.ini", "[frm_InpStr]\r\nLeft=123\r\nTop=77\r\n");

    form = std::make_unique<Tfrm_Main>(&mainForm, folder);
    EXPECT_EQ(folder + L"\\Pelvane.log", form->RunLogPath());
    AddTaskThroughGrid("C:\\One", "E:\\Save");
    RECT shownAt = {};
    auto cancel = test::WhenIdle([&] {
        if (!InputDialog::Shown()) return false;
        GetWindowRect(InputDialog::Shown()->Handle(), &shownAt);
        SetWindowPos(InputDialog::Shown()->Handle(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SendMessageA(InputDialog::Shown()->Button2(), BM_CLICK, 0, 0);
        return true;
    });
    Click(Tfrm_Main::kButton4);
    EXPECT_EQ(123, shownAt.left);
    EXPECT_EQ(77, shownAt.top);
    Click(Tfrm_Main::kButton1);  // the source is missing: a "Hiba: " line, in the file too
    Click(Tfrm_Main::kButton3);
    ASSERT_TRUE(form->Closed());
    form.reset();  // lets go of the folder's database and library

    // A code-page file as anywhere else: the dialog's section rewritten where
    // it stood, the window's sections after it.
    const std::string ini = dir.Read(name + L"\\Pelvane.ini");
    EXPECT_EQ(0u, ini.find("[frm_InpStr]\r\nLeft=200\r\nTop=150\r\n[Defaults]\r\nAutoStart=0\r\n")) << ini;
    EXPECT_NE(std::string::npos, ini.find("NoFile=.tmp;.temp\r\n"));
    const std::vector<std::wstring> log = FileLines(folder + L"\\Pelvane.log");
    ASSERT_EQ(5u, log.size());
    EXPECT_EQ(0u, log[2].find(L"Hiba: C:\\One")) << WideToAnsi(log[2]);
    TSqliteQuery tasks(&db);
    tasks.SetSQL("select forras from feladat");
    tasks.Open();
    ASSERT_EQ(1, tasks.RecordCount());
    EXPECT_EQ("C:\\One", tasks.FieldText("forras"));
    tasks.Close();
    db.SetConnected(false);

    EXPECT_FALSE(test::FileExists(test::ProgramFile("Pelvane.ini")));
    TaskStore program;  // the test program's own folder
    program.Open();
    EXPECT_EQ(0, program.Table().RecordCount());
}

TEST_F(MainWindowTest, CtrlDelDeletesTheCurrentTaskFromAnyControlWithoutAsking) {
    Tfrm_Main& f = Create();
    AddTaskThroughGrid("C:\\One", "E:\\Save");
    AddTaskThroughGrid("C:\\Two", "E:\\Save");
    AddTaskThroughGrid("C:\\Three", "E:\\Save");
    TDataSet& tbl = f.Store().Table();
    tbl.First();
    tbl.Next();  // the second row is current

    // The focus on a button.
    EXPECT_EQ(test::BoxesShownBy([&] { test::PostKey(C(Tfrm_Main::kButton3), VK_DELETE, true); }),
              std::vector<BoxInfo>{});
    ASSERT_EQ(2, tbl.RecordCount());
    tbl.First();
    EXPECT_EQ("C:\\One", tbl.FieldText("forras"));
    tbl.Next();
    EXPECT_EQ("C:\\Three", tbl.FieldText("forras"));

    test::PostKey(C(Tfrm_Main::kCheckBox4), VK_DELETE, true);
    EXPECT_EQ(1, tbl.RecordCount());
    EXPECT_FALSE(f.Settings().ClearArchiveFlag());

    // The popup menu shows the action with its shortcut and runs it too.
    char caption[64] = {};
    GetMenuStringA(f.PopupMenu1(), Tfrm_Main::kMenuTorol, caption, sizeof caption, MF_BYCOMMAND);
    EXPECT_STREQ("Feladat törlése\tCtrl+Del", caption);
    SendMessageA(f.Handle(), WM_COMMAND, Tfrm_Main::kMenuTorol, 0);
    EXPECT_EQ(0, tbl.RecordCount());

    // An empty table: nothing happens. Del without Ctrl is not the delete action.
    test::PostKey(C(Tfrm_Main::kButton1), VK_DELETE, true);
    EXPECT_EQ(0, tbl.RecordCount());
    AddTaskThroughGrid("C:\\Four", "E:\\Save");
    test::PostKey(C(Tfrm_Main::kButton1), VK_DELETE, false);
    EXPECT_EQ(1, tbl.RecordCount());
    // Disabled, as during a run, the shortcut does nothing.
    f.EnableDeleteAction(false);
    test::PostKey(C(Tfrm_Main::kButton1), VK_DELETE, true);
    EXPECT_EQ(1, tbl.RecordCount());
}

TEST_F(MainWindowTest, TheWheelBecomesOneArrowKeyForTheSameWindow) {
    for (int distance : {120, 360, -120, 0}) {
        MSG msg = {};
        msg.hwnd = reinterpret_cast<HWND>(0x1234);
        msg.message = WM_MOUSEWHEEL;
        msg.wParam = MAKEWPARAM(MK_SHIFT, static_cast<WORD>(static_cast<short>(distance)));
        msg.lParam = MAKELPARAM(300, 200);
        Tfrm_Main::ApplicationEvents1Message(msg);
        EXPECT_EQ(reinterpret_cast<HWND>(0x1234), msg.hwnd);
        EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), msg.message);
        EXPECT_EQ(static_cast<WPARAM>(distance > 0 ? VK_UP : VK_DOWN), msg.wParam) << distance;
        EXPECT_EQ(0, msg.lParam);
    }
    MSG other = {nullptr, WM_KEYDOWN, 'A', 5, 0, {0, 0}};
    Tfrm_Main::ApplicationEvents1Message(other);
    EXPECT_EQ(static_cast<WPARAM>('A'), other.wParam);
    EXPECT_EQ(5, other.lParam);

    // Through the loop: one notch moves the grid by one row; down at the
    // last row adds a new empty one.
    Tfrm_Main& f = Create();
    AddTaskThroughGrid("C:\\One", "E:\\Save");
    AddTaskThroughGrid("C:\\Two", "E:\\Save");
    TDataSet& tbl = f.Store().Table();
    tbl.First();
    HWND grid = f.DBGrid1().Handle();
    PostMessageA(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-360)), 0);
    test::ProcessQueue();
    EXPECT_EQ(2, tbl.RecNo());
    PostMessageA(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    test::ProcessQueue();
    EXPECT_EQ(DataSetState::Insert, tbl.State());
    PostMessageA(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    test::ProcessQueue();
    EXPECT_EQ(DataSetState::Browse, tbl.State());
    EXPECT_EQ(2, tbl.RecordCount());
}

TEST_F(MainWindowTest, SettingsAreWrittenOnCloseAndRestoredAtTheNextCreation) {
    {
        Tfrm_Main& f = Create();
        Click(Tfrm_Main::kCheckBox1);
        EXPECT_TRUE(Enabled(C(Tfrm_Main::kRadioButton2)));
        Click(Tfrm_Main::kRadioButton2);
        EXPECT_FALSE(f.Settings().DailyRun());
        Click(Tfrm_Main::kRadio0 + 2);
        Click(Tfrm_Main::kCheckBox4);
        f.Settings().SetIntervalText("15");
        f.Settings().SetDailyTime(TimeOfDay{21, 7, 30, 0});
        f.Settings().SetExcludedTypes(".bak");
        // Typed over the field's text, and one step down with the arrow key.
        SendMessageA(C(Tfrm_Main::kEdit2), EM_SETSEL, 0, -1);
        test::Type(C(Tfrm_Main::kEdit2), "14");
        test::PressKey(C(Tfrm_Main::kEdit3), VK_DOWN);
        SetWindowPos(f.Handle(), nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        // Nothing is armed or written before the next start.
        EXPECT_EQ("Folyamatos aktív: Nem", f.StatusText(1));
        SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(f.Closed());
        EXPECT_EQ(1, mainForm.closes);
        EXPECT_FALSE(f.Store().Table().Active());
    }
    EXPECT_EQ("1", test::ReadIni("Defaults", "AutoStart"));
    EXPECT_EQ("2", test::ReadIni("Defaults", "Mode"));
    EXPECT_EQ("1", test::ReadIni("Defaults", "DelArchived"));
    EXPECT_EQ("0", test::ReadIni("Defaults", "ArchivePerDay"));
    EXPECT_EQ("1", test::ReadIni("Defaults", "AutoArchive"));
    EXPECT_EQ("21:07:30", test::ReadIni("Defaults", "Time"));
    EXPECT_EQ("15", test::ReadIni("Defaults", "AutoTime").substr(0, 2));
    EXPECT_EQ(".bak", test::ReadIni("Defaults", "NoFile"));
    EXPECT_EQ("14", test::ReadIni("Defaults", "VersionDays"));
    EXPECT_EQ("49", test::ReadIni("Defaults", "ChangeGuard"));
    EXPECT_EQ("123", test::ReadIni("Screen", "Left"));
    EXPECT_EQ("77", test::ReadIni("Screen", "Top"));
    EXPECT_EQ(L"\"" + ExecutablePath() + L"\"" + L'\0', root.WideString(test::kRunSubKey, kAutostartValue));

    Tfrm_Main& f = Create();
    EXPECT_TRUE(f.Settings().AutoStart());
    EXPECT_EQ(2, f.Settings().Method());
    EXPECT_TRUE(f.Settings().ClearArchiveFlag());
    EXPECT_FALSE(f.Settings().DailyRun());
    EXPECT_TRUE(f.Settings().ContinuousRun());
    EXPECT_TRUE(Enabled(C(Tfrm_Main::kRadioButton1)));
    EXPECT_EQ(21, f.Settings().DailyTime().hour);
    EXPECT_EQ(7, f.Settings().DailyTime().minute);
    EXPECT_EQ("15  ", f.Settings().IntervalText());
    EXPECT_EQ(".bak", f.Settings().ExcludedTypes());
    EXPECT_EQ("14", Text(C(Tfrm_Main::kEdit2)));
    EXPECT_EQ(14, f.Settings().VersionDays());
    EXPECT_EQ("49", Text(C(Tfrm_Main::kEdit3)));
    EXPECT_EQ(49, f.Settings().ChangeGuard());
    EXPECT_EQ(123, f.Settings().WindowLeft());
    EXPECT_EQ(77, f.Settings().WindowTop());
    // Armed at the load: every 15 minutes.
    EXPECT_EQ("Folyamatos aktív: Igen", f.StatusText(1));
    EXPECT_EQ("Rendszeres aktív: Nem", f.StatusText(2));
    ASSERT_NE(nullptr, f.GetScheduler());
    EXPECT_TRUE(f.GetScheduler()->ContinuousTimer().Enabled());
    EXPECT_EQ(15u * 60000u, f.GetScheduler()->ContinuousTimer().Interval());
    EXPECT_FALSE(f.GetScheduler()->DailyTimer().Enabled());
}

// The two count fields take digits only, up to their limit; leaving one
// corrects what it holds as a spin box does, and a field left empty keeps
// the number it showed last, also when the close box saves with it empty.
TEST_F(MainWindowTest, ACountFieldTakesDigitsUpToItsLimitAndIsCorrectedWhenLeft) {
    Tfrm_Main& f = Create();
    f.Show();
    test::ProcessQueue();
    HWND days = C(Tfrm_Main::kEdit2), percent = C(Tfrm_Main::kEdit3);
    auto typeOver = [](HWND field, const std::string& text) {
        SetFocus(field);
        SendMessageA(field, EM_SETSEL, 0, -1);
        SendMessageA(field, WM_CLEAR, 0, 0);
        test::Type(field, text);
    };
    typeOver(days, "12345");
    EXPECT_EQ("1234", Text(days));
    test::PressKey(days, VK_UP);
    EXPECT_EQ("1235", Text(days));
    typeOver(days, "x-");
    EXPECT_EQ("", Text(days));

    typeOver(percent, "250");
    EXPECT_EQ("250", Text(percent));
    EXPECT_EQ(100, f.Settings().ChangeGuard());
    SetFocus(C(Tfrm_Main::kButton1));
    EXPECT_EQ("100", Text(percent));
    SetFocus(percent);
    test::PressKey(percent, VK_DOWN);
    test::PressKey(percent, VK_DOWN);
    test::PressKey(percent, VK_UP);
    EXPECT_EQ("99", Text(percent));
    // Nothing typed stands for the last number the field showed; 0 is a
    // number (off).
    typeOver(percent, "");
    SetFocus(C(Tfrm_Main::kButton1));
    EXPECT_EQ("99", Text(percent));
    typeOver(percent, "0");
    SetFocus(C(Tfrm_Main::kButton1));
    EXPECT_EQ("0", Text(percent));
    EXPECT_EQ(0, f.Settings().ChangeGuard());

    EXPECT_EQ("1235", Text(days));  // emptied above, and left
    // The close box saves while the days field, emptied, still has the
    // focus: the number it showed before.
    typeOver(days, "");
    EXPECT_EQ(1235, f.Settings().VersionDays());
    SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(f.Closed());
    EXPECT_EQ("1235", test::ReadIni("Defaults", "VersionDays"));
    EXPECT_EQ("0", test::ReadIni("Defaults", "ChangeGuard"));
}

TEST_F(MainWindowTest, ClosingDuringARunStopsItThenSavesEverythingAsANormalClose) {
    test::TreeFolder tree;
    Tfrm_Main& f = CreateWithTwoTasks(tree);
    Click(Tfrm_Main::kCheckBox4);
    bool closedAtOnce = true, pending = false;
    test::AtNextMessageProcessing([&] {
        // The close box, and then Bezár, while the run is scanning.
        SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
        closedAtOnce = f.Closed();
        pending = f.ClosePending();
        Click(Tfrm_Main::kButton3);
    });
    // The close saves without a box, also with the run under way.
    EXPECT_EQ(test::BoxesShownBy([&] { Click(Tfrm_Main::kButton1); }), std::vector<BoxInfo>{});

    EXPECT_FALSE(closedAtOnce);
    EXPECT_TRUE(pending);
    auto log = Log();
    ASSERT_EQ(5u, log.size());  // stopped: the second task is only logged
    EXPECT_EQ(0u, log[4].rfind("*** Mentés kész: ", 0));
    EXPECT_FALSE(tree.Exists("Save"));
    EXPECT_TRUE(f.Closed());
    EXPECT_FALSE(f.ClosePending());
    EXPECT_EQ(1, mainForm.closes);
    EXPECT_FALSE(f.Store().Table().Active());
    EXPECT_EQ("1", test::ReadIni("Defaults", "DelArchived"));
    // A timer tick after the close starts nothing.
    f.Button1Click();
    EXPECT_EQ(5u, f.LogView1().LineCount());
}

TEST_F(MainWindowTest, AFailingSettingsSaveKeepsTheWindowOpenWithItsTasks) {
    Tfrm_Main& f = Create();
    AddTaskThroughGrid("C:\\One", "E:\\Save");
    // A folder in the settings file's place: the first write fails.
    CreateDirectoryA(test::ProgramFile("Pelvane.ini").c_str(), nullptr);
    std::vector<BoxInfo> boxes;
    auto answer = test::AnswerNextBox(boxes);
    Click(Tfrm_Main::kButton3);
    RemoveDirectoryA(test::ProgramFile("Pelvane.ini").c_str());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Pelvane", boxes[0].caption);
    EXPECT_EQ(0u, boxes[0].text.rfind("Unable to write to ", 0)) << boxes[0].text;
    EXPECT_FALSE(f.Closed());
    EXPECT_EQ(0, mainForm.closes);
    // The grid keeps its tasks, and the next close saves.
    EXPECT_EQ(1, f.Store().Table().RecordCount());
    Click(Tfrm_Main::kButton3);
    EXPECT_TRUE(f.Closed());
    EXPECT_EQ("0", test::ReadIni("Defaults", "AutoStart"));
}

TEST_F(MainWindowTest, ARowTypedIntoTheGridIsStoredByTheCloseBox) {
    {
        Tfrm_Main& f = Create();
        TDataSet& tbl = f.Store().Table();
        tbl.Edit();  // the empty table starts a new row, as typing into the grid does
        tbl.SetFieldText("forras", "C:\\Typed");
        SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(f.Closed());
    }
    Tfrm_Main& f = Create();
    ASSERT_EQ(1, f.Store().Table().RecordCount());
    EXPECT_EQ("C:\\Typed", f.Store().Table().FieldText("forras"));
    EXPECT_EQ(1, VariantToInt(f.Store().Table().FieldValue("feladat")));
}

TEST_F(MainWindowTest, ChoosingAFolderForACellStoresTheRowAtOnce) {
    Tfrm_Main& f = Create();
    std::vector<FolderRequest> asked;
    std::wstring answer = L"D:\\Source";
    bool confirm = true;
    f.SetFolderBrowser([&](const FolderRequest& r, std::wstring& path) {
        asked.push_back(r);
        if (confirm) path = answer;
        return confirm;
    });
    TDataSet& tbl = f.Store().Table();
    // An empty grid: the chosen folder makes a new task with only that folder.
    f.DBGrid1().SetSelectedIndex(0);
    f.DBGrid1DblClick();
    ASSERT_EQ(1u, asked.size());
    EXPECT_EQ("Forrás mappa kiválasztás", asked[0].caption);
    EXPECT_EQ(L"", asked[0].initial);
    EXPECT_EQ(f.Handle(), asked[0].owner);
    EXPECT_EQ(DataSetState::Browse, tbl.State());
    EXPECT_EQ(1, tbl.RecordCount());
    EXPECT_EQ(1, VariantToInt(tbl.FieldValue("feladat")));
    EXPECT_TRUE(IsNull(tbl.FieldValue("cel")));

    // The target column offers its own caption and the cell's folder; a drive
    // root is stored as the shell gives it.
    answer = L"E:\\";
    f.DBGrid1().SetSelectedIndex(1);
    f.DBGrid1DblClick();
    f.DBGrid1DblClick();
    EXPECT_EQ("Cél mappa kiválasztás", asked[2].caption);
    EXPECT_EQ(L"E:\\", asked[2].initial);
    EXPECT_EQ("E:\\", tbl.FieldText("cel"));

    // Cancelled: nothing changes. A pending edit is stored with the folder.
    confirm = false;
    f.DBGrid1DblClick();
    EXPECT_EQ(DataSetState::Browse, tbl.State());
    confirm = true;
    answer = L"F:\\Other";
    tbl.Edit();
    tbl.SetFieldText("forras", "D:\\Edited");
    f.DBGrid1DblClick();
    EXPECT_EQ(DataSetState::Browse, tbl.State());
    f.Store().Close();
    f.Store().Open();
    EXPECT_EQ("D:\\Edited", tbl.FieldText("forras"));
    EXPECT_EQ("F:\\Other", tbl.FieldText("cel"));
}

TEST_F(MainWindowTest, ADoubleClickOnACellThatHadNoEditorChoosesAFolder) {
    Tfrm_Main& f = Create();
    AddTaskThroughGrid("C:\\One", "E:\\Save");
    std::vector<std::string> asked;
    f.SetFolderBrowser([&](const FolderRequest& r, std::wstring&) {
        asked.push_back(r.caption);
        return false;
    });
    f.Show();
    test::ProcessQueue();
    SetFocus(C(Tfrm_Main::kButton1));
    // The first click puts the editor over the cell; the second lands in it.
    DataGrid& grid = f.DBGrid1();
    RECT cell = grid.CellRect(0, 1);
    POINT at = {cell.left + 20, (cell.top + cell.bottom) / 2};
    SendMessageA(grid.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageA(grid.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    ASSERT_TRUE(grid.EditorVisible());
    MapWindowPoints(grid.Handle(), grid.Editor(), &at, 1);
    SendMessageA(grid.Editor(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageA(grid.Editor(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    ASSERT_EQ(1u, asked.size());
    EXPECT_EQ("Cél mappa kiválasztás", asked[0]);
}

TEST_F(MainWindowTest, TheTextActionsWorkOnTheFocusedFieldAndAreEnabledOnlyWhenTheyCanAct) {
    Tfrm_Main& f = Create();
    f.Show();
    test::ProcessQueue();
    HWND edit = C(Tfrm_Main::kEdit1);
    SetFocus(C(Tfrm_Main::kButton1));
    // No text field has the focus: only the task action is enabled.
    EXPECT_FALSE(f.ActionEnabled(Tfrm_Main::kMenuCopy));
    EXPECT_FALSE(f.ActionEnabled(Tfrm_Main::kMenuSelectAll));
    EXPECT_TRUE(f.ActionEnabled(Tfrm_Main::kMenuTorol));

    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, 0);
    EXPECT_FALSE(f.ActionEnabled(Tfrm_Main::kMenuCopy));
    EXPECT_FALSE(f.ActionEnabled(Tfrm_Main::kMenuCut));
    EXPECT_TRUE(f.ActionEnabled(Tfrm_Main::kMenuSelectAll));
    test::PostKey(edit, 'A', true);  // Ctrl+A selects the whole field
    DWORD from = 1, to = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(0u, from);
    EXPECT_EQ(4u, to);
    EXPECT_TRUE(f.ActionEnabled(Tfrm_Main::kMenuCopy));
    test::PostKey(edit, 'C', true);
    EXPECT_EQ("60  ", test::ClipboardText());
    EXPECT_TRUE(f.ActionEnabled(Tfrm_Main::kMenuPaste));

    // The popup menu follows the same rules when it opens.
    SendMessageA(f.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(f.PopupMenu1()), 0);
    EXPECT_FALSE(GetMenuState(f.PopupMenu1(), Tfrm_Main::kMenuCopy, MF_BYCOMMAND) & MF_GRAYED);
    SendMessageA(edit, EM_SETSEL, 0, 0);
    SendMessageA(f.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(f.PopupMenu1()), 0);
    EXPECT_TRUE(GetMenuState(f.PopupMenu1(), Tfrm_Main::kMenuCopy, MF_BYCOMMAND) & MF_GRAYED);
    f.EnableDeleteAction(false);
    SendMessageA(f.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(f.PopupMenu1()), 0);
    EXPECT_TRUE(GetMenuState(f.PopupMenu1(), Tfrm_Main::kMenuTorol, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(MainWindowTest, TheShellFolderDialogStartsWithOkDisabledAndReturnsTheChosenFolder) {
    test::TreeFolder tree;
    const std::wstring chosen = tree.Path(L"Mentés 日本語");  // stored exactly, outside the code page
    tree.MakeFolder(L"Mentés 日本語");
    Tfrm_Main& f = Create();
    f.DBGrid1().SetSelectedIndex(1);
    std::string caption;
    bool okAtStart = true, okAfterChoice = false;
    int ticks = 0;
    auto idle = test::WhenIdle([&] {
        auto boxes = test::OpenBoxes();
        if (boxes.empty()) return false;
        HWND dialog = boxes[0].wnd;
        HWND ok = GetDlgItem(dialog, IDOK);
        if (ticks == 0) {
            caption = boxes[0].caption;
            okAtStart = IsWindowEnabled(ok) != FALSE;
        }
        // A folder chosen in the tree enables OK (it would stay grey if only
        // computers could be chosen). The tree fills in as it likes: ask again
        // now and then.
        if (ticks++ % 10 == 0) {
            SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
            return false;
        }
        okAfterChoice = IsWindowEnabled(ok) != FALSE;
        if (!okAfterChoice && ticks < 200) return false;
        PostMessageA(dialog, WM_COMMAND, okAfterChoice ? IDOK : IDCANCEL, 0);
        return true;
    });
    f.DBGrid1DblClick();
    EXPECT_EQ("Cél mappa kiválasztás", caption);
    EXPECT_FALSE(okAtStart);
    EXPECT_TRUE(okAfterChoice);
    ASSERT_EQ(1, f.Store().Table().RecordCount());
    std::wstring stored = f.Store().Table().FieldWideText("cel");
    EXPECT_EQ(CSTR_EQUAL, CompareStringOrdinal(stored.c_str(), -1, chosen.c_str(), -1, TRUE));
    f.Store().Close();
    f.Store().Open();
    EXPECT_EQ(stored, f.Store().Table().FieldWideText("cel"));
    EXPECT_TRUE(IsNull(f.Store().Table().FieldValue("forras")));

    // Cancelled: nothing changes.
    auto cancel = test::WhenIdle([&] {
        auto boxes = test::OpenBoxes();
        if (boxes.empty()) return false;
        PostMessageA(boxes[0].wnd, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    f.DBGrid1().SetSelectedIndex(0);
    f.DBGrid1DblClick();
    EXPECT_TRUE(IsNull(f.Store().Table().FieldValue("forras")));
}

// Runs counted by their start lines in the log.
size_t Runs(Tfrm_Main& f) {
    size_t runs = 0;
    for (size_t i = 0; i < f.LogView1().LineCount(); ++i)
        runs += f.LogView1().Line(i).rfind("*** Mentés indul: ", 0) == 0;
    return runs;
}

TEST_F(MainWindowTest, TheCellEditorShowsTheStoredFolderAfterARun) {
    test::TreeFolder tree;
    Tfrm_Main& f = CreateWithTwoTasks(tree);
    f.DBGrid1().SetSelectedIndex(0);  // the source column is current
    f.Show();
    test::ProcessQueue();
    Click(Tfrm_Main::kButton1);
    ASSERT_EQ(1, f.ActivePage());
    // Back to the tasks, as a click on the tab does it.
    RECT tab;
    SendMessageA(C(Tfrm_Main::kPageControl1), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    test::Click(C(Tfrm_Main::kPageControl1), (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    ASSERT_EQ(0, f.ActivePage());

    // The run left the current (last) task current; a click on its source cell.
    DataGrid& grid = f.DBGrid1();
    RECT cell = grid.CellRect(1, 0);
    test::Click(grid.Handle(), cell.left + 20, (cell.top + cell.bottom) / 2);
    ASSERT_TRUE(grid.EditorVisible());
    EXPECT_EQ(tree.Path() + "\\Two", Text(grid.Editor()));
    EXPECT_EQ(DataSetState::Browse, f.Store().Table().State());
    // And on the first task's target cell.
    cell = grid.CellRect(0, 1);
    test::Click(grid.Handle(), cell.left + 20, (cell.top + cell.bottom) / 2);
    EXPECT_EQ(tree.Path() + "\\Save", Text(grid.Editor()));
}

TEST_F(MainWindowTest, TheFocusNeverStaysOnAPageThatIsNotShown) {
    Tfrm_Main& f = Create();
    AddTaskThroughGrid("C:\\One", "E:\\Save");
    f.Show();
    test::ProcessQueue();
    DataGrid& grid = f.DBGrid1();
    RECT cell = grid.CellRect(0, 0);
    test::Click(grid.Handle(), cell.left + 20, (cell.top + cell.bottom) / 2);
    ASSERT_EQ(grid.Editor(), GetFocus());

    // A scheduled run brings the log page to the front.
    f.Button1Click();
    ASSERT_EQ(1, f.ActivePage());
    EXPECT_FALSE(IsChild(C(Tfrm_Main::kTabSheet1), GetFocus()));

    // The user was in the grid and went to another program; a run came
    // meanwhile. Coming back, the focus must not go into the hidden grid.
    RECT tab;
    SendMessageA(C(Tfrm_Main::kPageControl1), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    test::Click(C(Tfrm_Main::kPageControl1), (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    ASSERT_EQ(0, f.ActivePage());
    test::Click(grid.Handle(), cell.left + 20, (cell.top + cell.bottom) / 2);
    ASSERT_EQ(grid.Editor(), GetFocus());
    SendMessageA(f.Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    f.ShowLogPage();
    SendMessageA(f.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    HWND focus = GetFocus();
    EXPECT_FALSE(IsChild(C(Tfrm_Main::kTabSheet1), focus));
    SendMessageA(focus, WM_CHAR, 'x', 1);
    test::ProcessQueue();
    EXPECT_EQ(DataSetState::Browse, f.Store().Table().State());
    EXPECT_EQ("C:\\One", f.Store().Table().FieldText("forras"));
}

TEST_F(MainWindowTest, ATimerTickUnderTheFolderBrowserWaitsAndTheFolderLandsInTheRowDoubleClicked) {
    test::TreeFolder tree;
    Tfrm_Main& f = CreateWithTwoTasks(tree);
    TDataSet& tbl = f.Store().Table();
    tbl.First();
    size_t linesUnderTheDialog = 99;
    const std::string chosen = tree.Path() + "\\Chosen";
    f.SetFolderBrowser([&](const FolderRequest&, std::wstring& path) {
        // The shell's dialog runs a loop of its own, which lets the timers through.
        SendMessageA(f.Handle(), WM_TIMER, Scheduler::kContinuousTimerId, 0);
        SendMessageA(f.Handle(), WM_TIMER, Scheduler::kContinuousTimerId, 0);
        linesUnderTheDialog = f.LogView1().LineCount();
        path = AnsiToWide(chosen);
        return true;
    });
    f.DBGrid1().SetSelectedIndex(0);
    f.DBGrid1DblClick();
    EXPECT_EQ(0u, linesUnderTheDialog);
    EXPECT_EQ(chosen, tbl.FieldTextAt(0, 1));
    EXPECT_EQ(tree.Path() + "\\Two", tbl.FieldTextAt(1, 1));

    // The run comes once, afterwards, and backs up the folder just chosen.
    test::ProcessQueue();
    EXPECT_EQ(1u, Runs(f));
    auto log = Log();
    ASSERT_LE(2u, log.size());
    EXPECT_EQ("*** Feladat: " + chosen + " >> " + tree.Path() + "\\Save", log[1]);
    f.Store().Close();
    f.Store().Open();
    EXPECT_EQ(chosen, tbl.FieldTextAt(0, 1));
    EXPECT_EQ(tree.Path() + "\\Two", tbl.FieldTextAt(1, 1));
}

TEST_F(MainWindowTest, ScheduledRunsWaitForMenusAndMessageBoxesAndADailyRunForARun) {
    test::TreeFolder tree;
    Tfrm_Main& f = CreateWithTwoTasks(tree);
    // The grid's popup menu runs a loop of its own too.
    SendMessageA(f.Handle(), WM_ENTERMENULOOP, TRUE, 0);
    SendMessageA(f.Handle(), WM_TIMER, Scheduler::kContinuousTimerId, 0);
    EXPECT_EQ(0u, Runs(f));
    SendMessageA(f.Handle(), WM_EXITMENULOOP, TRUE, 0);
    test::ProcessQueue();
    EXPECT_EQ(1u, Runs(f));

    // A daily run that falls due during a run (here: asked for by a catch-up)
    // comes when it ends, once; a continuous tick then is dropped.
    test::AtNextMessageProcessing([&] {
        f.GetScheduler()->RequestRun(ScheduledRun::Daily);
        f.GetScheduler()->RequestRun(ScheduledRun::Daily);
        SendMessageA(f.Handle(), WM_TIMER, Scheduler::kContinuousTimerId, 0);
    });
    Click(Tfrm_Main::kButton1);
    EXPECT_EQ(3u, Runs(f));
    test::ProcessQueue();
    EXPECT_EQ(3u, Runs(f));

    // An empty table: the run's own error box. A daily run that falls due
    // under it comes once the box and the run are over: a second box.
    f.Store().Table().First();
    f.aTorolExecute();
    f.aTorolExecute();
    std::vector<BoxInfo> boxes;
    size_t boxesUnderTheFirst = 0;
    int idle = 0;
    auto answer = test::WhenIdle([&] {
        auto open = test::OpenBoxes();
        if (open.empty()) return ++idle > 100;  // no second box: give up after a while
        boxes.push_back(open[0]);
        if (boxes.size() == 1) {
            boxesUnderTheFirst = test::BoxesShownBy([&] {
                                     SendMessageA(f.Handle(), WM_TIMER, Scheduler::kContinuousTimerId, 0);
                                     f.GetScheduler()->RequestRun(ScheduledRun::Daily);
                                 }).size();
        }
        PostMessageA(open[0].wnd, WM_COMMAND, IDOK, 0);
        return boxes.size() == 2;
    });
    Click(Tfrm_Main::kButton1);
    test::ProcessQueue();
    EXPECT_EQ(0u, boxesUnderTheFirst);
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("Nincs végrehajtható feladat", boxes[0].text);
    EXPECT_EQ("Nincs végrehajtható feladat", boxes[1].text);
    EXPECT_EQ(3u, Runs(f));  // an empty table logs nothing
}

// The local day n days before today, as Pelvane.ini keeps it.
std::string DayBefore(int n) {
    SYSTEMTIME local;
    GetLocalTime(&local);
    FILETIME at;
    SystemTimeToFileTime(&local, &at);
    ULARGE_INTEGER ticks{{at.dwLowDateTime, at.dwHighDateTime}};
    ticks.QuadPart -= n * 864000000000ULL;  // 100-ns steps per day
    at = {ticks.LowPart, ticks.HighPart};
    FileTimeToSystemTime(&at, &local);
    char day[16];
    snprintf(day, sizeof day, "%04u.%02u.%02u", local.wYear, local.wMonth, local.wDay);
    return day;
}

// The daily schedule as the window wires it: its timer, a resume from sleep,
// the run and the day kept in Pelvane.ini. A daily time that has passed today
// with no daily run today gives one run, and the day is written.
TEST_F(MainWindowTest, AResumeCatchesUpTheDailyRunOnceAndKeepsTheDay) {
    const ClockReading now = ReadClock();
    // Near midnight the daily times below would fall due by the clock itself.
    const int minute = now.hour * 60 + now.minute;
    if (minute < 2 || minute > 23 * 60 + 56)
        GTEST_SKIP() << "too close to midnight: " << now.hour << ":" << now.minute;
    const std::string today = now.day, yesterday = DayBefore(1);
    ASSERT_EQ(today, DayBefore(0));
    // Yesterday's run was done; today's time has not come.
    ASSERT_TRUE(test::WriteBytes(test::ProgramFile("Pelvane.ini"),
                                 "[Defaults]\r\nAutoStart=1\r\nArchivePerDay=1\r\nAutoArchive=0\r\n"
                                 "Time=23:59:00\r\nLastDaily=" +
                                     yesterday + "\r\n"));
    test::TreeFolder tree;
    tree.Write("Docs\\a.txt", "a");
    Tfrm_Main& f = Create();
    EXPECT_EQ("Rendszeres aktív: Igen", f.StatusText(2));
    AddTaskThroughGrid(tree.Path() + "\\Docs", tree.Path() + "\\Save");
    auto dailyTick = [&] {
        SendMessageA(f.Handle(), WM_TIMER, Scheduler::kDailyTimerId, 0);
        test::ProcessQueue();
    };
    dailyTick();
    EXPECT_EQ(0u, Runs(f));
    EXPECT_EQ(yesterday, test::ReadIni("Defaults", "LastDaily"));

    // The user moves the daily time to a moment that has passed; the
    // computer sleeps over it and resumes.
    f.Settings().SetDailyTime(TimeOfDay{0, 0, 0, 0});
    SendMessageA(f.Handle(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    dailyTick();
    EXPECT_TRUE(test::PumpUntil([&] { return Runs(f) > 0; }, 70000));
    EXPECT_EQ(1u, Runs(f));
    EXPECT_EQ("a", tree.Read("Save\\Docs\\a.txt"));
    const std::string started = test::ReadIni("Defaults", "LastDaily");  // yyyy.mm.dd hh:mm:ss
    EXPECT_EQ(today, started.substr(0, 10)) << started;
    EXPECT_EQ(19u, started.size()) << started;

    // Another resume the same day: the day's run is done.
    SendMessageA(f.Handle(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    dailyTick();
    dailyTick();
    EXPECT_EQ(1u, Runs(f));
    EXPECT_EQ(started, test::ReadIni("Defaults", "LastDaily"));
}

TEST_F(MainWindowTest, HelpWithoutAPageOpensNothingAndShowsNothing) {
    Tfrm_Main& f = Create();
    EXPECT_EQ(test::BoxesShownBy([&] { Click(Tfrm_Main::kButton7); }), std::vector<BoxInfo>{});
    EXPECT_NE(0u, f.LastLaunchError());
}

TEST_F(MainWindowTest, Screenshots) {
    test::TreeFolder tree;
    tree.Write("Dokumentumok\\levél.txt", "Levél a nagymamának");
    tree.Write("Dokumentumok\\2008\\összesítő.csv", "1;2;3");
    tree.Write("Fotók\\nyár.jpg", std::string(200000, 'x'));
    Tfrm_Main& f = Create();
    AddTaskThroughGrid(tree.Path() + "\\Dokumentumok", tree.Path() + "\\Mentés");
    AddTaskThroughGrid(tree.Path() + "\\Fotók", tree.Path() + "\\Mentés");
    AddTaskThroughGrid(tree.Path() + "\\Nincs ilyen", "Z:\\nem létező meghajtó");
    f.Store().Table().First();
    f.Show();
    test::ProcessQueue();
    const std::string shots = WideToAnsi(AppDir()) + "\\..\\..\\screenshots";
    CreateDirectoryA(shots.c_str(), nullptr);
    EXPECT_TRUE(test::SavePng(f.Handle(), shots + "\\mainwindow-tasks.png"));
    Click(Tfrm_Main::kButton1);
    EXPECT_EQ(1, f.ActivePage());
    EXPECT_TRUE(test::SavePng(f.Handle(), shots + "\\mainwindow-log.png"));
}

// Faults found in review: the window and the task store.

// The program's task database as another program (pelvane-cli) changes it.
void OtherProgramSql(const std::string& sql) {
    TSqliteDb db;
    db.SetDriverDLL(AnsiToWide(test::ProgramFile("sqlite3.dll")));
    db.SetDefaultDir(AppDir());
    db.SetDatabase(L"Pelvane.sqb");
    db.ExecuteStatement(sql);
}

std::string FileSources() {
    TSqliteDb db;
    db.SetDriverDLL(AnsiToWide(test::ProgramFile("sqlite3.dll")));
    db.SetDefaultDir(AppDir());
    db.SetDatabase(L"Pelvane.sqb");
    TSqliteQuery q(&db);
    q.SetSQL(
        "select group_concat(ifnull(forras, '<null>'), ';') as f from (select forras from feladat order by "
        "rowid)");
    q.Open();
    return q.FieldText("f");
}

// "pelvane-cli remove 3" and "add": the new task takes rowid 3. The window
// still shows the old task 3; neither Ctrl+Del nor an edit there may touch
// the new one, and a failing delete never ends the program.
TEST_F(MainWindowTest, ATaskChangedByAnotherProgramIsLeftAloneAndTheWindowGoesOn) {
    Tfrm_Main& f = Create();
    AddTaskThroughGrid("C:\\One", "E:\\Save");
    AddTaskThroughGrid("C:\\Two", "E:\\Save");
    AddTaskThroughGrid("C:\\Three", "E:\\Save");
    OtherProgramSql(
        "delete from feladat where feladat = 3; insert into feladat values (3, 'D:\\New', 'E:\\New');");
    TDataSet& tbl = f.Store().Table();
    tbl.Last();
    std::vector<BoxInfo> boxes;
    {
        auto answer = test::AnswerNextBox(boxes);
        test::PostKey(C(Tfrm_Main::kButton3), VK_DELETE, true);  // Ctrl+Del, through the message hook
    }
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Hiba", boxes[0].caption);
    EXPECT_EQ(Tfrm_Main::kTaskChangedText, boxes[0].text);
    EXPECT_EQ("C:\\One;C:\\Two;D:\\New", FileSources());
    // The table was read again: the new task shows.
    ASSERT_EQ(3, tbl.RecordCount());
    EXPECT_EQ("D:\\New", tbl.FieldTextAt(2, 1));

    // An edit of a task changed meanwhile, stored by leaving its row in the grid.
    OtherProgramSql("update feladat set forras = 'D:\\Other' where feladat = 2;");
    tbl.MoveTo(1);
    tbl.Edit();
    tbl.SetFieldText("cel", "E:\\Mine");
    {
        auto answer = test::AnswerNextBox(boxes);
        test::PostKey(f.DBGrid1().Handle(), VK_UP);
    }
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(Tfrm_Main::kTaskChangedText, boxes[1].text);
    EXPECT_EQ("C:\\One;D:\\Other;D:\\New", FileSources());
    EXPECT_EQ(DataSetState::Browse, tbl.State());
    EXPECT_EQ("D:\\Other", tbl.FieldTextAt(1, 1));
    EXPECT_EQ("E:\\Save", tbl.FieldTextAt(1, 2));

    // A delete that fails for another reason: the standard box, and on.
    OtherProgramSql("drop table feladat;");
    {
        auto answer = test::AnswerNextBox(boxes);
        test::PostKey(C(Tfrm_Main::kCheckBox4), VK_DELETE, true);
    }
    ASSERT_EQ(3u, boxes.size());
    EXPECT_EQ("Pelvane", boxes[2].caption);
    EXPECT_EQ("no such table: feladat.", boxes[2].text);
    EXPECT_FALSE(f.Closed());
    EXPECT_EQ(0, mainForm.closes);
    EXPECT_EQ(3, tbl.RecordCount());
}

// Typing "C:\Users\Anna\Képek" into a cell when the one-minute tick comes.
TEST_F(MainWindowTest, AScheduledRunWaitsForAnEditAndNeverStoresAnUnchangedNewRow) {
    test::TreeFolder tree;
    tree.Write("Three\\c.txt", "c");
    Tfrm_Main& f = CreateWithTwoTasks(tree);
    TDataSet& tbl = f.Store().Table();
    f.Show();
    test::ProcessQueue();
    DataGrid& grid = f.DBGrid1();
    RECT cell = grid.CellRect(0, 0);
    test::Click(grid.Handle(), cell.left + 20, (cell.top + cell.bottom) / 2);
    ASSERT_EQ(grid.Editor(), GetFocus());
    const std::string typed = tree.Path() + "\\Three";
    SendMessageA(grid.Editor(), EM_SETSEL, 0, -1);
    test::Type(grid.Editor(), typed.substr(0, 3));
    auto tick = [&] {
        SendMessageA(f.Handle(), WM_TIMER, Scheduler::kContinuousTimerId, 0);
        test::ProcessQueue();
    };
    tick();
    tick();
    EXPECT_EQ(0u, Runs(f));
    // Another program has the focus for a while: the user is still typing.
    SendMessageA(f.Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(nullptr);
    tick();
    EXPECT_EQ(0u, Runs(f));
    SetFocus(grid.Editor());
    test::Type(grid.Editor(), typed.substr(3));
    EXPECT_EQ(tree.Path() + "\\One;" + tree.Path() + "\\Two", FileSources());
    // Leaving the grid ends the edit: the run that was held comes, once,
    // and stores the whole folder.
    SetFocus(C(Tfrm_Main::kCheckBox2));
    test::ProcessQueue();
    ASSERT_EQ(1u, Runs(f));
    EXPECT_EQ("*** Feladat: " + typed + " >> " + tree.Path() + "\\Save", Log()[1]);
    EXPECT_EQ(typed + ";" + tree.Path() + "\\Two", FileSources());

    // A row added by the Down key and left empty is dropped by the run.
    RECT tab;
    SendMessageA(C(Tfrm_Main::kPageControl1), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    test::Click(C(Tfrm_Main::kPageControl1), (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    cell = grid.CellRect(1, 0);
    test::Click(grid.Handle(), cell.left + 20, (cell.top + cell.bottom) / 2);
    ASSERT_EQ(grid.Editor(), GetFocus());
    test::PostKey(grid.Editor(), VK_DOWN);
    ASSERT_EQ(DataSetState::Insert, tbl.State());
    tick();
    EXPECT_EQ(2u, Runs(f));
    EXPECT_EQ(2, tbl.RecordCount());
    EXPECT_EQ(typed + ";" + tree.Path() + "\\Two", FileSources());
    for (const std::string& line : Log()) EXPECT_NE(0u, line.rfind("Hiba", 0)) << line;
}

// The day counts as done only when its run has really started.
TEST_F(MainWindowTest, LastDailyIsWrittenWhenTheDailyRunHasStarted) {
    test::TreeFolder tree;
    Tfrm_Main& f = Create();
    std::vector<BoxInfo> boxes;
    {
        auto answer = test::AnswerNextBox(boxes);
        f.GetScheduler()->RequestRun(ScheduledRun::Daily);  // an empty table
    }
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("Nincs végrehajtható feladat", boxes[0].text);
    EXPECT_EQ("<missing>", test::ReadIni("Defaults", "LastDaily"));

    tree.Write("One\\a.txt", "a");
    AddTaskThroughGrid(tree.Path() + "\\One", tree.Path() + "\\Save");
    const ClockReading before = ReadClock();
    f.GetScheduler()->RequestRun(ScheduledRun::Daily);
    ASSERT_EQ(1u, Runs(f));
    const std::string moment = test::ReadIni("Defaults", "LastDaily");
    ASSERT_EQ(19u, moment.size()) << moment;
    EXPECT_LE(before.day, moment.substr(0, 10));
    EXPECT_EQ(' ', moment[10]);
}

TEST_F(MainWindowTest, ATickUnderAnEditFieldsOwnMenuWaitsForTheMenu) {
    test::TreeFolder tree;
    Tfrm_Main& f = CreateWithTwoTasks(tree);
    f.Show();
    test::ProcessQueue();
    bool menuSeen = false;
    size_t runsUnderTheMenu = 99;
    auto inMenu = test::WhenIdle([&] {
        if (!test::OpenPopupMenu()) return false;
        menuSeen = true;
        SendMessageA(f.Handle(), WM_TIMER, Scheduler::kContinuousTimerId, 0);
        runsUnderTheMenu = Runs(f);
        EndMenu();
        return true;
    });
    HWND edit1 = f.Edit1().Handle();
    SetFocus(edit1);
    SendMessageA(edit1, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit1), MAKELPARAM(-1, -1));
    ASSERT_TRUE(menuSeen);
    EXPECT_EQ(0u, runsUnderTheMenu);
    test::ProcessQueue();
    EXPECT_EQ(1u, Runs(f));
}

// "Bezár" in the tray menu while a run goes on and a daily run waits for it.
TEST_F(MainWindowTest, EndingTheProgramDropsAHeldRun) {
    struct EndingMainForm : test::FakeMainForm {
        bool ended = false;
        bool MainFormClosed() override { return ended; }
    } link;
    form = std::make_unique<Tfrm_Main>(&link);
    Tfrm_Main& f = *form;
    test::TreeFolder tree;
    tree.Write("One\\a.txt", "a");
    AddTaskThroughGrid(tree.Path() + "\\One", tree.Path() + "\\Save");
    test::AtNextMessageProcessing([&] {
        f.GetScheduler()->RequestRun(ScheduledRun::Daily);
        link.ended = true;
    });
    Click(Tfrm_Main::kButton1);
    test::ProcessQueue();
    EXPECT_EQ(1u, Runs(f));
    EXPECT_FALSE(f.GetScheduler()->RunKept());
    SendMessageA(f.Handle(), WM_TIMER, Scheduler::kContinuousTimerId, 0);
    f.GetScheduler()->RequestRun(ScheduledRun::Daily);
    test::ProcessQueue();
    EXPECT_EQ(1u, Runs(f));
    form.reset();  // before the link it uses
}

TEST_F(MainWindowTest, TheCurrentTaskAloneIsNotRunWhenAnEarlierTaskCopiesIntoItsFolder) {
    test::TreeFolder tree;
    Tfrm_Main& f = CreateWithTwoTasks(tree);
    tree.Write("Elsewhere\\one\\c.txt", "c");
    AddTaskThroughGrid(tree.Path() + "\\Elsewhere\\one", tree.Path() + "\\Save");  // into Save\One too
    TDataSet& tbl = f.Store().Table();
    Click(Tfrm_Main::kCheckBox2);

    tbl.MoveTo(1);
    Click(Tfrm_Main::kButton1);
    EXPECT_EQ(std::vector<std::string>{"Two\\b.txt"}, tree.Files("Save"));
    EXPECT_EQ(1, tbl.ActiveRow());  // the earlier tasks were looked at, the cursor stays

    tbl.MoveTo(2);
    Click(Tfrm_Main::kButton1);
    auto log = Log();
    ASSERT_EQ(8u, log.size());
    EXPECT_EQ("Hiba: " + tree.Path() + "\\Elsewhere\\one : Ugyanabba a mappába (" + tree.Path() +
                  "\\Save\\One) mentene, mint egy korábbi feladat (" + tree.Path() + "\\One >> " +
                  tree.Path() + "\\Save); nem fut le",
              log[6]);
    EXPECT_EQ(std::vector<std::string>{"Two\\b.txt"}, tree.Files("Save"));
    EXPECT_EQ(2, tbl.ActiveRow());
}

}  // namespace
}  // namespace pelvane

namespace pelvane {
namespace {

// 25 files backed up by the button; then all of them change.
class MassChangeWindowTest : public MainWindowTest {
  protected:
    test::TreeFolder tree;
    void SetUp() override {
        MainWindowTest::SetUp();
        for (int i = 0; i < 25; ++i) tree.Write("Many\\" + std::to_string(i) + ".txt", "old");
        Create();
        AddTaskThroughGrid(tree.Path() + "\\Many", tree.Path() + "\\Save");
        Click(Tfrm_Main::kButton1);
        for (int i = 0; i < 25; ++i) tree.Write("Many\\" + std::to_string(i) + ".txt", "changed");
    }
    int Copies(const std::string& content) {
        int n = 0;
        for (int i = 0; i < 25; ++i) n += tree.Read("Save\\Many\\" + std::to_string(i) + ".txt") == content;
        return n;
    }
    size_t Versions() { return tree.Files("Save\\Pelvane-változatok").size(); }
    // The button's run, the question answered as given; the questions asked.
    std::vector<BoxInfo> RunByTheButtonAnswering(WPARAM answer) {
        std::vector<BoxInfo> asked;
        auto answering = test::WhenIdle([&] {
            auto boxes = test::OpenBoxes();
            if (boxes.empty()) return false;
            asked.push_back(boxes.front());
            PostMessageA(boxes.front().wnd, WM_COMMAND, answer, 0);
            return false;  // and any further one
        });
        Click(Tfrm_Main::kButton1);
        return asked;
    }
    static bool HasLine(const std::vector<std::string>& log, const std::string& line) {
        return std::find(log.begin(), log.end(), line) != log.end();
    }
};

const char kCounts[] = "A feladat 25 másolatából 25 változna meg (több mint 50%)";

TEST_F(MassChangeWindowTest, TheButtonsRunAsksAndNemHoldsTheTaskWhileIgenLetsItGoAhead) {
    const std::vector<BoxInfo> no = RunByTheButtonAnswering(IDNO);
    ASSERT_EQ(1u, no.size());
    EXPECT_EQ("Pelvane", no[0].caption);
    EXPECT_EQ("A(z) " + tree.Path() +
                  "\\Many feladat 25 másolatából 25 változna meg (több mint 50%). Ez "
                  "zsarolóvírus vagy lemezhiba jele is lehet.\n\nFolytatja a feladat mentését?",
              no[0].text);
    EXPECT_EQ(0, Copies("changed"));
    EXPECT_EQ(0u, Versions());
    EXPECT_TRUE(
        HasLine(Log(), "Hiba: " + tree.Path() + "\\Many : " + kCounts +
                           ", ami zsarolóvírus vagy lemezhiba jele lehet: a feladat most nem fut le. Ha a "
                           "változás szándékos, indítsa az „Archiválás most” gombbal, és válaszoljon "
                           "Igennel."));
    EXPECT_TRUE(Enabled(C(Tfrm_Main::kButton1)));  // the run has ended

    EXPECT_EQ(1u, RunByTheButtonAnswering(IDYES).size());
    EXPECT_EQ(25, Copies("changed"));
    EXPECT_EQ(25u, Versions());
}

// A scheduled run asks nobody: the task is held, and with the window hidden
// the balloon tells of it. The "Védelem" fields reach the run.
TEST_F(MassChangeWindowTest, AScheduledRunHoldsTheTaskWithoutAskingAndTheFieldsReachTheRun) {
    form->Button2Click();
    const auto scheduled = [&] {
        SendMessageA(form->Handle(), WM_TIMER, Scheduler::kContinuousTimerId, 0);
        test::ProcessQueue();
    };
    EXPECT_EQ(std::vector<BoxInfo>{}, test::BoxesShownBy(scheduled));
    EXPECT_EQ(0, Copies("changed"));
    ASSERT_EQ(2u, mainForm.results.size());
    EXPECT_EQ("A mentés 1 hibával ért véget. Kattintson ide a napló megtekintéséhez.",
              mainForm.results[1].balloon);
    EXPECT_TRUE(
        HasLine(Log(), "Hiba: " + tree.Path() + "\\Many : " + kCounts +
                           ", ami zsarolóvírus vagy lemezhiba jele lehet: a feladat most nem fut le. Ha a "
                           "változás szándékos, indítsa az „Archiválás most” gombbal, és válaszoljon "
                           "Igennel."));

    // The guard off and no versions kept, as the fields say now.
    SetWindowTextA(C(Tfrm_Main::kEdit3), "0");
    SetWindowTextA(C(Tfrm_Main::kEdit2), "0");
    EXPECT_EQ(std::vector<BoxInfo>{}, test::BoxesShownBy(scheduled));
    EXPECT_EQ(25, Copies("changed"));
    EXPECT_EQ(0u, Versions());
    ASSERT_EQ(3u, mainForm.results.size());
    EXPECT_EQ("", mainForm.results[2].balloon);
}

}  // namespace
}  // namespace pelvane
