// MessageDialog: growing with its text, the button set and picture of its style, and its answers.
#include "ui/message_dialog_window.h"

#include <cstring>

#include "core/product_texts.h"
#include "resource.h"
#include "ui/dialog_growth.h"
#include "ui/skin_state.h"

namespace {

constexpr COLORREF kMessageBackground = RGB(207, 233, 254);  // the pictures' own background

int32_t PictureResource(MessagePicture picture) {
    switch (picture) {
    case MessagePicture::kInformation:
        return IDB_PICTURE_INFO;
    case MessagePicture::kQuestion:
        return IDB_PICTURE_QUESTION;
    case MessagePicture::kError:
        return IDB_PICTURE_ERROR;
    case MessagePicture::kWarning:
        break;
    }
    return IDB_PICTURE_WARNING;
}

RECT ScreenRect(HWND window) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(window, &r);
    return r;
}

}  // namespace

MessageDialog::MessageDialog() : SkinnedDialog(IDD_MESSAGE), pictureId_(IDB_PICTURE_WARNING) {}

void MessageDialog::Configure(const char* text, const char* title, uint32_t style) {
    message_ = text ? text : "";
    title_ = title ? title : "";
    buttons_ = ButtonsForStyle(style);
    pictureId_ = PictureResource(PictureForStyle(style));
}

void MessageDialog::DoDataExchange() {
    BindControl(IDC_PICTURE, picture_);
    BindControl(IDYES, yesButton_);
    BindControl(IDOK, okButton_);
    BindControl(IDNO, noButton_);
    BindControl(IDC_LONE_OK, loneOkButton_);
    BindControl(IDCANCEL, cancelButton_);
    BindControl(IDC_MESSAGE_TEXT, text_);
}

BOOL MessageDialog::OnInitDialog() {
    SkinnedDialog::OnInitDialog();
    background_.Reset(CreateSolidBrush(kMessageBackground));
    pictureArt_.Load(pictureId_);
    LayOut();
    text_.SetText(message_);
    SetText(*title_ ? title_ : kProductTitle);
    if (MainDialog && IsWindow(MainDialog->hwnd())) CenterOver(MainDialog->hwnd());
    return TRUE;
}

// Rectangles are read in screen coordinates after the dialog has moved to the screen origin, and
// passed on unchanged as client positions: the fixed amounts below are measured in that frame.
void MessageDialog::LayOut() {
    const DialogGrowth growth = ComputeDialogGrowth(std::strlen(message_));

    const RECT dialog = ScreenRect(hwnd());
    MoveWindow(hwnd(), 0, 0, dialog.right - dialog.left + growth.width,
               dialog.bottom - dialog.top + growth.height(), TRUE);
    const int32_t buttonRowTop = ScreenRect(hwnd()).bottom - kButtonRowFromBottom;

    const RECT text = ScreenRect(text_.hwnd());
    const int32_t textTop = text.top;
    int32_t textHeight = text.bottom - text.top + growth.height();
    if (LargeFonts) textHeight += kLargeFontsExtraHeight;
    MoveWindow(text_.hwnd(), text.left, text.top - kTextRaise, text.right - text.left + growth.width, textHeight, TRUE);

    SkinnedButton* const inRowOrder[] = {&loneOkButton_, &okButton_, &cancelButton_, &yesButton_, &noButton_};
    for (SkinnedButton* button : inRowOrder) {
        const RECT r = ScreenRect(button->hwnd());
        MoveWindow(button->hwnd(), r.left + growth.buttonShift(), buttonRowTop, r.right - r.left, r.bottom - r.top, TRUE);
    }

    loneOkButton_.Show(buttons_ == MessageButtons::kOkOnly);
    okButton_.Show(buttons_ == MessageButtons::kOkCancel);
    cancelButton_.Show(buttons_ == MessageButtons::kOkCancel);
    yesButton_.Show(buttons_ == MessageButtons::kYesNo);
    noButton_.Show(buttons_ == MessageButtons::kYesNo);

    loneOkButton_.LoadFromCaption(IDC_LONE_OK, *this);
    okButton_.LoadFromCaption(IDOK, *this);
    cancelButton_.LoadFromCaption(IDCANCEL, *this);
    yesButton_.LoadFromCaption(IDYES, *this);
    noButton_.LoadFromCaption(IDNO, *this);

    if (growth.movesPicture()) {
        const RECT r = ScreenRect(picture_.hwnd());
        MoveWindow(picture_.hwnd(), r.left, textTop - kPictureAboveText, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

void MessageDialog::OnOK() { EndDialog(kResultOk); }

void MessageDialog::OnCancel() { EndDialog(ResultForCancel(buttons_)); }

bool MessageDialog::OnCommand(int id) {
    switch (id) {
    case IDYES:
        EndDialog(kResultYes);
        return true;
    case IDNO:
        EndDialog(kResultNo);
        return true;
    case IDC_LONE_OK:
        EndDialog(kResultOk);
        return true;
    default:
        return false;
    }
}

HBRUSH MessageDialog::SkinBrush(HWND) const { return background_.get(); }

LRESULT MessageDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PaintPicture();
        return 0;
    }
    return SkinnedDialog::WindowProc(message, wParam, lParam);
}

void MessageDialog::PaintPicture() {
    PAINTSTRUCT paint;
    BeginPaint(hwnd(), &paint);
    EndPaint(hwnd(), &paint);

    WindowDc dc(picture_.hwnd());
    RECT area;
    GetClientRect(picture_.hwnd(), &area);
    pictureArt_.Draw(dc.get(), area.left, area.top, area.right - area.left, area.bottom - area.top);
}
