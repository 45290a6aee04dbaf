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
    window_ = target_ = window;
    return true;
}

void WindowSubclass::Detach() {
    if (window_)
        comctl::RemoveWindowSubclass(std::exchange(window_, nullptr), &WindowSubclass::Proc, UINT_PTR(this));
}

bool WindowSubclass::IsOn(HWND window, const WindowSubclass* subclass) {
    DWORD_PTR data = 0;
    return window && subclass &&
           comctl::GetWindowSubclass(window, &WindowSubclass::Proc, UINT_PTR(subclass), &data);
}

void WindowSubclass::Retire() {
    Detach();
    if (!given_)
        return;
    retired_ = true;
    if (depth_ == 0)
        delete this;
}

LRESULT WindowSubclass::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return comctl::DefSubclassProc(target_, message, wParam, lParam);
}

LRESULT CALLBACK WindowSubclass::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR data) {
    auto* self = reinterpret_cast<WindowSubclass*>(data);
    ++self->depth_;
    LRESULT result = 0;
    if (message == WM_NCDESTROY) {
        // The window goes: pass the message on, then leave the chain (and, when given, go with it).
        result = comctl::DefSubclassProc(hwnd, message, wParam, lParam);
        self->Detach();
        self->retired_ = self->given_;
    } else {
        result = MessageGuard(
            "subclass", message, [&] { return self->HandleMessage(message, wParam, lParam); },
            [&] { return comctl::DefSubclassProc(hwnd, message, wParam, lParam); });
    }
    if (--self->depth_ == 0 && self->retired_)
        delete self;
    return result;
}

} // namespace veltrane
