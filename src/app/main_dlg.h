// CMainDlg: the skinned main window, its scan layout and the handlers of its messages.
#pragma once
#include <windows.h>

#include "app/main_texts.h"
#include "framework/button.h"
#include "framework/list_box.h"
#include "framework/static_control.h"
#include "platform/gdi_objects.h"
#include "scan/scan_driver.h"
#include "ui/ex_button.h"
#include "ui/painted_label.h"
#include "ui/skin_picture.h"
#include "ui/skinned_dialog.h"

class CMainDlg : public SkinnedDialog {
public:
    CMainDlg();

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(int id) override;
    HBRUSH SkinBrush(HWND control) const override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Start-up (main_dlg.cpp).
    void SetFixedTexts();
    void LoadSkin();
    void OnPaint();
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);

    // The scan and its list (main_dlg_scan.cpp).
    void OnScan();
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    // The memory step met a worm it could not end: the restart question where it is due, then the end.
    [[noreturn]] void EndWithWormRunning(const ScanOutcome& outcome);
    void AskToTerminate(const char* title);
    LRESULT OnAddLine();
    LRESULT OnShowStatus();
    void UpdateHorizontalExtent();

    CButton listFrame_;
    CExButton logo_;
    CExButton uLink_;
    CExButton dLink_;
    CStatic scanTitle_;
    CStatic installedNotice_;
    CStatic title_;
    CStatic copyright_;
    PaintedLabel familyLabel_;
    CExButton cancel_;
    CButton progressFrame_;
    CStatic status_;
    CListBox resultList_;
    CExButton closeX_;
    CExButton download_;
    CExButton scan_;
    CExButton finishedOk_;

    HICON icon_ = nullptr;
    SkinPicture background_;
    OwnedFont scanTitleFont_;
    bool scanRunning_ = false;   // from Scan until the scan has returned
    bool questionOpen_ = false;  // "Terminate the Scan now?" is waiting for its answer
};
