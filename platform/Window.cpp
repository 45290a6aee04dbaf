#include "platform/Window.h"

namespace veltrane {

HINSTANCE ModuleInstance() {
    return ::GetModuleHandleW(nullptr);
}

std::wstring HwndGetText(HWND hwnd) {
    std::wstring text(size_t(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(size_t(::GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return text;
}

void HwndSetText(HWND hwnd, std::wstring_view text) {
    ::SetWindowTextW(hwnd, std::wstring(text).c_str());
}

void WindowClassRegister(const wchar_t* name, WNDPROC proc, HBRUSH background, UINT style) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(ModuleInstance(), name, &existing))
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = ModuleInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    wc.hIcon = ::LoadIconW(ModuleInstance(), MAKEINTRESOURCEW(1));
    ::RegisterClassExW(&wc);
}

void HwndCenterOnScreen(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace veltrane
