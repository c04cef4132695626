// Child scaling arithmetic: the worked example, truncation, and sizes that cannot be scaled by.
#include "ui/child_scale.h"

#include <gtest/gtest.h>

TEST(ChildScaling, WorkedExampleFromClient524x339ToDesign600x337) {
    ScaleFactors f{};
    ASSERT_TRUE(ComputeScaleFactors(524, 339, 600, 337, &f));
    EXPECT_NEAR(f.horizontal, 0.873333, 1e-6);
    EXPECT_NEAR(f.vertical, 1.005935, 1e-6);
    const ScaledPlacement p = ScaleScreenRect(100, 50, 175, 73, f);
    EXPECT_EQ(p.left, 114);  // 114.50 truncated
    EXPECT_EQ(p.top, 49);    // 49.70 truncated
    EXPECT_EQ(p.width, 86);  // 200 - 114
    EXPECT_EQ(p.height, 23); // 72 - 49
}

TEST(ChildScaling, TruncatesTowardZeroOnBothSidesOfTheOrigin) {
    const ScaleFactors half{0.5, 2.0};
    const ScaledPlacement p = ScaleScreenRect(-3, -5, 3, 5, half);
    EXPECT_EQ(p.left, -6);
    EXPECT_EQ(p.top, -2);  // -2.5 becomes -2, not -3
    EXPECT_EQ(p.width, 12);
    EXPECT_EQ(p.height, 4);
}

TEST(ChildScaling, EqualSizesLeaveChildrenInPlace) {
    ScaleFactors f{};
    ASSERT_TRUE(ComputeScaleFactors(600, 337, 600, 337, &f));
    const ScaledPlacement p = ScaleScreenRect(17, 23, 290, 168, f);
    EXPECT_EQ(p.left, 17);
    EXPECT_EQ(p.top, 23);
    EXPECT_EQ(p.width, 273);
    EXPECT_EQ(p.height, 145);
}

TEST(ChildScaling, EmptyOrZeroSizesGiveNoFactors) {
    ScaleFactors f{7, 7};
    EXPECT_FALSE(ComputeScaleFactors(0, 339, 600, 337, &f));
    EXPECT_FALSE(ComputeScaleFactors(524, 0, 600, 337, &f));
    EXPECT_FALSE(ComputeScaleFactors(524, 339, 0, 337, &f));
    EXPECT_FALSE(ComputeScaleFactors(524, 339, 600, -1, &f));
    EXPECT_EQ(f.horizontal, 7);
}

TEST(ChildScaling, TinyFactorsClampInsteadOfOverflowing) {
    const ScaleFactors tiny{1e-9, 1e-9};
    const ScaledPlacement p = ScaleScreenRect(-100, 5, 100, 6, tiny);
    EXPECT_EQ(p.left, INT32_MIN);
    EXPECT_EQ(p.width, INT32_MAX);
    EXPECT_EQ(p.top, INT32_MAX);
    EXPECT_EQ(p.height, 0);
}
