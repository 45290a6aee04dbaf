#pragma once
// Where the pieces of a skinned window frame go: which part of which skin image is copied,
// stretched or tiled to which part of the window, where the caption text, icon and buttons stand,
// and what a point in the window hits. Coordinates are window coordinates, y from the top; source
// rectangles are in the bitmap, y from the top.

#include <vector>

#include "base/Geometry.h"
#include "toolkit/skin/SkinModel.h"

namespace veltrane {

// Image `index` of `count` equal images cut side by side (or stacked); an index past the end
// takes the last image.
PixelRect ImageCell(int bitmapWidth, int bitmapHeight, int count, int index, bool stacked = false);

// Nine-grid slicing: corners copied, edges and centre stretched or, with Tile, tiled. Margins
// that do not fit the destination are cut, keeping their outer pixels.
std::vector<SkinPiece> NineGrid(const PixelRect& source, const ImageMargins& margins, const PixelRect& dest);

// State image `index` of an image section, sliced by its margins.
std::vector<SkinPiece> ImageSkinPieces(const ImageSkin& skin, int index, const PixelRect& dest);

// The four images of a sunken edge ([SunkEdge]): normal, hot, focused, disabled. Disabled wins,
// then focus, then the pointer.
enum class SunkEdgeLook : std::uint8_t { Normal, Hot, Focused, Disabled };
SunkEdgeLook SunkEdgeLookOf(bool enabled, bool focused, bool hot);

enum class FrameSide : std::uint8_t { Top, Bottom, Left, Right };

// Top and bottom images are stacked (each spans the window's width); left and right images stand
// side by side. Image 0 is the active look, image 1 the inactive one.
PixelRect FrameEdgeSource(const FrameEdge& edge, FrameSide side, bool active);

struct FrameThickness {
    int top = 0; // the caption bar included
    int bottom = 0;
    int left = 0;
    int right = 0;
};

FrameThickness FrameThicknessOf(const SkinModel& skin);

// The four edges span: top and bottom the whole width, left and right between them.
struct FrameLayout {
    PixelRect window, top, bottom, left, right, client;
};

FrameLayout FrameLayoutOf(const SkinModel& skin, int windowWidth, int windowHeight);

// The window size that keeps a given client size inside the skin's frame.
PixelSize FrameOuterSize(const SkinModel& skin, int clientWidth, int clientHeight);

// One edge: the unstretched ends copied, the middle stretched (Stretch 1) or tiled (Stretch 0).
std::vector<SkinPiece> FrameEdgePieces(const FrameEdge& edge, FrameSide side, bool active,
                                       const PixelRect& dest);
// All four edges of a window of the given size.
std::vector<SkinPiece> FramePieces(const SkinModel& skin, int windowWidth, int windowHeight, bool active);

enum class CaptionAlign : std::uint8_t { Left, Right, Centre };

struct CaptionTextPlace {
    PixelRect rect; // the text is centred vertically in it and clipped to it
    CaptionAlign align = CaptionAlign::Left;
    Rgb colour = 0;
    int fontHeight = 0;
};

// From TextShift (left), TextShiftVert (down) and TextRightClip (kept free at the right).
CaptionTextPlace CaptionTextPlaceOf(const SkinModel& skin, int windowWidth, bool active);

inline constexpr int kCaptionIconSize = 16;
PixelRect CaptionIconRect(const SkinModel& skin, int iconSize = kCaptionIconSize);

// Caption buttons by their Action.
inline constexpr int kCaptionActionClose = 0;
inline constexpr int kCaptionActionMaxRestore = 1;
inline constexpr int kCaptionActionMinimize = 2;

// Which caption buttons the window's style asks for.
struct CaptionButtonNeeds {
    bool close = true; // WS_SYSMENU
    bool maximize = false;
    bool minimize = false;
    bool maximized = false; // the restore image replaces the maximise one
};

struct CaptionButtonPlace {
    int button = 0; // index into SkinModel::captionButtons
    int action = 0;
    PixelRect rect;
    bool operator==(const CaptionButtonPlace&) const = default;
};

// The description's caption buttons that the window shows: Align 0 from the left, 1 from the right
// edge; Visibility 1 only while maximised, 2 only while not.
std::vector<CaptionButtonPlace> CaptionButtonsPlace(const SkinModel& skin, int windowWidth,
                                                    const CaptionButtonNeeds& needs);

enum class CaptionButtonLook : std::uint8_t { Normal, Hot, Pressed };

// Normal, hot and pressed images, then the same three for an inactive window where the bitmap has six.
PixelRect CaptionButtonSource(const CaptionButton& button, CaptionButtonLook look, bool active);

enum class FrameHit : std::uint8_t {
    Nowhere,
    Client,
    Caption,
    SysMenu,
    Button,
    Border, // a frame that does not size the window
    Left,
    Right,
    Top,
    Bottom,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
};

struct FrameHitResult {
    FrameHit hit = FrameHit::Nowhere;
    int button = -1; // index into the placed buttons for FrameHit::Button
    bool operator==(const FrameHitResult&) const = default;
};

inline constexpr int kFrameCornerGrip = 16; // how far from a corner the edges size diagonally

FrameHitResult FrameHitTest(const FrameLayout& layout, const std::vector<CaptionButtonPlace>& buttons,
                            const PixelRect& icon, int x, int y, bool sizable);

} // namespace veltrane
