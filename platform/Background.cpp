#include "platform/Background.h"

#include <algorithm>

#include "platform/Paint.h"

namespace veltrane {

namespace {

constexpr wchar_t kProviderProperty[] = L"Veltrane.Background";

POINT OffsetWithin(HWND control, HWND holder) {
    POINT origin{0, 0};
    ::MapWindowPoints(control, holder, &origin, 1);
    return origin;
}

struct Holder {
    HWND window = nullptr;
    BackgroundProvider* provider = nullptr;
};

Holder NearestHolder(HWND control) {
    for (HWND w = ::GetParent(control); w; w = ::GetParent(w)) {
        if (auto* provider = static_cast<BackgroundProvider*>(::GetPropW(w, kProviderProperty)))
            return {w, provider};
        if (!(::GetWindowLongW(w, GWL_STYLE) & WS_CHILD))
            break;
    }
    return {};
}

} // namespace

void BackgroundProvider::ProvideFor(HWND window) {
    Withdraw();
    window_ = window;
    ::SetPropW(window, kProviderProperty, this);
}

void BackgroundProvider::Withdraw() {
    if (window_ && ::GetPropW(window_, kProviderProperty) == this)
        ::RemovePropW(window_, kProviderProperty);
    window_ = nullptr;
}

HBRUSH BackgroundProvider::BrushFor(HWND control, HDC controlDc) {
    ::SetBkMode(controlDc, TRANSPARENT);
    const COLORREF solid = SolidBackground();
    if (solid != CLR_INVALID) {
        ::SetBkColor(controlDc, solid);
        if (!solid_ || solidColour_ != solid) {
            solid_.Reset(::CreateSolidBrush(solid));
            solidColour_ = solid;
        }
        return solid_.Get();
    }
    RECT client{};
    ::GetClientRect(window_, &client);
    const SIZE size{client.right, client.bottom};
    if (!pattern_ || size.cx != patternSize_.cx || size.cy != patternSize_.cy) {
        // The whole background as a pattern brush: a control's fill then lines up with it.
        BitmapDC picture;
        if (picture.Make({std::max<LONG>(size.cx, 1), std::max<LONG>(size.cy, 1)}))
            PaintBackground(picture.Get(), client);
        pattern_.Reset(::CreatePatternBrush(picture.Bitmap()));
        patternSize_ = size;
    }
    const POINT offset = OffsetWithin(control, window_);
    ::SetBrushOrgEx(controlDc, -offset.x, -offset.y, nullptr);
    return pattern_.Get();
}

BackgroundProvider* BackgroundProviderOf(HWND control) {
    return NearestHolder(control).provider;
}

bool ParentBackgroundPaint(HWND control, HDC dc) {
    const Holder holder = NearestHolder(control);
    if (!holder.provider)
        return false;
    RECT area{};
    ::GetClientRect(control, &area);
    const POINT offset = OffsetWithin(control, holder.window);
    ::OffsetRect(&area, offset.x, offset.y);
    POINT previous{};
    ::OffsetViewportOrgEx(dc, -offset.x, -offset.y, &previous);
    holder.provider->PaintBackground(dc, area);
    ::SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
    return true;
}

} // namespace veltrane
