#pragma once
// How TBarButton and TGlyphButton look in each state, as data: colours, insets and offsets that
// the Win32 layer paints, plus where the glyph and caption go.

#include <cstdint>
#include <optional>
#include <vector>

#include "base/Colour.h"
#include "base/Geometry.h"

namespace veltrane {

struct ButtonState {
    bool hot = false; // the pointer is over the button
    // Shown held down: the system's selected state, which it drops while the pointer is off the
    // button with the mouse button still down, so a press shows only with the pointer over it.
    bool pressed = false;
    bool focused = false;
    bool isDefault = false;
    bool focusOnOtherButton = false; // another push button has the focus and stands in as default
    bool enabled = true;
};

// A vertical blend, top colour to bottom colour.
struct Blend {
    Rgb top = 0;
    Rgb bottom = 0;

    bool operator==(const Blend&) const = default;
};

inline constexpr int kBarButtonFaceBands = 64;
inline constexpr int kBarButtonCornerSize = 5; // the outer border's rounded corners

struct BarButtonOptions {
    bool SmoothEdges = true;
    bool AutoGray = true;
    bool ShowFocusRect = false;
};

struct BarButtonLook {
    Blend face;                     // in kBarButtonFaceBands bands
    std::optional<Blend> highlight; // fills the area inside the border; the face then goes on top
    int faceInset = 1;              // from the outer edge: 1, or 3 leaving a 2-pixel highlight frame
    Rgb border = 0;
    std::optional<Rgb> softCorners; // colour of the corner pixels, when smoothed
    int contentOffset = 0;          // glyph and caption move this far right and down
    bool greyGlyph = false;
    bool focusRect = false;
};

BarButtonLook BarButtonLookFor(const ButtonState& state, const BarButtonOptions& options = {});

// The visual-styles push-button part states (PBS_NORMAL .. PBS_DEFAULTED).
enum class ThemedPushState : int { Normal = 1, Hot = 2, Pressed = 3, Disabled = 4, Defaulted = 5 };

enum class ClassicBevel {
    Flat,     // light top and left, dark bottom and right, clipped corners
    Hot,      // two steps of a light tint of the highlight colour
    Emphasis, // the default or focused button: one step of a pale tint of the highlight hue
};

inline constexpr int kHotBevelOuterLightness = 180;
inline constexpr int kHotBevelInnerLightness = 210;
inline constexpr int kEmphasisBevelLightness = 220;

struct GlyphButtonOptions {
    bool HotTrack = true;
};

struct GlyphButtonLook {
    ThemedPushState themedState = ThemedPushState::Normal; // with visual styles
    ClassicBevel bevel = ClassicBevel::Flat;               // without them
    std::vector<Rgb> bevelRings;                           // inside the flat edge, outermost first
    int contentOffset = 0;
    int glyphImage = 0; // the second image while disabled
};

// `highlight` is the system's highlight colour, the source of the classic tints.
GlyphButtonLook GlyphButtonLookFor(const ButtonState& state, Rgb highlight,
                                   const GlyphButtonOptions& options = {});

// Where a glyph and its caption stand in a button.
enum class GlyphLayout : std::uint8_t {
    Centred, // the pair centred together (bar buttons)
    Left,    // the glyph `margin` from the left edge, the caption `spacing` after it (dialog buttons)
};

struct GlyphMetrics {
    int glyphSize = 16;
    int spacing = 4; // between glyph and caption
    int margin = 2;  // from the left edge with GlyphLayout::Left; else the least distance from the sides
    GlyphLayout layout = GlyphLayout::Centred;
};

struct GlyphPlacement {
    std::optional<PixelRect> glyph;
    PixelRect caption; // empty width when there is no caption
};

// Glyph left of the caption, placed as `metrics.layout` says and moved by `offset` right and down;
// a caption too wide for the button is cut at the margin.
GlyphPlacement GlyphPlacementFor(PixelSize button, PixelSize caption, bool hasGlyph, int offset = 0,
                                 const GlyphMetrics& metrics = {});

} // namespace veltrane
