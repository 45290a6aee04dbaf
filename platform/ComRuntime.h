#pragma once
// The COM and accessibility runtime, loaded on the first call: only an accessibility client's
// request needs it, and under Wine ole32 and rpcrt4 cost an idle program more than a megabyte.

#include <windows.h>
#include <ole2.h>
#include <oleacc.h>

#include "platform/LateBound.h"

namespace veltrane {

namespace com_runtime {
template <typename Function> Function* Find(const wchar_t* library, const char* name) {
    return LateBound<Function>(SystemFolderLibrary(library), name);
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
