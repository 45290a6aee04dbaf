#include "platform/Window.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/Guard.h"

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

std::wstring HwndClassName(HWND hwnd) {
    wchar_t name[257] = {}; // class names are at most 256 characters
    const int length = hwnd ? ::GetClassNameW(hwnd, name, int(std::size(name))) : 0;
    return std::wstring(name, size_t(length > 0 ? length : 0));
}

bool HwndClassIs(HWND hwnd, std::wstring_view name) {
    // The system's own class names are ASCII; Windows XP has no ordinal comparison function.
    const auto folded = [](wchar_t c) {
        return c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c;
    };
    const std::wstring actual = HwndClassName(hwnd);
    return !actual.empty() && actual.size() == name.size() &&
           std::equal(actual.begin(), actual.end(), name.begin(),
                      [&](wchar_t a, wchar_t b) { return folded(a) == folded(b); });
}

bool HwndIsPushButton(HWND hwnd) {
    if (!HwndClassIs(hwnd, L"Button"))
        return false;
    const LONG type = ::GetWindowLongW(hwnd, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

namespace {

// An enumeration that cannot grow its list stops early instead of unwinding through the system.
BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    return MessageGuard(
        "window list", 0,
        [&] {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        [] { return FALSE; });
}

} // namespace

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectWindow, LPARAM(&windows));
    return windows;
}

ModalScope::ModalScope(HWND keep, bool reclaimForeground)
    : active_(::GetActiveWindow()), reclaimForeground_(reclaimForeground), disabled_(ThreadWindows()) {
    std::erase_if(disabled_,
                  [keep](HWND w) { return w == keep || !::IsWindowVisible(w) || !::IsWindowEnabled(w); });
    for (HWND w : disabled_)
        ::EnableWindow(w, FALSE);
}

ModalScope::~ModalScope() {
    EnableOthers();
    if (!active_ || !::IsWindowVisible(active_) || !::IsWindowEnabled(active_))
        return;
    DWORD foregroundProcess = 0;
    ::GetWindowThreadProcessId(::GetForegroundWindow(), &foregroundProcess);
    if (!reclaimForeground_ || foregroundProcess == ::GetCurrentProcessId())
        ::SetActiveWindow(active_);
    else
        ::SetForegroundWindow(active_);
}

void ModalScope::EnableOthers() {
    for (HWND w : std::exchange(disabled_, {}))
        ::EnableWindow(w, TRUE);
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> windows;
    ::EnumChildWindows(parent, &CollectWindow, LPARAM(&windows));
    return windows;
}

void WindowClassRegister(const wchar_t* name, WNDPROC proc, HBRUSH background, UINT style, bool withIcon) {
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
    wc.hIcon = withIcon ? ::LoadIconW(ModuleInstance(), MAKEINTRESOURCEW(1)) : nullptr;
    ::RegisterClassExW(&wc);
}

void HwndSetProgramIcon(HWND hwnd) {
    // Shared icons from LoadImage with LR_SHARED need no freeing.
    for (auto [which, metric] : {std::pair{ICON_SMALL, SM_CXSMICON}, std::pair{ICON_BIG, SM_CXICON}}) {
        const int size = ::GetSystemMetrics(metric);
        HANDLE icon = ::LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_SHARED);
        ::SendMessageW(hwnd, WM_SETICON, which, LPARAM(icon));
    }
}

void HwndCentre(HWND hwnd, HWND over) {
    RECT area{}, self{};
    if (!over || !::GetWindowRect(over, &area))
        area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (!::GetWindowRect(hwnd, &self))
        return;
    const int x = (area.left + area.right - (self.right - self.left)) / 2;
    const int y = (area.top + area.bottom - (self.bottom - self.top)) / 2;
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void HwndHoldOffScreen(HWND hwnd) {
    const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_LAYERED);
    ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle); // forgets the attributes of an earlier showing
    ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
}

void HwndRevealPainted(HWND hwnd) {
    if (!(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED))
        return;
    ::RedrawWindow(hwnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Revealed, the window is painted once more, as after any exposure; taking the style away again
    // would add a third time. Refused, the layer goes, so that the window shows all the same.
    if (!::SetLayeredWindowAttributes(hwnd, 0, 255, LWA_ALPHA))
        ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE,
                            ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_LAYERED));
}

bool PointerLeaveTrack(HWND window, bool nonClient) {
    TRACKMOUSEEVENT track{sizeof track, DWORD(TME_LEAVE | (nonClient ? TME_NONCLIENT : 0)), window, 0};
    return ::TrackMouseEvent(&track) != FALSE;
}

bool PointerWithin(HWND window) {
    POINT at{};
    if (!::GetCursorPos(&at))
        return false;
    HWND under = ::WindowFromPoint(at);
    return under == window || ::IsChild(window, under);
}

} // namespace veltrane
