#include "dialogs/PasswordField.h"

#include "platform/Window.h"

namespace veltrane {

void PasswordField::Attach(HWND edit, KeyPress onKeyPress) {
    onKeyPress_ = std::move(onKeyPress);
    ::SendMessageW(edit, EM_SETLIMITTEXT, kPasswordMaxLength, 0);
    ::SendMessageW(edit, EM_SETPASSWORDCHAR, L'*', 0);
    WindowSubclass::Attach(edit);
}

std::wstring PasswordField::Text() const {
    std::wstring text = HwndGetText(Window());
    if (!text.empty())
        ::CharLowerBuffW(text.data(), DWORD(text.size()));
    return text;
}

void PasswordField::Wipe() {
    if (!Window())
        return;
    std::wstring blank(size_t(::GetWindowTextLengthW(Window())), L' ');
    HwndSetText(Window(), blank);
    HwndSetText(Window(), L"");
}

LRESULT PasswordField::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR && onKeyPress_) {
        wchar_t key = wchar_t(wParam);
        onKeyPress_(key);
        if (key == 0)
            return 0;
        wParam = key;
    }
    return Default(message, wParam, lParam);
}

void WideStringWipe(std::wstring& text) {
    volatile wchar_t* p = text.data();
    for (size_t i = 0; i < text.capacity(); ++i)
        p[i] = 0;
    text.clear();
}

} // namespace veltrane
