#pragma once
// Small helpers over window handles: text, classes, placement.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

std::wstring HwndGetText(HWND hwnd);
void HwndSetText(HWND hwnd, std::wstring_view text);
// The window's class name; empty for no window.
std::wstring HwndClassName(HWND hwnd);
// The window's class is `name`, compared as the system compares class names (case aside).
bool HwndClassIs(HWND hwnd, std::wstring_view name);
// A BUTTON window of a push type; owner-drawn ones are the program's drawn push buttons.
bool HwndIsPushButton(HWND hwnd);
// The calling thread's top-level windows, and every window inside `parent`, as they are now.
std::vector<HWND> ThreadWindows();
std::vector<HWND> ChildWindows(HWND parent);
// While a modal window or a message box of the program is up: every other visible, enabled
// top-level window of the thread is disabled (but `keep`, which the box disables itself). Ending
// enables the same windows again, so one that was disabled before stays so, and gives the keyboard
// back to the window that was active.
class ModalScope {
public:
    // With `reclaimForeground`, for a box without owner: the system leaves the foreground to another
    // program's window when it closes, so the active window takes it back. A form's own modal showing
    // only reactivates: taking the foreground there would, under Wine, strand the keyboard focus.
    explicit ModalScope(HWND keep = nullptr, bool reclaimForeground = false);
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    ~ModalScope();
    // Before the modal window hides, so that the system activates one of ours in its place.
    void EnableOthers();

private:
    HWND active_;
    bool reclaimForeground_;
    std::vector<HWND> disabled_;
};
// The point a mouse message carries, signed for positions left of or above the origin.
inline POINT PointOf(LPARAM lParam) {
    return {short(LOWORD(lParam)), short(HIWORD(lParam))};
}
// Registers a window class once per process; later calls with the same name are no-ops. Windows of
// the class show the program's icon in their caption unless told otherwise.
void WindowClassRegister(const wchar_t* name, WNDPROC proc, HBRUSH background = nullptr, UINT style = 0,
                         bool withIcon = true);
// The program's icon in the window's caption (and its system-menu box).
void HwndSetProgramIcon(HWND hwnd);
// Moves a top-level window, keeping its size, so that it sits in the middle of `over`'s window, or of
// the primary screen when there is no such window.
void HwndCentre(HWND hwnd, HWND over = nullptr);
// A window about to show is made layered, still without its attributes, which keeps it off the
// screen once shown; HwndRevealPainted paints it and all its controls there and then reveals it, so
// that its first frame on screen is whole rather than built up control by control.
void HwndHoldOffScreen(HWND hwnd);
void HwndRevealPainted(HWND hwnd);
HINSTANCE ModuleInstance();
// Asks for WM_MOUSELEAVE (WM_NCMOUSELEAVE with `nonClient`) once the pointer leaves `window`;
// false when the system refused.
bool PointerLeaveTrack(HWND window, bool nonClient);
// The pointer is over `window` or one of its children.
bool PointerWithin(HWND window);

} // namespace veltrane
