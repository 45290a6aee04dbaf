#include "dialogs/PasswordField.h"

#include "platform/Window.h"

namespace veltrane {

void PasswordFieldPrepare(HWND edit) {
    ::SendMessageW(edit, EM_SETLIMITTEXT, kPasswordMaxLength, 0);
    ::SendMessageW(edit, EM_SETPASSWORDCHAR, L'*', 0);
}

std::wstring PasswordFieldText(HWND edit) {
    std::wstring text = HwndGetText(edit);
    if (!text.empty())
        ::CharLowerBuffW(text.data(), DWORD(text.size()));
    return text;
}

void WideStringWipe(std::wstring& text) {
    volatile wchar_t* p = text.data();
    for (size_t i = 0; i < text.capacity(); ++i)
        p[i] = 0;
    text.clear();
}

void PasswordFieldWipe(HWND edit) {
    std::wstring blank(size_t(::GetWindowTextLengthW(edit)), L' ');
    HwndSetText(edit, blank); // overwrite the edit's buffer before emptying it
    HwndSetText(edit, L"");
}

} // namespace veltrane
