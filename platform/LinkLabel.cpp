#include "platform/LinkLabel.h"

#include "platform/Handles.h"
#include "platform/Paint.h"
#include "platform/Window.h"
#include "platform/WindowProcedure.h"

namespace veltrane {

const wchar_t kLinkLabelClass[] = L"TLinkLabel";

namespace {

constexpr COLORREF kVisitedColour = RGB(128, 0, 128);
constexpr UINT kClickMessage = WM_USER + 1;

class LinkLabel {
public:
    std::wstring address;
    LinkOpener opener;
    bool visited = false;

    static LinkLabel* Of(HWND hwnd) {
        return HwndClassIs(hwnd, kLinkLabelClass) ? WindowProcedure<LinkLabel>::Of(hwnd) : nullptr;
    }

private:
    friend class WindowProcedure<LinkLabel>;
    static constexpr char kWhere[] = "link label";
    // The label's state lives and dies with its window.
    static LinkLabel* Make(const CREATESTRUCTW&) { return new LinkLabel; }
    void Attached(HWND hwnd) { hwnd_ = hwnd; }
    void Detached(HWND) { delete this; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void UseFont(HFONT font);
    void Clicked();

    HWND hwnd_ = nullptr;
    bool pressed_ = false; // the left button went down on the label and the pointer is captured
    UniqueFont underlined_;
};

void LinkLabel::Paint() {
    PaintDC paint(hwnd_);
    RECT r;
    ::GetClientRect(hwnd_, &r);
    DoubleBuffer buffer(paint.Get(), r);
    HDC dc = buffer.Get();
    // The parent chooses the background, as for any static text.
    auto brush = HBRUSH(::SendMessageW(::GetParent(hwnd_), WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(hwnd_)));
    ::FillRect(dc, &r, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
    ScopedSelect font(dc, underlined_.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, visited ? kVisitedColour : ::GetSysColor(COLOR_HIGHLIGHT));
    const std::wstring text = HwndGetText(hwnd_);
    const UINT align = (::GetWindowLongW(hwnd_, GWL_STYLE) & SS_CENTER) ? DT_CENTER : DT_LEFT;
    ::DrawTextW(dc, text.c_str(), int(text.size()), &r, align | DT_WORDBREAK | DT_NOPREFIX);
}

void LinkLabel::UseFont(HFONT font) {
    LOGFONTW lf{};
    if (!::GetObjectW(font ? HGDIOBJ(font) : ::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf))
        return;
    lf.lfUnderline = TRUE;
    underlined_.Reset(::CreateFontIndirectW(&lf));
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

// A failing opener stays silent, as a failed open does. Only the address the program gave opens: the
// text can be set by any program, and would open whatever file it names.
void LinkLabel::Clicked() {
    if (opener && opener(address) && !visited) {
        visited = true;
        ::InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

LRESULT LinkLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT:
        UseFont(HFONT(wParam));
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = ::DefWindowProcW(hwnd_, message, wParam, lParam);
        ::InvalidateRect(hwnd_, nullptr, TRUE);
        return result;
    }
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    case WM_LBUTTONDOWN:
        // A click is a press and a release both on the label; a double-click's second press is not.
        pressed_ = true;
        ::SetCapture(hwnd_);
        return 0;
    case WM_LBUTTONUP:
        if (pressed_) {
            pressed_ = false;
            ::ReleaseCapture();
            RECT client;
            ::GetClientRect(hwnd_, &client);
            if (::PtInRect(&client, PointOf(lParam)))
                Clicked();
        }
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
    case kClickMessage:
        Clicked();
        return 0;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

} // namespace

void LinkLabelClassRegister() {
    WindowClassRegister(kLinkLabelClass, &WindowProcedure<LinkLabel>::Procedure, nullptr, CS_DBLCLKS);
}

void LinkLabelSetup(HWND label, std::wstring address, LinkOpener opener) {
    if (LinkLabel* state = LinkLabel::Of(label)) {
        state->address = std::move(address);
        state->opener = std::move(opener);
    }
}

void LinkLabelClickLater(HWND label) {
    ::PostMessageW(label, kClickMessage, 0, 0);
}

bool LinkLabelVisited(HWND label) {
    const LinkLabel* state = LinkLabel::Of(label);
    return state && state->visited;
}

} // namespace veltrane
