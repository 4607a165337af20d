#include "ui/MainWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "common/Exception.h"
#include "common/ProgramFiles.h"
#include "common/Seged.h"
#include "common/Text.h"
#include "resources/Picture.h"
#include "settings/Autostart.h"
#include "settings/Settings.h"
#include "settings/SettingsKeys.h"
#include "settings/TimeFormat.h"
#include "store/TaskTable.h"
#include "ui/Application.h"
#include "ui/Container.h"
#include "ui/ErrorBox.h"
#include "ui/Picture.h"

namespace pelvane {

Tfrm_Main* frm_Main = nullptr;

namespace {

using M = Tfrm_Main;

constexpr char kClassName[] = "PelvaneMain";
constexpr int kClientWidth = 573, kClientHeight = 463;
constexpr COLORREF kLinkColor = RGB(0, 0, 255);

// What a row of the layout creates.
enum class Kind {
    Panel,
    Sheet,
    Pages,
    GroupBox,
    Button,
    CheckBox,
    Radio,
    Label,
    Link,
    Picture,
    TimePicker,
    MaskEdit,
    Count,   // an edit that takes digits only
    UpDown,  // the arrows of the count field created just before it
    Grid,
    Log,
    Progress,
    Status
};

// The window class and styles of the kinds that are plain controls.
struct KindDef {
    Kind kind;
    const char* cls;
    DWORD style;
    DWORD exStyle = 0;
};
constexpr KindDef kKinds[] = {
    {Kind::Pages, WC_TABCONTROLA, WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT},
    {Kind::Button, "BUTTON", WS_TABSTOP | BS_PUSHBUTTON},
    {Kind::CheckBox, "BUTTON", WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX},
    {Kind::Radio, "BUTTON", BS_AUTORADIOBUTTON},
    {Kind::Label, "STATIC", SS_NOPREFIX},
    {Kind::Link, "STATIC", SS_NOTIFY | SS_NOPREFIX},
    {Kind::TimePicker, DATETIMEPICK_CLASSA, WS_TABSTOP | WS_GROUP | DTS_TIMEFORMAT},
    {Kind::Count, "EDIT", WS_TABSTOP | WS_GROUP | ES_NUMBER | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    // The arrows sit at the field's right edge, within its width, and step its number.
    {Kind::UpDown, UPDOWN_CLASSA,
     UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS},
    {Kind::Progress, PROGRESS_CLASSA, 0},
    {Kind::Status, STATUSCLASSNAMEA, CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER},
};

struct ControlDef {
    int id;
    int parent;  // 0: the window itself
    Kind kind;
    int x, y, w, h;  // pixels at 96 dpi in the parent; no size: fills the parent
    const char* text;
    DWORD style = 0;                                  // besides the kind's own
    void (*paint)(HDC dc, const RECT& rc) = nullptr;  // a picture's painter
};

// Every control of the window, in creation order, which is the tab order
// inside each parent. A tab sheet adds its text as a page of its page control.
// clang-format off
constexpr ControlDef kControls[] = {
    // id                 parent           kind              x    y    w    h    text, style besides the kind's
    {M::kPanel1,          0,               Kind::Panel,      0,   0,   573, 290, ""},
    {M::kButton1,         M::kPanel1,      Kind::Button,     472, 8,   93,  25,  "Archiválás most"},
    {M::kButton2,         M::kPanel1,      Kind::Button,     472, 156, 93,  25,  "Háttérben"},
    {M::kButton3,         M::kPanel1,      Kind::Button,     472, 184, 93,  25,  "Bezár"},
    {M::kGroupBox2,       M::kPanel1,      Kind::GroupBox,   8,   112, 277, 97,  "Rendszeres"},
    {M::kDateTimePicker1, M::kGroupBox2,   Kind::TimePicker, 188, 40,  77,  21,  ""},
    {M::kCheckBox1,       M::kGroupBox2,   Kind::CheckBox,   8,   20,  225, 17,  "Automatikus indítás Windows indításakor"},
    {M::kRadioButton1,    M::kGroupBox2,   Kind::Radio,      8,   44,  177, 17,  "Rendszeres mentés naponta", WS_TABSTOP | WS_GROUP},
    {M::kRadioButton2,    M::kGroupBox2,   Kind::Radio,      8,   72,  177, 17,  "Folyamatos mentés (percenként)"},
    {M::kEdit1,           M::kGroupBox2,   Kind::MaskEdit,   188, 68,  76,  21,  "", WS_GROUP},  // ends the radio buttons' group
    {M::kGroupBox3,       M::kPanel1,      Kind::GroupBox,   292, 112, 173, 97,  "Névjegy"},
    {M::kLabel13,         M::kGroupBox3,   Kind::Label,      33,  16,  129, 13,  "Biztonsági mentés program", SS_RIGHT | WS_DISABLED},
    {M::kImage2,          M::kGroupBox3,   Kind::Picture,    8,   36,  32,  32,  "", 0, PaintProgramIcon},
    {M::kLabel17,         M::kGroupBox3,   Kind::Link,       42,  72,  119, 13,  M::kWebLabel},
    {M::kButton5,         M::kPanel1,      Kind::Button,     472, 36,  93,  25,  "Megállít", WS_DISABLED},
    {M::kButton4,         M::kPanel1,      Kind::Button,     472, 64,  93,  25,  "Kizárt filetípusok"},
    {M::kRadioGroup1,     M::kPanel1,      Kind::GroupBox,   8,   8,   233, 101, "Módszer"},
    {M::kRadio0,          M::kRadioGroup1, Kind::Radio,      8,   14,  217, 27,  "Összes file másolása", WS_TABSTOP | WS_GROUP},
    {M::kRadio0 + 1,      M::kRadioGroup1, Kind::Radio,      8,   41,  217, 27,  "Csak módosított file-ok másolása"},
    {M::kRadio0 + 2,      M::kRadioGroup1, Kind::Radio,      8,   68,  217, 27,  "Csak újabb file-ok másolása (lassabb)"},
    {M::kGroupBox1,       M::kPanel1,      Kind::GroupBox,   248, 44,  217, 65,  "Egyéb"},
    {M::kCheckBox2,       M::kGroupBox1,   Kind::CheckBox,   8,   20,  125, 17,  "Csak aktuális feladat"},
    {M::kCheckBox4,       M::kGroupBox1,   Kind::CheckBox,   8,   40,  177, 17,  "Archív jelző törlése másolás után"},
    // The fields stand in a column after the longer label, with room for a font wider than Tahoma.
    {M::kGroupBox4,       M::kPanel1,      Kind::GroupBox,   8,   212, 457, 70,  "Védelem"},
    {M::kLabel1,          M::kGroupBox4,   Kind::Label,      8,   21,  200, 13,  "Régi változatok megőrzése"},
    {M::kEdit2,           M::kGroupBox4,   Kind::Count,      236, 17,  50,  21,  ""},
    {M::kUpDown1,         M::kGroupBox4,   Kind::UpDown,     269, 17,  17,  21,  ""},
    {M::kLabel2,          M::kGroupBox4,   Kind::Label,      292, 21,  150, 13,  "napig (0: soha)"},
    {M::kLabel3,          M::kGroupBox4,   Kind::Label,      8,   45,  200, 13,  "Figyelmeztetés, ha a másolatok több mint"},
    {M::kEdit3,           M::kGroupBox4,   Kind::Count,      236, 41,  50,  21,  ""},
    {M::kUpDown2,         M::kGroupBox4,   Kind::UpDown,     269, 41,  17,  21,  ""},
    {M::kLabel4,          M::kGroupBox4,   Kind::Label,      292, 45,  150, 13,  "%-a változna (0: soha)"},
    {M::kButton7,         M::kPanel1,      Kind::Button,     472, 124, 93,  25,  "Súgó"},
    {M::kImage1,          M::kPanel1,      Kind::Picture,    284, 8,   157, 33,  "", 0, PaintLogo},
    {M::kProgressBar1,    0,               Kind::Progress,   0,   427, 573, 17,  ""},
    {M::kPageControl1,    0,               Kind::Pages,      0,   290, 573, 137, ""},
    {M::kTabSheet1,       M::kPageControl1,Kind::Sheet,      0,   0,   0,   0,   "Mentési feladatok"},
    {M::kDBGrid1,         M::kTabSheet1,   Kind::Grid,       0,   0,   0,   0,   ""},
    {M::kTabSheet2,       M::kPageControl1,Kind::Sheet,      0,   0,   0,   0,   "Napló"},
    {M::kLogView1,        M::kTabSheet2,   Kind::Log,        0,   0,   0,   0,   ""},
    {M::kStatusBar1,      0,               Kind::Status,     0,   444, 573, 19,  ""},
};
// clang-format on

const KindDef& KindOf(Kind kind) {
    for (const KindDef& k : kKinds)
        if (k.kind == kind) return k;
    throw Exception("Not a plain control kind");
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

// The same font, underlined: the link's.
GdiObject Underlined(HGDIOBJ font) {
    LOGFONTA lf = {};
    GetObjectA(font, sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    return GdiObject(CreateFontIndirectA(&lf));
}

// Adds a page to the page control; the place of its sheet in device pixels.
RECT AddPage(HWND pages, const char* caption) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption);
    const LRESULT count = SendMessageA(pages, TCM_GETITEMCOUNT, 0, 0);
    SendMessageA(pages, TCM_INSERTITEMA, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&item));
    RECT rc;
    GetClientRect(pages, &rc);
    SendMessageA(pages, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
    return rc;
}

// A count field takes 0 to max, as many digits as max has, and starts at value.
void SetUpCountField(HWND upDown, int max, int value) {
    SendMessageA(upDown, UDM_SETRANGE32, 0, max);
    HWND field = reinterpret_cast<HWND>(SendMessageA(upDown, UDM_GETBUDDY, 0, 0));
    SendMessageA(field, EM_SETLIMITTEXT, std::to_string(max).size(), 0);
    SendMessageA(upDown, UDM_SETPOS32, 0, value);
}

// A row's place in device pixels; no size fills the parent.
RECT PlaceOf(const ControlDef& c, HWND parent) {
    RECT rc = {Scale(c.x), Scale(c.y), Scale(c.x + c.w), Scale(c.y + c.h)};
    if (!c.w) GetClientRect(parent, &rc);
    return rc;
}

}  // namespace

Tfrm_Main::Tfrm_Main(MainFormLink* link, const std::wstring& programDir)
    : link_(link),
      dir_(programDir),
      runLog_(RunLogFilePath(programDir)),
      fs_(MakeWin32FileSystem()),
      backup_(run_.Tasks(), run_, run_, run_, *fs_),
      restore_(run_, restoreEvents_, *fs_) {
    frm_Main = this;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES |
                                                ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    RegisterClassOnce(kClassName, 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    font_ = MakeFont("Tahoma", -11, EASTEUROPE_CHARSET);
    linkFont_ = Underlined(font_.get());

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

    CreatePopupMenus();
    CreateControls();
    // Every queued message of the application passes here first.
    Application::SetMessageHook([](MSG& msg) {
        ApplicationEvents1Message(msg);
        return frm_Main && frm_Main->ExecuteShortcut(msg);
    });
    // A scheduled run kept back by a dialog comes when the last one closes,
    // after the handler that opened it has finished.
    Application::SetModalEndHandler([this] { PostRunPending(); });
    Application::SetExceptionHandler([this](const std::exception& e) { return OnException(e); });
    FormCreate();
}

Tfrm_Main::~Tfrm_Main() {
    store_.Table().RemoveObserver(this);
    if (frm_Main == this) {
        frm_Main = nullptr;
        Application::SetMessageHook(nullptr);
        Application::SetModalEndHandler(nullptr);
        Application::SetExceptionHandler(nullptr);
    }
    // The controls go with the window while this object is still whole:
    // their last notifications reach a working form.
    if (Handle()) DestroyWindow(Handle());
}

HWND Tfrm_Main::Control(int id) const {
    for (size_t i = 0; i < controls_.size(); ++i)
        if (kControls[i].id == id) return controls_[i];
    return nullptr;
}

void Tfrm_Main::CreateControls() {
    for (size_t i = 0; i < std::size(kControls); ++i) controls_.push_back(CreateControl(static_cast<int>(i)));
    SetUpControls();
    CreateScheduler();
}

HWND Tfrm_Main::CreateControl(int index) {
    const ControlDef& c = kControls[index];
    HWND parent = c.parent ? Control(c.parent) : Handle();
    HWND wnd = nullptr;
    switch (c.kind) {
        case Kind::Panel:
        case Kind::Sheet:
        case Kind::Picture:
        case Kind::MaskEdit:
        case Kind::Grid:
        case Kind::Log:
            wnd = CreatePart(index, parent);
            break;
        case Kind::GroupBox:
            wnd = CreateGroupBox(parent, Handle(), c.text, c.id, c.x, c.y, c.w, c.h);
            break;
        default: {
            const KindDef& k = KindOf(c.kind);
            wnd =
                CreateChild96(parent, k.cls, c.text, k.style | c.style, c.x, c.y, c.w, c.h, c.id, k.exStyle);
        }
    }
    // The log view keeps its own font.
    if (c.kind != Kind::Log)
        SendMessageA(wnd, WM_SETFONT,
                     reinterpret_cast<WPARAM>((c.kind == Kind::Link ? linkFont_ : font_).get()), FALSE);
    if (c.kind == Kind::Label || c.kind == Kind::Link) FitLabel(wnd, (c.style & SS_RIGHT) != 0);
    if (c.kind == Kind::Link) SetWindowSubclass(wnd, LinkLabelProc, 0, 0);
    return wnd;
}

// The controls that are objects of ours.
HWND Tfrm_Main::CreatePart(int index, HWND parent) {
    const ControlDef& c = kControls[index];
    const RECT rc = c.kind == Kind::Sheet ? AddPage(parent, c.text) : PlaceOf(c, parent);
    const int x = rc.left, y = rc.top, w = rc.right - rc.left, h = rc.bottom - rc.top;
    switch (c.kind) {
        case Kind::MaskEdit:
            edit1_.Create(parent, c.id, x, y, w, h);
            SetWindowLongPtrA(edit1_.Handle(), GWL_STYLE,
                              GetWindowLongPtrA(edit1_.Handle(), GWL_STYLE) | c.style);
            return edit1_.Handle();
        case Kind::Grid:
            grid_.Create(parent, c.id, x, y, w, h);
            return grid_.Handle();
        case Kind::Log:
            log_.Create(parent, c.id, x, y, w, h);
            return log_.Handle();
        case Kind::Picture: {
            auto picture = std::make_unique<Picture>();
            picture->Create(parent, c.id, x, y, w, h, c.paint);
            parts_.push_back(std::move(picture));
            return parts_.back()->Handle();
        }
        default: {
            auto container = std::make_unique<Container>();
            container->Create(parent, Handle(), c.id, x, y, w, h);
            parts_.push_back(std::move(container));
            return parts_.back()->Handle();
        }
    }
}

// What the layout's rows do not say: initial states and contents.
void Tfrm_Main::SetUpControls() {
    SendMessageA(Control(kDateTimePicker1), DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("HH:mm"));
    SetChecked(Control(kRadioButton1), true);
    SetChecked(Control(kRadio0), true);
    edit1_.SetEditMask("9999;1; ");
    edit1_.SetMaxLength(4);
    edit1_.SetText("");
    SetUpCountField(Control(kUpDown1), keys::kVersionDaysMax, keys::kVersionDaysDefault);
    SetUpCountField(Control(kUpDown2), keys::kChangeGuardMax, keys::kChangeGuardDefault);

    SendMessageA(Control(kProgressBar1), PBM_SETSTEP, 1, 0);
    HWND status = Control(kStatusBar1);
    int edges[3] = {Scale(320), Scale(320 + 125), -1};
    SendMessageA(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    SendMessageA(status, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(Scheduler::kContinuousOff));
    SendMessageA(status, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(Scheduler::kDailyOff));

    grid_.SetColumns({DataGrid::Column(kSourceField, 267), DataGrid::Column(kTargetField, 264)});
    grid_.SetPopupMenu(popup_.get());
    grid_.OnDblClick = [this] { DBGrid1DblClick(); };
    grid_.OnEditButtonClick = [this] { DBGrid1DblClick(); };
    // A scheduled run held back by an edit goes when the user leaves the grid.
    grid_.OnExit = [this] { PostRunPending(); };
    grid_.SetDataSet(&store_.Table());
    store_.Table().AddObserver(this);
    log_.SetPopupMenu(logPopup_.get());
    ShowPage(0);
}

// The timers need the window and the status bar.
void Tfrm_Main::CreateScheduler() {
    Scheduler::Callbacks callbacks;
    callbacks.run = [this] { Button1Click(); };
    callbacks.modalOpen = [] { return Application::InModal(); };
    callbacks.runUnderWay = [this] { return RunUnderWay(); };
    callbacks.editUnderWay = [this] { return TaskEditUnderWay(); };
    callbacks.ending = [this] { return Ending(); };
    callbacks.dailyTime = [this] { return settings_.DailyTime(); };
    callbacks.setPanel = [this](int panel, const std::string& text) {
        SendMessageA(Control(kStatusBar1), SB_SETTEXTA, static_cast<WPARAM>(panel),
                     reinterpret_cast<LPARAM>(text.c_str()));
    };
    callbacks.lastDailyRun = [this] { return ReadLastDailyRun(SettingsFilePath(dir_)); };
    callbacks.dailyRunStarted = [this](const std::string& moment) {
        WriteLastDailyRun(SettingsFilePath(dir_), moment);
    };
    scheduler_ = std::make_unique<Scheduler>(Handle(), std::move(callbacks));
}

void Tfrm_Main::FormCreate() {
    store_.SetProgramDir(dir_);
    // A failure ends the sequence, as an escaping exception would, and the
    // window comes up all the same (with an empty grid when the table failed).
    try {
        LoadSettings(settings_, SettingsFilePath(dir_));
        if (settings_.AutoStart()) RenewAutostartEntry();
        store_.Open();
    } catch (const std::exception& e) {
        Application::HandleException(e);
    }
}

void Tfrm_Main::FormClose() {
    TDataSet& tbl = store_.Table();
    // A row typed into the grid is stored, not dropped, also when the close box
    // ends the program; a failure keeps the window open.
    if ((tbl.State() == DataSetState::Edit || tbl.State() == DataSetState::Insert) && tbl.Modified())
        tbl.Post();
    store_.Close();
    try {
        SaveSettings(settings_, SettingsFilePath(dir_));
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
    if (first && !IsChild(Handle(), GetFocus())) SetFocus(Control(kButton1));
}

bool Tfrm_Main::Close() {
    if (closed_) return true;
    if (RunUnderWay()) {
        // The run is reading the table (or restoring): stop it, and close when it has returned.
        closePending_ = true;
        backup_.RequestStop();
        restore_.RequestStop();
        return false;
    }
    FormClose();
    return true;
}

void Tfrm_Main::PostRunPending() {
    if (scheduler_ && scheduler_->RunKept() && Handle()) PostMessageA(Handle(), kRunPendingMessage, 0, 0);
}

void Tfrm_Main::RunStarted() {
    if (scheduler_) scheduler_->RunStarted();
}

bool Tfrm_Main::TaskEditUnderWay() const {
    const TSqliteTable& tbl = store_.Table();
    const DataSetState state = tbl.State();
    // An unchanged new row is dropped by the run, not stored.
    if ((state != DataSetState::Edit && state != DataSetState::Insert) || !tbl.Modified()) return false;
    HWND focus = GetFocus();
    if (!focus || GetAncestor(focus, GA_ROOT) != Handle()) focus = lastFocus_;  // back where it was
    return focus && (focus == grid_.Handle() || focus == grid_.Editor());
}

void Tfrm_Main::StateChanged() {
    if (store_.Table().State() == DataSetState::Browse) PostRunPending();
}

bool Tfrm_Main::OnException(const std::exception& e) {
    if (!dynamic_cast<const ERowChanged*>(&e)) return false;
    ShowError(kTaskChangedText, Handle());
    ReloadTasks();
    return true;
}

void Tfrm_Main::ReloadTasks() {
    // The run walks the table: it is read again when the run has ended.
    if (backup_.UnderWay()) {
        reloadPending_ = true;
        return;
    }
    reloadPending_ = false;
    TSqliteTable& tbl = store_.Table();
    const int row = tbl.ActiveRow();
    try {
        store_.Close();  // drops the edit that could not be stored
        store_.Open();
        if (row >= 0 && tbl.RecordCount() > 0) tbl.MoveTo(std::min(row, tbl.RecordCount() - 1));
    } catch (const std::exception& e) {
        // As at start: the box, and an empty grid.
        Application::HandleException(e);
    }
}

void Tfrm_Main::ShowPage(int index) {
    HWND pages = Control(kPageControl1), tasks = Control(kTabSheet1), log = Control(kTabSheet2);
    // A control on the page going out of sight must not keep the focus: keys
    // typed then would edit a task unseen.
    HWND focus = GetFocus();
    const bool focusHidden = focus && IsChild(index == 0 ? log : tasks, focus);
    SendMessageA(pages, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowWindow(tasks, index == 0 ? SW_SHOW : SW_HIDE);
    ShowWindow(log, index == 1 ? SW_SHOW : SW_HIDE);
    if (focusHidden) SetFocus(pages);
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
    return static_cast<int>(SendMessageA(Control(kPageControl1), TCM_GETCURSEL, 0, 0));
}

std::string Tfrm_Main::StatusText(int panel) const {
    char text[512] = {};
    HWND status = Control(kStatusBar1);
    LRESULT len = SendMessageA(status, SB_GETTEXTLENGTHA, static_cast<WPARAM>(panel), 0);
    if (LOWORD(len) >= sizeof text) return {};
    SendMessageA(status, SB_GETTEXTA, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text));
    return text;
}

int Tfrm_Main::ProgressPosition() const {
    return static_cast<int>(SendMessageA(Control(kProgressBar1), PBM_GETPOS, 0, 0));
}

// Which handler a command runs. The action list's commands are not here:
// they run only when enabled (OnCommand).
const Tfrm_Main::Command Tfrm_Main::kCommands[] = {
    {kButton1, BN_CLICKED, &Tfrm_Main::Button1Pressed},
    {kButton5, BN_CLICKED, &Tfrm_Main::Button5Click},
    {kButton4, BN_CLICKED, &Tfrm_Main::Button4Click},
    {kButton7, BN_CLICKED, &Tfrm_Main::Button7Click},
    {kButton2, BN_CLICKED, &Tfrm_Main::Button2Click},
    {kButton3, BN_CLICKED, &Tfrm_Main::Button3Click},
    {kCheckBox1, BN_CLICKED, &Tfrm_Main::CheckBox1Click},
    {kRadioButton1, BN_CLICKED, &Tfrm_Main::RadioButton1Click},
    {kRadioButton2, BN_CLICKED, &Tfrm_Main::RadioButton2Click},
    {kEdit2, EN_CHANGE, &Tfrm_Main::Edit2Change},
    {kEdit2, EN_KILLFOCUS, &Tfrm_Main::Edit2Exit},
    {kEdit3, EN_CHANGE, &Tfrm_Main::Edit3Change},
    {kEdit3, EN_KILLFOCUS, &Tfrm_Main::Edit3Exit},
    {kLabel17, STN_CLICKED, &Tfrm_Main::Label17Click},
    {kMenuLogCopy, 0, &Tfrm_Main::LogCopyClick},
    {kMenuLogSelectAll, 0, &Tfrm_Main::LogSelectAllClick},
    {kMenuLogOpenFile, 0, &Tfrm_Main::LogOpenFileClick},
    {kMenuRestore, 0, &Tfrm_Main::aVisszaallitasExecute},
};

void Tfrm_Main::OnCommand(int id, int code) {
    if (id >= kMenuUndo && id <= kMenuTorol) {
        if (code == 0 && ActionEnabled(id)) ExecuteAction(id);
        return;
    }
    for (const Command& c : kCommands) {
        if (c.id == id && c.code == code) {
            (this->*c.handler)();
            return;
        }
    }
}

void Tfrm_Main::OnNotify(const NMHDR& hdr) {
    if (hdr.hwndFrom == Control(kPageControl1) && hdr.code == TCN_SELCHANGE) ShowPage(ActivePage());
}

LRESULT Tfrm_Main::OnCtlColorStatic(HDC dc, HWND control) {
    if (control != Control(kLabel17))
        return Window::HandleMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(control));
    SetTextColor(dc, kLinkColor);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// The focus comes back to the control that had it, as in a dialog.
void Tfrm_Main::OnActivate(WPARAM wp) {
    if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        // The grid puts its editor back by itself when it gets the focus.
        if (focus && focus == grid_.Editor()) focus = grid_.Handle();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
    } else if (!HIWORD(wp)) {
        SetFocus(FocusTarget());
    }
}

void Tfrm_Main::OnPowerBroadcast(WPARAM wp) {
    if (scheduler_ && (wp == PBT_APMRESUMEAUTOMATIC || wp == PBT_APMRESUMESUSPEND)) scheduler_->Resumed();
}

// The continuous timer's tick runs Button1Click and the daily timer's tick
// runs the daily check (Timer2Timer), both through the scheduler.
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
            return OnCtlColorStatic(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
        case WM_TIMER:
            if (scheduler_ && scheduler_->OnTimer(static_cast<UINT_PTR>(wp))) return 0;
            break;
        case kRunPendingMessage:
            if (scheduler_) scheduler_->RunPending();
            return 0;
        case WM_POWERBROADCAST:
            OnPowerBroadcast(wp);
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
            OnActivate(wp);
            return 0;
        case DM_GETDEFID:
            return 0;  // no default button
    }
    return Window::HandleMessage(msg, wp, lp);
}

}  // namespace pelvane
