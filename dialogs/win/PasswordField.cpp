#include "dialogs/win/PasswordField.h"

#include "platform/Window.h"
#include "texts/Cp936.h"

namespace veltrane {

void PasswordField::Attach(HWND edit, KeyPress onKeyPress) {
    onKeyPress_ = std::move(onKeyPress);
    ::SendMessageW(edit, EM_SETLIMITTEXT, kPasswordMaxBytes, 0);
    ::SendMessageW(edit, EM_SETPASSWORDCHAR, L'*', 0);
    WindowSubclass::Attach(edit);
}

std::wstring PasswordField::Text() const {
    std::wstring text = HwndGetText(Window());
    if (!text.empty())
        ::CharLowerBuffW(text.data(), DWORD(text.size()));
    return text;
}

std::optional<SecretString> PasswordField::Bytes() const {
    std::wstring text = Text();
    std::optional<std::string> bytes = ToCodePage936(text);
    StringWipe(text);
    if (!bytes)
        return std::nullopt;
    return SecretString(std::move(*bytes));
}

void PasswordField::Wipe() {
    if (!Window())
        return;
    std::wstring blank(size_t(::GetWindowTextLengthW(Window())), L' ');
    HwndSetText(Window(), blank);
    HwndSetText(Window(), L"");
}

namespace {

std::wstring ClipboardText(HWND owner) {
    std::wstring text;
    if (!::OpenClipboard(owner))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// The field holds letters in lower case: the character it will hold is the one to judge and insert.
wchar_t LowerCase(wchar_t key) {
    wchar_t one[2] = {key, 0};
    ::CharLowerBuffW(one, 1);
    return one[0];
}

} // namespace

bool PasswordField::Accepts(wchar_t key) const {
    DWORD start = 0, end = 0;
    ::SendMessageW(Window(), EM_GETSEL, WPARAM(&start), LPARAM(&end));
    std::wstring text = HwndGetText(Window());
    const bool accepted = PasswordKeyAccepted(text, start, end, key, &CodePage936Width);
    StringWipe(text);
    return accepted;
}

// Pasted text goes in as far as it would have been typed.
void PasswordField::PasteFiltered() {
    for (wchar_t key : ClipboardText(Window())) {
        key = LowerCase(key);
        if (key < L' ' || !Accepts(key))
            break;
        const wchar_t one[2] = {key, 0};
        ::SendMessageW(Window(), EM_REPLACESEL, TRUE, LPARAM(one));
    }
}

LRESULT PasswordField::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PASTE) {
        PasteFiltered();
        return 0;
    }
    if (message == WM_CHAR) {
        wchar_t key = wchar_t(wParam);
        if (onKeyPress_)
            onKeyPress_(key);
        if (key == 0)
            return 0;
        key = LowerCase(key);
        if (!Accepts(key)) {
            ::MessageBeep(MB_OK);
            return 0;
        }
        wParam = key;
    }
    return Default(message, wParam, lParam);
}

} // namespace veltrane
