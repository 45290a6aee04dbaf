#include "toolkit/win/DrawnButton.h"

#include <windowsx.h>

#include "platform/Background.h"
#include "platform/CommonControls.h"
#include "platform/Handles.h"
#include "platform/Paint.h"
#include "platform/Window.h"
#include "toolkit/win/GdiDraw.h"
#include "toolkit/win/ThemeApi.h"

namespace veltrane {

namespace {

constexpr wchar_t kDrawnButtonProperty[] = L"Veltrane.DrawnButton";

BOOL CALLBACK DefaultButtonRedraw(HWND window, LPARAM except) {
    DrawnButton* button = DrawnButton::From(window);
    if (button && window != HWND(except) && button->IsDefault())
        ::InvalidateRect(window, nullptr, FALSE);
    return TRUE;
}

void GreyGlyphDraw(HDC dc, const ButtonGlyph& glyph, int x, int y) {
    UniqueIcon icon(comctl::ImageList_GetIcon(glyph.images, glyph.index, ILD_NORMAL));
    int width = 0, height = 0;
    comctl::ImageList_GetIconSize(glyph.images, &width, &height);
    ::DrawStateW(dc, nullptr, nullptr, LPARAM(icon.Get()), 0, x, y, width, height, DST_ICON | DSS_DISABLED);
}

} // namespace

void ButtonContentDraw(HDC dc, const RECT& area, std::wstring_view caption, const ButtonGlyph& glyph,
                       int offset, bool greyGlyph, bool enabled, GlyphLayout layout) {
    const UINT format = DT_SINGLELINE;
    RECT measured{0, 0, 0, 0};
    if (!caption.empty())
        ::DrawTextW(dc, caption.data(), int(caption.size()), &measured, format | DT_CALCRECT);
    GlyphMetrics metrics;
    metrics.layout = layout;
    if (glyph.images)
        comctl::ImageList_GetIconSize(glyph.images, &metrics.glyphSize, &metrics.glyphSize);
    const GlyphPlacement placement =
        GlyphPlacementFor(SizeOf(area), SizeOf(measured), glyph.images != nullptr, offset, metrics);
    if (placement.glyph) {
        const int x = area.left + placement.glyph->x, y = area.top + placement.glyph->y;
        if (greyGlyph)
            GreyGlyphDraw(dc, glyph, x, y);
        else
            comctl::ImageList_Draw(glyph.images, glyph.index, dc, x, y, ILD_TRANSPARENT);
    }
    if (caption.empty())
        return;
    RECT text = RectOf(placement.caption);
    ::OffsetRect(&text, area.left, area.top);
    const int mode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF colour = ::SetTextColor(dc, ::GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    ::DrawTextW(dc, caption.data(), int(caption.size()), &text, format | DT_END_ELLIPSIS);
    ::SetTextColor(dc, colour);
    ::SetBkMode(dc, mode);
}

DrawnButton::~DrawnButton() {
    HWND button = Window();
    if (!button)
        return;
    // Handed back as the button it was.
    ::RemovePropW(button, kDrawnButtonProperty);
    const LONG style = ::GetWindowLongW(button, GWL_STYLE);
    ::SetWindowLongW(button, GWL_STYLE, (style & ~BS_TYPEMASK) | originalType_);
    ::InvalidateRect(button, nullptr, TRUE);
}

bool DrawnButton::Attach(HWND button) {
    const LONG style = button ? ::GetWindowLongW(button, GWL_STYLE) : 0;
    if (!WindowSubclass::Attach(button))
        return false;
    originalType_ = style & BS_TYPEMASK;
    default_ = originalType_ == BS_DEFPUSHBUTTON;
    ::SetWindowLongW(button, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
    ::SetPropW(button, kDrawnButtonProperty, this);
    caption_ = HwndGetText(button);
    font_ = HFONT(::SendMessageW(button, WM_GETFONT, 0, 0));
    Attached();
    Redraw();
    return true;
}

DrawnButton* DrawnButton::From(HWND window) {
    return window ? static_cast<DrawnButton*>(::GetPropW(window, kDrawnButtonProperty)) : nullptr;
}

void DrawnButton::SetDefault(bool value) {
    if (default_ == value)
        return;
    default_ = value;
    Redraw();
}

ButtonState DrawnButton::State() const {
    HWND button = Window();
    HWND focus = ::GetFocus();
    ButtonState state;
    state.hot = hot_;
    state.pressed = Pushed();
    state.focused = focus == button;
    state.isDefault = default_;
    state.focusOnOtherButton = focus != button && HwndIsPushButton(focus);
    state.enabled = ::IsWindowEnabled(button) != FALSE;
    return state;
}

bool DrawnButton::Pushed() const {
    return (::SendMessageW(Window(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

void DrawnButton::Redraw() {
    if (Window())
        ::RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void DrawnButton::PaintTo(HDC dc) {
    RECT client{};
    ::GetClientRect(Window(), &client);
    if (!ParentBackgroundPaint(Window(), dc) && !ThemeApi::Get().DrawParentBackground(Window(), dc, client))
        SolidFill(dc, client, ::GetSysColor(COLOR_BTNFACE));
    ScopedSelect font(dc, font_ ? HGDIOBJ(font_) : ::GetCurrentObject(dc, OBJ_FONT));
    DrawFace(dc, client, State(), caption_);
}

bool DrawnButton::PointerInside() const {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    if (::WindowFromPoint(cursor) != Window())
        return false;
    RECT client{};
    ::GetClientRect(Window(), &client);
    ::ScreenToClient(Window(), &cursor);
    return ::PtInRect(&client, cursor) != FALSE;
}

void DrawnButton::HotSet(bool hot) {
    if (hot_ == hot)
        return;
    hot_ = hot;
    Redraw();
}

void DrawnButton::PointerMoved(LPARAM point) {
    RECT client{};
    ::GetClientRect(Window(), &client);
    const POINT at = PointOf(point);
    const bool inside = ::PtInRect(&client, at) != FALSE;
    if (inside && !tracking_)
        tracking_ = PointerLeaveTrack(Window(), false);
    // While the button holds the capture, moves outside it arrive too.
    HotSet(inside && ::IsWindowEnabled(Window()));
}

void DrawnButton::DefaultButtonsRedraw() {
    if (HWND root = ::GetAncestor(Window(), GA_ROOT))
        ::EnumChildWindows(root, &DefaultButtonRedraw, LPARAM(Window()));
}

LRESULT DrawnButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE; // painted with the face, off screen
    case WM_PAINT: {
        PaintDC paint(Window());
        BufferedPaint buffer(buffer_, paint.Get(), paint.Area());
        PaintTo(buffer.Get());
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        ::GetClientRect(Window(), &client);
        BufferedPaint buffer(buffer_, HDC(wParam), client);
        PaintTo(buffer.Get());
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        // An owner-drawn button would report BN_DOUBLECLICKED and stay up: press it again instead.
        return Default(WM_LBUTTONDOWN, wParam, lParam);
    case WM_MOUSEMOVE:
        PointerMoved(lParam);
        break;
    case WM_MOUSELEAVE:
        tracking_ = false;
        HotSet(false);
        break;
    case WM_CAPTURECHANGED:
        return DefaultThen(message, wParam, lParam,
                           [&] { HotSet(PointerInside() && ::IsWindowEnabled(Window())); });
    case WM_ENABLE:
        return DefaultThen(message, wParam, lParam, [&] {
            if (!wParam)
                hot_ = false;
            Redraw();
        });
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return DefaultThen(message, wParam, lParam, [&] {
            Redraw();
            DefaultButtonsRedraw();
        });
    case BM_SETSTATE: {
        const bool before = Pushed();
        return DefaultThen(message, wParam, lParam, [&] {
            if (Pushed() != before)
                Redraw();
        });
    }
    case BM_SETSTYLE:
        // The dialog manager moves its default this way: the button stays owner-drawn, and which
        // button is the default is the form's to say (SetDefault).
        return DefaultThen(message, (wParam & ~WPARAM(BS_TYPEMASK)) | BS_OWNERDRAW, lParam,
                           [&] { Redraw(); });
    case WM_SETTEXT:
        return DefaultThen(message, wParam, lParam, [&] {
            caption_ = HwndGetText(Window());
            Redraw();
        });
    case WM_SETFONT:
        font_ = HFONT(wParam);
        [[fallthrough]];
    case WM_UPDATEUISTATE:
        return DefaultThen(message, wParam, lParam, [&] { Redraw(); });
    case WM_DESTROY:
        ::RemovePropW(Window(), kDrawnButtonProperty);
        break;
    }
    return Default(message, wParam, lParam);
}

} // namespace veltrane
