#include "ui/MainWindowRun.h"

#include <commctrl.h>

#include <cstdio>

#include "common/Text.h"
#include "store/TaskStore.h"
#include "ui/Application.h"
#include "ui/ErrorBox.h"
#include "ui/MainWindow.h"

namespace pelvane {

MainWindowRun::MainWindowRun(Tfrm_Main& window, TaskStore& store, RunLogFile& runLog)
    : window_(window), runLog_(runLog), rows_(store.Table()) {}

HWND MainWindowRun::Control(int id) const {
    return window_.Control(id);
}

void MainWindowRun::AppendLog(const std::wstring& line) {
    LogView& log = window_.LogView1();
    log.AppendLine(WideToAnsi(line));
    // A log file that cannot be written never stops the run: said once here.
    if (!runLog_.Append(line) && runLog_.FailureIsNew()) log.AppendLine(WideToAnsi(runLog_.FailureNote()));
}

void MainWindowRun::SetStatusText(const std::wstring& text) {
    SendMessageA(Control(Tfrm_Main::kStatusBar1), SB_SETTEXTA, 0,
                 reinterpret_cast<LPARAM>(WideToAnsi(text).c_str()));
}

void MainWindowRun::SetProgressMax(int max) {
    SendMessageA(Control(Tfrm_Main::kProgressBar1), PBM_SETRANGE32, 0, max);
}

void MainWindowRun::SetProgressPosition(int position) {
    SendMessageA(Control(Tfrm_Main::kProgressBar1), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void MainWindowRun::StepProgress(int amount) {
    SendMessageA(Control(Tfrm_Main::kProgressBar1), PBM_DELTAPOS, static_cast<WPARAM>(amount), 0);
}

int MainWindowRun::Method() {
    return window_.Settings().Method();
}

bool MainWindowRun::ClearArchiveFlag() {
    return window_.Settings().ClearArchiveFlag();
}

std::string MainWindowRun::ExcludedTypes() {
    return window_.Settings().ExcludedTypes();
}

bool MainWindowRun::CurrentTaskOnly() {
    return Checked(Control(Tfrm_Main::kCheckBox2));
}

int MainWindowRun::VersionDays() {
    return window_.Settings().VersionDays();
}

int MainWindowRun::ChangeGuard() {
    return window_.Settings().ChangeGuard();
}

bool MainWindowRun::AcceptMassChange(const MassChange& change) {
    if (!askUser_) return false;
    const std::string text =
        "A(z) " + WideToAnsi(change.source) + " feladat " + std::to_string(change.existing) +
        " másolatából " + std::to_string(change.changed) + " változna meg (több mint " +
        std::to_string(change.limit) +
        "%). Ez zsarolóvírus vagy lemezhiba jele is lehet.\n\nFolytatja a feladat mentését?";
    // Counted as ours: no scheduled run starts under the question.
    Application::ModalScope modal;
    return MessageBoxA(window_.Handle(), text.c_str(), Application::Title().c_str(),
                       MB_ICONWARNING | MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

std::wstring MainWindowRun::HowToAcceptMassChange() {
    return L"Ha a változás szándékos, indítsa az „Archiválás most” gombbal, és válaszoljon Igennel.";
}

void MainWindowRun::EnableTaskEditing(bool enabled) {
    window_.DBGrid1().SetEnabled(enabled);
    window_.EnableDeleteAction(enabled);
}

void MainWindowRun::Preparing() {
    EnableTaskEditing(false);
}

void MainWindowRun::Refused(const std::wstring& reason) {
    // Without a reason the failure follows, and the error box with it.
    if (!reason.empty()) ShowError(WideToAnsi(reason), window_.Handle());
    EnableTaskEditing(true);
}

void MainWindowRun::Started() {
    EnableWindow(Control(Tfrm_Main::kButton1), FALSE);
    // Its tasks are stored and there are some to back up: a daily run is recorded now.
    window_.RunStarted();
    window_.ShowLogPage();
    EnableWindow(Control(Tfrm_Main::kButton5), TRUE);
}

void MainWindowRun::Ended(int errorLines, bool stopped) {
    ShowResult(errorLines, stopped);
    EnableWindow(Control(Tfrm_Main::kButton1), TRUE);
    EnableWindow(Control(Tfrm_Main::kButton5), FALSE);
    EnableTaskEditing(true);
}

void MainWindowRun::ShowResult(int errorLines, bool stopped) {
    MainFormLink* link = window_.MainForm();
    if (!link) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    char when[32];
    snprintf(when, sizeof when, "%04u.%02u.%02u %02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
    const std::string count = std::to_string(errorLines);
    const std::string head = std::string("Pelvane – utolsó mentés: ") + when + ", ";
    std::string tip = head + (errorLines ? count + " hiba" : std::string("hiba nélkül"));
    if (stopped) {
        // The count too, where the tip's 63 characters leave room for it.
        tip = head + "megszakítva";
        if (errorLines && tip.size() + count.size() + 7 <= 63) tip += ", " + count + " hiba";
    }
    // Only a run nobody watched is announced; the click shows its lines.
    std::string balloon;
    if (errorLines > 0 && !IsWindowVisible(window_.Handle()))
        balloon = "A mentés " + count + " hibával ért véget. Kattintson ide a napló megtekintéséhez.";
    link->ShowRunResult(tip, balloon);
}

void MainWindowRun::StopPoint() {
    Application::ProcessMessages();
}

}  // namespace pelvane
