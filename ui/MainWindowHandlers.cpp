// The main window's handlers, named after their events, and its action list.
#include "ui/MainWindow.h"

#include <shellapi.h>

#include "common/ProgramFiles.h"
#include "common/Text.h"
#include "store/TaskTable.h"
#include "ui/Application.h"
#include "ui/InputDialog.h"

namespace pelvane {
namespace {

using M = Tfrm_Main;

// The action list: caption, shortcut and image of each action, and the
// message a text action sends to the focused field.
struct ActionDef {
    int id;
    const char* caption;
    const char* shortcut;
    int image;  // -1: none
    UINT key;
    bool ctrl;
    UINT message;
    LPARAM lParam;
};
constexpr ActionDef kActions[] = {
    {M::kMenuUndo, "Visszavon", "Ctrl+Z", MenuImages::kUndo, 'Z', true, EM_UNDO, 0},
    {M::kMenuCut, "Kivág", "Ctrl+X", MenuImages::kCut, 'X', true, WM_CUT, 0},
    {M::kMenuCopy, "Másol", "Ctrl+C", MenuImages::kCopy, 'C', true, WM_COPY, 0},
    {M::kMenuPaste, "Beilleszt", "Ctrl+V", MenuImages::kPaste, 'V', true, WM_PASTE, 0},
    {M::kMenuDelete, "Töröl", "Del", MenuImages::kDelete, VK_DELETE, false, WM_CLEAR, 0},
    {M::kMenuSelectAll, "Mindet kijelöl", "Ctrl+A", -1, 'A', true, EM_SETSEL, -1},
    {M::kMenuTorol, "Feladat törlése", "Ctrl+Del", MenuImages::kDeleteTask, VK_DELETE, true, 0, 0},
};

// PopupMenu1 in menu order; 0 is a separator. Select-all is not in it.
constexpr int kPopupMenu1[] = {M::kMenuUndo,   0, M::kMenuCut,  M::kMenuCopy, M::kMenuPaste,
                               M::kMenuDelete, 0, M::kMenuTorol};

const ActionDef* FindAction(int id) {
    for (const ActionDef& a : kActions)
        if (a.id == id) return &a;
    return nullptr;
}

void EnableItem(HMENU menu, int id, bool enabled) {
    EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

void Tfrm_Main::CreatePopupMenus() {
    menuImages_.Create();
    popup_.reset(CreatePopupMenu());
    for (int id : kPopupMenu1) {
        const ActionDef* a = FindAction(id);
        if (!a) {
            AppendMenuA(popup_.get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string text = std::string(a->caption) + "\t" + a->shortcut;
        AppendMenuA(popup_.get(), MF_STRING, static_cast<UINT_PTR>(id), text.c_str());
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_BITMAP;
        mii.hbmpItem = menuImages_.Get(a->image);
        SetMenuItemInfoA(popup_.get(), static_cast<UINT>(id), FALSE, &mii);
    }
    AppendMenuA(popup_.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup_.get(), MF_STRING, kMenuRestore, "Visszaállítás...");
    // The log view's own: copying, and the log file that outlives the page.
    logPopup_.reset(CreatePopupMenu());
    AppendMenuA(logPopup_.get(), MF_STRING, kMenuLogCopy, "Másol\tCtrl+C");
    AppendMenuA(logPopup_.get(), MF_STRING, kMenuLogSelectAll, "Mindet kijelöl\tCtrl+A");
    AppendMenuA(logPopup_.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(logPopup_.get(), MF_STRING, kMenuLogOpenFile, "Naplófájl megnyitása");
}

void Tfrm_Main::Button1Click() {
    // A backup never runs under a restore: the schedule keeps it until the restore has ended.
    if (closed_ || restore_.UnderWay()) return;
    backup_.Run();
    if (closePending_ && !backup_.UnderWay()) {
        closePending_ = false;
        Close();
        return;
    }
    if (backup_.UnderWay()) return;
    if (reloadPending_) ReloadTasks();
    // A daily run that fell due during this one comes now.
    PostRunPending();
}

// Only a run started here asks whether a task the change guard holds goes
// ahead; the schedule's runs come through Button1Click and hold it.
void Tfrm_Main::Button1Pressed() {
    struct Asking {
        MainWindowRun& run;
        explicit Asking(MainWindowRun& r) : run(r) { run.SetAskUser(true); }
        ~Asking() { run.SetAskUser(false); }
    } asking(run_);
    Button1Click();
}

void Tfrm_Main::Button5Click() {
    backup_.RequestStop();
    restore_.RequestStop();
}

void Tfrm_Main::Button4Click() {
    std::string text = settings_.ExcludedTypes();
    if (InputStr("Kizárt file-típusok", "Pontosvessző határolt, pl. \".tmp;.temp\"", "", text,
                 SettingsFilePath(dir_)))
        settings_.SetExcludedTypes(text);
}

void Tfrm_Main::Button7Click() {
    OpenDocument(HelpPagePath(dir_));
}

void Tfrm_Main::Label17Click() {
    OpenDocument(AnsiToWide(kWebAddress));
}

void Tfrm_Main::Button2Click() {
    if (link_) link_->ActivateTrayIcon();
    ShowWindow(Handle(), SW_HIDE);
}

void Tfrm_Main::Button3Click() {
    TDataSet& tbl = store_.Table();
    // An unchanged new row is no task: it goes with the close.
    if ((tbl.State() == DataSetState::Edit || tbl.State() == DataSetState::Insert) && tbl.Modified())
        tbl.Post();
    Close();
}

void Tfrm_Main::CheckBox1Click() {
    Scheduler::AutoStartChanged(settings_);
}

void Tfrm_Main::RadioButton1Click() {
    if (settings_.DailyRun()) Scheduler::DailyChosen(settings_);
}

void Tfrm_Main::RadioButton2Click() {
    if (settings_.ContinuousRun()) Scheduler::ContinuousChosen(settings_);
}

void Tfrm_Main::Edit2Change() {
    settings_.CountFieldChanged(kEdit2);
}

void Tfrm_Main::Edit3Change() {
    settings_.CountFieldChanged(kEdit3);
}

void Tfrm_Main::Edit2Exit() {
    settings_.CountFieldLeft(kEdit2);
}

void Tfrm_Main::Edit3Exit() {
    settings_.CountFieldLeft(kEdit3);
}

void Tfrm_Main::LogCopyClick() {
    log_.CopyToClipboard();
}

void Tfrm_Main::LogSelectAllClick() {
    log_.SelectAll();
}

void Tfrm_Main::LogOpenFileClick() {
    OpenDocument(runLog_.Path());
}

void Tfrm_Main::DBGrid1DblClick() {
    browseField_ = grid_.SelectedField();
    if (browseField_.empty()) return;
    TSqliteTable& tbl = store_.Table();
    const int row = tbl.Bookmark();  // the row double-clicked; -1 for a new row
    FolderRequest request;
    request.owner = Handle();
    request.initial = tbl.FieldWideText(browseField_);
    request.caption = browseField_ == kSourceField ? "Forrás mappa kiválasztás" : "Cél mappa kiválasztás";
    std::wstring path;
    {
        // The dialog's own loop lets the timers through: no scheduled run
        // may start under it and move the cursor to another row.
        Application::ModalScope modal;
        if (!browser_ || !browser_(request, path)) return;
    }
    // The folder goes into the row double-clicked, whatever moved the cursor.
    if (row >= 0 && tbl.Bookmark() != row) tbl.GotoBookmark(row);
    if (tbl.State() == DataSetState::Browse) tbl.Edit();  // an empty table starts a new row
    tbl.SetFieldWideText(browseField_, path);
    tbl.Post();
}

void Tfrm_Main::aTorolExecute() {
    store_.DeleteCurrentTask();
}

void Tfrm_Main::ApplicationEvents1Message(MSG& msg) {
    if (msg.message != WM_MOUSEWHEEL) return;
    const short distance = static_cast<short>(HIWORD(msg.wParam));
    msg.message = WM_KEYDOWN;
    msg.wParam = distance > 0 ? VK_UP : VK_DOWN;
    msg.lParam = 0;
}

void Tfrm_Main::OpenDocument(const std::wstring& document) {
    ComScope com;
    launched_.reset();
    SHELLEXECUTEINFOW sei = {};
    sei.cbSize = sizeof sei;
    // The shell would show its own box for a missing page; nothing is shown.
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.hwnd = link_ ? link_->MainFormHandle() : Handle();
    sei.lpVerb = L"open";
    sei.lpFile = document.c_str();
    sei.lpParameters = L"";
    sei.lpDirectory = dir_.c_str();
    sei.nShow = SW_SHOW;
    if (ShellExecuteExW(&sei)) {
        launchError_ = 0;
        launched_.reset(sei.hProcess);
    } else {
        // Recorded, never shown.
        DWORD code = static_cast<DWORD>(reinterpret_cast<INT_PTR>(sei.hInstApp));
        launchError_ = code > 32 || code == 0 ? GetLastError() : code;
    }
}

HWND Tfrm_Main::FocusedTextField() const {
    HWND focus = GetFocus();
    if (!focus || GetAncestor(focus, GA_ROOT) != Handle() || !IsWindowEnabled(focus)) return nullptr;
    char cls[16] = {};
    GetClassNameA(focus, cls, sizeof cls);
    return lstrcmpiA(cls, "Edit") == 0 ? focus : nullptr;
}

bool Tfrm_Main::ActionEnabled(int id) {
    if (id == kMenuTorol) return torolEnabled_;
    HWND edit = FocusedTextField();
    if (!edit) return false;
    DWORD from = 0, to = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    switch (id) {
        case kMenuUndo:
            return SendMessageA(edit, EM_CANUNDO, 0, 0) != 0;
        case kMenuCut:
        case kMenuCopy:
        case kMenuDelete:
            return from != to;
        case kMenuPaste:
            return IsClipboardFormatAvailable(CF_TEXT) != FALSE;
        case kMenuSelectAll:
            return GetWindowTextLengthA(edit) > 0;
    }
    return false;
}

void Tfrm_Main::ExecuteAction(int id) {
    if (id == kMenuTorol) {
        aTorolExecute();
        return;
    }
    HWND edit = FocusedTextField();
    const ActionDef* a = FindAction(id);
    if (edit && a) SendMessageA(edit, a->message, 0, a->lParam);
}

bool Tfrm_Main::ExecuteShortcut(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || closed_ || !Handle()) return false;
    if (!msg.hwnd || GetAncestor(msg.hwnd, GA_ROOT) != Handle()) return false;
    if (GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0) return false;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    for (const ActionDef& a : kActions) {
        if (a.key != msg.wParam || a.ctrl != ctrl) continue;
        // A disabled action leaves its key to the control.
        if (!ActionEnabled(a.id)) return false;
        ExecuteAction(a.id);
        return true;
    }
    return false;
}

void Tfrm_Main::UpdateMenu(HMENU menu) {
    if (menu == logPopup_.get()) {
        EnableItem(menu, kMenuLogCopy, log_.HasSelection());
        EnableItem(menu, kMenuLogSelectAll, log_.LineCount() > 0);
        const DWORD file = GetFileAttributesW(runLog_.Path().c_str());
        EnableItem(menu, kMenuLogOpenFile,
                   file != INVALID_FILE_ATTRIBUTES && !(file & FILE_ATTRIBUTE_DIRECTORY));
    } else if (menu == popup_.get()) {
        for (int id : kPopupMenu1)
            if (id) EnableItem(menu, id, ActionEnabled(id));
        EnableItem(menu, kMenuRestore, RestoreEnabled());
    }
}

}  // namespace pelvane
