#include "toolkit/skinning/FrameGeometry.h"

#include <algorithm>
#include <array>

namespace veltrane {

namespace {

// One axis of a three-part slice.
struct Span {
    int source = 0, sourceLength = 0, dest = 0, destLength = 0;
};

// Ends `a` and `b` keep their size; the middle takes what is left. Ends that do not fit are cut
// from the inside so that their outer pixels stay.
std::array<Span, 3> Slice3(int sourceStart, int sourceLength, int a, int b, int destStart, int destLength) {
    sourceLength = std::max(sourceLength, 0);
    destLength = std::max(destLength, 0);
    a = std::clamp(a, 0, sourceLength);
    b = std::clamp(b, 0, sourceLength - a);
    const int da = std::min(a, destLength);
    const int db = std::min(b, destLength - da);
    return {{
        {sourceStart, da, destStart, da},
        {sourceStart + a, sourceLength - a - b, destStart + da, destLength - da - db},
        {sourceStart + sourceLength - db, db, destStart + destLength - db, db},
    }};
}

void PieceAdd(std::vector<SkinPiece>& out, const Span& h, const Span& v, SkinFill fill) {
    if (h.sourceLength <= 0 || v.sourceLength <= 0 || h.destLength <= 0 || v.destLength <= 0)
        return;
    const bool sameSize = h.sourceLength == h.destLength && v.sourceLength == v.destLength;
    out.push_back({{h.source, v.source, h.sourceLength, v.sourceLength},
                   {h.dest, v.dest, h.destLength, v.destLength},
                   sameSize ? SkinFill::Copy : fill});
}

bool Horizontal(FrameSide side) {
    return side == FrameSide::Top || side == FrameSide::Bottom;
}

const FrameEdge& EdgeOf(const SkinModel& skin, FrameSide side) {
    switch (side) {
    case FrameSide::Top:
        return skin.top;
    case FrameSide::Bottom:
        return skin.bottom;
    case FrameSide::Left:
        return skin.left;
    case FrameSide::Right:
        break;
    }
    return skin.right;
}

int EdgeThickness(const FrameEdge& edge, FrameSide side) {
    const PixelRect cell = FrameEdgeSource(edge, side, true);
    return Horizontal(side) ? cell.height : cell.width;
}

} // namespace

PixelRect ImageCell(int bitmapWidth, int bitmapHeight, int count, int index, bool stacked) {
    count = std::max(count, 1);
    index = std::clamp(index, 0, count - 1);
    if (stacked) {
        const int h = bitmapHeight / count;
        return {0, index * h, bitmapWidth, h};
    }
    const int w = bitmapWidth / count;
    return {index * w, 0, w, bitmapHeight};
}

std::vector<SkinPiece> NineGrid(const PixelRect& source, const ImageMargins& margins, const PixelRect& dest) {
    const auto cols =
        Slice3(source.x, source.width, margins.leftWidth, margins.rightWidth, dest.x, dest.width);
    const auto rows =
        Slice3(source.y, source.height, margins.topHeight, margins.bottomHeight, dest.y, dest.height);
    const SkinFill fill = margins.tile ? SkinFill::Tile : SkinFill::Stretch;
    std::vector<SkinPiece> out;
    for (const Span& row : rows)
        for (const Span& col : cols)
            PieceAdd(out, col, row, fill);
    return out;
}

std::vector<SkinPiece> ImageSkinPieces(const ImageSkin& skin, int index, const PixelRect& dest) {
    const PixelRect cell = ImageCell(skin.image.Width(), skin.image.Height(), skin.imageCount, index);
    return NineGrid(cell, skin, dest);
}

SunkEdgeLook SunkEdgeLookOf(bool enabled, bool focused, bool hot) {
    if (!enabled)
        return SunkEdgeLook::Disabled;
    if (focused)
        return SunkEdgeLook::Focused;
    return hot ? SunkEdgeLook::Hot : SunkEdgeLook::Normal;
}

PixelRect FrameEdgeSource(const FrameEdge& edge, FrameSide side, bool active) {
    const int index = active ? 0 : 1;
    return ImageCell(edge.bitmap.Width(), edge.bitmap.Height(), edge.imageCount, index, Horizontal(side));
}

FrameThickness FrameThicknessOf(const SkinModel& skin) {
    return {EdgeThickness(skin.top, FrameSide::Top), EdgeThickness(skin.bottom, FrameSide::Bottom),
            EdgeThickness(skin.left, FrameSide::Left), EdgeThickness(skin.right, FrameSide::Right)};
}

FrameLayout FrameLayoutOf(const SkinModel& skin, int windowWidth, int windowHeight) {
    const FrameThickness t = FrameThicknessOf(skin);
    const int top = std::min(t.top, windowHeight);
    const int bottom = std::min(t.bottom, windowHeight - top);
    const int sideHeight = windowHeight - top - bottom;
    const int left = std::min(t.left, windowWidth);
    const int right = std::min(t.right, windowWidth - left);
    FrameLayout l;
    l.window = {0, 0, windowWidth, windowHeight};
    l.top = {0, 0, windowWidth, top};
    l.bottom = {0, windowHeight - bottom, windowWidth, bottom};
    l.left = {0, top, left, sideHeight};
    l.right = {windowWidth - right, top, right, sideHeight};
    l.client = {left, top, windowWidth - left - right, sideHeight};
    return l;
}

PixelSize FrameOuterSize(const SkinModel& skin, int clientWidth, int clientHeight) {
    const FrameThickness t = FrameThicknessOf(skin);
    return {clientWidth + t.left + t.right, clientHeight + t.top + t.bottom};
}

std::vector<SkinPiece> FrameEdgePieces(const FrameEdge& edge, FrameSide side, bool active,
                                       const PixelRect& dest) {
    const PixelRect source = FrameEdgeSource(edge, side, active);
    const SkinFill fill = edge.stretch ? SkinFill::Stretch : SkinFill::Tile;
    std::vector<SkinPiece> out;
    if (Horizontal(side)) {
        const Span across{source.y, source.height, dest.y, dest.height};
        for (const Span& along :
             Slice3(source.x, source.width, edge.topHeight, edge.botHeight, dest.x, dest.width))
            PieceAdd(out, along, across, fill);
    } else {
        const Span across{source.x, source.width, dest.x, dest.width};
        for (const Span& along :
             Slice3(source.y, source.height, edge.topHeight, edge.botHeight, dest.y, dest.height))
            PieceAdd(out, across, along, fill);
    }
    return out;
}

std::vector<SkinPiece> FramePieces(const SkinModel& skin, int windowWidth, int windowHeight, bool active) {
    const FrameLayout l = FrameLayoutOf(skin, windowWidth, windowHeight);
    std::vector<SkinPiece> out;
    const std::pair<FrameSide, PixelRect> edges[] = {{FrameSide::Top, l.top},
                                                     {FrameSide::Bottom, l.bottom},
                                                     {FrameSide::Left, l.left},
                                                     {FrameSide::Right, l.right}};
    for (const auto& [side, dest] : edges) {
        const auto pieces = FrameEdgePieces(EdgeOf(skin, side), side, active, dest);
        out.insert(out.end(), pieces.begin(), pieces.end());
    }
    return out;
}

CaptionTextPlace CaptionTextPlaceOf(const SkinModel& skin, int windowWidth, bool active) {
    const CaptionTitle& t = skin.title;
    const int captionHeight = FrameThicknessOf(skin).top;
    CaptionTextPlace place;
    place.rect = {t.textShift, t.textShiftVert, std::max(0, windowWidth - t.textRightClip - t.textShift),
                  captionHeight};
    // TextAlignment counts as the class library's alignment: left, right, centre.
    place.align = t.textAlignment == 1   ? CaptionAlign::Right
                  : t.textAlignment == 2 ? CaptionAlign::Centre
                                         : CaptionAlign::Left;
    // The caption's own colours first, the [Colours] title colours where they are missing.
    const std::optional<Rgb>& own = active ? t.activeText : t.inactiveText;
    place.colour = own.value_or(active ? skin.colours.titleTextActive : skin.colours.titleTextNoActive);
    place.fontHeight = t.fontHeight;
    return place;
}

PixelRect CaptionIconRect(const SkinModel& skin, int iconSize) {
    const FrameThickness t = FrameThicknessOf(skin);
    constexpr int kGap = 2;
    return {t.left + kGap, (t.top - iconSize) / 2, iconSize, iconSize};
}

std::vector<CaptionButtonPlace> CaptionButtonsPlace(const SkinModel& skin, int windowWidth,
                                                    const CaptionButtonNeeds& needs) {
    std::vector<CaptionButtonPlace> out;
    for (std::size_t i = 0; i < skin.captionButtons.size(); ++i) {
        const CaptionButton& b = skin.captionButtons[i];
        if (b.bitmap.Empty() || (b.align != 0 && b.align != 1))
            continue; // the menu bar's MDI buttons align 100
        bool wanted = false;
        switch (b.action) {
        case kCaptionActionClose:
            wanted = needs.close;
            break;
        case kCaptionActionMaxRestore:
            wanted = needs.maximize;
            break;
        case kCaptionActionMinimize:
            wanted = needs.minimize;
            break;
        default:
            break;
        }
        if (b.visibility == 1 && !needs.maximized)
            wanted = false;
        if (b.visibility == 2 && needs.maximized)
            wanted = false;
        if (!wanted)
            continue;
        const PixelRect cell = CaptionButtonSource(b, CaptionButtonLook::Normal, true);
        const int x = b.align == 1 ? windowWidth - b.xcoord : b.xcoord;
        out.push_back({int(i), b.action, {x, b.ycoord, cell.width, cell.height}});
    }
    return out;
}

PixelRect CaptionButtonSource(const CaptionButton& button, CaptionButtonLook look, bool active) {
    const int count = std::max(button.imageCount, 1);
    int index = int(look);
    if (!active && count >= 6)
        index += 3;
    if (button.source) {
        const PixelRect& s = *button.source;
        PixelRect cell = ImageCell(s.width, s.height, count, index);
        cell.x += s.x;
        cell.y += s.y;
        return cell;
    }
    return ImageCell(button.bitmap.Width(), button.bitmap.Height(), count, index);
}

FrameHitResult FrameHitTest(const FrameLayout& layout, const std::vector<CaptionButtonPlace>& buttons,
                            const PixelRect& icon, int x, int y, bool sizable) {
    const PixelRect& w = layout.window;
    if (!w.Contains(x, y))
        return {FrameHit::Nowhere};
    if (layout.client.Contains(x, y))
        return {FrameHit::Client};
    if (sizable) {
        // The top edge sizes in a band as thick as the side frames; the rest of it is caption.
        const int grip = std::max(layout.left.width, 1);
        const bool left = x < w.x + layout.left.width;
        const bool right = x >= w.x + w.width - layout.right.width;
        const bool top = y < w.y + grip;
        const bool bottom = y >= w.y + w.height - layout.bottom.height;
        const bool nearLeft = x < w.x + kFrameCornerGrip;
        const bool nearRight = x >= w.x + w.width - kFrameCornerGrip;
        const bool nearTop = y < w.y + kFrameCornerGrip;
        const bool nearBottom = y >= w.y + w.height - kFrameCornerGrip;
        if (top || left || right || bottom) {
            if ((top && nearLeft) || (left && nearTop))
                return {FrameHit::TopLeft};
            if ((top && nearRight) || (right && nearTop))
                return {FrameHit::TopRight};
            if ((bottom && nearLeft) || (left && nearBottom))
                return {FrameHit::BottomLeft};
            if ((bottom && nearRight) || (right && nearBottom))
                return {FrameHit::BottomRight};
            if (top)
                return {FrameHit::Top};
            if (bottom)
                return {FrameHit::Bottom};
            return {left ? FrameHit::Left : FrameHit::Right};
        }
    }
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].rect.Contains(x, y))
            return {FrameHit::Button, int(i)};
    if (icon.Contains(x, y))
        return {FrameHit::SysMenu};
    if (layout.top.Contains(x, y))
        return {FrameHit::Caption};
    return {FrameHit::Border};
}

} // namespace veltrane
