#include "toolkit/win/SkinnedFrame.h"

#include <dwmapi.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <utility>

#include "platform/Dwm.h"
#include "platform/Paint.h"
#include "platform/Window.h"
#include "toolkit/skinning/FrameMessages.h"
#include "toolkit/win/GdiDraw.h"
#include "toolkit/win/ControlLook.h"

namespace veltrane {

namespace {

static_assert(frame_message::kSetText == WM_SETTEXT && frame_message::kSetIcon == WM_SETICON &&
              frame_message::kNcActivate == WM_NCACTIVATE && frame_message::kNcMouseMove == WM_NCMOUSEMOVE &&
              frame_message::kNcLButtonDown == WM_NCLBUTTONDOWN &&
              frame_message::kNcLButtonDblClk == WM_NCLBUTTONDBLCLK &&
              frame_message::kNcRButtonUp == WM_NCRBUTTONUP && frame_message::kSysCommand == WM_SYSCOMMAND &&
              frame_message::kNcMouseLeave == WM_NCMOUSELEAVE &&
              frame_message::kDwmCompositionChanged == WM_DWMCOMPOSITIONCHANGED);
static_assert(DWORD(NonClientRendering::UseWindowStyle) == DWMNCRP_USEWINDOWSTYLE &&
              DWORD(NonClientRendering::Disabled) == DWMNCRP_DISABLED);

UINT AlignFlag(CaptionAlign align) {
    switch (align) {
    case CaptionAlign::Right:
        return DT_RIGHT;
    case CaptionAlign::Centre:
        return DT_CENTER;
    case CaptionAlign::Left:
        break;
    }
    return DT_LEFT;
}

bool IsButtonHitCode(WPARAM hit) {
    return hit == HTCLOSE || hit == HTMAXBUTTON || hit == HTMINBUTTON;
}

// Moves and sizes a window to `outer`, keeping its centre where it was. The frame changes around the
// same client area, which moves within the window and on the screen: its old pixels are not kept
// (Wine's copy of them between window surfaces of different sizes leaves strips black that it still
// counts as painted), so the whole client area is painted anew.
void OuterSizeKeepingCentre(HWND window, SIZE outer) {
    RECT r{};
    ::GetWindowRect(window, &r);
    if (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD)
        ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    const int x = r.left + ((r.right - r.left) - outer.cx) / 2;
    const int y = r.top + ((r.bottom - r.top) - outer.cy) / 2;
    ::SetWindowPos(window, nullptr, x, y, outer.cx, outer.cy,
                   SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOCOPYBITS);
}

UINT_PTR ButtonCommand(HWND window, int action) {
    switch (action) {
    case kCaptionActionMaxRestore:
        return ::IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE;
    case kCaptionActionMinimize:
        return SC_MINIMIZE;
    default:
        break;
    }
    return SC_CLOSE;
}

} // namespace

LRESULT FrameHitCode(FrameHit hit, int buttonAction) {
    switch (hit) {
    case FrameHit::Nowhere:
        return HTNOWHERE;
    case FrameHit::Client:
        return HTCLIENT;
    case FrameHit::Caption:
        return HTCAPTION;
    case FrameHit::SysMenu:
        return HTSYSMENU;
    case FrameHit::Button:
        return buttonAction == kCaptionActionMaxRestore ? HTMAXBUTTON
               : buttonAction == kCaptionActionMinimize ? HTMINBUTTON
                                                        : HTCLOSE;
    case FrameHit::Border:
        return HTBORDER;
    case FrameHit::Left:
        return HTLEFT;
    case FrameHit::Right:
        return HTRIGHT;
    case FrameHit::Top:
        return HTTOP;
    case FrameHit::Bottom:
        return HTBOTTOM;
    case FrameHit::TopLeft:
        return HTTOPLEFT;
    case FrameHit::TopRight:
        return HTTOPRIGHT;
    case FrameHit::BottomLeft:
        return HTBOTTOMLEFT;
    case FrameHit::BottomRight:
        return HTBOTTOMRIGHT;
    }
    return HTNOWHERE;
}

bool SkinnedFrame::Apply(HWND window, FrameStart start, Started started) {
    if (!skin_.Model() || !Attach(window))
        return false;
    onStarted_ = std::move(started);
    active_ = ::GetActiveWindow() == window;
    if (start != FrameStart::Posted)
        Start(start == FrameStart::Now);
    return true;
}

// Under desktop composition the manager would otherwise draw the system's frame, or parts of it at
// activation and on hover, over or beside the skin's.
void SkinnedFrame::RenderingAsk(FrameEvent event) {
    if (const auto policy = FrameRenderingPolicy(event, started_))
        NonClientRenderingPolicySet(Window(), DWORD(*policy));
}

void SkinnedFrame::Start(bool resize) {
    RenderingAsk(FrameEvent::TakeOver);
    started_ = true;
    if (resize) {
        RECT client{};
        ::GetClientRect(Window(), &client);
        const PixelSize outer = FrameOuterSize(Model(), client.right, client.bottom);
        OuterSizeKeepingCentre(Window(), {outer.width, outer.height});
    }
    if (onStarted_)
        std::exchange(onStarted_, {})(*this);
}

void SkinnedFrame::ControlSkinSet(HWND control, const ControlDecision& decision) {
    controls_[control] = decision;
    if (auto old = looks_.find(control); old != looks_.end()) {
        WindowSubclass::RetireFrom(control, old->second);
        looks_.erase(old);
    }
    if (WindowSubclass* look = WindowSubclass::Give(ControlLookAttach(control, decision, skin_), control))
        looks_[control] = look;
}

void SkinnedFrame::ChildForget(HWND child) {
    controls_.erase(child);
    if (auto look = looks_.find(child); look != looks_.end()) {
        WindowSubclass::RetireFrom(child, look->second);
        looks_.erase(look);
    }
    if (sizeGrip_ == child)
        sizeGrip_ = nullptr;
}

void SkinnedFrame::LooksRetire() {
    for (auto& [control, look] : std::exchange(looks_, {})) {
        WindowSubclass::RetireFrom(control, look);
        ControlRedrawWhole(control);
    }
}

void SkinnedFrame::Remove(bool restore) {
    HWND window = Window();
    if (!window)
        return;
    LooksRetire();
    if (!started_) {
        Detach();
        return;
    }
    if (std::exchange(pressed_, -1) >= 0 && ::GetCapture() == window)
        ::ReleaseCapture();
    RECT client{};
    ::GetClientRect(window, &client);
    if (::IsWindow(window))
        RenderingAsk(FrameEvent::Leave);
    Detach();
    if (!restore || !::IsWindow(window))
        return;
    const DWORD style = DWORD(::GetWindowLongW(window, GWL_STYLE));
    RECT outer{0, 0, client.right, client.bottom};
    ::AdjustWindowRectEx(&outer, style, !(style & WS_CHILD) && ::GetMenu(window),
                         DWORD(::GetWindowLongW(window, GWL_EXSTYLE)));
    OuterSizeKeepingCentre(window, {outer.right - outer.left, outer.bottom - outer.top});
}

void SkinnedFrame::Refresh() {
    if (!Window() || !skin_.Model() || !started_)
        return;
    RECT client{};
    ::GetClientRect(Window(), &client);
    const PixelSize outer = FrameOuterSize(Model(), client.right, client.bottom);
    OuterSizeKeepingCentre(Window(), {outer.width, outer.height});
    PaintNow();
}

void SkinnedFrame::PaintNow() {
    if (!Window() || !skin_.Model() || !started_)
        return;
    WindowDC dc(Window());
    if (dc)
        Paint(dc.Get());
}

SkinnedFrame::Places SkinnedFrame::PlacesNow() const {
    HWND window = Window();
    RECT r{};
    ::GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const LONG style = ::GetWindowLongW(window, GWL_STYLE);
    const bool zoomed = ::IsZoomed(window) != FALSE;
    Places p;
    p.layout = FrameLayoutOf(Model(), width, r.bottom - r.top);
    CaptionButtonNeeds needs;
    needs.close = (style & WS_SYSMENU) != 0;
    needs.maximize = needs.close && (style & WS_MAXIMIZEBOX);
    needs.minimize = needs.close && (style & WS_MINIMIZEBOX);
    needs.maximized = zoomed;
    p.buttons = CaptionButtonsPlace(Model(), width, needs);
    // Dialog frames carry no icon, as with the system's frame.
    const bool dialogFrame = ::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME;
    if (needs.close && !dialogFrame && skin_.CaptionIcon())
        p.icon = CaptionIconRect(Model(), skin_.CaptionIconSize().cx);
    p.sizable = (style & WS_THICKFRAME) && !zoomed;
    return p;
}

POINT SkinnedFrame::ToWindow(POINT screen) const {
    RECT r{};
    ::GetWindowRect(Window(), &r);
    return {screen.x - r.left, screen.y - r.top};
}

int SkinnedFrame::ButtonAt(const Places& places, POINT at) const {
    const FrameHitResult hit =
        FrameHitTest(places.layout, places.buttons, places.icon, at.x, at.y, places.sizable);
    return hit.hit == FrameHit::Button ? hit.button : -1;
}

// Each edge is drawn off screen in a buffer of its own size: the caption and its parts within the top
// edge's, so that nothing flickers and no buffer spans the client area.
void SkinnedFrame::Paint(HDC windowDc) {
    const Places p = PlacesNow();
    const SkinModel& m = Model();
    const std::tuple<FrameSide, const FrameEdge&, const PixelRect&> edges[] = {
        {FrameSide::Top, m.top, p.layout.top},
        {FrameSide::Bottom, m.bottom, p.layout.bottom},
        {FrameSide::Left, m.left, p.layout.left},
        {FrameSide::Right, m.right, p.layout.right},
    };
    for (const auto& [side, edge, dest] : edges) {
        if (dest.Empty())
            continue;
        BufferedPaint buffer(buffer_, windowDc, RectOf(dest));
        MemoryDC source(buffer.Get());
        SkinBitmapDraw(buffer.Get(), source.Get(), skin_.Bitmap(edge.bitmap),
                       FrameEdgePieces(edge, side, active_, dest));
        if (side == FrameSide::Top)
            PaintCaption(buffer.Get(), source.Get(), p);
    }
}

void SkinnedFrame::PaintCaption(HDC dc, HDC source, const Places& p) {
    if (!p.icon.Empty()) {
        const SIZE size = skin_.CaptionIconSize();
        const SkinPiece icon{{0, 0, size.cx, size.cy}, p.icon};
        SkinBitmapDraw(dc, source, skin_.CaptionIcon(), {&icon, 1}, kSkinTransparent);
    }

    const CaptionTextPlace place = CaptionTextPlaceOf(Model(), p.layout.window.width, active_);
    const std::wstring text = HwndGetText(Window());
    if (!text.empty() && !place.rect.Empty()) {
        HGDIOBJ font =
            skin_.CaptionFont() ? HGDIOBJ(skin_.CaptionFont()) : ::GetStockObject(DEFAULT_GUI_FONT);
        ScopedSelect selected(dc, font);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, place.colour);
        RECT r = RectOf(place.rect);
        ::DrawTextW(dc, text.c_str(), int(text.size()), &r,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | AlignFlag(place.align));
    }

    for (std::size_t i = 0; i < p.buttons.size(); ++i) {
        const CaptionButtonPlace& placed = p.buttons[i];
        const CaptionButton& button = Model().captionButtons[std::size_t(placed.button)];
        HBITMAP bitmap = skin_.Bitmap(button.bitmap);
        if (!bitmap)
            continue;
        const int index = int(i);
        const CaptionButtonLook look = index == pressed_ && pressedInside_ ? CaptionButtonLook::Pressed
                                       : index == hot_ && pressed_ < 0     ? CaptionButtonLook::Hot
                                                                           : CaptionButtonLook::Normal;
        const PixelRect from = CaptionButtonSource(button, look, active_);
        const SkinPiece piece{{from.x, from.y, placed.rect.width, placed.rect.height}, placed.rect};
        SkinBitmapDraw(dc, source, bitmap, {&piece, 1});
    }
}

bool SkinnedFrame::ButtonPress(LPARAM screenPoint) {
    const int button = ButtonAt(PlacesNow(), ToWindow(PointOf(screenPoint)));
    if (button < 0)
        return false;
    pressed_ = button;
    pressedInside_ = true;
    ::SetCapture(Window());
    PaintNow();
    return true;
}

void SkinnedFrame::ButtonTrack(LPARAM clientPoint) {
    POINT at = PointOf(clientPoint);
    ::ClientToScreen(Window(), &at);
    const bool inside = ButtonAt(PlacesNow(), ToWindow(at)) == pressed_;
    if (inside != pressedInside_) {
        pressedInside_ = inside;
        PaintNow();
    }
}

void SkinnedFrame::ButtonRelease(LPARAM clientPoint) {
    POINT at = PointOf(clientPoint);
    ::ClientToScreen(Window(), &at);
    const Places p = PlacesNow();
    const int button = std::exchange(pressed_, -1);
    const bool inside = ButtonAt(p, ToWindow(at)) == button;
    ::ReleaseCapture();
    PaintNow();
    // Posted, as the click's own handling must be over before the window may go.
    if (inside)
        ::PostMessageW(Window(), WM_SYSCOMMAND,
                       ButtonCommand(Window(), p.buttons[std::size_t(button)].action),
                       MAKELPARAM(at.x, at.y));
}

bool SkinnedFrame::HotTake(int button) {
    if (button == hot_)
        return false;
    hot_ = button;
    if (button >= 0)
        PointerLeaveTrack(Window(), true);
    return true;
}

void SkinnedFrame::HotSet(int button) {
    if (HotTake(button))
        PaintNow();
}

LRESULT SkinnedFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Waiting for the message posted on skinning: the window has been shown and activated by then.
    if (!started_) {
        if (message == WM_NCACTIVATE)
            active_ = wParam != FALSE;
        if (message == kSkinPostedMessage && lParam == kSkinPostedLParam)
            Start(true);
        return Default(message, wParam, lParam);
    }
    bool onCaptionButton = false;
    switch (message) {
    case WM_NCCALCSIZE: {
        RECT& r =
            wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : *reinterpret_cast<RECT*>(lParam);
        const PixelRect client = FrameLayoutOf(Model(), r.right - r.left, r.bottom - r.top).client;
        r = {r.left + client.x, r.top + client.y, r.left + client.x + client.width,
             r.top + client.y + client.height};
        return 0;
    }
    case WM_NCPAINT:
        PaintNow();
        return 0;
    case WM_NCACTIVATE:
        // The system's own handling, painting included, runs before the skin paints over it: with the
        // painting left out, a key typed into a window that has just shown was lost more often.
        active_ = wParam != FALSE;
        break;
    case WM_NCHITTEST: {
        const Places p = PlacesNow();
        const POINT at = ToWindow(PointOf(lParam));
        const FrameHitResult hit = FrameHitTest(p.layout, p.buttons, p.icon, at.x, at.y, p.sizable);
        return FrameHitCode(hit.hit, hit.button >= 0 ? p.buttons[std::size_t(hit.button)].action : 0);
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (IsButtonHitCode(wParam) && ButtonPress(lParam))
            return 0;
        break;
    case WM_MOUSEMOVE:
        if (pressed_ >= 0) {
            ButtonTrack(lParam);
            return 0;
        }
        HotSet(-1);
        return Default(message, wParam, lParam);
    case WM_LBUTTONUP:
        if (pressed_ >= 0) {
            ButtonRelease(lParam);
            return 0;
        }
        return Default(message, wParam, lParam);
    case WM_CAPTURECHANGED:
        if (pressed_ >= 0 && HWND(lParam) != Window()) {
            pressed_ = -1;
            PaintNow();
        }
        return Default(message, wParam, lParam);
    case WM_NCMOUSEMOVE: {
        const int hot = IsButtonHitCode(wParam) ? ButtonAt(PlacesNow(), ToWindow(PointOf(lParam))) : -1;
        onCaptionButton = hot >= 0 || hot_ >= 0;
        HotTake(hot);
        break;
    }
    case WM_NCMOUSELEAVE:
        onCaptionButton = hot_ >= 0;
        HotTake(-1);
        break;
    case WM_DWMCOMPOSITIONCHANGED:
        RenderingAsk(FrameEvent::CompositionChanged);
        break;
    default:
        break;
    }
    switch (FramePassOnOf(message, onCaptionButton)) {
    case FramePassOn::Swallow:
        return 0;
    case FramePassOn::Default:
        return Default(message, wParam, lParam);
    case FramePassOn::DefaultThenRepaint:
        break;
    }
    const LRESULT result = DefaultThen(message, wParam, lParam, [&] { PaintNow(); });
    return message == WM_NCACTIVATE ? TRUE : result;
}

} // namespace veltrane
