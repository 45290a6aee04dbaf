#pragma once
// The COM and accessibility runtime, loaded from the system folder on the first call rather than
// at start: only an accessibility client's request needs it, and under Wine ole32 and rpcrt4 cost
// an idle program in the notification area more than a megabyte.

#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

#include <string>

namespace veltrane {

namespace com_runtime {

// The system folder's copy, never one beside the program.
inline HMODULE SystemLibrary(const wchar_t* name) {
    if (HMODULE loaded = ::GetModuleHandleW(name))
        return loaded;
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return ::LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

template <typename Function> Function* Find(const wchar_t* library, const char* name) {
    const HMODULE module = SystemLibrary(library);
    return module ? reinterpret_cast<Function*>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                  : nullptr;
}

} // namespace com_runtime

inline HRESULT ComInitialize(DWORD model) {
    static auto* const call = com_runtime::Find<decltype(::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    return call ? call(nullptr, model) : E_NOTIMPL;
}

inline void ComUninitialize() {
    static auto* const call = com_runtime::Find<decltype(::CoUninitialize)>(L"ole32.dll", "CoUninitialize");
    if (call)
        call();
}

inline HRESULT ComDisconnectObject(IUnknown* object) {
    static auto* const call =
        com_runtime::Find<decltype(::CoDisconnectObject)>(L"ole32.dll", "CoDisconnectObject");
    return call ? call(object, 0) : E_NOTIMPL;
}

inline BSTR ComAllocString(const wchar_t* text, UINT length) {
    static auto* const call =
        com_runtime::Find<decltype(::SysAllocStringLen)>(L"oleaut32.dll", "SysAllocStringLen");
    return call ? call(text, length) : nullptr;
}

inline HRESULT AccCreateStdObject(HWND window, LONG object, REFIID id, void** out) {
    static auto* const call =
        com_runtime::Find<decltype(::CreateStdAccessibleObject)>(L"oleacc.dll", "CreateStdAccessibleObject");
    return call ? call(window, object, id, out) : E_NOTIMPL;
}

inline LRESULT AccResultFromObject(REFIID id, WPARAM wParam, IUnknown* object) {
    static auto* const call =
        com_runtime::Find<decltype(::LresultFromObject)>(L"oleacc.dll", "LresultFromObject");
    return call ? call(id, wParam, object) : 0;
}

} // namespace veltrane
