// CExButton: the main window's skinned button, with a hand cursor over it.
#pragma once
#include "ui/skinned_button.h"

class CExButton : public SkinnedButton {
public:
    ~CExButton() override;

    // Copies cursor 106 of the Windows help program; where that program or its cursor is missing
    // (as under Wine) the system's own hand is used, and on systems without one the class arrow stays.
    void LoadHandCursor();
    HCURSOR handCursor() const { return handCursor_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HCURSOR handCursor_ = nullptr;
    bool ownsCursor_ = false;  // the system's shared hand must not be destroyed
};
