// The rename action's new name: the character after the last dot becomes 'V'.
#include "core/renamed_path.h"

#include <gtest/gtest.h>

#include <string>

TEST(RenamedInfectedFile, CharacterAfterLastDotBecomesV) {
    char out[260];
    ASSERT_TRUE(FormRenamedPath("C:\\dir\\x.dll", out, sizeof out));
    EXPECT_STREQ(out, "C:\\dir\\x.Vll");
    ASSERT_TRUE(FormRenamedPath("C:\\a.b\\worm.tar.exe", out, sizeof out));
    EXPECT_STREQ(out, "C:\\a.b\\worm.tar.Vxe");
    // The last dot may sit in a folder name; that is where the V goes.
    ASSERT_TRUE(FormRenamedPath("C:\\a.b\\worm", out, sizeof out));
    EXPECT_STREQ(out, "C:\\a.V\\worm");
    ASSERT_TRUE(FormRenamedPath("C:\\dir\\worm", out, sizeof out));
    EXPECT_STREQ(out, "C:\\dir\\worm");
}

TEST(RenamedInfectedFile, TrailingDotAndFullBuffersStayBounded) {
    char out[260];
    ASSERT_TRUE(FormRenamedPath("C:\\dir\\worm.", out, sizeof out));
    EXPECT_STREQ(out, "C:\\dir\\worm.V");
    char small[8];
    EXPECT_TRUE(FormRenamedPath("a.b.exe", small, sizeof small));
    EXPECT_STREQ(small, "a.b.Vxe");
    EXPECT_FALSE(FormRenamedPath("abcdef.", small, sizeof small));  // needs 8 characters
    EXPECT_STREQ(small, "");
    EXPECT_FALSE(FormRenamedPath("abcdefgh", small, sizeof small));
}
