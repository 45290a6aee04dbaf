#include "toolkit/draw/ButtonLook.h"

#include <algorithm>

namespace veltrane {

namespace {

constexpr Blend kBarFace{MakeRgb(255, 255, 255), MakeRgb(239, 235, 231)};
constexpr Blend kBarFacePressed{MakeRgb(214, 207, 198), MakeRgb(247, 243, 235)};
constexpr Blend kBarHotFrame{MakeRgb(255, 243, 206), MakeRgb(231, 150, 0)};
constexpr Blend kBarFocusFrame{MakeRgb(206, 231, 255), MakeRgb(109, 132, 239)};
constexpr Rgb kBarBorder = MakeRgb(0, 60, 115);
constexpr Rgb kBarBorderDisabled = MakeRgb(206, 199, 189);
constexpr Rgb kBarSoftCorner = MakeRgb(123, 158, 173);

// A disabled button shows none of the pointer, press or focus states.
ButtonState Effective(ButtonState state) {
    if (!state.enabled)
        state = ButtonState{.enabled = false};
    return state;
}

bool StandsAsDefault(const ButtonState& state) {
    return state.focused || (state.isDefault && !state.focusOnOtherButton);
}

} // namespace

BarButtonLook BarButtonLookFor(const ButtonState& given, const BarButtonOptions& options) {
    const ButtonState state = Effective(given);
    BarButtonLook look;
    look.face = state.pressed ? kBarFacePressed : kBarFace;
    if (state.hot)
        look.highlight = kBarHotFrame;
    else if (StandsAsDefault(state))
        look.highlight = kBarFocusFrame;
    look.faceInset = look.highlight ? 3 : 1;
    look.border = state.enabled ? kBarBorder : kBarBorderDisabled;
    if (options.SmoothEdges)
        look.softCorners = kBarSoftCorner;
    look.contentOffset = state.pressed ? 1 : 0;
    look.greyGlyph = !state.enabled && options.AutoGray;
    look.focusRect = state.focused && options.ShowFocusRect;
    return look;
}

GlyphButtonLook GlyphButtonLookFor(const ButtonState& given, Rgb highlight,
                                   const GlyphButtonOptions& options) {
    const ButtonState state = Effective(given);
    const bool hot = state.hot && options.HotTrack;
    GlyphButtonLook look;
    if (!state.enabled)
        look.themedState = ThemedPushState::Disabled;
    else if (state.pressed)
        look.themedState = ThemedPushState::Pressed;
    else if (hot)
        look.themedState = ThemedPushState::Hot;
    else if (StandsAsDefault(state))
        look.themedState = ThemedPushState::Defaulted;

    if (hot) {
        look.bevel = ClassicBevel::Hot;
        look.bevelRings = {HlsTint(highlight, kHotBevelOuterLightness),
                           HlsTint(highlight, kHotBevelInnerLightness)};
    } else if (StandsAsDefault(state)) {
        look.bevel = ClassicBevel::Emphasis;
        look.bevelRings = {HlsTint(highlight, kEmphasisBevelLightness)};
    }
    look.contentOffset = state.pressed ? 1 : 0;
    look.glyphImage = state.enabled ? 0 : 1;
    return look;
}

GlyphPlacement GlyphPlacementFor(PixelSize button, PixelSize caption, bool hasGlyph, int offset,
                                 const GlyphMetrics& metrics) {
    const int glyphWidth = hasGlyph ? metrics.glyphSize : 0;
    const int gap = hasGlyph && caption.width > 0 ? metrics.spacing : 0;
    const int unitWidth = glyphWidth + gap + caption.width;
    const int left =
        (metrics.layout == GlyphLayout::Left ? metrics.margin
                                             : std::max(metrics.margin, (button.width - unitWidth) / 2)) +
        offset;

    GlyphPlacement placement;
    if (hasGlyph) {
        const int top = (button.height - metrics.glyphSize) / 2 + offset;
        placement.glyph = PixelRect{left, top, metrics.glyphSize, metrics.glyphSize};
    }
    const int captionLeft = left + glyphWidth + gap;
    const int captionTop = (button.height - caption.height) / 2 + offset;
    const int captionRight =
        std::max(captionLeft, std::min(captionLeft + caption.width, button.width - metrics.margin));
    placement.caption = {captionLeft, captionTop, captionRight - captionLeft, caption.height};
    return placement;
}

} // namespace veltrane
