// The drawn components painted into bitmaps and read back pixel by pixel, and the drawn button on a
// real BUTTON window.
#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "platform/Containers.h"
#include "platform/Window.h"
#include "tests/win/Canvas.h"
#include "toolkit/win/GdiDraw.h"
#include "toolkit/win/TBarButton.h"
#include "toolkit/win/TGlyphButton.h"
#include "toolkit/win/TGradientBackground.h"

namespace veltrane {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey234 = RGB(234, 234, 234);
constexpr COLORREF kTeal = RGB(0, 128, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBackground = RGB(255, 0, 255); // what a drawing leaves alone shows this

// The smallest rectangle holding every pixel of `area` that passes `test`; left > right when none.
template <typename Test> RECT PixelsBox(const Canvas& canvas, const RECT& area, Test test) {
    RECT box{INT_MAX, INT_MAX, -1, -1};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (test(canvas.At(x, y)))
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
    return box;
}

bool IsText(COLORREF c) {
    return GetRValue(c) + GetGValue(c) + GetBValue(c) < 200;
}

// Images in the order given, one solid colour each.
UniqueImageList SolidGlyphs(std::initializer_list<COLORREF> colours) {
    UniqueImageList list(::ImageList_Create(16, 16, ILC_COLOR24, int(colours.size()), 0));
    for (COLORREF colour : colours) {
        UniqueBitmap image(::CreateCompatibleBitmap(ScreenDC().Get(), 16, 16));
        {
            MemoryDC dc(ScreenDC().Get());
            ScopedSelect select(dc.Get(), image.Get());
            SolidFill(dc.Get(), {0, 0, 16, 16}, colour);
        }
        ::ImageList_Add(list.Get(), image.Get(), nullptr);
    }
    return list;
}

bool SameBoxMoved(const RECT& from, const RECT& to, int by) {
    return to.left == from.left + by && to.top == from.top + by && to.right == from.right + by &&
           to.bottom == from.bottom + by;
}

TEST(TGradientBackground, BackHomeFadesDownInBandsInsideAFlatFrame) {
    TGradientBackground back;
    back.SetGradientColorStart(Colour::FromRgb(kWhite));
    back.SetGradientColorStop(Colour::FromRgb(kGrey234));
    back.SetFrameStyle(fsFlat);
    back.SetFrameColor(Colour::FromRgb(kTeal));
    Canvas canvas(601, 297);
    back.Paint(canvas.Get(), {0, 0, 601, 297});

    for (const POINT p : {POINT{0, 0}, POINT{300, 0}, POINT{600, 148}, POINT{300, 296}, POINT{0, 150}})
        EXPECT_EQ(canvas.At(p.x, p.y), kTeal) << p.x << "," << p.y;
    EXPECT_EQ(canvas.At(300, 1), kWhite);
    EXPECT_EQ(canvas.At(300, 295), kGrey234);
    std::set<COLORREF> column;
    for (int y = 1; y < 296; ++y) {
        column.insert(canvas.At(300, y));
        ASSERT_EQ(canvas.At(1, y), canvas.At(599, y)) << "row " << y << " is one colour across";
    }
    EXPECT_EQ(column.size(), 22u);
}

TEST(TGradientBackground, BackBottomFadesRightInsideThePanelsRaisedBevel) {
    HWND top =
        ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 617, 51, nullptr, nullptr, nullptr, nullptr);
    Panel panel(RGB(0, 0, 0));
    panel.Create(top, 1, {0, 0, 617, 51}, 0, 0);
    TGradientBackground back;
    back.SetGradientColorStart(Colour::FromRgb(kGrey234));
    back.SetGradientColorStop(Colour::FromRgb(kWhite));
    back.SetGradientDirection(gdVerticalEnd);
    back.SetFrameStyle(fsFlat);
    panel.SetBevel(BDR_RAISEDINNER);
    back.AttachTo(panel);
    Canvas canvas(617, 51);
    ::SendMessageW(panel.Handle(), WM_PRINTCLIENT, WPARAM(canvas.Get()), PRF_CLIENT);

    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(canvas.At(0, 0), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(616, 50), shadow);
    EXPECT_EQ(canvas.At(1, 25), shadow); // the frame, in the default frame colour
    EXPECT_EQ(canvas.At(615, 25), shadow);
    EXPECT_EQ(canvas.At(2, 25), kGrey234);
    EXPECT_EQ(canvas.At(614, 25), kWhite);
    EXPECT_EQ(canvas.At(300, 2), canvas.At(300, 48)); // columns are one colour down
    ::DestroyWindow(top);
}

TEST(TGradientBackground, EqualColoursFillPlainlyEvenBelowTheLeastBitmap) {
    TGradientBackground back;
    back.SetGradientColorStart(Colour::FromRgb(kTeal));
    back.SetGradientColorStop(Colour::FromRgb(kTeal));
    Canvas canvas(3, 3);
    back.Paint(canvas.Get(), {0, 0, 3, 3});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(canvas.At(x, y), kTeal) << x << "," << y;
}

TEST(TBarButton, EachStateShowsItsFaceHighlightAndBorder) {
    constexpr COLORREF kBorder = RGB(0, 60, 115), kSoft = RGB(123, 158, 173);
    constexpr COLORREF kFaceBottom = RGB(239, 235, 231);
    const struct {
        const char* name;
        ButtonState state;
        COLORREF border, top, bottom; // inside the border
        int faceInset;
        COLORREF faceTop;
    } cases[] = {
        {"normal", {}, kBorder, kWhite, kFaceBottom, 1, kWhite},
        {"hot", {.hot = true}, kBorder, RGB(255, 243, 206), RGB(231, 150, 0), 3, kWhite},
        {"focused", {.focused = true}, kBorder, RGB(206, 231, 255), RGB(109, 132, 239), 3, kWhite},
        {"pressed under the pointer",
         {.hot = true, .pressed = true},
         kBorder,
         RGB(255, 243, 206),
         RGB(231, 150, 0),
         3,
         RGB(214, 207, 198)},
        {"disabled", {.enabled = false}, RGB(206, 199, 189), kWhite, kFaceBottom, 1, kWhite},
    };
    const RECT area{0, 0, 89, 28};
    for (const auto& c : cases) {
        Canvas canvas(89, 28);
        SolidFill(canvas.Get(), area, kBackground);
        TBarButton::Draw(canvas.Get(), area, c.state, L"OK");
        for (const POINT p :
             {POINT{44, 0}, POINT{0, 14}, POINT{88, 14}, POINT{44, 27}, POINT{1, 1}, POINT{87, 26}})
            EXPECT_EQ(canvas.At(p.x, p.y), c.border) << c.name << " border " << p.x << "," << p.y;
        EXPECT_EQ(canvas.At(0, 0), kBackground) << c.name;
        EXPECT_EQ(canvas.At(1, 0), kSoft) << c.name;
        EXPECT_EQ(canvas.At(88, 26), kSoft) << c.name;
        EXPECT_EQ(canvas.At(44, 1), c.top) << c.name;
        EXPECT_EQ(canvas.At(44, 26), c.bottom) << c.name;
        EXPECT_EQ(canvas.At(44, c.faceInset), c.faceTop) << c.name;
    }
}

TEST(TBarButton, PressMovesTheContentAndDisabledGreysTheGlyph) {
    const RECT area{0, 0, 89, 28};
    const UniqueImageList red = SolidGlyphs({kRed});
    const auto drawn = [&](const ButtonState& state, RECT* text) {
        auto canvas = std::make_unique<Canvas>(89, 28);
        TBarButton::Draw(canvas->Get(), area, state, L"OK", {red.Get(), 0});
        *text = PixelsBox(*canvas, RectInset(area, 4), IsText);
        return canvas;
    };
    RECT up{}, down{}, disabled{};
    const auto normal = drawn({}, &up);
    drawn({.pressed = true}, &down);
    const auto grey = drawn({.enabled = false}, &disabled);
    const auto isRed = [](COLORREF c) {
        return c == kRed;
    };
    const RECT glyph = PixelsBox(*normal, area, isRed);
    EXPECT_EQ(glyph.right - glyph.left, 16);
    EXPECT_LT(glyph.right, up.left); // glyph left of the caption
    EXPECT_TRUE(SameBoxMoved(up, down, 1));
    EXPECT_GT(PixelsBox(*grey, area, isRed).left, PixelsBox(*grey, area, isRed).right);
}

TEST(TGlyphButton, ClassicFaceHasClippedEdgesATintedBevelAndTheStatesGlyph) {
    const RECT area{0, 0, 75, 25};
    const UniqueImageList glyphs = SolidGlyphs({kRed, kBlue});
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const auto draw = [&](const ButtonState& state) {
        auto canvas = std::make_unique<Canvas>(75, 25);
        SolidFill(canvas->Get(), area, kBackground);
        TGlyphButton::DrawClassic(canvas->Get(), area, state, L"OK", glyphs.Get());
        return canvas;
    };
    const auto normal = draw({});
    for (const POINT p : {POINT{0, 0}, POINT{74, 0}, POINT{0, 24}, POINT{74, 24}})
        EXPECT_EQ(normal->At(p.x, p.y), kBackground) << p.x << "," << p.y;
    EXPECT_EQ(normal->At(37, 0), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(normal->At(0, 12), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(normal->At(37, 24), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(normal->At(74, 12), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(normal->At(37, 1), ::GetSysColor(COLOR_BTNFACE));
    const auto isRed = [](COLORREF c) {
        return c == kRed;
    };
    const RECT glyph = PixelsBox(*normal, area, isRed);
    EXPECT_EQ(glyph.right - glyph.left, 16);
    EXPECT_EQ(glyph.bottom - glyph.top, 16);

    const auto pressed = draw({.pressed = true});
    EXPECT_TRUE(SameBoxMoved(glyph, PixelsBox(*pressed, area, isRed), 1));
    EXPECT_TRUE(SameBoxMoved(PixelsBox(*normal, RectInset(area, 3), IsText),
                             PixelsBox(*pressed, RectInset(area, 3), IsText), 1));

    EXPECT_EQ(draw({.focused = true})->At(37, 1), COLORREF(HlsTint(highlight, kEmphasisBevelLightness)));
    const auto hot = draw({.hot = true});
    EXPECT_EQ(hot->At(37, 1), COLORREF(HlsTint(highlight, kHotBevelOuterLightness)));
    EXPECT_EQ(hot->At(37, 2), COLORREF(HlsTint(highlight, kHotBevelInnerLightness)));
    const auto disabled = draw({.enabled = false});
    EXPECT_EQ(PixelsBox(*disabled, area, [](COLORREF c) { return c == kBlue; }).left, glyph.left);
}

// The button stays a BUTTON: its text, its clicks and its type when handed back.
TEST(DrawnButton, OwnerDrawnButtonClicksTwiceOnADoubleClickAndTracksThePointer) {
    HWND parent =
        ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND button = ::CreateWindowExW(0, L"Button", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 89,
                                    28, parent, HMENU(7), nullptr, nullptr);
    int clicks = 0;
    MessageWatch watch([&](UINT message, WPARAM wParam, LPARAM) {
        clicks += message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED;
    });
    watch.Attach(parent);
    {
        TBarButton bar;
        ASSERT_TRUE(bar.Attach(button));
        EXPECT_EQ(::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
        EXPECT_EQ(DrawnButton::From(button), &bar);
        EXPECT_EQ(HwndGetText(button), L"OK");

        const LPARAM inside = MAKELPARAM(5, 5);
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            ::SendMessageW(button, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, inside);
        EXPECT_EQ(clicks, 2);
        ::SendMessageW(button, WM_MOUSEMOVE, 0, inside);
        EXPECT_TRUE(bar.State().hot);
        ::SendMessageW(button, WM_MOUSELEAVE, 0, 0);
        EXPECT_FALSE(bar.State().hot);

        Canvas canvas(89, 28);
        ::SendMessageW(button, WM_PRINTCLIENT, WPARAM(canvas.Get()), PRF_CLIENT);
        EXPECT_EQ(canvas.At(44, 0), RGB(0, 60, 115));
    }
    EXPECT_EQ(::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(DrawnButton::From(button), nullptr);
    ::DestroyWindow(parent);
}

} // namespace
} // namespace veltrane
