#include "toolkit/win/GdiDraw.h"

#include <algorithm>
#include <cstdint>

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
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), stripWidth, -stripHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ::StretchDIBits(dc, area.left, area.top, width, height, 0, 0, stripWidth, stripHeight, strip.data(),
                    &info, DIB_RGB_COLORS, SRCCOPY);
}

void BlendFill(HDC dc, const RECT& area, const Blend& blend, int count) {
    BandsFill(dc, area, BandAxis::Rows,
              EvenBlendBands(blend.top, blend.bottom, count, area.bottom - area.top));
}

bool BitmapDC::Make(PixelSize size) {
    Reset();
    ScreenDC screen;
    dc_ = ::CreateCompatibleDC(screen.Get());
    bitmap_ = dc_ ? ::CreateCompatibleBitmap(screen.Get(), size.width, size.height) : nullptr;
    if (!bitmap_) {
        Reset();
        return false;
    }
    previous_ = ::SelectObject(dc_, bitmap_);
    size_ = size;
    return true;
}

void BitmapDC::Reset() {
    if (dc_ && previous_)
        ::SelectObject(dc_, previous_);
    if (bitmap_)
        ::DeleteObject(bitmap_);
    if (dc_)
        ::DeleteDC(dc_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    previous_ = nullptr;
    size_ = {};
}

BufferedPaint::BufferedPaint(BitmapDC& store, HDC target, const RECT& area)
    : store_(store), target_(target), area_(area) {
    const PixelSize size = SizeOf(area);
    if (size.width <= 0 || size.height <= 0)
        return;
    const PixelSize held = store.Size();
    if (!store.Get() || held.width < size.width || held.height < size.height)
        if (!store.Make({std::max(held.width, size.width), std::max(held.height, size.height)}))
            return;
    ::SetViewportOrgEx(store.Get(), -area.left, -area.top, nullptr);
    buffered_ = true;
}

BufferedPaint::~BufferedPaint() {
    if (!buffered_)
        return;
    ::SetViewportOrgEx(store_.Get(), 0, 0, nullptr);
    ::BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, store_.Get(),
             0, 0, SRCCOPY);
}

RECT RectInset(const RECT& area, int by) {
    return {area.left + by, area.top + by, area.right - by, area.bottom - by};
}

RECT ToRect(const PixelRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

PixelSize SizeOf(const RECT& area) {
    return {area.right - area.left, area.bottom - area.top};
}

} // namespace veltrane
