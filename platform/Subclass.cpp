#include "platform/Subclass.h"

#include <commctrl.h>

#include <utility>

#include "platform/CommonControls.h"
#include "platform/Guard.h"

namespace veltrane {

// The object's address is the subclass id, so one procedure serves every subclass of a window.
bool WindowSubclass::Attach(HWND window) {
    Detach();
    if (!window || !comctl::SetWindowSubclass(window, &WindowSubclass::Proc, UINT_PTR(this), DWORD_PTR(this)))
        return false;
    window_ = window;
    return true;
}

void WindowSubclass::Detach() {
    if (window_)
        comctl::RemoveWindowSubclass(std::exchange(window_, nullptr), &WindowSubclass::Proc, UINT_PTR(this));
}

LRESULT WindowSubclass::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return comctl::DefSubclassProc(window_, message, wParam, lParam);
}

LRESULT CALLBACK WindowSubclass::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) {
    auto* self = reinterpret_cast<WindowSubclass*>(data);
    if (message == WM_NCDESTROY) {
        // The window goes: pass the message on, then leave the chain.
        const LRESULT result = comctl::DefSubclassProc(hwnd, message, wParam, lParam);
        self->Detach();
        return result;
    }
    return MessageGuard(
        "subclass", message, [&] { return self->HandleMessage(message, wParam, lParam); },
        [&] { return comctl::DefSubclassProc(hwnd, message, wParam, lParam); });
}

} // namespace veltrane
