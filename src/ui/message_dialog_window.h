// MessageDialog: the skinned question and notice box on template 142.
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/static_control.h"
#include "platform/gdi_objects.h"
#include "ui/message_style.h"
#include "ui/nc_ex_button.h"
#include "ui/skin_picture.h"
#include "ui/skinned_dialog.h"

class MessageDialog : public SkinnedDialog {
public:
    MessageDialog();

    // Text and title are kept as pointers: they must outlive DoModal. An empty title shows the
    // product title.
    void Configure(const char* text, const char* title, uint32_t style);

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(int id) override;
    HBRUSH SkinBrush(HWND control) const override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void LayOut();
    void PaintPicture();

    CStatic picture_;
    NCExButton yesButton_;
    NCExButton okButton_;
    NCExButton noButton_;
    NCExButton loneOkButton_;
    NCExButton cancelButton_;
    CStatic text_;
    int32_t pictureId_;
    MessageButtons buttons_ = MessageButtons::kOkOnly;
    const char* message_ = "";
    const char* title_ = "";
    OwnedBrush background_;
    SkinPicture pictureArt_;
};
