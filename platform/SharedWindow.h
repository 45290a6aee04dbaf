#pragma once
// A hidden top-level window shared by everything in the process that needs it: made by the first
// user, destroyed with the last.

#include <memory>

#include "platform/Guard.h"
#include "platform/Handles.h"
#include "platform/Window.h"

namespace veltrane {

template <typename Derived> class SharedHiddenWindow {
public:
    static std::shared_ptr<Derived> Acquire() {
        static std::weak_ptr<Derived> shared; // process-wide, like the window it names
        std::shared_ptr<Derived> window = shared.lock();
        if (!window) {
            window = std::make_shared<Derived>();
            shared = window;
        }
        return window;
    }

    SharedHiddenWindow(const SharedHiddenWindow&) = delete;
    SharedHiddenWindow& operator=(const SharedHiddenWindow&) = delete;
    HWND Handle() const { return window_.Get(); }

protected:
    explicit SharedHiddenWindow(const wchar_t* className) {
        WindowClassRegister(className, &SharedHiddenWindow::WindowProc);
        window_.Reset(::CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        ModuleInstance(), nullptr));
        ::SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, LONG_PTR(this));
    }
    virtual ~SharedHiddenWindow() {
        // From here on the window only sees the default handling, so destroying it always works.
        ::SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, 0);
    }

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::DefWindowProcW(Handle(), message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<SharedHiddenWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self)
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
        return MessageGuard(
            "hidden window", message, [&] { return self->HandleMessage(message, wParam, lParam); },
            [&] { return ::DefWindowProcW(hwnd, message, wParam, lParam); });
    }

    UniqueWindow window_;
};

} // namespace veltrane
