#pragma once
// The main window frm_Main: options, schedule, task grid, log page, progress
// and status bars, and the buttons that run, stop, edit the exclusion list,
// open the help page, go to the background and close. It owns the task
// store, the timers and the backup engine, and is the surroundings of a run
// and the holder of the settings.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "common/Handles.h"
#include "common/Seged.h"
#include "engine/BackupEngine.h"
#include "engine/BackupSurroundings.h"
#include "engine/FileSystem.h"
#include "settings/Scheduler.h"
#include "settings/SettingsHolders.h"
#include "store/TableTaskRows.h"
#include "store/TaskStore.h"
#include "ui/DataGrid.h"
#include "ui/LogView.h"
#include "ui/MainWindowParts.h"
#include "ui/MaskEdit.h"
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
};

// What the folder browser is asked and answers; tests put their own in.
// Folders travel in UTF-16, so any name is stored exactly.
struct FolderRequest {
    HWND owner = nullptr;
    std::string caption;   // title line and window caption
    std::wstring initial;  // preselected folder, "" for none
};
using FolderBrowser = std::function<bool(const FolderRequest& request, std::wstring& path)>;
// The shell's folder dialog (SHBrowseForFolderW): false when cancelled.
bool ShellBrowseForFolder(const FolderRequest& request, std::wstring& path);

class Tfrm_Main : public Window, public BackupSurroundings, public SettingsHolders {
  public:
    // Control ids; commands of the popup menu come as kMenu* ids.
    enum Id {
        kPanel1 = 100,
        kRadioGroup1,
        kGroupBox1,
        kGroupBox2,
        kGroupBox3,
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
        kMenuUndo = 200,
        kMenuCut,
        kMenuCopy,
        kMenuPaste,
        kMenuDelete,
        kMenuSelectAll,
        kMenuTorol,
    };

    // Posted to carry out a scheduled run that something held back.
    static constexpr UINT kRunPendingMessage = WM_APP + 1;

    static constexpr const char* kWebAddress = "https://pelvane.example/";
    static constexpr const char* kWebLabel = "pelvane.example";

    // Creates the window hidden and runs FormCreate: the database paths, the
    // settings into the controls (arming the schedule), the task table.
    // programDir stands for AppDir (the settings file, the database, the
    // SQLite library and the help page are there).
    explicit Tfrm_Main(MainFormLink* link = nullptr, const std::string& programDir = AppDir());
    ~Tfrm_Main() override;

    void SetMainFormLink(MainFormLink* link) { link_ = link; }
    // Shows the window and brings it to the front.
    void Show();
    void Hide();
    // As the close box: runs FormClose, or during a run stops the run and
    // closes when it has ended. True when the window closed now.
    bool Close();
    bool ClosePending() const { return closePending_; }
    bool Closed() const { return closed_; }

    // Handlers.
    void Button1Click();  // the run; also Timer1 and the daily check
    void Button5Click() { engine_.Button5Click(); }
    void Button4Click();
    void Button7Click();
    void Label17Click();
    void Button2Click();
    void Button3Click();
    void DBGrid1DblClick();
    void aTorolExecute();
    // The mouse-wheel translation: every queued message passes through it.
    static void ApplicationEvents1Message(MSG& msg);

    // The window-wide shortcuts of the action list; true when one was executed.
    bool ExecuteShortcut(const MSG& msg);
    // An action by its menu id: enabled state and execution.
    bool ActionEnabled(int id);
    void ExecuteAction(int id);

    // Parts, for the program's other windows and for tests.
    TaskStore& Store() { return store_; }
    BackupEngine& Engine() { return engine_; }
    Scheduler* GetScheduler() { return scheduler_.get(); }
    DataGrid& DBGrid1() { return grid_; }
    LogView& LogView1() { return log_; }
    MaskEdit& Edit1() { return edit1_; }
    HWND Control(int id) const;  // any control above by its id
    HMENU PopupMenu1() const { return popup_.get(); }
    int ActivePage() const;
    std::string StatusText(int panel) const;
    int ProgressPosition() const;
    bool Running() const { return engine_.Running(); }
    bool DeleteActionEnabled() const { return torolEnabled_; }
    const std::string& ProgramDir() const { return dir_; }
    void SetFolderBrowser(FolderBrowser browser) { browser_ = std::move(browser); }
    // The shell launcher's last result: 0 after a successful start, else the
    // shell's error code.
    DWORD LastLaunchError() const { return launchError_; }

    // BackupSurroundings
    TaskRows& Tasks() override { return rows_; }
    void AppendLog(const std::wstring& line) override;
    void SetProgressMax(int max) override;
    int ProgressMax() override;
    void SetProgressPosition(int position) override;
    void StepProgress(int amount) override;
    void SetStatusText(const std::wstring& text) override;
    void ShowLogPage() override;
    void EnableRunButton(bool enabled) override;
    void EnableStopButton(bool enabled) override;
    void EnableTaskGrid(bool enabled) override;
    void EnableDeleteAction(bool enabled) override;
    int MethodIndex() override { return RadioGroup1Index(); }
    bool ClearArchiveFlag() override { return CheckBox4Checked(); }
    bool OnlyCurrentTask() override;
    std::string ExcludedTypes() override { return excludedTypes_; }
    void ShowError(const std::string& text) override;
    void ProcessMessages() override;

    // SettingsHolders
    bool CheckBox1Checked() const override;
    void SetCheckBox1Checked(bool checked) override;
    int RadioGroup1Index() const override;
    void SetRadioGroup1Index(int index) override;
    bool CheckBox4Checked() const override;
    void SetCheckBox4Checked(bool checked) override;
    bool RadioButton1Checked() const override;
    void SetRadioButton1Checked(bool checked) override;
    bool RadioButton2Checked() const override;
    void SetRadioButton2Checked(bool checked) override;
    void SetRadioButtonsEnabled(bool enabled) override;
    TimeOfDay PickerTime() const override;
    void SetPickerTime(const TimeOfDay& time) override;
    std::string Edit1Text() const override { return edit1_.Text(); }
    void SetEdit1Text(const std::string& text) override { edit1_.SetText(text); }
    std::string ExcludedTypes() const override { return excludedTypes_; }
    void SetExcludedTypes(const std::string& types) override { excludedTypes_ = types; }
    int WindowLeft() const override;
    int WindowTop() const override;
    void SetWindowLeft(int left) override;
    void SetWindowTop(int top) override;
    void ArmSchedule() override;

  private:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void CreateControls();
    void CreatePanel1();
    void CreatePages();
    void CreatePopupMenu1();
    void FormCreate();
    void FormClose();
    void OnCommand(int id, int code);
    void OnNotify(const NMHDR& hdr);
    void ShowPage(int index);
    // Where the focus goes when the window is activated again: the control
    // that had it, if it can take it on the page shown; else the first one.
    HWND FocusTarget() const;
    bool CanTakeFocus(HWND control) const;
    void UpdateMenu(HMENU menu);
    void OpenDocument(const std::string& document);
    void PostRunPending();
    HWND FocusedTextField() const;
    HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
               int id, DWORD exStyle = 0);

    MainFormLink* link_;
    std::string dir_;
    TaskStore store_;
    TableTaskRows rows_{store_.Tbl};
    std::unique_ptr<FileSystem> fs_;
    BackupEngine engine_;
    std::unique_ptr<Scheduler> scheduler_;

    GdiObject font_, linkFont_;
    Container panel1_, sheet1_, sheet2_;
    HWND radioGroup1_ = nullptr, groupBox1_ = nullptr, groupBox2_ = nullptr, groupBox3_ = nullptr;
    HWND radio_[3] = {};
    HWND checkBox1_ = nullptr, checkBox2_ = nullptr, checkBox4_ = nullptr;
    HWND radioButton1_ = nullptr, radioButton2_ = nullptr, dateTimePicker1_ = nullptr;
    MaskEdit edit1_;
    HWND label13_ = nullptr, label17_ = nullptr;
    Picture image1_, image2_;
    HWND button1_ = nullptr, button5_ = nullptr, button4_ = nullptr, button7_ = nullptr, button2_ = nullptr,
         button3_ = nullptr;
    HWND pageControl1_ = nullptr, progressBar1_ = nullptr, statusBar1_ = nullptr;
    DataGrid grid_;
    LogView log_;
    MenuHandle popup_;
    IconHandle bigIcon_, smallIcon_;
    HWND lastFocus_ = nullptr;  // restored when the window is activated again
    MenuImages menuImages_;

    std::string excludedTypes_;
    std::string browseField_;  // the grid column whose folder is being chosen
    bool torolEnabled_ = true;
    bool closePending_ = false;
    bool closed_ = false;
    FolderBrowser browser_ = ShellBrowseForFolder;
    KernelHandle launched_;  // the process the shell launcher started last
    DWORD launchError_ = 0;
};

// The main window while it exists; null otherwise.
extern Tfrm_Main* frm_Main;

}  // namespace pelvane
