#include "platform/Restart.h"

#include <windows.h>

#include "platform/Handles.h"

namespace veltrane {

namespace {

bool IsNtFamily() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(&version);
#pragma GCC diagnostic pop
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void EnableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    UniqueKernelHandle owned(token);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        ::AdjustTokenPrivileges(owned.Get(), FALSE, &privileges, 0, nullptr, nullptr);
}

} // namespace

void RestartNow() {
    if (IsNtFamily())
        EnableShutdownPrivilege();
    ::ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0);
}

} // namespace veltrane
