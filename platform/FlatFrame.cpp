#include "platform/FlatFrame.h"

#include <commctrl.h>

#include "platform/Handles.h"

namespace veltrane {

namespace {

constexpr int kFrameWidth = 2; // room for the thick frame; the thin one leaves the inner ring blank

struct FrameState {
    bool hot = false;
};

bool IsThick(HWND hwnd, const FrameState& state) {
    return state.hot || ::GetFocus() == hwnd;
}

void PaintFrame(HWND hwnd, const FrameState& state) {
    HDC dc = ::GetWindowDC(hwnd);
    if (!dc)
        return;
    RECT r;
    ::GetWindowRect(hwnd, &r);
    ::OffsetRect(&r, -r.left, -r.top);
    UniqueBrush frame(::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW)));
    UniqueBrush inner(::CreateSolidBrush(IsThick(hwnd, state) ? ::GetSysColor(COLOR_BTNSHADOW)
                                                              : ::GetSysColor(COLOR_WINDOW)));
    ::FrameRect(dc, &r, frame.Get());
    ::InflateRect(&r, -1, -1);
    ::FrameRect(dc, &r, inner.Get());
    ::ReleaseDC(hwnd, dc);
}

void Repaint(HWND hwnd) {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* state = reinterpret_cast<FrameState*>(data);
    switch (message) {
    case WM_NCCALCSIZE: {
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        // With wParam TRUE the first rectangle of NCCALCSIZE_PARAMS is the client area, as without.
        ::InflateRect(reinterpret_cast<RECT*>(lParam), -kFrameWidth, -kFrameWidth);
        return result;
    }
    case WM_NCPAINT: {
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam); // scroll bars
        PaintFrame(hwnd, *state);
        return result;
    }
    case WM_MOUSEMOVE:
        if (!state->hot) {
            state->hot = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
            ::TrackMouseEvent(&track);
            Repaint(hwnd);
        }
        break;
    case WM_MOUSELEAVE:
        state->hot = false;
        Repaint(hwnd);
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        Repaint(hwnd);
        return result;
    }
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, &FrameProc, 0);
        delete state;
        break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace

void FlatFrameAttach(HWND control) {
    // The frame replaces the control's own border.
    ::SetWindowLongW(control, GWL_STYLE, ::GetWindowLongW(control, GWL_STYLE) & ~WS_BORDER);
    ::SetWindowLongW(control, GWL_EXSTYLE, ::GetWindowLongW(control, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
    ::SetWindowSubclass(control, &FrameProc, 0, DWORD_PTR(new FrameState));
    ::SetWindowPos(control, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

} // namespace veltrane
