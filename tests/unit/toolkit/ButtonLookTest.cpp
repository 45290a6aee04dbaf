#include "toolkit/draw/ButtonLook.h"

#include <gtest/gtest.h>

namespace veltrane {
namespace {

constexpr Blend kFace{MakeRgb(255, 255, 255), MakeRgb(239, 235, 231)};
constexpr Blend kPressedFace{MakeRgb(214, 207, 198), MakeRgb(247, 243, 235)};
constexpr Blend kOrange{MakeRgb(255, 243, 206), MakeRgb(231, 150, 0)};
constexpr Blend kBlue{MakeRgb(206, 231, 255), MakeRgb(109, 132, 239)};
constexpr Rgb kBorder = MakeRgb(0, 60, 115);
constexpr Rgb kDisabledBorder = MakeRgb(206, 199, 189);
constexpr ButtonState kDisabledEverything{.hot = true, .pressed = true, .focused = true, .enabled = false};

TEST(BarButton, StatesPickFaceFrameAndBorder) {
    struct Case {
        const char* name;
        ButtonState state;
        Blend face;
        std::optional<Blend> highlight;
        Rgb border;
        int contentOffset;
    };
    const Case cases[] = {
        {"plain", {}, kFace, std::nullopt, kBorder, 0},
        {"hot and focused", {.hot = true, .focused = true}, kFace, kOrange, kBorder, 0},
        {"pressed under the pointer", {.hot = true, .pressed = true}, kPressedFace, kOrange, kBorder, 1},
        {"pressed by Space", {.pressed = true, .focused = true}, kPressedFace, kBlue, kBorder, 1},
        {"default", {.isDefault = true}, kFace, kBlue, kBorder, 0},
        {"default, focus on another", {.isDefault = true, .focusOnOtherButton = true}, kFace, {}, kBorder, 0},
        {"disabled", kDisabledEverything, kFace, std::nullopt, kDisabledBorder, 0},
    };
    for (const auto& c : cases) {
        const BarButtonLook look = BarButtonLookFor(c.state);
        EXPECT_EQ(look.face, c.face) << c.name;
        EXPECT_EQ(look.highlight, c.highlight) << c.name;
        EXPECT_EQ(look.faceInset, c.highlight ? 3 : 1) << c.name;
        EXPECT_EQ(look.border, c.border) << c.name;
        EXPECT_EQ(look.contentOffset, c.contentOffset) << c.name;
    }
}

TEST(BarButton, OptionsSoftenCornersGreyGlyphsAndHideFocus) {
    const BarButtonOptions flipped{.SmoothEdges = false, .AutoGray = false, .ShowFocusRect = true};
    for (const auto& options : {BarButtonOptions{}, flipped}) {
        EXPECT_EQ(BarButtonLookFor({}, options).softCorners.has_value(), options.SmoothEdges);
        EXPECT_EQ(BarButtonLookFor({.enabled = false}, options).greyGlyph, options.AutoGray);
        EXPECT_EQ(BarButtonLookFor({.focused = true}, options).focusRect, options.ShowFocusRect);
    }
    EXPECT_EQ(BarButtonLookFor({}).softCorners, MakeRgb(123, 158, 173));
}

TEST(GlyphButton, StatesPickThemedPartAndClassicBevel) {
    using enum ThemedPushState;
    struct Case {
        const char* name;
        ButtonState state;
        GlyphButtonOptions options;
        ThemedPushState themed;
        ClassicBevel bevel;
        int contentOffset, glyphImage;
    };
    const Case cases[] = {
        {"plain", {}, {}, Normal, ClassicBevel::Flat, 0, 0},
        {"hot", {.hot = true}, {}, Hot, ClassicBevel::Hot, 0, 0},
        {"hot, no tracking", {.hot = true}, {.HotTrack = false}, Normal, ClassicBevel::Flat, 0, 0},
        {"pressed", {.hot = true, .pressed = true}, {}, Pressed, ClassicBevel::Hot, 1, 0},
        {"focused", {.focused = true}, {}, Defaulted, ClassicBevel::Emphasis, 0, 0},
        {"default, focus on another",
         {.isDefault = true, .focusOnOtherButton = true},
         {},
         Normal,
         ClassicBevel::Flat,
         0,
         0},
        {"disabled", kDisabledEverything, {}, Disabled, ClassicBevel::Flat, 0, 1},
    };
    for (const auto& c : cases) {
        const GlyphButtonLook look = GlyphButtonLookFor(c.state, MakeRgb(0, 0, 255), c.options);
        EXPECT_EQ(look.themedState, c.themed) << c.name;
        EXPECT_EQ(look.bevel, c.bevel) << c.name;
        EXPECT_EQ(look.contentOffset, c.contentOffset) << c.name;
        EXPECT_EQ(look.glyphImage, c.glyphImage) << c.name;
    }
}

TEST(GlyphButton, ClassicBevelsAreTintsOfTheHighlight) {
    // Hue and lightness on the system's 0..240 scale; greys have hue 160.
    const std::pair<Rgb, Hls> scale[] = {{MakeRgb(255, 255, 0), {40, 120, 240}},
                                         {MakeRgb(0, 0, 255), {160, 120, 240}},
                                         {MakeRgb(255, 255, 255), {160, 240, 0}}};
    for (const auto& [rgb, hls] : scale) {
        EXPECT_EQ(RgbToHls(rgb), hls) << std::hex << rgb;
        EXPECT_EQ(HlsToRgb(hls), rgb) << std::hex << rgb;
    }
    const Rgb blue = MakeRgb(0, 0, 255);
    EXPECT_EQ(GlyphButtonLookFor({.isDefault = true}, blue).bevelRings,
              std::vector<Rgb>{MakeRgb(213, 213, 255)});
    const auto hot = GlyphButtonLookFor({.hot = true}, blue).bevelRings;
    ASSERT_EQ(hot.size(), 2u);
    EXPECT_EQ(RgbToHls(hot[0]).hue, 160);
    EXPECT_LT(RgbToHls(hot[0]).lightness, RgbToHls(hot[1]).lightness); // lighter inward
}

TEST(GlyphPlacement, CentredTogetherOrFromTheLeftEdge) {
    struct Case {
        const char* name;
        GlyphLayout layout;
        PixelSize caption;
        bool hasGlyph;
        int offset;
        std::optional<PixelRect> glyph;
        PixelRect captionRect;
    };
    constexpr GlyphLayout centred = GlyphLayout::Centred, left = GlyphLayout::Left;
    // A 75 x 25 button.
    const Case cases[] = {
        {"glyph and caption", centred, {30, 13}, true, 0, PixelRect{12, 4, 16, 16}, {32, 6, 30, 13}},
        {"pressed", centred, {30, 13}, true, 1, PixelRect{13, 5, 16, 16}, {33, 7, 30, 13}},
        {"caption only", centred, {30, 13}, false, 0, std::nullopt, {22, 6, 30, 13}},
        {"glyph only", centred, {0, 0}, true, 0, PixelRect{29, 4, 16, 16}, {45, 12, 0, 0}},
        {"caption too wide", centred, {100, 13}, true, 0, PixelRect{2, 4, 16, 16}, {22, 6, 51, 13}},
        // margin 2 to the glyph, spacing 4 to the caption
        {"from the left", left, {30, 13}, true, 0, PixelRect{2, 4, 16, 16}, {22, 6, 30, 13}},
        {"from the left, pressed", left, {30, 13}, true, 1, PixelRect{3, 5, 16, 16}, {23, 7, 30, 13}},
        {"from the left, caption too wide",
         left,
         {100, 13},
         true,
         0,
         PixelRect{2, 4, 16, 16},
         {22, 6, 51, 13}},
    };
    for (const auto& c : cases) {
        const GlyphPlacement p =
            GlyphPlacementFor({75, 25}, c.caption, c.hasGlyph, c.offset, {.layout = c.layout});
        EXPECT_EQ(p.glyph, c.glyph) << c.name;
        EXPECT_EQ(p.caption, c.captionRect) << c.name;
    }
}

} // namespace
} // namespace veltrane
