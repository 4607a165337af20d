#pragma once
// The main window frm_Main: options, schedule, task grid, log page, progress
// and status bars, and the buttons that run, stop, edit the exclusion list,
// open the help page, go to the background and close. It owns the task
// store, the timers, the backup run and the restore. Its controls are one
// table (MainWindow.cpp), its handlers are in MainWindowHandlers.cpp (the
// restore's in MainWindowRestore.cpp), and adapters face the engine
// (MainWindowRun, MainWindowRestore) and the settings (MainWindowSettings).
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/Handles.h"
#include "common/Seged.h"
#include "engine/BackupRun.h"
#include "engine/FileSystem.h"
#include "engine/RestoreRun.h"
#include "engine/RunLogFile.h"
#include "settings/Scheduler.h"
#include "store/TaskStore.h"
#include "ui/DataGrid.h"
#include "ui/FolderBrowser.h"
#include "ui/LogView.h"
#include "ui/MainWindowRestore.h"
#include "ui/MainWindowRun.h"
#include "ui/MainWindowSettings.h"
#include "ui/MaskEdit.h"
#include "ui/MenuImages.h"
#include "ui/Window.h"

namespace pelvane {

// What the main window needs of the application's main form (the splash form,
// which owns the notification-area icon). Without one, going to the
// background only hides the window and closing ends the message loop.
class MainFormLink {
  public:
    virtual ~MainFormLink() = default;
    // Adds the notification-area icon unless it is there already.
    virtual void ActivateTrayIcon() = 0;
    // The last step of a successful close: closing the main form ends the program.
    virtual void CloseMainForm() = 0;
    // The owner of shell launches.
    virtual HWND MainFormHandle() = 0;
    // A run has ended: the notification-area icon's tip tells when and how,
    // and a balloon (unless empty) tells of errors nobody saw.
    virtual void ShowRunResult(const std::string& tip, const std::string& balloon) = 0;
    // The user has ended the program through the main form (its tray menu):
    // nothing more is to start.
    virtual bool MainFormClosed() { return false; }
};

class Tfrm_Main : public Window, private DataSetObserver {
  public:
    // Control ids; commands of the popup menus come as kMenu* ids.
    enum Id {
        kPanel1 = 100,
        kRadioGroup1,
        kGroupBox1,
        kGroupBox2,
        kGroupBox3,
        kGroupBox4,     // "Védelem": versions and the change guard
        kRadio0 = 110,  // RadioGroup1's items 0..2
        kCheckBox2 = 120,
        kCheckBox4,
        kCheckBox1 = 130,
        kRadioButton1,
        kDateTimePicker1,
        kRadioButton2,
        kEdit1,
        kLabel13 = 140,
        kImage2,
        kLabel17,
        kImage1 = 150,
        kButton1 = 160,
        kButton5,
        kButton4,
        kButton7,
        kButton2,
        kButton3,
        kPageControl1 = 170,
        kTabSheet1,
        kTabSheet2,
        kDBGrid1,
        kLogView1,
        kProgressBar1 = 180,
        kStatusBar1,
        kLabel1 = 190,  // the two count fields of GroupBox4, each a label, an
        kEdit2,         // edit with its up-down, and a label after it:
        kUpDown1,       // days a replaced copy is kept,
        kLabel2,
        kLabel3,
        kEdit3,  // and the change guard's percentage
        kUpDown2,
        kLabel4,
        kMenuUndo = 200,
        kMenuCut,
        kMenuCopy,
        kMenuPaste,
        kMenuDelete,
        kMenuSelectAll,
        kMenuTorol,
        kMenuRestore = 210,  // "Visszaállítás...": the current task's backup restored
        kMenuLogCopy = 220,  // the log view's popup menu
        kMenuLogSelectAll,
        kMenuLogOpenFile,
    };

    // Posted to carry out a scheduled run that something held back.
    static constexpr UINT kRunPendingMessage = WM_APP + 1;

    static constexpr const char* kWebAddress = "https://pelvane.example/";
    static constexpr const char* kWebLabel = "pelvane.example";
    // The error box when a task changed in the file since the window read it.
    static constexpr const char* kTaskChangedText =
        "A feladatot időközben egy másik program módosította vagy törölte. A feladatok listáját a program "
        "újra beolvasta.";

    // Creates the window hidden and runs FormCreate: the database paths, the
    // settings into the controls (arming the schedule), the task table.
    // programDir stands for AppDir (the settings file, the database, the
    // SQLite library and the help page are there).
    explicit Tfrm_Main(MainFormLink* link = nullptr, const std::wstring& programDir = AppDir());
    ~Tfrm_Main() override;

    void SetMainFormLink(MainFormLink* link) { link_ = link; }
    MainFormLink* MainForm() const { return link_; }
    // Shows the window and brings it to the front.
    void Show();
    // As the close box: runs FormClose, or during a run stops the run and
    // closes when it has ended. True when the window closed now.
    bool Close();
    bool ClosePending() const { return closePending_; }
    bool Closed() const { return closed_; }
    // The program is ending (this window closed, or the main form): a
    // scheduled run held back is dropped.
    bool Ending() const { return closed_ || (link_ && link_->MainFormClosed()); }
    // A run has really started: a daily one is recorded now.
    void RunStarted();
    // Reads the task table again (after a run, when one is under way).
    void ReloadTasks();

    // Handlers that the program's other windows and the tests use too; the
    // others are private below.
    void Button1Click();  // the run; also the continuous timer and the daily check
    void Button2Click();
    void DBGrid1DblClick();
    void aTorolExecute();
    // "Visszaállítás...": asks for the moment and the folder, then restores
    // the current task's tree there (MainWindowRestore.cpp).
    void aVisszaallitasExecute();
    // The mouse-wheel translation: every queued message passes through it.
    static void ApplicationEvents1Message(MSG& msg);

    // The action list: an action by its menu id is enabled when it can act;
    // the delete action also only outside a run.
    bool ActionEnabled(int id);
    void EnableDeleteAction(bool enabled) { torolEnabled_ = enabled; }
    bool DeleteActionEnabled() const { return torolEnabled_; }

    // The page control's pages: 0 the tasks, 1 the log.
    int ActivePage() const;
    void ShowLogPage() { ShowPage(1); }

    // Parts, for the adapters, the program's other windows and tests.
    HWND Control(int id) const;  // any control of the layout by its id, null before it exists
    TaskStore& Store() { return store_; }
    Scheduler* GetScheduler() { return scheduler_.get(); }
    MainWindowSettings& Settings() { return settings_; }
    DataGrid& DBGrid1() { return grid_; }
    LogView& LogView1() { return log_; }
    MaskEdit& Edit1() { return edit1_; }
    HMENU PopupMenu1() const { return popup_.get(); }
    HMENU LogPopupMenu() const { return logPopup_.get(); }
    // Pelvane.log beside the settings file: every run's lines, in UTF-8.
    const std::wstring& RunLogPath() const { return runLog_.Path(); }
    std::string StatusText(int panel) const;
    int ProgressPosition() const;
    // A backup or a restore: never both at once, and the schedule waits for either.
    bool RunUnderWay() const { return backup_.UnderWay() || restore_.UnderWay(); }
    bool RestoreUnderWay() const { return restore_.UnderWay(); }
    void SetFolderBrowser(FolderBrowser browser) { browser_ = std::move(browser); }
    // The shell launcher's last result: 0 after a successful start, else the
    // shell's error code.
    DWORD LastLaunchError() const { return launchError_; }

  private:
    // A WM_COMMAND that runs a handler: its control or menu id and notification code.
    struct Command {
        int id;
        int code;
        void (Tfrm_Main::*handler)();
    };
    static const Command kCommands[];

    // Creation (MainWindow.cpp).
    void CreateControls();
    HWND CreateControl(int index);
    HWND CreatePart(int index, HWND parent);
    void SetUpControls();
    void CreateScheduler();
    void FormCreate();
    void FormClose();

    // Messages (MainWindow.cpp): they only dispatch.
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnCommand(int id, int code);
    void OnNotify(const NMHDR& hdr);
    LRESULT OnCtlColorStatic(HDC dc, HWND control);
    void OnActivate(WPARAM wp);
    void OnPowerBroadcast(WPARAM wp);
    void ShowPage(int index);
    // Where the focus goes when the window is activated again: the control
    // that had it, if it can take it on the page shown; else the first one.
    HWND FocusTarget() const;
    bool CanTakeFocus(HWND control) const;
    void PostRunPending();
    // The user is in the middle of editing a task in the grid: a changed row
    // not yet stored, and the grid still has the focus (or had it when
    // another program took the focus).
    bool TaskEditUnderWay() const;
    // The task table's state changed: an edit that ended lets a held run go.
    void StateChanged() override;
    // Before the standard error box: a task changed by another program.
    bool OnException(const std::exception& e);

    // Handlers (MainWindowHandlers.cpp).
    void Button1Pressed();  // the button itself: a run the user watches
    void Button5Click();
    void Button4Click();
    void Button7Click();
    void Label17Click();
    void Button3Click();
    void CheckBox1Click();
    void RadioButton1Click();
    void RadioButton2Click();
    void Edit2Change();
    void Edit2Exit();
    void Edit3Change();
    void Edit3Exit();
    void LogCopyClick();
    void LogSelectAllClick();
    void LogOpenFileClick();
    // Opens a file by its true name (or a web address) with its program.
    void OpenDocument(const std::wstring& document);
    // The action list (MainWindowHandlers.cpp).
    void CreatePopupMenus();
    bool ExecuteShortcut(const MSG& msg);
    void ExecuteAction(int id);
    void UpdateMenu(HMENU menu);
    HWND FocusedTextField() const;
    // Whether "Visszaállítás..." can act: a task there and no run under way.
    bool RestoreEnabled();

    MainFormLink* link_;
    std::wstring dir_;
    RunLogFile runLog_;
    TaskStore store_;
    MainWindowSettings settings_{*this};
    MainWindowRun run_{*this, store_, runLog_};
    std::unique_ptr<FileSystem> fs_;
    BackupRun backup_;
    MainWindowRestore restoreEvents_{*this};
    RestoreRun restore_;
    std::unique_ptr<Scheduler> scheduler_;

    GdiObject font_, linkFont_;
    std::vector<HWND> controls_;                  // by the layout's rows
    std::vector<std::unique_ptr<Window>> parts_;  // the panels, tab sheets and pictures
    MaskEdit edit1_;
    DataGrid grid_;
    LogView log_;
    MenuHandle popup_;
    MenuHandle logPopup_;
    IconHandle bigIcon_, smallIcon_;
    HWND lastFocus_ = nullptr;  // restored when the window is activated again
    MenuImages menuImages_;

    std::string browseField_;  // the grid column whose folder is being chosen
    bool torolEnabled_ = true;
    bool closePending_ = false;
    bool closed_ = false;
    bool reloadPending_ = false;  // the task table is to be read again when the run ends
    FolderBrowser browser_ = ShellBrowseForFolder;
    KernelHandle launched_;  // the process the shell launcher started last
    DWORD launchError_ = 0;
};

// The main window while it exists; null otherwise.
extern Tfrm_Main* frm_Main;

}  // namespace pelvane
