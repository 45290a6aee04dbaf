#include "toolkit/skinning/FrameGeometry.h"
#include "toolkit/skinning/FrameMessages.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

using F = SkinFill;

// Geometry looks only at a bitmap's size; one byte of file marks it as present.
const std::uint8_t kFileByte = 0;

SkinBitmap Bitmap(int width, int height) {
    SkinBitmap b;
    b.member = "x.bmp";
    b.file = std::span(&kFileByte, 1);
    b.info.width = width;
    b.info.height = height;
    return b;
}

// The shapes of the stored skin's frame, caption and caption buttons.
SkinModel Harbor() {
    SkinModel s;
    s.top = {Bitmap(312, 60), 2, 20, 20};
    s.bottom = {Bitmap(312, 8), 2, 3, 6};
    s.left = s.right = {Bitmap(8, 288), 2, 30, 5};
    s.title.textShift = 26;
    s.title.textShiftVert = 1;
    s.title.textRightClip = 85;
    s.title.fontHeight = 12;
    s.title.activeText = MakeRgb(0, 0, 0);
    s.title.inactiveText = MakeRgb(100, 100, 100);
    const int buttons[][4] = {{0, 1, 30, 0}, {1, 1, 53, 2}, {1, 1, 53, 1},
                              {2, 1, 75, 0}, {3, 0, 8, 0},  {7, 100, 40, 100}};
    for (const auto& [action, align, xcoord, visibility] : buttons)
        s.captionButtons.push_back({.action = action,
                                    .align = align,
                                    .xcoord = xcoord,
                                    .ycoord = 5,
                                    .visibility = visibility,
                                    .bitmap = action == 3 ? SkinBitmap{} : Bitmap(126, 21)});
    return s;
}

TEST(FrameGeometry, FrameKeepsTheClientSize) {
    const SkinModel s = Harbor();
    for (const auto& [clientWidth, clientHeight] : {std::pair{617, 442}, std::pair{339, 159}}) {
        const PixelSize outer = FrameOuterSize(s, clientWidth, clientHeight);
        EXPECT_EQ(outer, (PixelSize{clientWidth + 8, clientHeight + 34}));
        const FrameLayout l = FrameLayoutOf(s, outer.width, outer.height);
        EXPECT_EQ(l.client, (PixelRect{4, 30, clientWidth, clientHeight}));
        EXPECT_EQ(l.left, (PixelRect{0, 30, 4, clientHeight}));
        EXPECT_EQ(l.bottom, (PixelRect{0, outer.height - 4, outer.width, 4}));
    }
}

TEST(FrameGeometry, EdgesCopyTheirEndsAndStretchOrTileTheMiddle) {
    SkinModel s = Harbor();
    s.left.stretch = 0;
    struct Case {
        FrameSide side;
        bool active;
        PixelRect dest;
        std::vector<SkinPiece> pieces;
    };
    const Case cases[] = {
        {FrameSide::Top,
         false,
         {0, 0, 625, 30}, // the inactive image stacked below the active one
         {{{0, 30, 20, 30}, {0, 0, 20, 30}, F::Copy},
          {{20, 30, 272, 30}, {20, 0, 585, 30}, F::Stretch},
          {{292, 30, 20, 30}, {605, 0, 20, 30}, F::Copy}}},
        {FrameSide::Left,
         true,
         {0, 30, 4, 442},
         {{{0, 0, 4, 30}, {0, 30, 4, 30}, F::Copy},
          {{0, 30, 4, 253}, {0, 60, 4, 407}, F::Tile},
          {{0, 283, 4, 5}, {0, 467, 4, 5}, F::Copy}}},
        {FrameSide::Top,
         true,
         {0, 0, 30, 30}, // too short: the right end keeps its outer pixels
         {{{0, 0, 20, 30}, {0, 0, 20, 30}, F::Copy}, {{302, 0, 10, 30}, {20, 0, 10, 30}, F::Copy}}},
    };
    for (const Case& c : cases) {
        const FrameEdge& edge = c.side == FrameSide::Top ? s.top : s.left;
        EXPECT_EQ(FrameEdgePieces(edge, c.side, c.active, c.dest), c.pieces) << int(c.side);
    }
    EXPECT_EQ(FramePieces(s, 625, 476, true).size(), 12u);
}

TEST(FrameGeometry, NineGridSlicesOneStateImage) {
    ImageSkin buttons;
    buttons.image = Bitmap(250, 23);
    buttons.imageCount = 5;
    buttons.leftWidth = 16;
    buttons.rightWidth = 18;
    buttons.topHeight = buttons.bottomHeight = 11;
    const auto pieces = ImageSkinPieces(buttons, 1, {10, 10, 100, 40});
    ASSERT_EQ(pieces.size(), 9u); // the 23-pixel-high image keeps a middle row of one
    EXPECT_EQ(pieces[0], (SkinPiece{{50, 0, 16, 11}, {10, 10, 16, 11}, F::Copy}));
    EXPECT_EQ(pieces[4], (SkinPiece{{66, 11, 16, 1}, {26, 21, 66, 18}, F::Stretch}));
    EXPECT_EQ(pieces[8], (SkinPiece{{82, 12, 18, 11}, {92, 39, 18, 11}, F::Copy}));
    buttons.tile = 1;
    EXPECT_EQ(ImageSkinPieces(buttons, 1, {10, 10, 100, 40})[4].fill, F::Tile);
    EXPECT_EQ(ImageSkinPieces(buttons, 9, {0, 0, 16, 11}), // past the last image; only a corner fits
              (std::vector<SkinPiece>{{{200, 0, 16, 11}, {0, 0, 16, 11}, F::Copy}}));
}

TEST(FrameGeometry, SunkEdgeLookPrefersDisabledThenFocusThenPointer) {
    using L = SunkEdgeLook;
    EXPECT_EQ(SunkEdgeLookOf(true, false, false), L::Normal);
    EXPECT_EQ(SunkEdgeLookOf(true, false, true), L::Hot);
    EXPECT_EQ(SunkEdgeLookOf(true, true, true), L::Focused);
    EXPECT_EQ(SunkEdgeLookOf(false, true, true), L::Disabled);
}

TEST(FrameGeometry, CaptionTextAndIcon) {
    SkinModel s = Harbor();
    const CaptionTextPlace active = CaptionTextPlaceOf(s, 625, true);
    EXPECT_EQ(active.rect, (PixelRect{26, 1, 514, 30}));
    EXPECT_EQ(active.colour, MakeRgb(0, 0, 0));
    EXPECT_EQ(active.fontHeight, 12);
    EXPECT_EQ(CaptionTextPlaceOf(s, 625, false).colour, MakeRgb(100, 100, 100));
    s.title.inactiveText.reset(); // then the [Colours] title colour
    s.colours.titleTextNoActive = MakeRgb(1, 2, 3);
    EXPECT_EQ(CaptionTextPlaceOf(s, 625, false).colour, MakeRgb(1, 2, 3));
    EXPECT_EQ(CaptionIconRect(s), (PixelRect{6, 7, 16, 16}));
}

TEST(FrameGeometry, CaptionButtonsTheStyleAsksForAndTheirImages) {
    const SkinModel s = Harbor();
    struct Case {
        CaptionButtonNeeds needs;
        std::vector<int> buttons;
    };
    const Case cases[] = {
        {{true, false, false, false}, {0}}, // our windows: close alone
        {{true, true, true, false}, {0, 1, 3}},
        {{true, true, true, true}, {0, 2, 3}},
    };
    for (const Case& c : cases) {
        std::vector<int> placed;
        for (const CaptionButtonPlace& p : CaptionButtonsPlace(s, 625, c.needs))
            placed.push_back(p.button);
        EXPECT_EQ(placed, c.buttons);
    }
    EXPECT_EQ(CaptionButtonsPlace(s, 625, {})[0].rect, (PixelRect{595, 5, 21, 21}));

    CaptionButton three = s.captionButtons[0];
    three.imageCount = 3;
    three.bitmap = Bitmap(63, 21);
    EXPECT_EQ(CaptionButtonSource(s.captionButtons[0], CaptionButtonLook::Hot, true),
              (PixelRect{21, 0, 21, 21}));
    EXPECT_EQ(CaptionButtonSource(s.captionButtons[0], CaptionButtonLook::Pressed, false),
              (PixelRect{105, 0, 21, 21}));
    EXPECT_EQ(CaptionButtonSource(three, CaptionButtonLook::Pressed, false), (PixelRect{42, 0, 21, 21}));
}

TEST(FrameGeometry, HitTesting) {
    const SkinModel s = Harbor();
    const FrameLayout l = FrameLayoutOf(s, 625, 476);
    const auto buttons = CaptionButtonsPlace(s, 625, {});
    struct Case {
        int x, y;
        bool sizable;
        FrameHitResult expected;
    };
    const Case cases[] = {
        {-1, 10, true, {FrameHit::Nowhere}},     {300, 200, true, {FrameHit::Client}},
        {300, 2, false, {FrameHit::Caption}},    {600, 10, false, {FrameHit::Button, 0}},
        {10, 10, false, {FrameHit::SysMenu}},    {2, 200, false, {FrameHit::Border}},
        {300, 2, true, {FrameHit::Top}},         {2, 200, true, {FrameHit::Left}},
        {623, 200, true, {FrameHit::Right}},     {300, 474, true, {FrameHit::Bottom}},
        {2, 10, true, {FrameHit::TopLeft}},      {620, 2, true, {FrameHit::TopRight}},
        {10, 474, true, {FrameHit::BottomLeft}}, {623, 470, true, {FrameHit::BottomRight}},
        {600, 10, true, {FrameHit::Button, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FrameHitTest(l, buttons, CaptionIconRect(s), c.x, c.y, c.sizable), c.expected)
            << c.x << "," << c.y;
}

TEST(FrameMessages, ManagersFrameOffOnlyWhileTheSkinHoldsTheWindow) {
    EXPECT_EQ(FrameRenderingPolicy(FrameEvent::TakeOver, false), NonClientRendering::Disabled);
    EXPECT_EQ(FrameRenderingPolicy(FrameEvent::CompositionChanged, true), NonClientRendering::Disabled);
    EXPECT_EQ(FrameRenderingPolicy(FrameEvent::CompositionChanged, false), std::nullopt);
    EXPECT_EQ(FrameRenderingPolicy(FrameEvent::Leave, true), NonClientRendering::UseWindowStyle);
    EXPECT_EQ(FrameRenderingPolicy(FrameEvent::Leave, false), std::nullopt);
}

TEST(FrameMessages, SkinPaintsAfterEverySystemHandlingThatMayPaint) {
    using namespace frame_message;
    for (unsigned m : {kUahDrawCaption, kUahDrawFrame})
        EXPECT_EQ(FramePassOnOf(m, true), FramePassOn::Swallow) << m;
    for (unsigned m : {kSetText, kSetIcon, kNcActivate, kNcLButtonDown, kNcRButtonUp, kDwmCompositionChanged})
        EXPECT_EQ(FramePassOnOf(m, false), FramePassOn::DefaultThenRepaint) << m;
    EXPECT_EQ(FramePassOnOf(kNcMouseMove, true), FramePassOn::DefaultThenRepaint);
    EXPECT_EQ(FramePassOnOf(kNcMouseMove, false), FramePassOn::Default); // over the caption: no repaint
    EXPECT_EQ(FramePassOnOf(0x0200, true), FramePassOn::Default);        // a client-area move
}

} // namespace
} // namespace veltrane
