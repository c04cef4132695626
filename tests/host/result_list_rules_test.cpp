// Result list rules: emptying at 150 lines during a scan, the selection, the horizontal extent.
#include "app/result_list_rules.h"

#include <gtest/gtest.h>

TEST(ResultListRules, EmptiesAtOneHundredFiftyOnlyBeforeTheStatistics) {
    EXPECT_FALSE(ShouldEmptyResultList(149, false));
    EXPECT_TRUE(ShouldEmptyResultList(150, false));
    EXPECT_TRUE(ShouldEmptyResultList(151, false));
    EXPECT_FALSE(ShouldEmptyResultList(150, true));
    EXPECT_FALSE(ShouldEmptyResultList(5000, true));
}

TEST(ResultListRules, SelectsTheLastLineFromTheThirdOn) {
    EXPECT_EQ(SelectionAfterAppend(1), 1);  // past the end: nothing selected
    EXPECT_EQ(SelectionAfterAppend(2), 2);
    EXPECT_EQ(SelectionAfterAppend(3), 2);
    EXPECT_EQ(SelectionAfterAppend(150), 149);
}

TEST(ResultListRules, ExtentIsThreeQuartersOfAWideLine) {
    EXPECT_EQ(NewHorizontalExtent(800, 0), 600);
    EXPECT_EQ(NewHorizontalExtent(561, 0), 420);
    EXPECT_EQ(NewHorizontalExtent(563, 0), 422);  // 422.25 rounds toward zero
    EXPECT_EQ(NewHorizontalExtent(560, 0), -1);
    EXPECT_EQ(NewHorizontalExtent(300, 0), -1);
}

TEST(ResultListRules, ExtentOnlyChangesWhenTheLineIsWiderThanTheCurrentExtent) {
    EXPECT_EQ(NewHorizontalExtent(800, 600), 600);  // still wider than the extent: set again
    EXPECT_EQ(NewHorizontalExtent(800, 800), -1);
    EXPECT_EQ(NewHorizontalExtent(700, 900), -1);
    EXPECT_EQ(NewHorizontalExtent(2000000000, 0), 1500000000);  // no overflow on the way
}
