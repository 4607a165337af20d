#include "ui/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "common/Seged.h"
#include "common/Text.h"
#include "resources/Picture.h"
#include "settings/Settings.h"
#include "settings/TimeFormat.h"
#include "ui/Application.h"
#include "ui/ErrorBox.h"
#include "ui/InputDialog.h"

namespace pelvane {

Tfrm_Main* frm_Main = nullptr;

namespace {

constexpr char kClassName[] = "PelvaneMain";
constexpr int kClientWidth = 573, kClientHeight = 390;
constexpr int kPanelHeight = 217, kProgressHeight = 17, kStatusHeight = 19;
constexpr COLORREF kLinkColor = RGB(0, 0, 255);
// BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE. BIF_BROWSEFORCOMPUTER
// is left out: with it the dialog keeps OK greyed for every folder, so no
// folder could ever be chosen.
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE;

// The action list: menu order, caption, shortcut text and image (-1: none).
struct ActionDef {
    int id;
    const char* caption;
    const char* shortcut;
    int image;
};
constexpr ActionDef kActions[] = {
    {Tfrm_Main::kMenuUndo, "Visszavon", "Ctrl+Z", MenuImages::kUndo},
    {0, "-", nullptr, -1},
    {Tfrm_Main::kMenuCut, "Kivág", "Ctrl+X", MenuImages::kCut},
    {Tfrm_Main::kMenuCopy, "Másol", "Ctrl+C", MenuImages::kCopy},
    {Tfrm_Main::kMenuPaste, "Beilleszt", "Ctrl+V", MenuImages::kPaste},
    {Tfrm_Main::kMenuDelete, "Töröl", "Del", MenuImages::kDelete},
    {0, "-", nullptr, -1},
    {Tfrm_Main::kMenuTorol, "Feladat törlése", "Ctrl+Del", MenuImages::kDeleteTask},
};

bool Checked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void SetChecked(HWND button, bool checked) {
    SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// A label is as wide as its text; a right-aligned one keeps its right edge.
void FitLabel(HWND label, bool keepRight) {
    char text[256] = {};
    GetWindowTextA(label, text, sizeof text);
    WindowDC dc(label);
    SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc.get(), text, lstrlenA(text), &size);
    RECT rc;
    GetWindowRect(label, &rc);
    MapWindowPoints(nullptr, GetParent(label), reinterpret_cast<POINT*>(&rc), 2);
    int left = keepRight ? rc.right - size.cx : rc.left;
    SetWindowPos(label, nullptr, left, rc.top, size.cx, rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK LinkLabelProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) noexcept {
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(wnd, LinkLabelProc, 0);
    return Application::Guarded("link label", LRESULT{0}, [&] {
        if (msg == WM_SETCURSOR) {
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return LRESULT{TRUE};
        }
        return DefSubclassProc(wnd, msg, wp, lp);
    });
}

// COM for the shell's dialogs and launcher, for the length of one call.
struct ComScope {
    ComScope() : ok(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComScope() {
        if (ok) CoUninitialize();
    }
    bool ok;
};

int BrowseMessage(HWND dialog, UINT msg, const FolderRequest* request);

int CALLBACK BrowseCallback(HWND dialog, UINT msg, LPARAM, LPARAM data) noexcept {
    return Application::Guarded("folder browser", 0, [&] {
        return BrowseMessage(dialog, msg, reinterpret_cast<const FolderRequest*>(data));
    });
}

int BrowseMessage(HWND dialog, UINT msg, const FolderRequest* request) {
    switch (msg) {
        case BFFM_INITIALIZED: {
            // Centred over the active window (the dialog is not active yet).
            HWND over = GetActiveWindow();
            if (!over || over == dialog) over = request->owner;
            RECT area, self;
            if (over && IsWindowVisible(over)) {
                GetWindowRect(over, &area);
            } else {
                SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
            }
            GetWindowRect(dialog, &self);
            int w = self.right - self.left, h = self.bottom - self.top;
            SetWindowPos(dialog, nullptr, (area.left + area.right - w) / 2, (area.top + area.bottom - h) / 2,
                         0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            SetWindowTextA(dialog, request->caption.c_str());
            if (!request->initial.empty())
                SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE,
                             reinterpret_cast<LPARAM>(request->initial.c_str()));
            SendMessageA(dialog, BFFM_ENABLEOK, 0, FALSE);
            break;
        }
        case BFFM_VALIDATEFAILEDW:
            return 0;  // a mistyped name closes the dialog
    }
    return 0;
}

}  // namespace

bool ShellBrowseForFolder(const FolderRequest& request, std::wstring& path) {
    ComScope com;
    wchar_t display[MAX_PATH] = {};
    const std::wstring title = AnsiToWide(request.caption);
    BROWSEINFOW bi = {};
    bi.hwndOwner = request.owner;
    bi.pidlRoot = nullptr;
    bi.pszDisplayName = display;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = kBrowseFlags;
    bi.lpfn = BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(&request);
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&bi);
    if (!item) return false;
    wchar_t chosen[MAX_PATH + 1] = {};
    BOOL ok = SHGetPathFromIDListW(item, chosen);
    CoTaskMemFree(item);
    // An item without a file-system path would clear the cell: count it as cancelled.
    if (!ok || !chosen[0]) return false;
    path = chosen;
    return true;
}

Tfrm_Main::Tfrm_Main(MainFormLink* link, const std::string& programDir)
    : link_(link), dir_(programDir), fs_(MakeWin32FileSystem()), engine_(*this, *fs_) {
    frm_Main = this;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES |
                                                ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    RegisterClassOnce(kClassName, 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    font_.reset(CreateFontA(Scale(-11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, EASTEUROPE_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
    linkFont_.reset(CreateFontA(Scale(-11), 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, EASTEUROPE_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));

    // Fixed dialog border: no sizing, no minimise or maximise box.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
    RECT rc = {0, 0, Scale(kClientWidth), Scale(kClientHeight)};
    AdjustWindowRectEx(&rc, style, FALSE, exStyle);
    CreateWnd(exStyle, kClassName, "Pelvane", style, 10, 10, rc.right - rc.left, rc.bottom - rc.top, nullptr,
              nullptr);
    bigIcon_ = LoadProgramIcon(GetSystemMetrics(SM_CXICON));
    smallIcon_ = LoadProgramIcon(GetSystemMetrics(SM_CXSMICON));
    if (bigIcon_) SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    if (smallIcon_)
        SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    CreatePopupMenu1();
    CreateControls();
    // Every queued message of the application passes here first.
    Application::SetMessageHook([](MSG& msg) {
        ApplicationEvents1Message(msg);
        return frm_Main && frm_Main->ExecuteShortcut(msg);
    });
    // A scheduled run kept back by a dialog comes when the last one closes,
    // after the handler that opened it has finished.
    Application::SetModalEndHandler([this] { PostRunPending(); });
    FormCreate();
}

Tfrm_Main::~Tfrm_Main() {
    if (frm_Main == this) {
        frm_Main = nullptr;
        Application::SetMessageHook(nullptr);
        Application::SetModalEndHandler(nullptr);
    }
    // The controls go with the window while this object is still whole:
    // their last notifications reach a working form.
    if (Handle()) DestroyWindow(Handle());
}

HWND Tfrm_Main::Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
                      int id, DWORD exStyle) {
    HWND wnd = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, Scale(x), Scale(y),
                               Scale(w), Scale(h), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
    if (!wnd) throw Exception("Cannot create the control " + std::string(cls));
    SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return wnd;
}

void Tfrm_Main::CreateControls() {
    HWND form = Handle();
    // Creation order is the tab order: Panel1, ProgressBar1, PageControl1.
    panel1_.Create(form, form, kPanel1, 0, 0, Scale(kClientWidth), Scale(kPanelHeight));
    CreatePanel1();
    const int progressTop = kClientHeight - kStatusHeight - kProgressHeight;
    progressBar1_ =
        Child(form, PROGRESS_CLASSA, "", 0, 0, progressTop, kClientWidth, kProgressHeight, kProgressBar1);
    SendMessageA(progressBar1_, PBM_SETSTEP, 1, 0);
    CreatePages();
    statusBar1_ = Child(form, STATUSCLASSNAMEA, "", CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER, 0,
                        kClientHeight - kStatusHeight, kClientWidth, kStatusHeight, kStatusBar1);
    int edges[3] = {Scale(320), Scale(320 + 125), -1};
    SendMessageA(statusBar1_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    SendMessageA(statusBar1_, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(Scheduler::kContinuousOff));
    SendMessageA(statusBar1_, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(Scheduler::kDailyOff));

    // The timers need the window and the status bar.
    Scheduler::Callbacks callbacks;
    callbacks.run = [this] { Button1Click(); };
    callbacks.modalOpen = [] { return Application::InModal(); };
    callbacks.runUnderWay = [this] { return engine_.InRun(); };
    callbacks.dailyTime = [this] { return PickerTime(); };
    callbacks.setPanel = [this](int panel, const std::string& text) {
        SendMessageA(statusBar1_, SB_SETTEXTA, static_cast<WPARAM>(panel),
                     reinterpret_cast<LPARAM>(text.c_str()));
    };
    callbacks.lastDailyRun = [this] { return ReadLastDailyRun(dir_ + "\\Pelvane.ini"); };
    callbacks.dailyRunStarted = [this](const std::string& day) {
        WriteLastDailyRun(dir_ + "\\Pelvane.ini", day);
    };
    scheduler_ = std::make_unique<Scheduler>(Handle(), std::move(callbacks));
}

void Tfrm_Main::CreatePanel1() {
    HWND form = Handle();
    HWND p = panel1_.Handle();
    const DWORD push = WS_TABSTOP | BS_PUSHBUTTON;
    button1_ = Child(p, "BUTTON", "Archiválás most", push, 472, 8, 93, 25, kButton1);
    button2_ = Child(p, "BUTTON", "Háttérben", push, 472, 156, 93, 25, kButton2);
    button3_ = Child(p, "BUTTON", "Bezár", push, 472, 184, 93, 25, kButton3);

    groupBox2_ =
        CreateGroupBox(p, form, "Rendszeres", kGroupBox2, Scale(8), Scale(112), Scale(277), Scale(97));
    SendMessageA(groupBox2_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    dateTimePicker1_ = Child(groupBox2_, DATETIMEPICK_CLASSA, "", WS_TABSTOP | WS_GROUP | DTS_TIMEFORMAT, 188,
                             40, 77, 21, kDateTimePicker1);
    SendMessageA(dateTimePicker1_, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("HH:mm"));
    checkBox1_ = Child(groupBox2_, "BUTTON", "Automatikus indítás Windows indításakor",
                       WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 8, 20, 225, 17, kCheckBox1);
    radioButton1_ = Child(groupBox2_, "BUTTON", "Rendszeres mentés naponta",
                          WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 8, 44, 177, 17, kRadioButton1);
    radioButton2_ = Child(groupBox2_, "BUTTON", "Folyamatos mentés (percenként)", BS_AUTORADIOBUTTON, 8, 72,
                          177, 17, kRadioButton2);
    SetChecked(radioButton1_, true);
    edit1_.Create(groupBox2_, kEdit1, Scale(188), Scale(68), Scale(76), Scale(21));
    // Ends the radio buttons' group.
    SetWindowLongPtrA(edit1_.Handle(), GWL_STYLE, GetWindowLongPtrA(edit1_.Handle(), GWL_STYLE) | WS_GROUP);
    SendMessageA(edit1_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    edit1_.SetEditMask("9999;1; ");
    edit1_.SetMaxLength(4);
    edit1_.SetText("");

    groupBox3_ =
        CreateGroupBox(p, form, "Névjegy", kGroupBox3, Scale(292), Scale(112), Scale(173), Scale(97));
    SendMessageA(groupBox3_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    label13_ = Child(groupBox3_, "STATIC", "Biztonsági mentés program", SS_RIGHT | SS_NOPREFIX, 33, 16, 129,
                     13, kLabel13);
    EnableWindow(label13_, FALSE);
    FitLabel(label13_, true);
    image2_.Create(groupBox3_, kImage2, Scale(8), Scale(36), Scale(32), Scale(32), PaintProgramIcon);
    label17_ = Child(groupBox3_, "STATIC", kWebLabel, SS_NOTIFY | SS_NOPREFIX, 42, 72, 119, 13, kLabel17);
    SendMessageA(label17_, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
    FitLabel(label17_, false);
    SetWindowSubclass(label17_, LinkLabelProc, 0, 0);

    button5_ = Child(p, "BUTTON", "Megállít", push | WS_DISABLED, 472, 36, 93, 25, kButton5);
    button4_ = Child(p, "BUTTON", "Kizárt filetípusok", push, 472, 64, 93, 25, kButton4);

    radioGroup1_ =
        CreateGroupBox(p, form, "Módszer", kRadioGroup1, Scale(8), Scale(8), Scale(233), Scale(101));
    SendMessageA(radioGroup1_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    static const char* const kItems[3] = {"Összes file másolása", "Csak módosított file-ok másolása",
                                          "Csak újabb file-ok másolása (lassabb)"};
    // The items share the space under the caption evenly, as a radio group lays them out.
    const int top = 14, itemHeight = (101 - top - 6) / 3;
    for (int i = 0; i < 3; ++i) {
        radio_[i] = Child(radioGroup1_, "BUTTON", kItems[i],
                          BS_AUTORADIOBUTTON | (i == 0 ? WS_TABSTOP | WS_GROUP : 0), 8, top + i * itemHeight,
                          233 - 16, itemHeight, kRadio0 + i);
    }
    SetChecked(radio_[0], true);

    groupBox1_ = CreateGroupBox(p, form, "Egyéb", kGroupBox1, Scale(248), Scale(44), Scale(217), Scale(65));
    SendMessageA(groupBox1_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    checkBox2_ = Child(groupBox1_, "BUTTON", "Csak aktuális feladat", WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX,
                       8, 20, 125, 17, kCheckBox2);
    checkBox4_ = Child(groupBox1_, "BUTTON", "Archív jelző törlése másolás után",
                       WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 8, 40, 177, 17, kCheckBox4);

    button7_ = Child(p, "BUTTON", "Súgó", push, 472, 124, 93, 25, kButton7);
    image1_.Create(p, kImage1, Scale(284), Scale(8), Scale(157), Scale(33), PaintLogo);
}

void Tfrm_Main::CreatePages() {
    const int pageTop = kPanelHeight;
    const int pageHeight = kClientHeight - kStatusHeight - kProgressHeight - kPanelHeight;
    pageControl1_ = Child(Handle(), WC_TABCONTROLA, "", WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                          pageTop, kClientWidth, pageHeight, kPageControl1, WS_EX_CONTROLPARENT);
    const char* captions[2] = {"Mentési feladatok", "Napló"};
    for (int i = 0; i < 2; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(captions[i]);
        SendMessageA(pageControl1_, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    RECT rc;
    GetClientRect(pageControl1_, &rc);
    SendMessageA(pageControl1_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    sheet1_.Create(pageControl1_, Handle(), kTabSheet1, rc.left, rc.top, w, h);
    sheet2_.Create(pageControl1_, Handle(), kTabSheet2, rc.left, rc.top, w, h);
    ShowWindow(sheet2_.Handle(), SW_HIDE);

    grid_.Create(sheet1_.Handle(), kDBGrid1, 0, 0, w, h);
    SendMessageA(grid_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    grid_.SetColumns({DataGrid::Column("forras", 267), DataGrid::Column("cel", 264)});
    grid_.SetPopupMenu(popup_.get());
    grid_.OnDblClick = [this] { DBGrid1DblClick(); };
    grid_.OnEditButtonClick = [this] { DBGrid1DblClick(); };
    grid_.SetDataSet(&store_.Tbl);

    log_.Create(sheet2_.Handle(), kLogView1, 0, 0, w, h);
}

void Tfrm_Main::CreatePopupMenu1() {
    menuImages_.Create();
    popup_.reset(CreatePopupMenu());
    for (const ActionDef& a : kActions) {
        if (!a.shortcut) {
            AppendMenuA(popup_.get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string text = std::string(a.caption) + "\t" + a.shortcut;
        AppendMenuA(popup_.get(), MF_STRING, static_cast<UINT_PTR>(a.id), text.c_str());
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_BITMAP;
        mii.hbmpItem = menuImages_.Get(a.image);
        SetMenuItemInfoA(popup_.get(), static_cast<UINT>(a.id), FALSE, &mii);
    }
}

void Tfrm_Main::FormCreate() {
    store_.Db1.SetDriverDLL(dir_ + "\\sqlite3.dll");
    store_.Db1.SetDefaultDir(dir_);
    store_.Db1.SetDatabase("Pelvane.sqb");
    // A failure ends the sequence, as an escaping exception would, and the
    // window comes up all the same (with an empty grid when the table failed).
    try {
        LoadSettings(*this, dir_ + "\\Pelvane.ini");
        store_.Open();
    } catch (const std::exception& e) {
        Application::HandleException(e);
    }
}

void Tfrm_Main::FormClose() {
    TDataSet& tbl = store_.Tbl;
    // A row typed into the grid is stored, not dropped, also when the close box
    // ends the program; a failure keeps the window open.
    if ((tbl.State() == DataSetState::Edit || tbl.State() == DataSetState::Insert) && tbl.Modified())
        tbl.Post();
    store_.Close();
    try {
        SaveSettings(*this, dir_ + "\\Pelvane.ini");
    } catch (...) {
        // The window stays open: it keeps its tasks.
        try {
            store_.Open();
        } catch (...) {
        }
        throw;
    }
    closed_ = true;
    ShowWindow(Handle(), SW_HIDE);
    if (link_) {
        link_->CloseMainForm();
    } else {
        PostQuitMessage(0);
    }
}

void Tfrm_Main::Show() {
    bool first = !IsWindowVisible(Handle());
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    if (first && !IsChild(Handle(), GetFocus())) SetFocus(button1_);
}

void Tfrm_Main::Hide() {
    ShowWindow(Handle(), SW_HIDE);
}

bool Tfrm_Main::Close() {
    if (closed_) return true;
    if (engine_.InRun()) {
        // The run is reading the table: stop it, and close when it has returned.
        closePending_ = true;
        engine_.Button5Click();
        return false;
    }
    FormClose();
    return true;
}

void Tfrm_Main::Button1Click() {
    if (closed_) return;
    engine_.Button1Click();
    if (closePending_ && !engine_.InRun()) {
        closePending_ = false;
        Close();
        return;
    }
    // A daily run that fell due during this one comes now.
    if (!engine_.InRun()) PostRunPending();
}

void Tfrm_Main::PostRunPending() {
    if (scheduler_ && scheduler_->RunKept() && Handle()) PostMessageA(Handle(), kRunPendingMessage, 0, 0);
}

void Tfrm_Main::Button4Click() {
    std::string text = excludedTypes_;
    if (InputStr("Kizárt file-típusok", "Pontosvessző határolt, pl. \".tmp;.temp\"", "", text))
        excludedTypes_ = text;
}

void Tfrm_Main::Button7Click() {
    OpenDocument(dir_ + "\\pelvane.htm");
}

void Tfrm_Main::Label17Click() {
    OpenDocument(kWebAddress);
}

void Tfrm_Main::Button2Click() {
    if (link_) link_->ActivateTrayIcon();
    Hide();
}

void Tfrm_Main::Button3Click() {
    TDataSet& tbl = store_.Tbl;
    if (tbl.State() == DataSetState::Edit || tbl.State() == DataSetState::Insert) tbl.Post();
    Close();
}

void Tfrm_Main::DBGrid1DblClick() {
    browseField_ = grid_.SelectedField();
    if (browseField_.empty()) return;
    TSqliteTable& tbl = store_.Tbl;
    const int row = tbl.Bookmark();  // the row double-clicked; -1 for a new row
    FolderRequest request;
    request.owner = Handle();
    request.initial = tbl.FieldWideText(browseField_);
    request.caption = browseField_ == "forras" ? "Forrás mappa kiválasztás" : "Cél mappa kiválasztás";
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
    store_.aTorolExecute();
}

void Tfrm_Main::ApplicationEvents1Message(MSG& msg) {
    if (msg.message != WM_MOUSEWHEEL) return;
    const short distance = static_cast<short>(HIWORD(msg.wParam));
    msg.message = WM_KEYDOWN;
    msg.wParam = distance > 0 ? VK_UP : VK_DOWN;
    msg.lParam = 0;
}

void Tfrm_Main::OpenDocument(const std::string& document) {
    ComScope com;
    launched_.reset();
    SHELLEXECUTEINFOA sei = {};
    sei.cbSize = sizeof sei;
    // The shell would show its own box for a missing page; nothing is shown.
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.hwnd = link_ ? link_->MainFormHandle() : Handle();
    sei.lpVerb = "open";
    sei.lpFile = document.c_str();
    sei.lpParameters = "";
    sei.lpDirectory = dir_.c_str();
    sei.nShow = SW_SHOW;
    if (ShellExecuteExA(&sei)) {
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
    if (!edit) return;
    switch (id) {
        case kMenuUndo:
            SendMessageA(edit, EM_UNDO, 0, 0);
            break;
        case kMenuCut:
            SendMessageA(edit, WM_CUT, 0, 0);
            break;
        case kMenuCopy:
            SendMessageA(edit, WM_COPY, 0, 0);
            break;
        case kMenuPaste:
            SendMessageA(edit, WM_PASTE, 0, 0);
            break;
        case kMenuDelete:
            SendMessageA(edit, WM_CLEAR, 0, 0);
            break;
        case kMenuSelectAll:
            SendMessageA(edit, EM_SETSEL, 0, -1);
            break;
    }
}

bool Tfrm_Main::ExecuteShortcut(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || closed_ || !Handle()) return false;
    if (!msg.hwnd || GetAncestor(msg.hwnd, GA_ROOT) != Handle()) return false;
    if (GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0) return false;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    int id = 0;
    if (ctrl) {
        switch (msg.wParam) {
            case 'Z':
                id = kMenuUndo;
                break;
            case 'X':
                id = kMenuCut;
                break;
            case 'C':
                id = kMenuCopy;
                break;
            case 'V':
                id = kMenuPaste;
                break;
            case 'A':
                id = kMenuSelectAll;
                break;
            case VK_DELETE:
                id = kMenuTorol;
                break;
        }
    } else if (msg.wParam == VK_DELETE) {
        id = kMenuDelete;
    }
    // A disabled action leaves its key to the control.
    if (!id || !ActionEnabled(id)) return false;
    ExecuteAction(id);
    return true;
}

void Tfrm_Main::UpdateMenu(HMENU menu) {
    if (menu != popup_.get()) return;
    for (const ActionDef& a : kActions) {
        if (a.id)
            EnableMenuItem(menu, static_cast<UINT>(a.id),
                           MF_BYCOMMAND | (ActionEnabled(a.id) ? MF_ENABLED : MF_GRAYED));
    }
}

void Tfrm_Main::ShowPage(int index) {
    // A control on the page going out of sight must not keep the focus: keys
    // typed then would edit a task unseen.
    HWND hidden = index == 0 ? sheet2_.Handle() : sheet1_.Handle();
    HWND focus = GetFocus();
    const bool focusHidden = focus && IsChild(hidden, focus);
    SendMessageA(pageControl1_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowWindow(sheet1_.Handle(), index == 0 ? SW_SHOW : SW_HIDE);
    ShowWindow(sheet2_.Handle(), index == 1 ? SW_SHOW : SW_HIDE);
    if (focusHidden) SetFocus(pageControl1_);
}

bool Tfrm_Main::CanTakeFocus(HWND control) const {
    if (!control || !IsWindow(control) || !IsChild(Handle(), control)) return false;
    // Hidden or disabled itself or through a parent (a page not shown, the grid during a run).
    for (HWND w = control; w && w != Handle(); w = GetParent(w))
        if (!IsWindowVisible(w) || !IsWindowEnabled(w)) return false;
    return true;
}

HWND Tfrm_Main::FocusTarget() const {
    if (CanTakeFocus(lastFocus_)) return lastFocus_;
    HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE);
    return CanTakeFocus(first) ? first : Handle();
}

int Tfrm_Main::ActivePage() const {
    return static_cast<int>(SendMessageA(pageControl1_, TCM_GETCURSEL, 0, 0));
}

HWND Tfrm_Main::Control(int id) const {
    switch (id) {
        case kPanel1:
            return panel1_.Handle();
        case kRadioGroup1:
            return radioGroup1_;
        case kGroupBox1:
            return groupBox1_;
        case kGroupBox2:
            return groupBox2_;
        case kGroupBox3:
            return groupBox3_;
        case kRadio0:
        case kRadio0 + 1:
        case kRadio0 + 2:
            return radio_[id - kRadio0];
        case kCheckBox2:
            return checkBox2_;
        case kCheckBox4:
            return checkBox4_;
        case kCheckBox1:
            return checkBox1_;
        case kRadioButton1:
            return radioButton1_;
        case kDateTimePicker1:
            return dateTimePicker1_;
        case kRadioButton2:
            return radioButton2_;
        case kEdit1:
            return edit1_.Handle();
        case kLabel13:
            return label13_;
        case kImage2:
            return image2_.Handle();
        case kLabel17:
            return label17_;
        case kImage1:
            return image1_.Handle();
        case kButton1:
            return button1_;
        case kButton5:
            return button5_;
        case kButton4:
            return button4_;
        case kButton7:
            return button7_;
        case kButton2:
            return button2_;
        case kButton3:
            return button3_;
        case kPageControl1:
            return pageControl1_;
        case kTabSheet1:
            return sheet1_.Handle();
        case kTabSheet2:
            return sheet2_.Handle();
        case kDBGrid1:
            return grid_.Handle();
        case kLogView1:
            return log_.Handle();
        case kProgressBar1:
            return progressBar1_;
        case kStatusBar1:
            return statusBar1_;
    }
    return nullptr;
}

std::string Tfrm_Main::StatusText(int panel) const {
    char text[512] = {};
    LRESULT len = SendMessageA(statusBar1_, SB_GETTEXTLENGTHA, static_cast<WPARAM>(panel), 0);
    if (LOWORD(len) >= sizeof text) return {};
    SendMessageA(statusBar1_, SB_GETTEXTA, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text));
    return text;
}

int Tfrm_Main::ProgressPosition() const {
    return static_cast<int>(SendMessageA(progressBar1_, PBM_GETPOS, 0, 0));
}

void Tfrm_Main::OnCommand(int id, int code) {
    switch (id) {
        case kButton1:
            if (code == BN_CLICKED) Button1Click();
            return;
        case kButton5:
            if (code == BN_CLICKED) Button5Click();
            return;
        case kButton4:
            if (code == BN_CLICKED) Button4Click();
            return;
        case kButton7:
            if (code == BN_CLICKED) Button7Click();
            return;
        case kButton2:
            if (code == BN_CLICKED) Button2Click();
            return;
        case kButton3:
            if (code == BN_CLICKED) Button3Click();
            return;
        case kCheckBox1:
            if (code == BN_CLICKED) Scheduler::CheckBox1Click(*this);
            return;
        case kRadioButton1:
            if (code == BN_CLICKED && RadioButton1Checked()) Scheduler::RadioButton1Click(*this);
            return;
        case kRadioButton2:
            if (code == BN_CLICKED && RadioButton2Checked()) Scheduler::RadioButton2Click(*this);
            return;
        case kLabel17:
            if (code == STN_CLICKED) Label17Click();
            return;
        case kMenuUndo:
        case kMenuCut:
        case kMenuCopy:
        case kMenuPaste:
        case kMenuDelete:
        case kMenuSelectAll:
        case kMenuTorol:
            if (code == 0 && ActionEnabled(id)) ExecuteAction(id);
            return;
    }
}

void Tfrm_Main::OnNotify(const NMHDR& hdr) {
    if (hdr.hwndFrom == pageControl1_ && hdr.code == TCN_SELCHANGE) ShowPage(ActivePage());
}

LRESULT Tfrm_Main::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_NOTIFY:
            OnNotify(*reinterpret_cast<const NMHDR*>(lp));
            return 0;
        case WM_INITMENUPOPUP:
            UpdateMenu(reinterpret_cast<HMENU>(wp));
            return 0;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lp) == label17_) {
                HDC dc = reinterpret_cast<HDC>(wp);
                SetTextColor(dc, kLinkColor);
                SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_TIMER:
            if (scheduler_ && scheduler_->OnTimer(static_cast<UINT_PTR>(wp))) return 0;
            break;
        case kRunPendingMessage:
            if (scheduler_) scheduler_->RunPending();
            return 0;
        case WM_POWERBROADCAST:
            if (scheduler_ && (wp == PBT_APMRESUMEAUTOMATIC || wp == PBT_APMRESUMESUSPEND))
                scheduler_->Resumed();
            return TRUE;
        // The popup menu's and the system menu's loops let the timers through
        // too: a run under the grid's menu would move the row it acts on.
        case WM_ENTERMENULOOP:
            Application::EnterModal();
            break;
        case WM_EXITMENULOOP:
            Application::LeaveModal();
            break;
        case WM_SETTINGCHANGE:
            ReloadRegionalTimeFormat();
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_ACTIVATE:
            // The focus comes back to the control that had it, as in a dialog.
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND focus = GetFocus();
                // The grid puts its editor back by itself when it gets the focus.
                if (focus && focus == grid_.Editor()) focus = grid_.Handle();
                if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
            } else if (!HIWORD(wp)) {
                SetFocus(FocusTarget());
            }
            return 0;
        case DM_GETDEFID:
            return 0;  // no default button
    }
    return Window::HandleMessage(msg, wp, lp);
}

// BackupSurroundings

// Names outside the code page show "?" where a character is missing.
void Tfrm_Main::AppendLog(const std::wstring& line) {
    log_.AppendLine(WideToAnsi(line));
}

void Tfrm_Main::SetProgressMax(int max) {
    SendMessageA(progressBar1_, PBM_SETRANGE32, 0, max);
}

int Tfrm_Main::ProgressMax() {
    return static_cast<int>(SendMessageA(progressBar1_, PBM_GETRANGE, FALSE, 0));
}

void Tfrm_Main::SetProgressPosition(int position) {
    SendMessageA(progressBar1_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void Tfrm_Main::StepProgress(int amount) {
    SendMessageA(progressBar1_, PBM_DELTAPOS, static_cast<WPARAM>(amount), 0);
}

void Tfrm_Main::SetStatusText(const std::wstring& text) {
    SendMessageA(statusBar1_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(WideToAnsi(text).c_str()));
}

void Tfrm_Main::ShowLogPage() {
    ShowPage(1);
}

void Tfrm_Main::EnableRunButton(bool enabled) {
    EnableWindow(button1_, enabled);
}

void Tfrm_Main::EnableStopButton(bool enabled) {
    EnableWindow(button5_, enabled);
}

void Tfrm_Main::EnableTaskGrid(bool enabled) {
    grid_.SetEnabled(enabled);
}

void Tfrm_Main::EnableDeleteAction(bool enabled) {
    torolEnabled_ = enabled;
}

bool Tfrm_Main::OnlyCurrentTask() {
    return Checked(checkBox2_);
}

void Tfrm_Main::ShowError(const std::string& text) {
    pelvane::ShowError(text, Handle());
}

void Tfrm_Main::ProcessMessages() {
    Application::ProcessMessages();
}

// SettingsHolders

bool Tfrm_Main::CheckBox1Checked() const {
    return Checked(checkBox1_);
}

void Tfrm_Main::SetCheckBox1Checked(bool checked) {
    if (checked == CheckBox1Checked()) return;
    SetChecked(checkBox1_, checked);
    Scheduler::CheckBox1Click(*this);
}

int Tfrm_Main::RadioGroup1Index() const {
    for (int i = 0; i < 3; ++i)
        if (Checked(radio_[i])) return i;
    return -1;
}

void Tfrm_Main::SetRadioGroup1Index(int index) {
    for (int i = 0; i < 3; ++i) SetChecked(radio_[i], i == index);
}

bool Tfrm_Main::CheckBox4Checked() const {
    return Checked(checkBox4_);
}

void Tfrm_Main::SetCheckBox4Checked(bool checked) {
    SetChecked(checkBox4_, checked);
}

bool Tfrm_Main::RadioButton1Checked() const {
    return Checked(radioButton1_);
}

void Tfrm_Main::SetRadioButton1Checked(bool checked) {
    if (checked == RadioButton1Checked()) return;
    SetChecked(radioButton1_, checked);
    if (!checked) return;
    SetChecked(radioButton2_, false);
    Scheduler::RadioButton1Click(*this);
}

bool Tfrm_Main::RadioButton2Checked() const {
    return Checked(radioButton2_);
}

void Tfrm_Main::SetRadioButton2Checked(bool checked) {
    if (checked == RadioButton2Checked()) return;
    SetChecked(radioButton2_, checked);
    if (!checked) return;
    SetChecked(radioButton1_, false);
    Scheduler::RadioButton2Click(*this);
}

void Tfrm_Main::SetRadioButtonsEnabled(bool enabled) {
    EnableWindow(radioButton1_, enabled);
    EnableWindow(radioButton2_, enabled);
}

TimeOfDay Tfrm_Main::PickerTime() const {
    SYSTEMTIME st = {};
    if (SendMessageA(dateTimePicker1_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
        GetLocalTime(&st);
    return TimeOfDay{st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

void Tfrm_Main::SetPickerTime(const TimeOfDay& time) {
    SYSTEMTIME st = {};
    if (SendMessageA(dateTimePicker1_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
        GetLocalTime(&st);
    st.wHour = static_cast<WORD>(time.hour);
    st.wMinute = static_cast<WORD>(time.minute);
    st.wSecond = static_cast<WORD>(time.second);
    st.wMilliseconds = static_cast<WORD>(time.millisecond);
    SendMessageA(dateTimePicker1_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

int Tfrm_Main::WindowLeft() const {
    RECT rc;
    GetWindowRect(Handle(), &rc);
    return rc.left;
}

int Tfrm_Main::WindowTop() const {
    RECT rc;
    GetWindowRect(Handle(), &rc);
    return rc.top;
}

void Tfrm_Main::SetWindowLeft(int left) {
    SetWindowPos(Handle(), nullptr, left, WindowTop(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Tfrm_Main::SetWindowTop(int top) {
    SetWindowPos(Handle(), nullptr, WindowLeft(), top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Tfrm_Main::ArmSchedule() {
    scheduler_->ArmAtLoad(*this);
}

}  // namespace pelvane
