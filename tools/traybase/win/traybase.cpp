// The yardstick of the idle-memory and first-opening benchmarks (scripts/bench-memory.sh,
// tests/bench/first_opening.py): the least a program needs to sit in the notification area, built with
// the product's toolchain and options. A hidden window receives the icon's messages; a double-click on
// the icon shows it under the password dialog's title. Ends when that window is closed.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <iterator>

namespace {

constexpr wchar_t kClassName[] = L"VeltraneTrayBaseline";
constexpr UINT kTrayMessage = WM_APP + 1;

constexpr wchar_t kOpenedTitle[] = L"Veltrane\x5F71\x5B50\x7CFB\x7EDF(\x591A\x5206\x533A\x7248)";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTrayMessage && lParam == WM_LBUTTONDBLCLK) {
        SetWindowTextW(window, kOpenedTitle);
        const int width = 345, height = 190; // the password dialog's outer size, centred as it is
        SetWindowPos(window, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_SHOWWINDOW);
        SetForegroundWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    windowClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    if (!RegisterClassW(&windowClass))
        return 1;
    HWND window =
        CreateWindowExW(0, kClassName, L"Tray baseline", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;

    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    icon.uCallbackMessage = kTrayMessage;
    icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    std::wcsncpy(icon.szTip, L"Tray baseline", std::size(icon.szTip) - 1);
    if (!Shell_NotifyIconW(NIM_ADD, &icon))
        return 1;

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    Shell_NotifyIconW(NIM_DELETE, &icon);
    return 0;
}
