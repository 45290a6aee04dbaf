#pragma once
// User interface privilege isolation (Windows Vista and later): an elevated program receives no
// message above WM_USER from a process of a lower integrity level, the user's normal shell among
// them, unless it lets that message through. Bound on first use from user32; nothing on XP and Wine.

#include <windows.h>

#include "platform/LateBound.h"

namespace veltrane {

// Lets `message` reach `window` from lower integrity levels: for that window alone on Windows 7 and
// later, for the whole process on Vista, which has no per-window filter.
inline void MessageFromLowerIntegrityAllow(HWND window, UINT message) {
    struct ChangeFilter {
        DWORD size;
        DWORD extStatus;
    };
    using FilterEx = BOOL WINAPI(HWND, UINT, DWORD, ChangeFilter*);
    using FilterProcess = BOOL WINAPI(UINT, DWORD);
    constexpr DWORD kAllow = 1; // MSGFLT_ALLOW and MSGFLT_ADD
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    static auto* const forWindow = LateBound<FilterEx>(user32, "ChangeWindowMessageFilterEx");
    static auto* const forProcess = LateBound<FilterProcess>(user32, "ChangeWindowMessageFilter");
    if (message == 0 || !window)
        return;
    if (forWindow)
        forWindow(window, message, kAllow, nullptr);
    else if (forProcess)
        forProcess(message, kAllow);
}

} // namespace veltrane
