#include "toolkit/win/SkinnedScrollBars.h"

#include "toolkit/win/ControlLook.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "platform/Paint.h"
#include "platform/Window.h"
#include "toolkit/skinning/ScrollGeometry.h"
#include "toolkit/win/GdiDraw.h"
#include "toolkit/win/SkinnedFrame.h"
#include "toolkit/win/TSkinComponent.h"

namespace veltrane {

namespace {

using UniqueRegion = UniqueHandle<GdiObjectTraits<HRGN>>;

constexpr UINT_PTR kRepeatTimer = 0x5C0B;
// As the system's bars: a first pause, then steady repeats while the button is held.
constexpr UINT kRepeatDelayMs = 250;
constexpr UINT kRepeatIntervalMs = 50;

// Where a bar's state sits in BarsState.
constexpr std::size_t Slot(ScrollAxis bar) {
    return std::size_t(bar);
}

WORD CommandOf(ScrollPart part) {
    switch (part) {
    case ScrollPart::ArrowStart:
        return SB_LINEUP;
    case ScrollPart::ArrowEnd:
        return SB_LINEDOWN;
    case ScrollPart::PageStart:
        return SB_PAGEUP;
    default:
        break;
    }
    return SB_PAGEDOWN;
}

// One bar as the system keeps it; the rectangle in window coordinates.
struct BarState {
    bool shown = false;
    bool disabled = false;
    bool startDisabled = false;
    bool endDisabled = false;
    PixelRect rect;
    ScrollRange range;
};

using BarsState = std::array<BarState, 2>;

// The corner between two bars.
PixelRect SizeBoxOf(const BarsState& state) {
    const BarState& v = state[Slot(ScrollAxis::Vertical)];
    const BarState& h = state[Slot(ScrollAxis::Horizontal)];
    if (!v.shown || !h.shown)
        return {};
    return {v.rect.x, h.rect.y, v.rect.width, h.rect.height};
}

// Messages that never change a bar, some of them frequent: the bars need no painting after them.
bool LeavesBarsAlone(UINT message) {
    switch (message) {
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_NCMOUSEMOVE:
    case WM_MOUSEHOVER:
    case WM_MOUSELEAVE:
    case WM_ERASEBKGND:
    case WM_WINDOWPOSCHANGING:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_GETDLGCODE:
    case WM_GETFONT:
    case WM_GETOBJECT:
    case WM_NOTIFYFORMAT:
    case WM_QUERYUISTATE:
    case WM_NCCALCSIZE:
    case WM_DESTROY:
        return true;
    default:
        break;
    }
    return false;
}

// The system draws a control's scroll bars itself outside WM_NCPAINT: in SetScrollInfo (under Wine
// whenever asked to redraw, changed or not) and in its own tracking loop. So the chain below never gets
// to track the bars, and whatever it draws of them is painted over from the skin before the message
// that drew it returns; the system's non-client painting leaves them out altogether. Presses are
// tracked here, sending the control the scroll messages the system would.
class SkinnedScrollBars final : public WindowSubclass {
public:
    SkinnedScrollBars(TSkinComponent& skin, OptionalUser32::GetScrollBarInfoFn getInfo)
        : skin_(skin), getInfo_(getInfo) {}
    ~SkinnedScrollBars() override {
        if (Window()) {
            ::KillTimer(Window(), kRepeatTimer);
            if (pressBar_ != std::nullopt && ::GetCapture() == Window()) {
                pressBar_ = std::nullopt;
                ::ReleaseCapture();
            }
        }
    }

    bool Start(HWND control) {
        listView_ = HwndClassIs(control, WC_LISTVIEWW);
        if (!Attach(control))
            return false;
        PaintNow();
        return true;
    }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    const SkinModel& Model() const { return *skin_.Model(); }
    BarState BarStateNow(ScrollAxis bar) const;
    BarsState StateNow() const {
        return {BarStateNow(ScrollAxis::Vertical), BarStateNow(ScrollAxis::Horizontal)};
    }
    ScrollLayout LayoutOf(ScrollAxis bar, const BarState& state) const;
    ScrollPointer PointerOf(ScrollAxis bar) const;
    POINT ToWindow(POINT screen) const;
    POINT ClientToWindow(LPARAM clientPoint) const;

    void NonClientPaint(WPARAM region);
    void PaintNow();
    void Paint(HDC dc, const BarsState& state);
    void PaintBar(HDC dc, ScrollAxis bar, const BarState& state);

    void Press(ScrollAxis bar, POINT screen);
    void TrackMove(POINT at);
    void TrackRelease();
    void Repeat();
    void HotSet(std::optional<ScrollAxis> bar, ScrollPart part);
    void Command(ScrollAxis bar, WORD code, int pos = 0);
    void ThumbTo(ScrollAxis bar, WORD code, int pos);
    int ListRowHeight() const;

    TSkinComponent& skin_;
    OptionalUser32::GetScrollBarInfoFn getInfo_;
    bool listView_ = false;

    std::optional<ScrollAxis> hotBar_;
    ScrollPart hotPart_ = ScrollPart::None;

    // A press on a bar, while the control has the capture.
    std::optional<ScrollAxis> pressBar_;
    ScrollPart pressPart_ = ScrollPart::None;
    bool pressInside_ = false;
    POINT pointer_{}; // window coordinates
    // A thumb drag: where the pointer took the thumb, where the thumb was and is drawn, and the positions.
    int grab_ = 0;
    int thumbOrigin_ = 0;
    int thumbAt_ = 0;
    int startPos_ = 0;
    int lastPos_ = 0;
    int defaultDepth_ = 0; // messages passed on, one inside another: the bars are painted after the outermost
};

BarState SkinnedScrollBars::BarStateNow(ScrollAxis bar) const {
    BarState s;
    HWND window = Window();
    if (!window)
        return s;
    const bool vertical = bar == ScrollAxis::Vertical;
    const LONG style = ::GetWindowLongW(window, GWL_STYLE);
    if (!(style & (vertical ? WS_VSCROLL : WS_HSCROLL)))
        return s;
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    if (!getInfo_(window, vertical ? OBJID_VSCROLL : OBJID_HSCROLL, &info) ||
        (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)))
        return s;
    RECT w{};
    ::GetWindowRect(window, &w);
    const RECT& r = info.rcScrollBar;
    s.rect = {r.left - w.left, r.top - w.top, r.right - r.left, r.bottom - r.top};
    if (s.rect.Empty())
        return {};
    s.shown = true;
    // The arrows' states stand at 1 (up or left) and 5 (down or right).
    s.startDisabled = info.rgstate[1] & STATE_SYSTEM_UNAVAILABLE;
    s.endDisabled = info.rgstate[5] & STATE_SYSTEM_UNAVAILABLE;
    s.disabled = (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) || (s.startDisabled && s.endDisabled) ||
                 !::IsWindowEnabled(window);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    if (::GetScrollInfo(window, vertical ? SB_VERT : SB_HORZ, &si))
        s.range = {si.nMin, si.nMax, int(si.nPage), si.nPos};
    return s;
}

ScrollLayout SkinnedScrollBars::LayoutOf(ScrollAxis bar, const BarState& state) const {
    const ScrollAxis axis = bar;
    const ImageSkin& thumb =
        bar == ScrollAxis::Vertical ? *Model().vertScrollThumb : *Model().horzScrollThumb;
    // A disabled bar shows no thumb.
    const ScrollRange range = state.disabled ? ScrollRange{} : state.range;
    const ScrollLayout layout = ScrollLayoutOf(state.rect, axis, range, ScrollThumbMinimum(thumb, axis));
    if (pressBar_ == bar && pressPart_ == ScrollPart::Thumb)
        return ScrollLayoutDragged(layout, thumbAt_);
    return layout;
}

ScrollPointer SkinnedScrollBars::PointerOf(ScrollAxis bar) const {
    ScrollPointer p;
    if (pressBar_ == bar) {
        p.pressed = pressPart_;
        p.pressedInside = pressInside_;
    }
    if (hotBar_ == bar)
        p.hot = hotPart_;
    return p;
}

POINT SkinnedScrollBars::ToWindow(POINT screen) const {
    RECT w{};
    ::GetWindowRect(Window(), &w);
    return {screen.x - w.left, screen.y - w.top};
}

POINT SkinnedScrollBars::ClientToWindow(LPARAM clientPoint) const {
    POINT at = PointOf(clientPoint);
    ::ClientToScreen(Window(), &at);
    return ToWindow(at);
}

// The chain below paints the rest of the frame; the bars and the box between them are left out of the
// region it may paint, so that the system's bars never show.
void SkinnedScrollBars::NonClientPaint(WPARAM region) {
    const BarsState state = StateNow();
    RECT w{};
    ::GetWindowRect(Window(), &w);
    UniqueRegion covered(::CreateRectRgn(0, 0, 0, 0));
    for (const PixelRect& area : {state[Slot(ScrollAxis::Vertical)].rect,
                                  state[Slot(ScrollAxis::Horizontal)].rect, SizeBoxOf(state)}) {
        if (area.Empty())
            continue;
        RECT r = RectOf(area);
        ::OffsetRect(&r, w.left, w.top);
        UniqueRegion part(::CreateRectRgnIndirect(&r));
        ::CombineRgn(covered.Get(), covered.Get(), part.Get(), RGN_OR);
    }
    UniqueRegion rest(::CreateRectRgnIndirect(&w));
    if (region > 1)
        ::CombineRgn(rest.Get(), reinterpret_cast<HRGN>(region), nullptr, RGN_COPY);
    ::CombineRgn(rest.Get(), rest.Get(), covered.Get(), RGN_DIFF);
    Default(WM_NCPAINT, reinterpret_cast<WPARAM>(rest.Get()), 0);
    if (!Window())
        return;
    WindowDC dc(Window());
    if (dc)
        Paint(dc.Get(), state);
}

void SkinnedScrollBars::PaintNow() {
    HWND window = Window();
    if (!window || !::IsWindowVisible(window))
        return;
    const BarsState state = StateNow();
    if (!state[Slot(ScrollAxis::Vertical)].shown && !state[Slot(ScrollAxis::Horizontal)].shown)
        return;
    WindowDC dc(window);
    if (dc)
        Paint(dc.Get(), state);
}

void SkinnedScrollBars::Paint(HDC dc, const BarsState& state) {
    for (const ScrollAxis bar : {ScrollAxis::Vertical, ScrollAxis::Horizontal})
        if (state[Slot(bar)].shown)
            PaintBar(dc, bar, state[Slot(bar)]);
    const PixelRect box = SizeBoxOf(state);
    if (!box.Empty()) {
        const RECT r = RectOf(box);
        HBRUSH face = skin_.ButtonFaceBrush();
        ::FillRect(dc, &r, face ? face : ::GetSysColorBrush(COLOR_BTNFACE));
    }
}

// Off screen first: the bar reaches the screen in one copy.
void SkinnedScrollBars::PaintBar(HDC dc, ScrollAxis bar, const BarState& state) {
    const SkinModel& m = Model();
    const ScrollAxis axis = bar;
    const ScrollLayout layout = LayoutOf(bar, state);
    const ScrollPointer pointer = PointerOf(bar);
    DoubleBuffer buffer(dc, RectOf(state.rect));
    HDC out = buffer.Get();
    MemoryDC source(out);
    if (!source)
        return;

    for (const bool start : {true, false}) {
        const ScrollPart part = start ? ScrollPart::ArrowStart : ScrollPart::ArrowEnd;
        const bool off = state.disabled || (start ? state.startDisabled : state.endDisabled);
        const int image = ScrollArrowImage(ScrollArrowAt(axis, start), ScrollPartLook(part, pointer, off));
        SkinBitmapDraw(out, source.Get(), skin_.Bitmap(m.scrollbar->image),
                       ImageSkinPieces(*m.scrollbar, image, start ? layout.arrowStart : layout.arrowEnd));
    }

    const ImageSkin& track = bar == ScrollAxis::Vertical ? *m.vertScroll : *m.horzScroll;
    if (HBITMAP bitmap = skin_.Bitmap(track.image)) {
        if (!layout.HasThumb()) {
            const ScrollLook look = state.disabled ? ScrollLook::Disabled : ScrollLook::Normal;
            SkinBitmapDraw(out, source.Get(), bitmap,
                           ImageSkinPieces(track, ScrollTrackImage(look), layout.track));
        }
        // Each page part shows its own state, cut from one image spanning the whole track.
        for (const auto& [part, area] : {std::pair{ScrollPart::PageStart, layout.pageStart},
                                         std::pair{ScrollPart::PageEnd, layout.pageEnd}}) {
            if (area.Empty())
                continue;
            const int saved = ::SaveDC(out);
            ::IntersectClipRect(out, area.x, area.y, area.x + area.width, area.y + area.height);
            const int image = ScrollTrackImage(ScrollPartLook(part, pointer, state.disabled));
            SkinBitmapDraw(out, source.Get(), bitmap, ImageSkinPieces(track, image, layout.track));
            ::RestoreDC(out, saved);
        }
    }

    const ImageSkin& thumb = bar == ScrollAxis::Vertical ? *m.vertScrollThumb : *m.horzScrollThumb;
    if (layout.HasThumb()) {
        const int image = ScrollThumbImage(ScrollPartLook(ScrollPart::Thumb, pointer, false));
        SkinBitmapDraw(out, source.Get(), skin_.Bitmap(thumb.image),
                       ImageSkinPieces(thumb, image, layout.thumb));
    }
}

void SkinnedScrollBars::Press(ScrollAxis bar, POINT screen) {
    const BarState state = BarStateNow(bar);
    if (!state.shown || state.disabled)
        return;
    const POINT at = ToWindow(screen);
    const ScrollLayout layout = LayoutOf(bar, state);
    const ScrollPart part = ScrollHitTest(layout, at.x, at.y);
    if (part == ScrollPart::None || (part == ScrollPart::ArrowStart && state.startDisabled) ||
        (part == ScrollPart::ArrowEnd && state.endDisabled))
        return;
    const ScrollAxis axis = bar;
    pressBar_ = bar;
    pressPart_ = part;
    pressInside_ = true;
    pointer_ = at;
    ::SetCapture(Window());
    if (part == ScrollPart::Thumb) {
        thumbOrigin_ = thumbAt_ = ScrollStartAlong(axis, layout.thumb);
        grab_ = ScrollAlong(axis, at.x, at.y) - thumbOrigin_;
        startPos_ = lastPos_ = state.range.pos;
        PaintNow();
        return;
    }
    PaintNow();
    Command(bar, CommandOf(part));
    if (Window())
        ::SetTimer(Window(), kRepeatTimer, kRepeatDelayMs, nullptr);
}

void SkinnedScrollBars::TrackMove(POINT at) {
    pointer_ = at;
    const ScrollAxis bar = *pressBar_;
    const BarState state = BarStateNow(bar);
    const ScrollAxis axis = bar;
    if (pressPart_ == ScrollPart::Thumb) {
        const ScrollLayout layout = ScrollLayoutOf(
            state.rect, axis, state.range,
            ScrollThumbMinimum(
                bar == ScrollAxis::Vertical ? *Model().vertScrollThumb : *Model().horzScrollThumb, axis));
        int pos = startPos_;
        thumbAt_ = thumbOrigin_;
        if (ScrollDragHolds(layout, at.x, at.y)) {
            thumbAt_ = ScrollAlong(axis, at.x, at.y) - grab_;
            pos = ScrollPosFromThumb(layout, state.range, thumbAt_);
        }
        if (pos != lastPos_) {
            lastPos_ = pos;
            ThumbTo(bar, SB_THUMBTRACK, pos);
        }
        PaintNow();
        return;
    }
    const bool inside = ScrollHitTest(LayoutOf(bar, state), at.x, at.y) == pressPart_;
    if (inside != pressInside_) {
        pressInside_ = inside;
        PaintNow();
    }
}

void SkinnedScrollBars::TrackRelease() {
    if (!pressBar_)
        return;
    const ScrollAxis bar = *std::exchange(pressBar_, std::nullopt);
    const ScrollPart part = std::exchange(pressPart_, ScrollPart::None);
    pressInside_ = false;
    HWND window = Window();
    ::KillTimer(window, kRepeatTimer);
    if (::GetCapture() == window)
        ::ReleaseCapture();
    if (part == ScrollPart::Thumb)
        ThumbTo(bar, SB_THUMBPOSITION, lastPos_);
    Command(bar, SB_ENDSCROLL);
    if (!Window())
        return;
    // The pointer may still be over a part, which lights up again.
    const BarState state = BarStateNow(bar);
    const ScrollPart under =
        state.shown ? ScrollHitTest(LayoutOf(bar, state), pointer_.x, pointer_.y) : ScrollPart::None;
    hotBar_ = std::nullopt;
    HotSet(bar, under);
    PaintNow();
}

// Arrows and page parts repeat while the pointer stays on them; a page part stops once the thumb has
// come up to the pointer.
void SkinnedScrollBars::Repeat() {
    if (pressBar_ == std::nullopt || pressPart_ == ScrollPart::Thumb) {
        ::KillTimer(Window(), kRepeatTimer);
        return;
    }
    ::SetTimer(Window(), kRepeatTimer, kRepeatIntervalMs, nullptr);
    const ScrollPart under =
        ScrollHitTest(LayoutOf(*pressBar_, BarStateNow(*pressBar_)), pointer_.x, pointer_.y);
    const bool inside = under == pressPart_;
    if (inside != pressInside_) {
        pressInside_ = inside;
        PaintNow();
    }
    if (inside)
        Command(*pressBar_, CommandOf(pressPart_));
}

void SkinnedScrollBars::HotSet(std::optional<ScrollAxis> bar, ScrollPart part) {
    if (part == ScrollPart::None)
        bar.reset();
    if (bar == hotBar_ && part == hotPart_)
        return;
    hotBar_ = bar;
    hotPart_ = part;
    if (bar)
        PointerLeaveTrack(Window(), true);
    PaintNow();
}

void SkinnedScrollBars::Command(ScrollAxis bar, WORD code, int pos) {
    if (Window())
        ::SendMessageW(Window(), bar == ScrollAxis::Vertical ? WM_VSCROLL : WM_HSCROLL,
                       MAKEWPARAM(code, WORD(pos)), 0);
}

// A list view takes a thumb's position from the system's own tracking rather than from the message, so
// without that tracking it stays put: it is scrolled the rest of the way.
void SkinnedScrollBars::ThumbTo(ScrollAxis bar, WORD code, int pos) {
    Command(bar, code, pos);
    HWND window = Window();
    if (!listView_ || !window)
        return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    if (!::GetScrollInfo(window, bar == ScrollAxis::Vertical ? SB_VERT : SB_HORZ, &si) || si.nPos == pos)
        return;
    const int rest = pos - si.nPos;
    if (bar == ScrollAxis::Vertical)
        ::SendMessageW(window, LVM_SCROLL, 0, rest * ListRowHeight());
    else
        ::SendMessageW(window, LVM_SCROLL, rest, 0);
}

// In report view a vertical step is a row; elsewhere a pixel.
int SkinnedScrollBars::ListRowHeight() const {
    if ((::GetWindowLongW(Window(), GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT)
        return 1;
    RECT row{};
    row.left = LVIR_BOUNDS;
    if (!::SendMessageW(Window(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)))
        return 1;
    return std::max<int>(row.bottom - row.top, 1);
}

LRESULT SkinnedScrollBars::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCPAINT:
        NonClientPaint(wParam);
        return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTVSCROLL || wParam == HTHSCROLL) {
            if (pressBar_ == std::nullopt)
                Press(wParam == HTVSCROLL ? ScrollAxis::Vertical : ScrollAxis::Horizontal, PointOf(lParam));
            return 0;
        }
        break;
    case WM_NCMOUSEMOVE:
        if (pressBar_ == std::nullopt && (wParam == HTVSCROLL || wParam == HTHSCROLL)) {
            const ScrollAxis bar = wParam == HTVSCROLL ? ScrollAxis::Vertical : ScrollAxis::Horizontal;
            const POINT at = ToWindow(PointOf(lParam));
            HotSet(bar, ScrollHitTest(LayoutOf(bar, BarStateNow(bar)), at.x, at.y));
            // The system lights up its own bars on these moves: below, the pointer is over a plain border.
            return Default(message, HTBORDER, lParam);
        }
        HotSet(std::nullopt, ScrollPart::None);
        break;
    case WM_NCMOUSELEAVE:
        // The system's handling redraws its own bars, to take their hover look away.
        hotBar_ = std::nullopt;
        hotPart_ = ScrollPart::None;
        return DefaultThen(message, wParam, lParam, [&] { PaintNow(); });
    case WM_MOUSEMOVE:
        if (pressBar_ != std::nullopt) {
            TrackMove(ClientToWindow(lParam));
            return 0;
        }
        HotSet(std::nullopt, ScrollPart::None);
        break;
    case WM_LBUTTONUP:
        if (pressBar_ != std::nullopt) {
            pointer_ = ClientToWindow(lParam);
            TrackRelease();
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kRepeatTimer) {
            Repeat();
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        if (pressBar_ != std::nullopt && reinterpret_cast<HWND>(lParam) != Window())
            TrackRelease();
        break;
    default:
        break;
    }
    // Without the capture a move neither scrolls the control nor selects past its edge.
    if (LeavesBarsAlone(message) || (message == WM_MOUSEMOVE && ::GetCapture() != Window()))
        return Default(message, wParam, lParam);
    // Once, when the outermost message returns: the ones it sent on are covered by it.
    ++defaultDepth_;
    const LRESULT result = Default(message, wParam, lParam);
    if (--defaultDepth_ == 0 && Window())
        PaintNow();
    return result;
}

} // namespace

std::unique_ptr<WindowSubclass> SkinnedScrollBarsAttach(HWND control, TSkinComponent& skin) {
    const SkinModel* model = skin.Model();
    const auto getInfo = skin.User32().getScrollBarInfo;
    if (!model || !getInfo || !ScrollSkinComplete(*model))
        return nullptr;
    auto look = std::make_unique<SkinnedScrollBars>(skin, getInfo);
    if (!look->Start(control))
        return nullptr;
    return look;
}

} // namespace veltrane
