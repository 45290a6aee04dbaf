#pragma once
// The desktop window manager (Windows Vista and later), bound on first use from the system folder:
// on XP and under Wine there is none, and nothing happens.

#include <windows.h>

#include "platform/LateBound.h"

namespace veltrane {

// Whether the manager draws the window's frame itself (DWMWA_NCRENDERING_POLICY); `policy` is a
// DWMNCRENDERINGPOLICY value.
inline void NonClientRenderingPolicySet(HWND window, DWORD policy) {
    using SetAttribute = HRESULT WINAPI(HWND, DWORD, LPCVOID, DWORD);
    static auto* const call =
        LateBound<SetAttribute>(SystemFolderLibrary(L"dwmapi.dll"), "DwmSetWindowAttribute");
    constexpr DWORD kNonClientRenderingPolicy = 2; // DWMWA_NCRENDERING_POLICY
    if (call && window)
        call(window, kNonClientRenderingPolicy, &policy, sizeof policy);
}

} // namespace veltrane
