#pragma once
// The one way into the program from the system's dispatcher: window procedures, subclass procedures
// and the keyboard path of the message loop run their handlers through MessageGuard. An exception
// never unwinds through the dispatcher; it is recorded as a debug-output line and the message gets
// its safe answer.

#include <windows.h>

#include <utility>

namespace veltrane {

// Writes one debug-output line naming where the exception in flight was caught.
void CaughtErrorRecord(const char* where, UINT message) noexcept;

// Runs `handler`; when it throws, answers the message as the system would have without the
// handler (`fallback`), except a close request, which must not turn into DestroyWindow.
template <typename Handler, typename Fallback>
auto MessageGuard(const char* where, UINT message, Handler&& handler, Fallback&& fallback) noexcept
    -> decltype(handler()) {
    using Result = decltype(handler());
    try {
        return std::forward<Handler>(handler)();
    } catch (...) {
        CaughtErrorRecord(where, message);
    }
    if (message == WM_CLOSE)
        return Result{};
    try {
        return std::forward<Fallback>(fallback)();
    } catch (...) {
        CaughtErrorRecord(where, message);
        return Result{};
    }
}

} // namespace veltrane
