#pragma once
// The one window procedure of the program's window classes: it ties a window to the C++ object
// that handles its messages. The object is attached at WM_NCCREATE, found through the window's
// user data, handed every message through MessageGuard, and detached at WM_NCDESTROY.
//
// `T` provides:
//   LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
//   void Attached(HWND window);   // the window exists; messages come from now on
//   void Detached(HWND window);   // the window is gone; no message comes any more
//   static constexpr char kWhere[]; // names the class in the debug line of a caught error
// and, for a window that makes its object itself, `static T* Make(const CREATESTRUCTW&)` (the
// object then usually deletes itself in Detached); without Make the object is the creation
// parameter. A class that keeps these private befriends WindowProcedure<T>.

#include <windows.h>

#include <memory>

#include "platform/Guard.h"

namespace veltrane {

template <typename T> class WindowProcedure {
public:
    // Registered as the class's procedure.
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        constexpr const char* Where = T::kWhere;
        const auto fallback = [&] {
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
        };
        if (message == WM_NCCREATE && !Attach(Where, hwnd, *reinterpret_cast<CREATESTRUCTW*>(lParam)))
            return FALSE; // the window is not made
        T* self = Of(hwnd);
        if (!self)
            return fallback();
        if (message == WM_NCDESTROY) {
            Forget(hwnd);
            MessageGuard(
                Where, message,
                [&] {
                    self->Detached(hwnd);
                    return 0;
                },
                [] { return 0; });
            return fallback();
        }
        return MessageGuard(
            Where, message, [&] { return self->HandleMessage(message, wParam, lParam); }, fallback);
    }

    // The object of a window made with this procedure; null for any other window.
    static T* Of(HWND hwnd) { return reinterpret_cast<T*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

    // From here on the window gets the default handling alone: for an object that goes before its
    // window.
    static void Forget(HWND hwnd) {
        if (hwnd)
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }

private:
    static bool Attach(const char* where, HWND hwnd, const CREATESTRUCTW& create) {
        return MessageGuard(
            where, WM_NCCREATE,
            [&] {
                if constexpr (requires { T::Make(create); }) {
                    std::unique_ptr<T> made(T::Make(create)); // freed if attaching fails
                    if (!made)
                        return false;
                    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(made.get()));
                    made->Attached(hwnd);
                    made.release();
                } else {
                    T* self = static_cast<T*>(create.lpCreateParams);
                    if (!self)
                        return false;
                    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(self));
                    self->Attached(hwnd);
                }
                return true;
            },
            [&] {
                Forget(hwnd);
                return false;
            });
    }
};

} // namespace veltrane
