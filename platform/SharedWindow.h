#pragma once
// A hidden top-level window shared by everything in the process that needs it: made by the first
// user, destroyed with the last.

#include <memory>

#include "platform/Handles.h"
#include "platform/Window.h"
#include "platform/WindowProcedure.h"

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
        WindowClassRegister(className, &WindowProcedure<SharedHiddenWindow>::Procedure);
        ::CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, ModuleInstance(), this);
    }
    virtual ~SharedHiddenWindow() {
        // From here on the window only sees the default handling, so destroying it always works.
        WindowProcedure<SharedHiddenWindow>::Forget(window_.Get());
    }

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::DefWindowProcW(Handle(), message, wParam, lParam);
    }

private:
    friend class WindowProcedure<SharedHiddenWindow>;
    static constexpr char kWhere[] = "hidden window";
    void Attached(HWND hwnd) { window_.Reset(hwnd); }
    void Detached(HWND) { window_.Release(); }

    UniqueWindow window_;
};

} // namespace veltrane
