#include "toolkit/win/FlatListFrame.h"

#include <commctrl.h>

#include "platform/Paint.h"
#include "platform/Window.h"

namespace veltrane {

namespace {
constexpr int kFrameWidth = 2; // room for the thick frame; the thin one leaves the inner ring blank
} // namespace

// Passes the pointer's moves over a child window (a list's column header) to the frame.
class FlatListFrame::ChildWatch final : public WindowSubclass {
public:
    explicit ChildWatch(FlatListFrame& frame) : frame_(frame) {}

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefaultThen(message, wParam, lParam, [&] {
            if (message == WM_MOUSEMOVE)
                frame_.PointerOver(Window(), false);
            else if (message == WM_MOUSELEAVE)
                frame_.PointerMayHaveLeft();
        });
    }
    FlatListFrame& frame_;
};

FlatListFrame::FlatListFrame() = default;
FlatListFrame::~FlatListFrame() = default;

void FlatListFrame::Attach(HWND control) {
    ::SetWindowLongW(control, GWL_STYLE, ::GetWindowLongW(control, GWL_STYLE) & ~WS_BORDER);
    ::SetWindowLongW(control, GWL_EXSTYLE, ::GetWindowLongW(control, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
    WindowSubclass::Attach(control);
    for (HWND child = ::GetWindow(control, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        auto watch = std::make_unique<ChildWatch>(*this);
        watch->Attach(child);
        children_.push_back(std::move(watch));
    }
    ::SetWindowPos(control, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

// Each part reports its own leaving; the frame stays thick while the pointer is over any part.
void FlatListFrame::PointerOver(HWND part, bool nonClient) {
    PointerLeaveTrack(part, nonClient);
    if (!hot_) {
        hot_ = true;
        Repaint();
    }
}

void FlatListFrame::PointerMayHaveLeft() {
    if (PointerWithin(Window()))
        return; // moved to another part; its moves keep the frame thick
    hot_ = false;
    Repaint();
}

bool FlatListFrame::IsThick() const {
    return hot_ || ::GetFocus() == Window();
}

void FlatListFrame::PaintFrame() {
    WindowDC dc(Window());
    if (!dc)
        return;
    RECT r;
    ::GetWindowRect(Window(), &r);
    ::OffsetRect(&r, -r.left, -r.top);
    ::FrameRect(dc.Get(), &r, ::GetSysColorBrush(COLOR_BTNSHADOW));
    ::InflateRect(&r, -1, -1);
    ::FrameRect(dc.Get(), &r, ::GetSysColorBrush(IsThick() ? COLOR_BTNSHADOW : COLOR_WINDOW));
}

void FlatListFrame::Repaint() {
    ::RedrawWindow(Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

LRESULT FlatListFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCALCSIZE:
        return DefaultThen(message, wParam, lParam, [&] {
            // With wParam TRUE the first rectangle of NCCALCSIZE_PARAMS is the client area, as without.
            ::InflateRect(reinterpret_cast<RECT*>(lParam), -kFrameWidth, -kFrameWidth);
        });
    case WM_NCPAINT:
        return DefaultThen(message, wParam, lParam, [&] { PaintFrame(); }); // the scroll bars first
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        return DefaultThen(message, wParam, lParam,
                           [&] { PointerOver(Window(), message == WM_NCMOUSEMOVE); });
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
        return DefaultThen(message, wParam, lParam, [&] { PointerMayHaveLeft(); });
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return DefaultThen(message, wParam, lParam, [&] { Repaint(); });
    }
    return Default(message, wParam, lParam);
}

} // namespace veltrane
