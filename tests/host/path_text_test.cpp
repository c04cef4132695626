// The walker's path text: display shortening and pattern cutting, bounded at 259 characters.
#include "core/path_normalisation.h"
#include "core/path_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Shorten(const std::string& source, int16_t width, size_t capacity = 512) {
    std::vector<char> out(capacity + 8, '#');
    ShortenPath(source.c_str(), out.data(), capacity, width);
    // Nothing past the stated capacity may be touched.
    for (size_t i = capacity; i < out.size(); ++i) EXPECT_EQ(out[i], '#') << "byte " << i;
    return std::string(out.data());
}

std::string Letters(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += static_cast<char>('a' + i % 26);
    return s;
}

}  // namespace

TEST(ShortenedDisplay, LongPathsKeepBothEndsAroundTwoDots) {
    std::string path = "C:\\" + Letters(58);  // 61 characters
    std::string shown = Shorten(path, 60);
    ASSERT_EQ(shown.size(), 60u);
    EXPECT_EQ(shown.substr(0, 29), path.substr(0, 29));
    EXPECT_EQ(shown.substr(29, 2), "..");
    EXPECT_EQ(shown.substr(31), path.substr(path.size() - 29));

    std::string exact = "C:\\" + Letters(57);  // 60 characters: shown whole
    EXPECT_EQ(Shorten(exact, 60), exact);
    EXPECT_EQ(Shorten("C:\\a.txt", 60), "C:\\a.txt");

    // An odd width leaves three dots between the halves.
    EXPECT_EQ(Shorten("0123456789", 7), "01...89");
}

TEST(ShortenedDisplay, DegenerateWidthsCopyTheSourceWithinCapacity) {
    EXPECT_EQ(Shorten("abcdefgh", 3), "abcdefgh");  // half is 0: no room for halves
    EXPECT_EQ(Shorten("abcdefgh", 0), "abcdefgh");
    EXPECT_EQ(Shorten("abcdefgh", -40), "abcdefgh");
    EXPECT_EQ(Shorten("abcdefgh", 3, 4), "abc");  // copy cut to the buffer
    // A width beyond the buffer is cut to it instead of writing past it.
    std::string shown = Shorten(Letters(300), 200, 100);
    EXPECT_EQ(shown.size(), 99u);
    EXPECT_EQ(shown.substr(0, 99), Letters(99));
}

TEST(WalkerPaths, EntryAndChildPatternsCutBeforeTheLastDot) {
    char out[260];
    ASSERT_EQ(FormEntryPath("C:\\*.*", "a.txt", out, sizeof out), PathForm::kFormed);
    EXPECT_STREQ(out, "C:\\a.txt");
    ASSERT_EQ(FormEntryPath("C:\\Windows\\*.*", "Tools", out, sizeof out), PathForm::kFormed);
    EXPECT_STREQ(out, "C:\\Windows\\Tools");
    ASSERT_EQ(FormChildPattern("C:\\Windows\\*.*", "Fonts", out, sizeof out), PathForm::kFormed);
    EXPECT_STREQ(out, "C:\\Windows\\Fonts\\*.*");
    // A file path (memory phase) loses the character before its dot, as the walk always did.
    ASSERT_EQ(FormChildPattern("C:\\dir\\name.exe", "name.old", out, sizeof out), PathForm::kFormed);
    EXPECT_STREQ(out, "C:\\dir\\namname.old\\*.*");
    // A dot at the very start cannot cut in front of the text.
    ASSERT_EQ(FormEntryPath(".x", "b", out, sizeof out), PathForm::kFormed);
    EXPECT_STREQ(out, "b");
    EXPECT_EQ(FormEntryPath("C:\\dir\\noext", "a", out, sizeof out), PathForm::kNoDot);
    EXPECT_EQ(FormChildPattern("C:\\dir", "a", out, sizeof out), PathForm::kNoDot);
}

TEST(WalkerPaths, FolderPassPatternKeepsTheDotAndAddsAStar) {
    char out[260];
    ASSERT_EQ(FormFolderPassPattern("C:\\dir\\*.*", out, sizeof out), PathForm::kFormed);
    EXPECT_STREQ(out, "C:\\dir\\*.*");
    ASSERT_EQ(FormFolderPassPattern("C:\\dir\\name.exe", out, sizeof out), PathForm::kFormed);
    EXPECT_STREQ(out, "C:\\dir\\name.*");
    ASSERT_EQ(FormFolderPassPattern("C:\\dir\\name", out, sizeof out), PathForm::kFormed);
    EXPECT_STREQ(out, "C:\\dir\\name*");
}

TEST(WalkerPaths, ResultsBeyond259CharactersAreRefusedWithoutWriting) {
    // Paths of exactly 259 characters are formed; one more is refused.
    std::string folder = "C:\\" + Letters(200) + "\\*.*";  // keeps 204 characters
    std::string name55(55, 'n');
    std::vector<char> out(300, '#');
    ASSERT_EQ(FormEntryPath(folder.c_str(), name55.c_str(), out.data(), 260), PathForm::kFormed);
    EXPECT_EQ(std::strlen(out.data()), 259u);
    std::string name56(56, 'n');
    EXPECT_EQ(FormEntryPath(folder.c_str(), name56.c_str(), out.data(), 260), PathForm::kTooLong);
    for (size_t i = 260; i < out.size(); ++i) ASSERT_EQ(out[i], '#');
    // The child pattern adds "\*.*": the same folder name of 51 fits, 52 does not.
    EXPECT_EQ(FormChildPattern(folder.c_str(), std::string(51, 'd').c_str(), out.data(), 260), PathForm::kFormed);
    EXPECT_EQ(std::strlen(out.data()), 259u);
    EXPECT_EQ(FormChildPattern(folder.c_str(), std::string(52, 'd').c_str(), out.data(), 260), PathForm::kTooLong);
    // A pattern of 259 characters without a dot cannot take its "*".
    std::string noDot = "C:\\" + Letters(256);
    EXPECT_EQ(FormFolderPassPattern(noDot.c_str(), out.data(), 260), PathForm::kTooLong);
    // A smaller buffer lowers the limit to what fits.
    char small[8];
    EXPECT_EQ(FormEntryPath("C:\\*.*", "abcd", small, sizeof small), PathForm::kFormed);
    EXPECT_EQ(FormEntryPath("C:\\*.*", "abcde", small, sizeof small), PathForm::kTooLong);
    EXPECT_STREQ(small, "");
}

TEST(WalkerPaths, ProgramFilesFolderAndMarker) {
    char out[260];
    ASSERT_TRUE(FormProgramFilesFolder("C:\\*.*", out, sizeof out));
    EXPECT_STREQ(out, "C:\\Program Files");
    ASSERT_TRUE(FormProgramFilesFolder("E:*.*", out, sizeof out));
    EXPECT_STREQ(out, "E:\\Program Files");
    EXPECT_FALSE(FormProgramFilesFolder("*.*", out, sizeof out));

    EXPECT_TRUE(NamesProgramFilesFolder("C:\\Program Files\\*.*"));
    EXPECT_TRUE(NamesProgramFilesFolder("D:\\x\\Program Files\\y\\*.*"));
    EXPECT_FALSE(NamesProgramFilesFolder("C:\\PROGRAM FILES\\*.*"));
    EXPECT_FALSE(NamesProgramFilesFolder("C:\\Program Files (x86)\\*.*"));

    EXPECT_TRUE(IsDotEntry("."));
    EXPECT_TRUE(IsDotEntry(".."));
    EXPECT_FALSE(IsDotEntry("..."));
    EXPECT_FALSE(IsDotEntry(".git"));
}

TEST(PathNormalisation, NamesWindowsWouldChangeAreToldFromTheirTwins) {
    // What Windows makes of each path before a file function sees it, as GetFullPathName shows.
    const char* const changed[] = {
        "C:\\Data\\Reports.\\vx.exe", "C:\\Data\\vx.exe ", "C:\\Data\\vx.exe.", "C:\\a \\b.txt",
        "C:\\windows\\system32\\aux.exe", "C:\\x\\AUX", "C:\\x\\nul.txt", "C:\\x\\con .log", "C:\\x\\lpt1.x.y",
        "C:\\x\\COM9.dat", "C:\\x\\conin$", "C:\\x\\CONOUT$.txt", "C:\\x\\com\xb9.exe"};
    const char* const kept[] = {
        "C:\\Data\\Reports\\vx.exe", "C:\\windows\\system32\\auxiliary.exe", "C:\\x\\aux1.exe", "C:\\aux\\x.exe",
        "C:\\x\\com0.exe", "C:\\x\\com10.exe", "C:\\x\\lpt.exe", "C:\\x\\.hidden", "C:\\x\\a.b.c", "C:\\x\\nulls.txt"};
    for (const char* path : changed) EXPECT_TRUE(ChangedByPathNormalisation(path)) << path;
    for (const char* path : kept) EXPECT_FALSE(ChangedByPathNormalisation(path)) << path;
}
