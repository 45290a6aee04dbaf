#include "platform/MessageDialog.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Guard.h"
#include "platform/Paint.h"
#include "platform/Window.h"

namespace veltrane {

namespace {

constexpr WORD kTextId = 0xFFFF;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kStaticClass = 0x0082;
constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kMinTextWidth = 150;
constexpr int kMaxTextWidth = 420;

// Builds a DLGTEMPLATE in memory; sizes are placeholders, the dialog lays itself out in pixels.
class TemplateBuilder {
public:
    void Header(DWORD style, std::wstring_view caption, WORD itemCount) {
        Dword(style);
        Dword(0);
        Word(itemCount);
        Word(0), Word(0), Word(10), Word(10); // x, y, cx, cy
        Word(0);                              // no menu
        Word(0);                              // standard class
        String(caption);
        Word(9);
        String(L"MS Shell Dlg");
    }
    void Item(DWORD style, WORD id, WORD windowClass, std::wstring_view text) {
        Align();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(0), Word(0), Word(10), Word(10);
        Word(id);
        Word(0xFFFF);
        Word(windowClass);
        String(text);
        Word(0); // no creation data
    }
    const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) { Word(LOWORD(d)), Word(HIWORD(d)); }
    void String(std::wstring_view s) {
        words_.insert(words_.end(), s.begin(), s.end());
        Word(0);
    }
    void Align() {
        if (words_.size() % 2)
            Word(0);
    }
    std::vector<WORD> words_;
};

SIZE MeasureText(HWND hwnd, HWND textControl, const std::wstring& text) {
    ClientDC dc(hwnd);
    ScopedSelect font(dc.Get(), HGDIOBJ(::SendMessageW(textControl, WM_GETFONT, 0, 0)));
    RECT r{0, 0, kMaxTextWidth, 0};
    ::DrawTextW(dc.Get(), text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return {std::max<LONG>(r.right, kMinTextWidth), r.bottom};
}

void LayOut(HWND dialog) {
    HWND text = ::GetDlgItem(dialog, kTextId);
    HWND button = ::GetDlgItem(dialog, IDOK);
    const SIZE textSize = MeasureText(dialog, text, HwndGetText(text));
    const int clientWidth = textSize.cx + 2 * kMargin;
    const int clientHeight = kMargin + textSize.cy + kMargin + kButtonHeight + kMargin;
    ::MoveWindow(text, kMargin, kMargin, textSize.cx, textSize.cy, FALSE);
    ::MoveWindow(button, (clientWidth - kButtonWidth) / 2, clientHeight - kMargin - kButtonHeight,
                 kButtonWidth, kButtonHeight, FALSE);
    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, DWORD(::GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                         DWORD(::GetWindowLongW(dialog, GWL_EXSTYLE)));
    ::SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER);
    HwndCentre(dialog);
}

INT_PTR HandleDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        LayOut(dialog);
        HwndHoldOffScreen(dialog);
        return TRUE;
    case WM_WINDOWPOSCHANGED:
        if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW)
            HwndRevealPainted(dialog); // the dialog manager shows it once its queue is empty
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return MessageGuard(
        "message box", message, [&] { return HandleDialogMessage(dialog, message, wParam, lParam); },
        [] { return INT_PTR(FALSE); });
}

} // namespace

void MessageDialogShow(HWND owner, std::wstring_view caption, std::wstring_view text,
                       std::wstring_view buttonText) {
    TemplateBuilder builder;
    builder.Header(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, caption,
                   2);
    builder.Item(SS_LEFT | SS_NOPREFIX, kTextId, kStaticClass, text);
    builder.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, kButtonClass, buttonText);
    ::DialogBoxIndirectParamW(ModuleInstance(), builder.Data(), owner, &MessageDialogProc, 0);
}

} // namespace veltrane
