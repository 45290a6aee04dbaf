#include "platform/FlatFrame.h"

#include <commctrl.h>

#include "platform/Paint.h"

namespace veltrane {

namespace {
constexpr int kFrameWidth = 2; // room for the thick frame; the thin one leaves the inner ring blank
} // namespace

void FlatFrame::Attach(HWND control) {
    ::SetWindowLongW(control, GWL_STYLE, ::GetWindowLongW(control, GWL_STYLE) & ~WS_BORDER);
    ::SetWindowLongW(control, GWL_EXSTYLE, ::GetWindowLongW(control, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
    WindowSubclass::Attach(control);
    ::SetWindowPos(control, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

bool FlatFrame::IsThick() const {
    return hot_ || ::GetFocus() == Window();
}

void FlatFrame::PaintFrame() {
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

void FlatFrame::Repaint() {
    ::RedrawWindow(Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

LRESULT FlatFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCALCSIZE: {
        const LRESULT result = Default(message, wParam, lParam);
        // With wParam TRUE the first rectangle of NCCALCSIZE_PARAMS is the client area, as without.
        ::InflateRect(reinterpret_cast<RECT*>(lParam), -kFrameWidth, -kFrameWidth);
        return result;
    }
    case WM_NCPAINT: {
        const LRESULT result = Default(message, wParam, lParam); // scroll bars
        PaintFrame();
        return result;
    }
    case WM_MOUSEMOVE:
        if (!hot_) {
            hot_ = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Window(), 0};
            ::TrackMouseEvent(&track);
            Repaint();
        }
        break;
    case WM_MOUSELEAVE:
        hot_ = false;
        Repaint();
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = Default(message, wParam, lParam);
        Repaint();
        return result;
    }
    }
    return Default(message, wParam, lParam);
}

} // namespace veltrane
