#include "platform/Paint.h"

#include <algorithm>

namespace veltrane {

bool BitmapDC::Make(SIZE size) {
    Reset();
    ScreenDC screen;
    dc_.emplace(screen.Get());
    if (*dc_ && size.cx > 0 && size.cy > 0)
        bitmap_.Reset(::CreateCompatibleBitmap(screen.Get(), size.cx, size.cy));
    if (!bitmap_) {
        Reset();
        return false;
    }
    selected_.emplace(dc_->Get(), bitmap_.Get());
    size_ = size;
    return true;
}

bool BitmapDC::Hold(SIZE size) {
    if (Get() && size_.cx >= size.cx && size_.cy >= size.cy)
        return true;
    return Make({std::max(size_.cx, size.cx), std::max(size_.cy, size.cy)});
}

void BitmapDC::Reset() {
    selected_.reset();
    bitmap_.Reset();
    dc_.reset();
    size_ = {};
}

BufferedPaint::BufferedPaint(BitmapDC& store, HDC target, const RECT& area)
    : store_(store), target_(target), area_(area) {
    const SIZE size{area.right - area.left, area.bottom - area.top};
    if (size.cx <= 0 || size.cy <= 0 || !store.Hold(size))
        return;
    ::SetViewportOrgEx(store.Get(), -area.left, -area.top, nullptr);
    // Text starts from the target's font, as if drawn there.
    previousFont_ = ::SelectObject(store.Get(), ::GetCurrentObject(target, OBJ_FONT));
    buffered_ = true;
}

BufferedPaint::~BufferedPaint() {
    if (!buffered_)
        return;
    ::SetViewportOrgEx(store_.Get(), 0, 0, nullptr);
    ::BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, store_.Get(),
             0, 0, SRCCOPY);
    ::SelectObject(store_.Get(), previousFont_);
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
