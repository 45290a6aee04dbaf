#include "toolkit/win/TGradientBackground.h"

#include <algorithm>

namespace veltrane {

namespace {

Rgb SystemColourRead(SystemColour index) {
    return Rgb(::GetSysColor(int(index)));
}

// The band tile, `tile` pixels across, copied along the rest of `size` in doubling steps.
void TileReplicate(HDC dc, BandAxis axis, PixelSize size, int tile) {
    const int total = axis == BandAxis::Rows ? size.width : size.height;
    for (int done = tile; done < total; done *= 2) {
        const int part = std::min(done, total - done);
        if (axis == BandAxis::Rows)
            ::BitBlt(dc, done, 0, part, size.height, dc, 0, 0, SRCCOPY);
        else
            ::BitBlt(dc, 0, done, size.width, part, dc, 0, 0, SRCCOPY);
    }
}

void GradientDraw(HDC dc, const GradientPlan& plan, PixelSize size) {
    if (plan.plain) {
        SolidFill(dc, {0, 0, size.width, size.height}, plan.bands.front().colour);
        return;
    }
    const int tile = std::min(kGradientTile, plan.axis == BandAxis::Rows ? size.width : size.height);
    const RECT tileArea =
        plan.axis == BandAxis::Rows ? RECT{0, 0, tile, size.height} : RECT{0, 0, size.width, tile};
    BandsFill(dc, tileArea, plan.axis, plan.bands);
    TileReplicate(dc, plan.axis, size, tile);
}

} // namespace

TGradientBackground::TGradientBackground() : GradientBackgroundProperties(&SystemColourRead) {}

TGradientBackground::Snapshot TGradientBackground::Current(PixelSize size) const {
    return {size,
            PaintsGradient(),
            GradientColorStart(),
            GradientColorStop(),
            GradientDirection(),
            GradientSmoothFactor()};
}

HDC TGradientBackground::Rendered(PixelSize size) {
    const Snapshot wanted = Current(GradientBitmapSize(size));
    if (bitmap_.Get() && rendered_ == wanted)
        return bitmap_.Get();
    const SIZE held = bitmap_.Size();
    const bool sameSize = held.cx == wanted.size.width && held.cy == wanted.size.height;
    if (!(bitmap_.Get() && sameSize) && !bitmap_.Make({wanted.size.width, wanted.size.height}))
        return nullptr;
    rendered_ = wanted;
    HDC dc = bitmap_.Get();
    // No texture or picture layer is ever set: what lies under the gradient is the panel colour.
    SolidFill(dc, {0, 0, wanted.size.width, wanted.size.height}, ::GetSysColor(COLOR_BTNFACE));
    if (wanted.gradient)
        if (const auto plan = Plan(wanted.size))
            GradientDraw(dc, *plan, wanted.size);
    return dc;
}

void TGradientBackground::Paint(HDC dc, const RECT& area) {
    const PixelSize size = SizeOf(area);
    if (size.width <= 0 || size.height <= 0)
        return;
    const int inset = FrameInset(FrameStyle());
    if (HDC rendered = Rendered(size))
        ::BitBlt(dc, area.left + inset, area.top + inset, size.width - 2 * inset, size.height - 2 * inset,
                 rendered, 0, 0, SRCCOPY);
    PaintFrame(dc, area);
}

void TGradientBackground::PaintFrame(HDC dc, const RECT& area) const {
    RECT edge = area;
    switch (FrameStyle()) {
    case fsNone:
        return;
    case fsFlat:
        SolidFrame(dc, area, FrameColor());
        return;
    case fsStatus:
        ::DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
        return;
    case fsPopup:
        ::DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
        return;
    case fsGroove:
        ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
        return;
    case fsBump:
        ::DrawEdge(dc, &edge, EDGE_BUMP, BF_RECT);
        return;
    case fsLowered:
        ::DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
        return;
    case fsRaised:
        ::DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
        return;
    }
}

void TGradientBackground::AttachTo(Panel& panel) {
    panel.SetPainter([this](HDC dc, const RECT& area) { Paint(dc, area); });
}

} // namespace veltrane
