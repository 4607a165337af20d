// A window that shows each of our controls at work: the task grid over an
// in-memory table, the log view (a line appended every half second), the
// masked minutes field, the prompt dialog and the error box.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "common/Seged.h"
#include "settings/SettingsKeys.h"
#include "store/TaskTable.h"
#include "ui/Application.h"
#include "ui/DataGrid.h"
#include "ui/ErrorBox.h"
#include "ui/InputDialog.h"
#include "ui/LogView.h"
#include "ui/MaskEdit.h"
#include "ui/Window.h"
#include "ui/demo/MemoryDataSet.h"

namespace pelvane {
namespace {

enum { kGrid = 10, kLog, kMinutes, kPrompt, kError, kToggle };

class DemoWindow : public Window {
  public:
    DemoWindow()
        : tasks_({{kTaskIdField, FieldKind::Integer, 0, 0},
                  {kSourceField, FieldKind::String, kFolderFieldSize, 0},
                  {kTargetField, FieldKind::String, kFolderFieldSize, 0}},
                 {{1, std::string("C:\\Dokumentumok"), std::string("E:\\Mentés")},
                  {2, std::string("C:\\Képek\\Nyár"), std::string("E:\\Mentés")},
                  {3, std::string("D:\\Munka"), std::string("\\\\szerver\\mentés")}}) {
        tasks_.AddField(kTaskIdField, FieldKind::Integer, 0).visible = false;
        tasks_.AddField(kSourceField, FieldKind::String, kFolderFieldSize, "forrás");
        tasks_.AddField(kTargetField, FieldKind::String, kFolderFieldSize, "cél");
        RegisterClassOnce("PelvaneControlsDemo", 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        font_ = MakeFont("Tahoma", -11, EASTEUROPE_CHARSET);
        const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
        RECT rc = {0, 0, Scale(573), Scale(420)};
        AdjustWindowRectEx(&rc, style, FALSE, 0);
        CreateWnd(0, "PelvaneControlsDemo", "Pelvane - vezérlők", style, 40, 40, rc.right - rc.left,
                  rc.bottom - rc.top, nullptr, nullptr);
        SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

        grid_.Create(Handle(), kGrid, Scale(4), Scale(4), Scale(565), Scale(137));
        grid_.SetColumns({{kSourceField, 267}, {kTargetField, 264}});
        tasks_.Open();
        grid_.SetDataSet(&tasks_);
        popup_.reset(CreatePopupMenu());
        AppendMenuA(popup_.get(), MF_STRING, 1, "Visszavon");
        AppendMenuA(popup_.get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuA(popup_.get(), MF_STRING, 2, "Feladat törlése");
        grid_.SetPopupMenu(popup_.get());
        grid_.OnDblClick = [this] { Log("DBGrid1DblClick: " + grid_.SelectedField()); };
        grid_.OnEditButtonClick = grid_.OnDblClick;

        log_.Create(Handle(), kLog, Scale(4), Scale(148), Scale(565), Scale(180));
        for (int i = 0; i < 40; ++i) Log("*** Feladat: C:\\Forrás\\" + std::to_string(i) + " -> E:\\Cél");

        minutes_.Create(Handle(), kMinutes, Scale(4), Scale(336), Scale(76), Scale(21));
        SendMessageA(minutes_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        minutes_.SetText("60");
        minutes_.SetEditMask("9999;1; ");
        minutes_.SetFocusColor(InputDialog::kEditFocusColor);
        Button("Kizárt filetípusok", kPrompt, 96, 334, 120);
        Button("Hibaüzenet", kError, 224, 334, 93);
        Button("Rács tiltása", kToggle, 324, 334, 93);
        SetTimer(Handle(), 1, 500, nullptr);
    }

  private:
    void Button(const char* text, int id, int x, int y, int w) {
        HWND b = CreateChild96(Handle(), "BUTTON", text, WS_TABSTOP, x, y, w, 25, id);
        SendMessageA(b, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    void Log(const std::string& line) { log_.AppendLine(line); }

    void Button4Click() {
        std::string text = excluded_;
        if (InputStr("Kizárt file-típusok", "Pontosvessző határolt, pl. \".tmp;.temp\"", "", text))
            excluded_ = text;
        Log("ExcludedTypes = \"" + excluded_ + "\"");
    }

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_COMMAND:
                switch (LOWORD(wp)) {
                    case kPrompt:
                        Button4Click();
                        return 0;
                    case kError:
                        ShowError("Nincs végrehajtható feladat", Handle());
                        return 0;
                    case kToggle:
                        grid_.SetEnabled(!grid_.Enabled());
                        return 0;
                    case kMinutes:
                        if (HIWORD(wp) == EN_CHANGE)
                            SetWindowTextA(Handle(), ("[" + minutes_.Text() + "]").c_str());
                        return 0;
                    case 2:
                        if (tasks_.RecordCount() > 0) tasks_.Delete();
                        return 0;
                }
                return 0;
            case WM_TIMER:
                Log("Másolás: C:\\Forrás\\file" + std::to_string(++ticks_) + ".txt");
                return 0;
            case WM_CLOSE:
                PostQuitMessage(0);
                return 0;
        }
        return Window::HandleMessage(msg, wp, lp);
    }

    MemoryDataSet tasks_;
    GdiObject font_;
    DataGrid grid_;
    LogView log_;
    MaskEdit minutes_;
    MenuHandle popup_;
    std::string excluded_ = keys::kNoFileDefault;
    int ticks_ = 0;
};

}  // namespace
}  // namespace pelvane

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    try {
        pelvane::DemoWindow window;
        ShowWindow(window.Handle(), SW_SHOW);
        return pelvane::Application::Run();
    } catch (const std::exception& e) {
        pelvane::Application::HandleException(e);
        return 1;
    }
}
