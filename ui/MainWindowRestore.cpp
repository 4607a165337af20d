// The restore from the window: "Visszaállítás..." of the grid's popup menu
// asks for the moment and the folder, then restores the current task.
#include "ui/MainWindowRestore.h"

#include "common/ProgramFiles.h"
#include "common/Text.h"
#include "store/TableTaskRows.h"
#include "ui/Application.h"
#include "ui/ErrorBox.h"
#include "ui/InputDialog.h"
#include "ui/MainWindow.h"

namespace pelvane {

void MainWindowRestore::EnableTaskEditing(bool enabled) {
    window_.DBGrid1().SetEnabled(enabled);
    window_.EnableDeleteAction(enabled);
}

void MainWindowRestore::Preparing() {
    EnableTaskEditing(false);
}

void MainWindowRestore::Refused(const std::wstring& reason) {
    if (!reason.empty()) ShowError(WideToAnsi(reason), window_.Handle());
    EnableTaskEditing(true);
}

void MainWindowRestore::Started() {
    EnableWindow(window_.Control(Tfrm_Main::kButton1), FALSE);
    window_.ShowLogPage();
    EnableWindow(window_.Control(Tfrm_Main::kButton5), TRUE);
}

void MainWindowRestore::Ended(int, bool) {
    EnableWindow(window_.Control(Tfrm_Main::kButton1), TRUE);
    EnableWindow(window_.Control(Tfrm_Main::kButton5), FALSE);
    EnableTaskEditing(true);
}

void MainWindowRestore::StopPoint() {
    Application::ProcessMessages();
}

bool Tfrm_Main::RestoreEnabled() {
    return !RunUnderWay() && !closed_ && store_.Table().Active() && store_.Table().RecordCount() > 0;
}

void Tfrm_Main::aVisszaallitasExecute() {
    if (!RestoreEnabled()) return;
    // The task as stored: a row being typed is stored first, as a run stores it.
    TableTaskRows rows(store_.Table());
    if (!rows.InBrowseState()) rows.Post();
    if (rows.Count() == 0) return ShowError("Nincs végrehajtható feladat", Handle());
    RestoreRequest request;
    request.source = rows.Source();
    request.target = rows.Target();

    // The moment, offered as now; a wrong one is said and asked again, as typed.
    SYSTEMTIME now;
    GetLocalTime(&now);
    const LocalTime offered = LocalTime::From(now);
    std::string moment = FormatMoment(offered);
    LocalTime asOf;
    for (;;) {
        if (!InputStr(MainWindowRestore::kMomentCaption, MainWindowRestore::kMomentPrompt,
                      MainWindowRestore::kMomentMask, moment, SettingsFilePath(dir_)))
            return;
        if (ParseMoment(moment, asOf)) break;
        ShowError("Érvénytelen időpont: " + moment + ". Formája: éééé.hh.nn óó:pp:mm, például " +
                      FormatMoment(offered),
                  Handle());
    }
    // The moment offered, or a later one, is the latest state.
    if (asOf < offered) request.asOf = asOf;

    // The folder: new or empty, outside the task's folders; else said, and asked again.
    FolderRequest folder;
    folder.owner = Handle();
    folder.caption = MainWindowRestore::kFolderCaption;
    for (;;) {
        {
            Application::ModalScope modal;
            if (!browser_ || !browser_(folder, request.into)) return;
        }
        const std::wstring refusal = restore_.Refusal(request);
        if (refusal.empty()) break;
        ShowError(WideToAnsi(refusal), Handle());
        folder.initial = request.into;
    }

    restore_.Run(request);
    if (closePending_ && !RunUnderWay()) {
        closePending_ = false;
        Close();
        return;
    }
    if (RunUnderWay()) return;
    // A scheduled run that fell due during the restore comes now.
    PostRunPending();
}

}  // namespace pelvane
