#include "ui/FolderBrowser.h"

#include <objbase.h>
#include <shlobj.h>

#include "common/Text.h"
#include "ui/Application.h"

namespace pelvane {
namespace {

// BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE. BIF_BROWSEFORCOMPUTER
// is left out: with it the dialog keeps OK greyed for every folder, so no
// folder could ever be chosen.
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE;

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

ComScope::ComScope()
    : ok(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

ComScope::~ComScope() {
    if (ok) CoUninitialize();
}

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

}  // namespace pelvane
