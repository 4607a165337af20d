#pragma once
// The shell's folder dialog, as the main window asks it for a task's folder.
#include <windows.h>

#include <functional>
#include <string>

namespace pelvane {

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

// COM for the shell's dialogs and launcher, for the length of one call.
struct ComScope {
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool ok;
};

}  // namespace pelvane
