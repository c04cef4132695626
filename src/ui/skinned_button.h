// The bitmap button both skinned button classes share: pictures named by its caption, lit under the mouse.
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/button.h"
#include "platform/gdi_objects.h"

class SkinnedButton : public CButton {
public:

    // Takes over control `id` of parent unless already attached, then loads caption + "_FOCUS",
    // "_NOTFOCUS" and "_DISABLE". False only when it could not attach or the caption is empty;
    // missing pictures leave the button drawing less, not failing.
    bool LoadFromCaption(int id, const CWnd& parent);
    // Releases the pictures held, then loads the three by name (the disabled one may be missing)
    // and takes the normal picture's size.
    bool LoadStateBitmaps(const char* focusName, const char* normalName, const char* disabledName);
    // Resizes the window to the normal picture without moving, redrawing or activating it.
    bool SizeToBitmap();

    bool lit() const { return hoverLit_ != 0; }

protected:
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetLit(int32_t lit);

    int32_t hoverLit_ = 0;
    RECT hitRect_ = {0, 0, 0, 0};
    OwnedBitmap disabledBitmap_;
    OwnedBitmap normalBitmap_;
    OwnedBitmap focusBitmap_;
};
