// Message dialog growth: the worked values, the 90-character picture rule, the style decoding.
#include "ui/dialog_growth.h"
#include "ui/message_style.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(MessageDialogGrowth, ShortQuestionGrowsTwelveBySeven) {
    const DialogGrowth g = ComputeDialogGrowth(std::strlen("Terminate the Scan now?"));
    EXPECT_EQ(g.unit, 10);
    EXPECT_EQ(g.width, 12);
    EXPECT_EQ(g.quarter, 3);
    EXPECT_EQ(g.height(), 7);
    EXPECT_EQ(g.buttonShift(), 6);
    EXPECT_FALSE(g.movesPicture());
}

TEST(MessageDialogGrowth, RestartQuestionGrowsFiftyByTwentyEight) {
    const char* restart = "The system has to be restarted to remove the virus completely from your system. \n\n Restart now?";
    ASSERT_EQ(std::strlen(restart), 95u);
    const DialogGrowth g = ComputeDialogGrowth(std::strlen(restart));
    EXPECT_EQ(g.unit, 40);
    EXPECT_EQ(g.width, 50);
    EXPECT_EQ(g.quarter, 12);
    EXPECT_EQ(g.height(), 28);
    EXPECT_EQ(g.buttonShift(), 25);
    EXPECT_TRUE(g.movesPicture());
}

TEST(MessageDialogGrowth, PictureMovesFromNinetyCharacters) {
    EXPECT_FALSE(ComputeDialogGrowth(89).movesPicture());
    EXPECT_TRUE(ComputeDialogGrowth(90).movesPicture());
    EXPECT_EQ(ComputeDialogGrowth(29).unit, 10);
    EXPECT_EQ(ComputeDialogGrowth(30).unit, 20);
}

TEST(MessageDialogGrowth, EmptyTextStillGrowsAndHugeTextsStayInRange) {
    const DialogGrowth empty = ComputeDialogGrowth(0);
    EXPECT_EQ(empty.width, 12);
    EXPECT_EQ(empty.height(), 7);
    const DialogGrowth g = ComputeDialogGrowth(static_cast<size_t>(-1));
    EXPECT_EQ(g.unit, ComputeDialogGrowth(kGrowthLengthLimit).unit);
    EXPECT_GT(g.width, 0);
    EXPECT_GT(g.height(), 0);
}

TEST(MessageDialogGrowth, OddUnitsTruncateTheWidth) {
    // a = 30 gives 37.5, truncated to 37; the quarter 9 and the button shift 18 follow from it.
    const DialogGrowth g = ComputeDialogGrowth(60);
    EXPECT_EQ(g.unit, 30);
    EXPECT_EQ(g.width, 37);
    EXPECT_EQ(g.quarter, 9);
    EXPECT_EQ(g.height(), 21);
    EXPECT_EQ(g.buttonShift(), 18);
    EXPECT_FALSE(g.movesPicture());
}

TEST(MessageDialogStyle, ButtonSetsWithOkCancelTestedFirst) {
    EXPECT_EQ(ButtonsForStyle(0), MessageButtons::kOkOnly);
    EXPECT_EQ(ButtonsForStyle(0x24), MessageButtons::kYesNo);
    EXPECT_EQ(ButtonsForStyle(0x41), MessageButtons::kOkCancel);
    EXPECT_EQ(ButtonsForStyle(0x05), MessageButtons::kOkCancel);
    EXPECT_EQ(ButtonsForStyle(0x02), MessageButtons::kOkOnly);  // abort/retry/ignore is not offered
}

TEST(MessageDialogStyle, PicturesWithBothLowIconBitsTestedFirst) {
    EXPECT_EQ(PictureForStyle(0x24), MessagePicture::kQuestion);
    EXPECT_EQ(PictureForStyle(0x41), MessagePicture::kInformation);
    EXPECT_EQ(PictureForStyle(0x10), MessagePicture::kError);
    EXPECT_EQ(PictureForStyle(0x30), MessagePicture::kWarning);
    EXPECT_EQ(PictureForStyle(0x70), MessagePicture::kWarning);
    EXPECT_EQ(PictureForStyle(0x60), MessagePicture::kInformation);
    EXPECT_EQ(PictureForStyle(0), MessagePicture::kWarning);
}

TEST(MessageDialogStyle, CancelAnswersNoOnlyToYesNoQuestions) {
    EXPECT_EQ(ResultForCancel(MessageButtons::kYesNo), 7);
    EXPECT_EQ(ResultForCancel(MessageButtons::kOkCancel), 2);
    EXPECT_EQ(ResultForCancel(MessageButtons::kOkOnly), 2);
}
