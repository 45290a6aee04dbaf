#include "platform/LinkLabel.h"

#include <windowsx.h>

#include <utility>

#include "platform/Guard.h"
#include "platform/Handles.h"
#include "platform/Paint.h"
#include "platform/Window.h"

namespace veltrane {

const wchar_t kLinkLabelClass[] = L"TLinkLabel";

namespace {

constexpr COLORREF kVisitedColor = RGB(128, 0, 128);
constexpr UINT kClickMessage = WM_USER + 1;

struct LinkState {
    std::wstring address;
    LinkOpener opener;
    bool visited = false;
    bool pressed = false; // the left button went down on the label and the pointer is captured
    UniqueFont underlined;
};

LinkState* StateOf(HWND hwnd) {
    return reinterpret_cast<LinkState*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Paint(HWND hwnd, LinkState& state) {
    PaintDC paint(hwnd);
    RECT r;
    ::GetClientRect(hwnd, &r);
    DoubleBuffer buffer(paint.Get(), r);
    HDC dc = buffer.Get();
    // The parent chooses the background, as for any static text.
    auto brush = HBRUSH(::SendMessageW(::GetParent(hwnd), WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(hwnd)));
    ::FillRect(dc, &r, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
    ScopedSelect font(dc, state.underlined.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, state.visited ? kVisitedColor : ::GetSysColor(COLOR_HIGHLIGHT));
    const std::wstring text = HwndGetText(hwnd);
    const UINT align = (::GetWindowLongW(hwnd, GWL_STYLE) & SS_CENTER) ? DT_CENTER : DT_LEFT;
    ::DrawTextW(dc, text.c_str(), int(text.size()), &r, align | DT_WORDBREAK | DT_NOPREFIX);
}

void UseFont(HWND hwnd, LinkState& state, HFONT font) {
    LOGFONTW lf{};
    if (!::GetObjectW(font ? HGDIOBJ(font) : ::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf))
        return;
    lf.lfUnderline = TRUE;
    state.underlined.Reset(::CreateFontIndirectW(&lf));
    ::InvalidateRect(hwnd, nullptr, TRUE);
}

void Clicked(HWND hwnd, LinkState& state) {
    const std::wstring target =
        state.address.find_first_not_of(L" \t") == std::wstring::npos ? HwndGetText(hwnd) : state.address;
    if (state.opener && state.opener(target) && !state.visited) {
        state.visited = true;
        ::InvalidateRect(hwnd, nullptr, TRUE);
    }
}

LRESULT HandleLinkMessage(HWND hwnd, LinkState* state, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT:
        if (state)
            UseFont(hwnd, *state, HFONT(wParam));
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = ::DefWindowProcW(hwnd, message, wParam, lParam);
        ::InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    case WM_PAINT:
        if (state) {
            Paint(hwnd, *state);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    case WM_LBUTTONDOWN:
        // A click is a press and a release both on the label; a double-click's second press is not.
        if (state) {
            state->pressed = true;
            ::SetCapture(hwnd);
        }
        return 0;
    case WM_LBUTTONUP:
        if (state && state->pressed) {
            state->pressed = false;
            ::ReleaseCapture();
            RECT client;
            ::GetClientRect(hwnd, &client);
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (::PtInRect(&client, at))
                Clicked(hwnd, *state);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (state)
            state->pressed = false;
        return 0;
    case kClickMessage:
        if (state)
            Clicked(hwnd, *state);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK LinkLabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LinkState* state = StateOf(hwnd);
    if (message == WM_NCCREATE) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(new LinkState));
    } else if (message == WM_NCDESTROY) {
        delete std::exchange(state, nullptr);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
    // A failing opener stays silent, as a failed open does.
    return MessageGuard(
        "link label", message, [&] { return HandleLinkMessage(hwnd, state, message, wParam, lParam); },
        [&] { return ::DefWindowProcW(hwnd, message, wParam, lParam); });
}

} // namespace

void LinkLabelClassRegister() {
    WindowClassRegister(kLinkLabelClass, &LinkLabelProc, nullptr, CS_DBLCLKS);
}

void LinkLabelSetup(HWND label, std::wstring address, LinkOpener opener) {
    if (LinkState* state = StateOf(label)) {
        state->address = std::move(address);
        state->opener = std::move(opener);
    }
}

void LinkLabelClickLater(HWND label) {
    ::PostMessageW(label, kClickMessage, 0, 0);
}

bool LinkLabelVisited(HWND label) {
    const LinkState* state = StateOf(label);
    return state && state->visited;
}

} // namespace veltrane
