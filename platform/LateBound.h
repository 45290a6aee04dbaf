#pragma once
// Functions of DLLs the program loads on first use instead of importing them: what an idle program
// in the notification area never calls then costs it nothing (under Wine the common controls' and
// COM's start-up alone come to megabytes).

#include <windows.h>

#include <string>

namespace veltrane {

// The system folder's copy of a DLL, never one beside the program; loaded once, kept for the process.
inline HMODULE SystemFolderLibrary(const wchar_t* name) {
    if (HMODULE loaded = ::GetModuleHandleW(name))
        return loaded;
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return ::LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

// Null when the module or the function is missing; callers answer as the function would on failure.
template <typename Function> Function* LateBound(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Function*>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                  : nullptr;
}

} // namespace veltrane
