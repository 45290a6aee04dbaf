#include "toolkit/win/GdiDraw.h"

#include <algorithm>
#include <cstdint>

#include "platform/Bitmaps.h"
#include "platform/Paint.h"

namespace veltrane {

void SolidFill(HDC dc, const RECT& area, COLORREF colour) {
    const HGDIOBJ brush = ::SelectObject(dc, ::GetStockObject(DC_BRUSH));
    const COLORREF previous = ::SetDCBrushColor(dc, colour);
    ::PatBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, PATCOPY);
    ::SetDCBrushColor(dc, previous);
    ::SelectObject(dc, brush);
}

void SolidFrame(HDC dc, const RECT& area, COLORREF colour) {
    SolidFill(dc, {area.left, area.top, area.right, area.top + 1}, colour);
    SolidFill(dc, {area.left, area.bottom - 1, area.right, area.bottom}, colour);
    SolidFill(dc, {area.left, area.top + 1, area.left + 1, area.bottom - 1}, colour);
    SolidFill(dc, {area.right - 1, area.top + 1, area.right, area.bottom - 1}, colour);
}

// The bands as a strip one pixel across, stretched over the area: one GDI call for all of them.
void BandsFill(HDC dc, const RECT& area, BandAxis axis, const std::vector<GradientBand>& bands) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    const int extent = axis == BandAxis::Rows ? height : width;
    if (width <= 0 || height <= 0)
        return;
    std::vector<std::uint32_t> strip(std::size_t(extent), 0);
    for (const GradientBand& band : bands) {
        const std::uint32_t pixel =
            RedOf(band.colour) << 16 | GreenOf(band.colour) << 8 | BlueOf(band.colour);
        const int end = std::min(extent, band.offset + band.length);
        for (int i = std::max(band.offset, 0); i < end; ++i)
            strip[std::size_t(i)] = pixel;
    }
    const int stripWidth = axis == BandAxis::Rows ? 1 : extent;
    const int stripHeight = axis == BandAxis::Rows ? extent : 1;
    const BITMAPINFO info = Dib32Info(stripWidth, stripHeight);
    ::StretchDIBits(dc, area.left, area.top, width, height, 0, 0, stripWidth, stripHeight, strip.data(),
                    &info, DIB_RGB_COLORS, SRCCOPY);
}

void BlendFill(HDC dc, const RECT& area, const Blend& blend, int count) {
    BandsFill(dc, area, BandAxis::Rows,
              EvenBlendBands(blend.top, blend.bottom, count, area.bottom - area.top));
}

namespace {

// One piece with a key colour: TransparentBlt both copies and stretches.
void KeyedPieceDraw(HDC target, HDC source, const PixelRect& d, const PixelRect& s, COLORREF key) {
    ::TransparentBlt(target, d.x, d.y, d.width, d.height, source, s.x, s.y, s.width, s.height, key);
}

void PieceDraw(HDC target, HDC source, const PixelRect& d, const PixelRect& s, bool stretch,
               std::optional<COLORREF> key) {
    if (key)
        KeyedPieceDraw(target, source, d, s, *key);
    else if (stretch)
        ::StretchBlt(target, d.x, d.y, d.width, d.height, source, s.x, s.y, s.width, s.height, SRCCOPY);
    else
        ::BitBlt(target, d.x, d.y, d.width, d.height, source, s.x, s.y, SRCCOPY);
}

} // namespace

void SkinPiecesDraw(HDC target, HDC source, std::span<const SkinPiece> pieces,
                    std::optional<COLORREF> transparent) {
    ::SetStretchBltMode(target, COLORONCOLOR);
    for (const SkinPiece& p : pieces) {
        const PixelRect& s = p.source;
        const PixelRect& d = p.dest;
        if (s.Empty() || d.Empty())
            continue;
        if (p.fill != SkinFill::Tile) {
            PieceDraw(target, source, d, s, p.fill == SkinFill::Stretch, transparent);
            continue;
        }
        for (int y = 0; y < d.height; y += s.height)
            for (int x = 0; x < d.width; x += s.width) {
                const int w = std::min(s.width, d.width - x);
                const int h = std::min(s.height, d.height - y);
                PieceDraw(target, source, {d.x + x, d.y + y, w, h}, {s.x, s.y, w, h}, false, transparent);
            }
    }
}

void SkinBitmapDraw(HDC target, HDC source, HBITMAP bitmap, std::span<const SkinPiece> pieces,
                    std::optional<COLORREF> transparent) {
    if (!bitmap)
        return;
    ScopedSelect selected(source, bitmap);
    SkinPiecesDraw(target, source, pieces, transparent);
}

RECT RectInset(const RECT& area, int by) {
    return {area.left + by, area.top + by, area.right - by, area.bottom - by};
}

RECT RectOf(const PixelRect& r) {
    return {r.x, r.y, r.x + r.width, r.y + r.height};
}

PixelRect PixelRectOf(const RECT& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

PixelSize SizeOf(const RECT& area) {
    return {area.right - area.left, area.bottom - area.top};
}

} // namespace veltrane
