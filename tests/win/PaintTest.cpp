// The painting primitives: device-context owners, the double buffer, cached GDI objects, pictures
// in static controls and backgrounds lined up behind controls.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/Background.h"
#include "platform/Bitmaps.h"
#include "platform/Containers.h"
#include "platform/Paint.h"
#include "tests/win/Canvas.h"

namespace veltrane {
namespace {

void Fill(HDC dc, RECT r, COLORREF color) {
    UniqueBrush brush(::CreateSolidBrush(color));
    ::FillRect(dc, &r, brush.Get());
}

TEST(DoubleBuffer, ReachesTheTargetInOneCopyAtTheEnd) {
    Canvas target(20, 20);
    Fill(target.Get(), {0, 0, 20, 20}, RGB(0, 0, 0));
    {
        DoubleBuffer buffer(target.Get(), {5, 5, 15, 15});
        Fill(buffer.Get(), {5, 5, 15, 15}, RGB(255, 0, 0)); // the target's coordinates
        EXPECT_EQ(target.At(10, 10), RGB(0, 0, 0));
    }
    EXPECT_EQ(target.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(target.At(14, 14), RGB(255, 0, 0));
    EXPECT_EQ(target.At(15, 15), RGB(0, 0, 0)); // nothing outside the area
}

TEST(ScopedSelect, PutsThePreviousObjectBack) {
    Canvas canvas(4, 4);
    HGDIOBJ before = ::GetCurrentObject(canvas.Get(), OBJ_BRUSH);
    {
        ScopedSelect select(canvas.Get(), ::GetStockObject(BLACK_BRUSH));
        EXPECT_EQ(::GetCurrentObject(canvas.Get(), OBJ_BRUSH), ::GetStockObject(BLACK_BRUSH));
    }
    EXPECT_EQ(::GetCurrentObject(canvas.Get(), OBJ_BRUSH), before);
}

TEST(GdiCache, OneObjectPerColourFreedWithTheCache) {
    HBRUSH red = nullptr;
    HPEN pen = nullptr;
    {
        GdiCache cache;
        red = cache.Brush(RGB(255, 0, 0));
        EXPECT_EQ(cache.Brush(RGB(255, 0, 0)), red);
        EXPECT_NE(cache.Brush(RGB(0, 255, 0)), red);
        pen = cache.Pen(RGB(1, 2, 3));
        EXPECT_EQ(cache.Pen(RGB(1, 2, 3)), pen);
        EXPECT_NE(cache.Pen(RGB(1, 2, 3), 2), pen);
    }
    EXPECT_EQ(::GetObjectType(red), 0u);
    EXPECT_EQ(::GetObjectType(pen), 0u);
}

UniqueBitmap AlphaBitmap() {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, 8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::uint32_t* bits = nullptr;
    UniqueBitmap bitmap(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0));
    for (int i = 0; i < 64; ++i)
        bits[i] = 0x80FF0000; // half-transparent red
    return bitmap;
}

TEST(StaticSetBitmap, FreesTheControlsCopiesAndKeepsTheCallersBitmaps) {
    HWND control = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | SS_BITMAP, 0, 0, 8, 8, nullptr, nullptr,
                                     nullptr, nullptr);
    UniqueBitmap first = AlphaBitmap();
    UniqueBitmap second = AlphaBitmap();
    StaticSetBitmap(control, first.Get(), nullptr);
    // Version 6 of the common controls shows a copy of its own of a bitmap with alpha.
    auto shown = HBITMAP(::SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(shown, first.Get());
    StaticSetBitmap(control, second.Get(), first.Get());
    StaticSetBitmap(control, nullptr, second.Get());
    EXPECT_EQ(::GetObjectType(first.Get()), DWORD(OBJ_BITMAP));
    EXPECT_EQ(::GetObjectType(second.Get()), DWORD(OBJ_BITMAP));
    EXPECT_EQ(::GetObjectType(shown), 0u);
    ::DestroyWindow(control);
}

// A panel split in two colours: a control on it gets a brush that shows the part behind it.
TEST(Background, BrushLinesUpWithTheControlsPlaceOnThePanel) {
    HWND top =
        ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    Panel panel(RGB(0, 0, 0));
    panel.Create(top, 1, {0, 0, 100, 40}, 0, 0);
    panel.SetPainter([](HDC dc, const RECT& client) {
        Fill(dc, {0, 0, 50, client.bottom}, RGB(255, 0, 0));
        Fill(dc, {50, 0, client.right, client.bottom}, RGB(0, 0, 255));
    });
    HWND label = ::CreateWindowExW(0, L"Static", L"", WS_CHILD, 40, 10, 20, 20, panel.Handle(), nullptr,
                                   nullptr, nullptr);
    ASSERT_EQ(BackgroundProviderOf(label), &panel);
    Canvas canvas(20, 20);
    HBRUSH brush = panel.BrushFor(label, canvas.Get());
    Fill(canvas.Get(), {0, 0, 20, 20}, RGB(0, 0, 0));
    RECT all{0, 0, 20, 20};
    ::FillRect(canvas.Get(), &all, brush);
    EXPECT_EQ(canvas.At(9, 5), RGB(255, 0, 0));  // panel x 49
    EXPECT_EQ(canvas.At(10, 5), RGB(0, 0, 255)); // panel x 50

    Canvas painted(20, 20);
    ASSERT_TRUE(ParentBackgroundPaint(label, painted.Get()));
    EXPECT_EQ(painted.At(9, 5), RGB(255, 0, 0));
    EXPECT_EQ(painted.At(10, 5), RGB(0, 0, 255));
    ::DestroyWindow(top);
}

} // namespace
} // namespace veltrane
