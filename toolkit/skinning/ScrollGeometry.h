#pragma once
// Where the parts of a skinned scroll bar stand and which skin image each shows: an arrow at each end,
// the track between them and the thumb on the track, worked out from the bar's rectangle and the
// range, page and position the system keeps for the bar. Coordinates are those of the bar's
// rectangle (the control's window coordinates).

#include <cstdint>

#include "toolkit/skinning/FrameGeometry.h"

namespace veltrane {

enum class ScrollAxis : std::uint8_t { Vertical, Horizontal };

// The bar's values as SCROLLINFO holds them.
struct ScrollRange {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    bool operator==(const ScrollRange&) const = default;
};

// The highest position the range allows: max - page + 1, never below min.
int ScrollMaxPos(const ScrollRange& range);

// Start is up or left, end down or right.
enum class ScrollPart : std::uint8_t { None, ArrowStart, PageStart, Thumb, PageEnd, ArrowEnd };

struct ScrollLayout {
    ScrollAxis axis = ScrollAxis::Vertical;
    PixelRect bar, arrowStart, arrowEnd, track;
    PixelRect thumb;     // empty when the bar shows none
    PixelRect pageStart; // the track before the thumb
    PixelRect pageEnd;   // and after it
    bool HasThumb() const { return !thumb.Empty(); }
    bool operator==(const ScrollLayout&) const = default;
};

// A thumb never gets shorter than this, so that it stays easy to take.
inline constexpr int kScrollThumbMinimum = 8;

// The arrows are square while the bar is long enough, else they share its length. The thumb's length
// is the track's share of the page in the range (the bar's thickness without a page), at least
// `minThumb`; there is no thumb when there is nothing to scroll or the track is too short for it.
ScrollLayout ScrollLayoutOf(const PixelRect& bar, ScrollAxis axis, const ScrollRange& range, int minThumb);

// The layout with the thumb moved to start at `thumbStart` (a coordinate along the bar), kept on the track.
ScrollLayout ScrollLayoutDragged(const ScrollLayout& layout, int thumbStart);

// The position a thumb starting at `thumbStart` stands for, rounded to the nearest one.
int ScrollPosFromThumb(const ScrollLayout& layout, const ScrollRange& range, int thumbStart);

ScrollPart ScrollHitTest(const ScrollLayout& layout, int x, int y);

// The coordinate of a point along the bar, and where a part begins along it.
int ScrollAlong(ScrollAxis axis, int x, int y);
int ScrollStartAlong(ScrollAxis axis, const PixelRect& part);

// Whether a dragged thumb follows a pointer at (x, y): within eight thicknesses across the bar and two
// beyond its ends, as with the system's bars. Farther off the thumb goes back to where it was taken.
bool ScrollDragHolds(const ScrollLayout& layout, int x, int y);

enum class ScrollLook : std::uint8_t { Normal, Hot, Pressed, Disabled };

// The pointer's dealings with one bar.
struct ScrollPointer {
    ScrollPart hot = ScrollPart::None;     // the part under the pointer
    ScrollPart pressed = ScrollPart::None; // the part held down
    bool pressedInside = false;            // the pointer is over the part held down
};

// A held part looks pressed while the pointer is over it (a thumb for the whole drag); no other
// part lights up meanwhile.
ScrollLook ScrollPartLook(ScrollPart part, const ScrollPointer& pointer, bool disabled);

enum class ScrollArrow : std::uint8_t { Up, Down, Left, Right };

ScrollArrow ScrollArrowAt(ScrollAxis axis, bool start);
// The image of [Scrollbar] that an arrow shows.
int ScrollArrowImage(ScrollArrow arrow, ScrollLook look);
// [VertScroll] and [HorzScroll]: normal, hot, pressed and disabled.
int ScrollTrackImage(ScrollLook look);
// [VertScrollThumb] and [HorzScrollThumb]: normal, hot and pressed.
int ScrollThumbImage(ScrollLook look);
// The thumb keeps its unstretched ends.
int ScrollThumbMinimum(const ImageSkin& thumb, ScrollAxis axis);

// The skin has every object a skinned bar is drawn from.
bool ScrollSkinComplete(const SkinModel& skin);

} // namespace veltrane
