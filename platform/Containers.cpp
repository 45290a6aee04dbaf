#include "platform/Containers.h"

#include "platform/Guard.h"
#include "platform/Paint.h"
#include "platform/Window.h"

namespace veltrane {

namespace {
constexpr wchar_t kPanelClass[] = L"TPanel";
} // namespace

bool IsChildNotification(UINT message) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return true;
    default:
        return false;
    }
}

Panel::~Panel() {
    if (window_) {
        Withdraw();
        WindowProcedure<Panel>::Forget(window_);
    }
}

void Panel::Attached(HWND hwnd) {
    window_ = hwnd;
    ProvideFor(hwnd);
}

void Panel::Detached(HWND) {
    Withdraw();
    window_ = nullptr;
}

HWND Panel::Create(HWND parent, int id, const RECT& bounds, DWORD style, DWORD exStyle) {
    WindowClassRegister(kPanelClass, &WindowProcedure<Panel>::Procedure);
    ::CreateWindowExW(exStyle, kPanelClass, L"", WS_CHILD | WS_VISIBLE | style, bounds.left, bounds.top,
                      bounds.right - bounds.left, bounds.bottom - bounds.top, parent, HMENU(INT_PTR(id)),
                      ModuleInstance(), this);
    return window_;
}

void Panel::SetPainter(Painter painter) {
    painter_ = std::move(painter);
    BackgroundChanged();
    if (window_)
        ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Panel::SetBevel(UINT edge) {
    bevel_ = edge;
    BackgroundChanged();
    if (window_)
        ::InvalidateRect(window_, nullptr, FALSE);
}

void Panel::PaintBackground(HDC dc, const RECT& area) {
    RECT client{};
    ::GetClientRect(window_, &client);
    if (painter_) {
        RECT inside = client;
        const int width = ((bevel_ & BDR_OUTER) ? 1 : 0) + ((bevel_ & BDR_INNER) ? 1 : 0);
        ::InflateRect(&inside, -width, -width);
        painter_(dc, inside);
    } else {
        ::FillRect(dc, &area, brush_.Get());
    }
    if (bevel_)
        ::DrawEdge(dc, &client, bevel_, BF_RECT);
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsChildNotification(message))
        return ::SendMessageW(::GetParent(window_), message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE; // painted with everything else, off screen
    case WM_PAINT: {
        PaintDC paint(window_);
        DoubleBuffer buffer(paint.Get(), paint.Area());
        PaintBackground(buffer.Get(), paint.Area());
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        ::GetClientRect(window_, &client);
        PaintBackground(HDC(wParam), client);
        return 0;
    }
    case WM_SIZE:
        BackgroundChanged();
        break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT GroupBoxContainer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsChildNotification(message))
        return ::SendMessageW(::GetParent(Window()), message, wParam, lParam);
    // A themed control inside asks its parent, the group box, for what lies behind it: that is the
    // background of the window holding the box.
    if (message == WM_ERASEBKGND)
        return ParentBackgroundPaint(Window(), HDC(wParam)) ? TRUE : Default(message, wParam, lParam);
    if (message == WM_PRINTCLIENT)
        ParentBackgroundPaint(Window(), HDC(wParam));
    return Default(message, wParam, lParam);
}

} // namespace veltrane
