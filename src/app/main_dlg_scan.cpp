// CMainDlg during a scan: the Scan button, the timer that runs the scan, cancelling, and the result list.
#include "app/main_dlg.h"

#include <cstdlib>

#include "app/result_list_rules.h"
#include "app/window_host.h"
#include "core/product_texts.h"
#include "core/scan_session.h"
#include "core/text.h"
#include "platform/restart.h"
#include "resource.h"
#include "scan/scan_driver.h"
#include "ui/message_dialog.h"

namespace {

constexpr UINT_PTR kScanTimer = 100;
constexpr UINT kScanTimerDelay = 100;  // ms: lets the scanning layout paint before the scan takes over

}  // namespace

void CMainDlg::OnScan() {
    scanRunning_ = true;

    scan_.Enable(false);
    uLink_.Enable(false);
    uLink_.Show(false);
    dLink_.Enable(false);
    dLink_.Show(false);
    cancel_.Enable(true);
    cancel_.Show(true);
    finishedOk_.Enable(true);

    title_.Show(false);
    installedNotice_.Show(false);
    copyright_.Show(false);

    scanTitle_.Show(true);
    resultList_.Show(true);
    status_.Show(true);
    progressFrame_.Show(true);
    listFrame_.Show(true);

    progressFrame_.SetText(kScanningFrameTitle);
    cancel_.Show(true);

    char line[260];
    CopyText(line, sizeof line, kSearchingPrefix);
    AppendText(line, sizeof line, kFamilyName);
    AppendText(line, sizeof line, kSearchingSuffix);
    scanTitle_.SetText(line);
    if (!scanTitleFont_) {
        scanTitleFont_.Reset(CreateFontA(15, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, "Arial"));
    }
    if (scanTitleFont_) scanTitle_.Send(WM_SETFONT, reinterpret_cast<WPARAM>(scanTitleFont_.get()), TRUE);

    MainWindowHandle = hwnd();

    SetTimer(hwnd(), kScanTimer, kScanTimerDelay, nullptr);
}

LRESULT CMainDlg::OnTimer(WPARAM wParam, LPARAM lParam) {
    Default(WM_TIMER, wParam, lParam);
    // The scan never starts inside a question (Escape, X or Cancel right after Scan): run from the
    // question's own message loop it would hold the question open to its end, and a Yes could not
    // stop it. The timer ticks on until the question is answered. A Yes given before the start is
    // kept, and the scan then unwinds at once with its statistics and "Scanning terminated".
    if (questionOpen_) return 0;
    KillTimer(hwnd(), kScanTimer);
    const ScanOutcome outcome = ScanDriver(ScanOptions{kActionDelete}, MainWindowHost());
    if (outcome.end == ScanEnd::kWormKeepsRunning) EndWithWormRunning(outcome);
    if (outcome.restartPending && ShowMessageDialog(kRestartQuestion, kProductTitle, MB_YESNO | MB_ICONQUESTION) == IDYES)
        RestartComputer();

    cancel_.Show(false);
    finishedOk_.Show(true);
    finishedOk_.Enable(true);
    scanTitle_.Show(false);
    progressFrame_.SetText("");
    scanRunning_ = false;
    return 0;
}

void CMainDlg::EndWithWormRunning(const ScanOutcome& outcome) {
    if (outcome.restartRequired &&
        ShowMessageDialog(kWormRunningRestartQuestion, kProductTitle, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK)
        RestartComputer();
    // The worm keeps running until then; the program has nothing more to offer this run.
    std::exit(0);
}

void CMainDlg::OnCancel() {
    if (scanRunning_) AskToTerminate(kProductTitle);
    else SkinnedDialog::OnCancel();
}

void CMainDlg::AskToTerminate(const char* title) {
    questionOpen_ = true;
    const int32_t answer = AskToTerminateScan(title);
    questionOpen_ = false;
    if (answer != IDYES) return;
    // OK takes Cancel's place, but works only once the scan has unwound: ending the dialog under a
    // scan that still runs would leave it writing to a window that is gone.
    cancel_.Show(false);
    finishedOk_.Enable(false);
    finishedOk_.Show(true);
    Session.ScanCancelled = true;
}

LRESULT CMainDlg::OnAddLine() {
    if (ShouldEmptyResultList(resultList_.GetCount(), Session.ScanFinished)) resultList_.ResetContent();
    resultList_.AddString(Session.ReportLineBuffer);
    resultList_.SetCurSel(SelectionAfterAppend(resultList_.GetCount()));
    UpdateHorizontalExtent();
    return 0;
}

void CMainDlg::UpdateHorizontalExtent() {
    int widest = 0;
    {
        // Measured with the context as it comes, without the list's font: that is what sets the
        // range. The context goes back before the list is changed.
        WindowDc dc(resultList_.hwnd());
        if (!dc) return;
        const int count = resultList_.GetCount();
        char line[kReportLineSize + 12];
        for (int i = 0; i < count; ++i) {
            if (!resultList_.GetLine(i, line, sizeof line)) continue;
            SIZE size;
            if (GetTextExtentPoint32A(dc.get(), line, lstrlenA(line), &size) && size.cx > widest) widest = size.cx;
        }
    }
    const int extent = NewHorizontalExtent(widest, resultList_.GetHorizontalExtent());
    if (extent >= 0) resultList_.SetHorizontalExtent(extent);
}

LRESULT CMainDlg::OnShowStatus() {
    status_.SetText(Session.StatusText);
    return 0;
}
