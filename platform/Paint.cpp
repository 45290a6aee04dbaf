#include "platform/Paint.h"

namespace veltrane {

DoubleBuffer::DoubleBuffer(HDC target, const RECT& area) : target_(target), area_(area), memory_(target) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (!memory_ || width <= 0 || height <= 0)
        return;
    bitmap_.Reset(::CreateCompatibleBitmap(target, width, height));
    if (!bitmap_)
        return;
    previous_ = ::SelectObject(memory_.Get(), bitmap_.Get());
    ::SetViewportOrgEx(memory_.Get(), -area.left, -area.top, nullptr);
    // Text and fills start from the target's settings.
    ::SelectObject(memory_.Get(), ::GetCurrentObject(target, OBJ_FONT));
    buffered_ = true;
}

DoubleBuffer::~DoubleBuffer() {
    if (!buffered_)
        return;
    ::SetViewportOrgEx(memory_.Get(), 0, 0, nullptr);
    ::BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top,
             memory_.Get(), 0, 0, SRCCOPY);
    ::SelectObject(memory_.Get(), previous_);
}

HBRUSH GdiCache::Brush(COLORREF color) {
    UniqueBrush& brush = brushes_[color];
    if (!brush)
        brush.Reset(::CreateSolidBrush(color));
    return brush.Get();
}

HPEN GdiCache::Pen(COLORREF color, int width) {
    UniquePen& pen = pens_[{color, width}];
    if (!pen)
        pen.Reset(::CreatePen(PS_SOLID, width, color));
    return pen.Get();
}

} // namespace veltrane
