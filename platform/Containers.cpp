#include "platform/Containers.h"

#include <commctrl.h>

#include "platform/Handles.h"
#include "platform/Window.h"

namespace veltrane {

const wchar_t kPanelClass[] = L"TPanel";

namespace {

bool IsChildNotification(UINT message) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsChildNotification(message))
        return ::SendMessageW(::GetParent(hwnd), message, wParam, lParam);
    if (message == WM_ERASEBKGND) {
        RECT r;
        ::GetClientRect(hwnd, &r);
        UniqueBrush brush(::CreateSolidBrush(ContainerColor(hwnd)));
        ::FillRect(HDC(wParam), &r, brush.Get());
        return TRUE;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (IsChildNotification(message))
        return ::SendMessageW(::GetParent(hwnd), message, wParam, lParam);
    if (message == WM_NCDESTROY)
        ::RemoveWindowSubclass(hwnd, &GroupBoxProc, 0);
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace

void PanelClassRegister() {
    WindowClassRegister(kPanelClass, &PanelProc);
}

void GroupBoxMakeContainer(HWND groupBox) {
    ::SetWindowSubclass(groupBox, &GroupBoxProc, 0, 0);
}

COLORREF ContainerColor(HWND control) {
    wchar_t className[32];
    for (HWND w = control; w; w = ::GetParent(w)) {
        if (::GetClassNameW(w, className, 32) && lstrcmpW(className, kPanelClass) == 0)
            return COLORREF(::GetWindowLongPtrW(w, GWLP_USERDATA));
        if (!(::GetWindowLongW(w, GWL_STYLE) & WS_CHILD))
            break;
    }
    return CLR_INVALID;
}

} // namespace veltrane
