// CMainDlg start-up: control binding, texts, layout, skin, and the paint, colour and drag handlers.
#include "app/main_dlg.h"

#include <cstdio>

#include "app/product_check.h"
#include "app/web_links.h"
#include "app/window_host.h"
#include "core/text.h"
#include "resource.h"
#include "ui/region_from_bitmap.h"
#include "ui/scale_child_windows.h"
#include "ui/skin_state.h"

namespace {

constexpr int kDesignWidth = 600;
constexpr int kDesignHeight = 337;
constexpr int kWindowWidth = 600;
constexpr int kWindowHeight = 462;
constexpr uint32_t kRegionKey = 0xFF00FF;
constexpr LONG_PTR kTaskbarStyles = WS_SYSMENU | WS_MINIMIZEBOX;  // minimise and close from the taskbar

}  // namespace

CMainDlg::CMainDlg() : SkinnedDialog(IDD_MAIN) { icon_ = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN)); }

void CMainDlg::DoDataExchange() {
    BindControl(IDC_LIST_FRAME, listFrame_);
    BindControl(IDC_LOGO, logo_);
    BindControl(IDC_ULINK, uLink_);
    BindControl(IDC_DLINK, dLink_);
    BindControl(IDC_SCAN_TITLE, scanTitle_);
    BindControl(IDC_INSTALLED_NOTICE, installedNotice_);
    BindControl(IDC_TITLE, title_);
    BindControl(IDC_COPYRIGHT, copyright_);
    BindControl(IDC_FAMILY_LABEL, familyLabel_);
    BindControl(IDCANCEL, cancel_);
    BindControl(IDC_PROGRESS_FRAME, progressFrame_);
    BindControl(IDC_STATUS, status_);
    BindControl(IDC_RESULT_LIST, resultList_);
    BindControl(IDC_CLOSE_X, closeX_);
    BindControl(IDC_DOWNLOAD, download_);
    BindControl(IDC_SCAN, scan_);
    BindControl(IDC_FINISHED_OK, finishedOk_);
}

BOOL CMainDlg::OnInitDialog() {
    SkinnedDialog::OnInitDialog();

    status_.Show(false);
    progressFrame_.Show(false);
    scanTitle_.Show(false);
    resultList_.Show(false);
    listFrame_.Show(false);
    cancel_.Show(false);
    finishedOk_.Enable(false);
    finishedOk_.Show(false);

    MainDialog = this;
    HFONT dialogFont = reinterpret_cast<HFONT>(Send(WM_GETFONT));
    LOGFONTA font;
    if (GetObjectA(dialogFont ? static_cast<HGDIOBJ>(dialogFont) : GetStockObject(SYSTEM_FONT), sizeof font, &font)) {
        font.lfHeight = 15;
        font.lfWeight = FW_BOLD;
        font.lfUnderline = FALSE;
        font.lfItalic = FALSE;
        if (LabelFont) DeleteObject(LabelFont);
        LabelFont = CreateFontIndirectA(&font);
    }

    SetFixedTexts();

    if (WindowDc dc{hwnd()}) LargeFonts = GetDeviceCaps(dc.get(), LOGPIXELSX) >= 120;

    ScaleChildWindows(hwnd(), kDesignWidth, kDesignHeight);
    MoveWindow(hwnd(), 0, 0, kWindowWidth, kWindowHeight, TRUE);

    if (IsProductInstalled(kProductKey, kProductValue)) {
        dLink_.Enable(false);
        dLink_.Show(false);
        download_.Enable(false);
    } else {
        installedNotice_.Show(false);
    }

    if (!WhiteBrush) WhiteBrush = CreateSolidBrush(RGB(255, 255, 255));
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    SetWindowLongPtrA(hwnd(), GWL_STYLE, GetWindowLongPtrA(hwnd(), GWL_STYLE) | kTaskbarStyles);

    LoadSkin();

    SetText(kProductTitle);  // what a second copy looks for
    CExButton* const withHand[] = {&scan_, &closeX_, &download_, &finishedOk_, &cancel_, &dLink_, &uLink_};
    for (CExButton* button : withHand) button->LoadHandCursor();
    return TRUE;
}

void CMainDlg::SetFixedTexts() {
    char line[260];
    CopyText(line, sizeof line, kProductTitle);
    AppendText(line, sizeof line, kTitleMiddle);
    AppendText(line, sizeof line, kFamilyName);
    AppendText(line, sizeof line, kTrojanSuffix);
    title_.SetText(line);

    snprintf(line, sizeof line, kFamilyLineFormat, kFamilyName);
    AppendText(line, sizeof line, kTrojanSuffix);
    familyLabel_.SetText(line);

    copyright_.SetText(kCopyrightNotice);
    installedNotice_.SetText(kInstalledNotice);
}

void CMainDlg::LoadSkin() {
    background_.Load(IDB_BACKGROUND);
    OwnedRegion region(RegionFromBitmap(background_.bitmap(), kRegionKey, 1));
    // Once applied, the region is the window's.
    if (region && SetWindowRgn(hwnd(), region.get(), TRUE)) region.Release();

    CExButton* const inLoadOrder[] = {&finishedOk_, &cancel_, &scan_, &download_, &closeX_, &uLink_, &dLink_, &logo_};
    const int ids[] = {IDC_FINISHED_OK, IDCANCEL, IDC_SCAN, IDC_DOWNLOAD, IDC_CLOSE_X, IDC_ULINK, IDC_DLINK, IDC_LOGO};
    for (size_t i = 0; i < sizeof ids / sizeof ids[0]; ++i) inLoadOrder[i]->LoadFromCaption(ids[i], *this);
}

void CMainDlg::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd(), &paint);
    background_.Draw(dc, 0, 0, background_.width(), background_.height());
    EndPaint(hwnd(), &paint);
}

HBRUSH CMainDlg::SkinBrush(HWND control) const {
    // The painted label keeps the system's colours; everything else is white.
    return control == familyLabel_.hwnd() ? nullptr : WhiteBrush;
}

LRESULT CMainDlg::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    // A click on the window's own surface grabs it like a caption bar.
    PostMessageA(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, lParam);
    return Default(WM_LBUTTONDOWN, wParam, lParam);
}

void CMainDlg::OnOK() {
    // Enter never closes the window: only the OK button after a scan does.
}

bool CMainDlg::OnCommand(int id) {
    switch (id) {
    case IDC_SCAN:
        OnScan();
        return true;
    case IDC_CLOSE_X:
        if (scanRunning_) AskToTerminate(kCloseButtonQuestionTitle);
        else SkinnedDialog::OnCancel();
        return true;
    case IDC_DOWNLOAD:
    case IDC_DLINK:
        OpenMakerPage(kProductPagePath);
        return true;
    case IDC_FINISHED_OK:
        // Only once the scan has returned; until then the window is still the scan's.
        if (!scanRunning_) SkinnedDialog::OnOK();
        return true;
    case IDC_ULINK:
        OpenMakerPage(kRemovalToolsPagePath);
        return true;
    default:
        return false;
    }
}

LRESULT CMainDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case UM_SHOWSTATUS:
        return OnShowStatus();
    case UM_ADDLINE:
        return OnAddLine();
    case WM_TIMER:
        return OnTimer(wParam, lParam);
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_LBUTTONDOWN:
        return OnLButtonDown(wParam, lParam);
    default:
        return SkinnedDialog::WindowProc(message, wParam, lParam);
    }
}
