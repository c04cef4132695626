// The skin toolkit against real GDI and windows: regions cut from bitmaps, child scaling, the hand cursor.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ui/ex_button.h"
#include "ui/region_from_bitmap.h"
#include "ui/scale_child_windows.h"
#include "wine_test_support.h"

namespace {

// A 32-bit top-down DIB section filled from 0xRRGGBB values, row by row.
HBITMAP MakeBitmap(int width, int height, const std::vector<uint32_t>& pixels) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    auto* out = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) out[i] = pixels[i];  // a DWORD pixel reads 0x00RRGGBB
    return bitmap;
}

RECT Box(HRGN region, int* kind) {
    RECT box = {0, 0, 0, 0};
    *kind = GetRgnBox(region, &box);
    return box;
}

bool SameShape(HRGN a, HRGN b) { return EqualRgn(a, b) != FALSE; }

constexpr uint32_t kMagenta = 0xFF00FF;

}  // namespace

TEST(WindowShape, BackgroundWithoutKeyPixelsGivesItsWholeRectangle) {
    HMODULE program = LoadLibraryExA(SupportProgramPath("Purgix").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    HBITMAP background = static_cast<HBITMAP>(LoadImageA(program, MAKEINTRESOURCEA(156), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    ASSERT_NE(background, nullptr);
    HRGN region = RegionFromBitmap(background, kMagenta, 1);
    ASSERT_NE(region, nullptr);
    HRGN whole = CreateRectRgn(0, 0, 527, 338);
    EXPECT_TRUE(SameShape(region, whole));
    DeleteObject(whole);
    DeleteObject(region);
    DeleteObject(background);
    FreeLibrary(program);
}

TEST(WindowShape, SingleKeyPixelFollowsTheFlag) {
    HBITMAP bitmap = MakeBitmap(1, 1, {kMagenta});
    ASSERT_NE(bitmap, nullptr);
    HRGN others = RegionFromBitmap(bitmap, kMagenta, 1);
    ASSERT_NE(others, nullptr);  // the final batch always makes a region, here an empty one
    int kind = 0;
    Box(others, &kind);
    EXPECT_EQ(kind, NULLREGION);
    HRGN keyOnly = RegionFromBitmap(bitmap, kMagenta, 0);
    ASSERT_NE(keyOnly, nullptr);
    const RECT box = Box(keyOnly, &kind);
    EXPECT_EQ(kind, SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 1);
    EXPECT_EQ(box.bottom, 1);
    DeleteObject(others);
    DeleteObject(keyOnly);
    DeleteObject(bitmap);
}

TEST(WindowShape, KeyIsBlueInTheLowByteThroughRealGdi) {
    // Left pixel pure blue, right pixel pure red; the key 0x0000FF names blue.
    HBITMAP bitmap = MakeBitmap(2, 1, {0x0000FF, 0xFF0000});
    ASSERT_NE(bitmap, nullptr);
    HRGN blue = RegionFromBitmap(bitmap, 0x0000FF, 0);
    ASSERT_NE(blue, nullptr);
    EXPECT_TRUE(PtInRegion(blue, 0, 0));
    EXPECT_FALSE(PtInRegion(blue, 1, 0));
    DeleteObject(blue);
    DeleteObject(bitmap);
}

TEST(WindowShape, BatchesOfTwoThousandRectanglesUniteToTheWholeShape) {
    // Every other column selected in 100 rows: exactly 2000 rectangles, then 20 more rows: 2400.
    for (int rows : {100, 120}) {
        std::vector<uint32_t> pixels(40 * rows);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < 40; ++x) pixels[y * 40 + x] = (x % 2 == 0) ? 0x336699 : kMagenta;
        HBITMAP bitmap = MakeBitmap(40, rows, pixels);
        ASSERT_NE(bitmap, nullptr);
        HRGN region = RegionFromBitmap(bitmap, kMagenta, 1);
        ASSERT_NE(region, nullptr);
        HRGN expected = CreateRectRgn(0, 0, 0, 0);
        for (int x = 0; x < 40; x += 2) {
            HRGN column = CreateRectRgn(x, 0, x + 1, rows);
            CombineRgn(expected, expected, column, RGN_OR);
            DeleteObject(column);
        }
        EXPECT_TRUE(SameShape(region, expected)) << rows << " rows";
        DeleteObject(expected);
        DeleteObject(region);
        DeleteObject(bitmap);
    }
}

TEST(WindowShape, NoBitmapGivesNoRegion) { EXPECT_EQ(RegionFromBitmap(nullptr, kMagenta, 1), nullptr); }

TEST(ChildLayout, WorkedExampleMovesAChildFromItsScreenRectangle) {
    // A borderless window at the screen origin: its client area is its screen rectangle.
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 524, 339, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 100, 50, 75, 23, window, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    RECT client;
    GetClientRect(window, &client);
    ASSERT_EQ(client.right, 524);
    ASSERT_EQ(client.bottom, 339);

    ScaleChildWindows(window, 600, 337);
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 114);
    EXPECT_EQ(r.top, 49);
    EXPECT_EQ(r.right - r.left, 86);
    EXPECT_EQ(r.bottom - r.top, 23);

    ScaleChildWindows(window, 0, 337);  // nothing to scale by: the child stays
    RECT again;
    GetWindowRect(child, &again);
    EXPECT_TRUE(EqualRect(&r, &again));
    DestroyWindow(window);
}

TEST(HandCursor, FallsBackToTheSystemHandWithoutTheHelpProgram) {
    HWND window = CreateWindowExA(0, "BUTTON", "X", WS_POPUP | BS_OWNERDRAW, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    {
        CExButton button;
        ASSERT_TRUE(button.SubclassWindow(window));
        EXPECT_EQ(button.handCursor(), nullptr);
        button.LoadHandCursor();
        ASSERT_NE(button.handCursor(), nullptr);
        EXPECT_EQ(button.handCursor(), LoadCursorA(nullptr, IDC_HAND));
        const HCURSOR first = button.handCursor();
        button.LoadHandCursor();  // already has one: nothing changes
        EXPECT_EQ(button.handCursor(), first);
        EXPECT_EQ(SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    }
    DestroyWindow(window);
}
