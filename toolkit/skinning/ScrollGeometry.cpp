#include "toolkit/skinning/ScrollGeometry.h"

#include <algorithm>
#include <cstdint>

namespace veltrane {

namespace {

bool IsVertical(ScrollAxis axis) {
    return axis == ScrollAxis::Vertical;
}

int Length(ScrollAxis axis, const PixelRect& r) {
    return IsVertical(axis) ? r.height : r.width;
}

int Thickness(ScrollAxis axis, const PixelRect& r) {
    return IsVertical(axis) ? r.width : r.height;
}

// The part of `bar` from `start` to `start + length` along it.
PixelRect Along(ScrollAxis axis, const PixelRect& bar, int start, int length) {
    if (IsVertical(axis))
        return {bar.x, bar.y + start, bar.width, length};
    return {bar.x + start, bar.y, length, bar.height};
}

// a * b / c rounded to the nearest integer, for non-negative values: a below 2^31, b and c below
// 2^32 (the distance between two ints), so that nothing overflows.
std::int64_t MulDivRound(std::int64_t a, std::int64_t b, std::int64_t c) {
    if (c <= 0)
        return 0;
    return (a * b + c / 2) / c;
}

// The track on both sides of the thumb; without a thumb both page parts are empty.
void PagesSet(ScrollLayout& l) {
    if (!l.HasThumb()) {
        l.pageStart = l.pageEnd = {};
        return;
    }
    const int trackStart = ScrollStartAlong(l.axis, l.track);
    const int thumbStart = ScrollStartAlong(l.axis, l.thumb);
    const int thumbEnd = thumbStart + Length(l.axis, l.thumb);
    const int trackEnd = trackStart + Length(l.axis, l.track);
    const int barStart = ScrollStartAlong(l.axis, l.bar);
    l.pageStart = Along(l.axis, l.bar, trackStart - barStart, thumbStart - trackStart);
    l.pageEnd = Along(l.axis, l.bar, thumbEnd - barStart, trackEnd - thumbEnd);
}

int ThumbLength(int trackLength, int thickness, const ScrollRange& range, int minThumb) {
    const std::int64_t span = std::int64_t(range.max) - range.min + 1;
    if (span <= 0 || ScrollMaxPos(range) <= range.min)
        return 0;
    int length = range.page > 0 ? int(std::int64_t(trackLength) * range.page / span) : thickness;
    length = std::max(length, minThumb);
    return length > trackLength ? 0 : length;
}

} // namespace

int ScrollMaxPos(const ScrollRange& range) {
    // Wide: the system's values may span all of an int.
    const std::int64_t last =
        std::int64_t(range.max) - std::max<std::int64_t>(std::int64_t(range.page) - 1, 0);
    return int(std::max<std::int64_t>(range.min, last));
}

int ScrollAlong(ScrollAxis axis, int x, int y) {
    return IsVertical(axis) ? y : x;
}

int ScrollStartAlong(ScrollAxis axis, const PixelRect& part) {
    return IsVertical(axis) ? part.y : part.x;
}

ScrollLayout ScrollLayoutOf(const PixelRect& bar, ScrollAxis axis, const ScrollRange& range, int minThumb) {
    ScrollLayout l;
    l.axis = axis;
    l.bar = bar;
    const int length = std::max(Length(axis, bar), 0);
    const int thickness = std::max(Thickness(axis, bar), 0);
    const int arrow = std::min(thickness, length / 2);
    const int trackLength = length - 2 * arrow;
    l.arrowStart = Along(axis, bar, 0, arrow);
    l.arrowEnd = Along(axis, bar, length - arrow, arrow);
    l.track = Along(axis, bar, arrow, trackLength);
    const int thumb = ThumbLength(trackLength, thickness, range, std::max(minThumb, 1));
    if (thumb > 0) {
        const int maxPos = ScrollMaxPos(range);
        const int pos = std::clamp(range.pos, range.min, maxPos);
        const int offset = int(MulDivRound(trackLength - thumb, std::int64_t(pos) - range.min,
                                           std::int64_t(maxPos) - range.min));
        l.thumb = Along(axis, bar, arrow + offset, thumb);
    }
    PagesSet(l);
    return l;
}

ScrollLayout ScrollLayoutDragged(const ScrollLayout& layout, int thumbStart) {
    if (!layout.HasThumb())
        return layout;
    ScrollLayout l = layout;
    const int thumb = Length(l.axis, l.thumb);
    const int trackStart = ScrollStartAlong(l.axis, l.track);
    const int start = std::clamp(thumbStart, trackStart, trackStart + Length(l.axis, l.track) - thumb);
    l.thumb = Along(l.axis, l.bar, start - ScrollStartAlong(l.axis, l.bar), thumb);
    PagesSet(l);
    return l;
}

int ScrollPosFromThumb(const ScrollLayout& layout, const ScrollRange& range, int thumbStart) {
    const int maxPos = ScrollMaxPos(range);
    if (!layout.HasThumb())
        return std::clamp(range.pos, range.min, maxPos);
    const int room = Length(layout.axis, layout.track) - Length(layout.axis, layout.thumb);
    if (room <= 0)
        return range.min;
    const int offset = std::clamp(thumbStart - ScrollStartAlong(layout.axis, layout.track), 0, room);
    return int(range.min + MulDivRound(offset, std::int64_t(maxPos) - range.min, room));
}

ScrollPart ScrollHitTest(const ScrollLayout& l, int x, int y) {
    if (!l.bar.Contains(x, y))
        return ScrollPart::None;
    if (l.arrowStart.Contains(x, y))
        return ScrollPart::ArrowStart;
    if (l.arrowEnd.Contains(x, y))
        return ScrollPart::ArrowEnd;
    if (l.thumb.Contains(x, y))
        return ScrollPart::Thumb;
    if (l.pageStart.Contains(x, y))
        return ScrollPart::PageStart;
    if (l.pageEnd.Contains(x, y))
        return ScrollPart::PageEnd;
    return ScrollPart::None;
}

bool ScrollDragHolds(const ScrollLayout& l, int x, int y) {
    const int thickness = Thickness(l.axis, l.bar);
    const int across = 8 * thickness;
    const int along = 2 * thickness;
    PixelRect zone = l.bar;
    if (IsVertical(l.axis))
        zone = {zone.x - across, zone.y - along, zone.width + 2 * across, zone.height + 2 * along};
    else
        zone = {zone.x - along, zone.y - across, zone.width + 2 * along, zone.height + 2 * across};
    return zone.Contains(x, y);
}

ScrollLook ScrollPartLook(ScrollPart part, const ScrollPointer& pointer, bool disabled) {
    if (disabled)
        return ScrollLook::Disabled;
    if (pointer.pressed != ScrollPart::None) {
        const bool held = pointer.pressed == part && (pointer.pressedInside || part == ScrollPart::Thumb);
        return held ? ScrollLook::Pressed : ScrollLook::Normal;
    }
    return pointer.hot == part ? ScrollLook::Hot : ScrollLook::Normal;
}

ScrollArrow ScrollArrowAt(ScrollAxis axis, bool start) {
    if (IsVertical(axis))
        return start ? ScrollArrow::Up : ScrollArrow::Down;
    return start ? ScrollArrow::Left : ScrollArrow::Right;
}

// Read from the stored arrows.bmp: image i points up, down, left or right as i mod 4, and its face is,
// by i mod 8, normal, hot, pressed, disabled, normal, hot, grey (a quiet normal) and normal. Each
// direction thus has only some of the faces; where one is missing the arrow keeps a face it has, so
// that no arrow ever points the wrong way.
int ScrollArrowImage(ScrollArrow arrow, ScrollLook look) {
    static constexpr int kImages[4][4] = {
        // normal, hot, pressed, disabled
        {0, 0, 0, 0}, // up: every up image has the normal face
        {1, 1, 1, 1}, // down: every down image has the hot face
        {6, 6, 2, 6}, // left: grey (6, 14, 22) and pressed (2, 10, 18) faces
        {7, 7, 7, 3}, // right: normal (7, 15) and disabled (3, 11, 19) faces
    };
    return kImages[int(arrow)][int(look)];
}

int ScrollTrackImage(ScrollLook look) {
    return int(look);
}

int ScrollThumbImage(ScrollLook look) {
    return look == ScrollLook::Disabled ? 0 : int(look);
}

int ScrollThumbMinimum(const ImageSkin& thumb, ScrollAxis axis) {
    const int ends =
        IsVertical(axis) ? thumb.topHeight + thumb.bottomHeight : thumb.leftWidth + thumb.rightWidth;
    return std::max(kScrollThumbMinimum, ends);
}

bool ScrollSkinComplete(const SkinModel& skin) {
    for (const auto* part :
         {&skin.scrollbar, &skin.vertScroll, &skin.horzScroll, &skin.vertScrollThumb, &skin.horzScrollThumb})
        if (!*part || (*part)->image.Empty())
            return false;
    return true;
}

} // namespace veltrane
