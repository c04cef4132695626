// How much the message dialog grows for a text, and where its buttons and picture go.
#pragma once
#include <cstddef>
#include <cstdint>

struct DialogGrowth {
    int32_t unit;      // a = (length / 30 + 1) * 10
    int32_t width;     // b = a * 1.25, truncated: added to the dialog's and the text's width
    int32_t quarter;   // q = b / 4
    int32_t height() const { return unit - quarter; }  // added to the dialog's and the text's height
    int32_t buttonShift() const { return width / 2; }  // every button moves this far right
    bool movesPicture() const { return unit > 30; }   // texts of 90 characters or more
};

// Texts longer than this grow the dialog as if they had this length (the dialog is already far
// wider than any screen by then).
constexpr size_t kGrowthLengthLimit = 100000;

DialogGrowth ComputeDialogGrowth(size_t textLength);

constexpr int32_t kButtonRowFromBottom = 65;  // the button row's top lies this far above the dialog's bottom
constexpr int32_t kTextRaise = 25;            // the text control moves up by this much
constexpr int32_t kLargeFontsExtraHeight = 25;
constexpr int32_t kPictureAboveText = 30;     // a moved picture's top lies this far above the text's old top
