#include "platform/Shell.h"

#include <windows.h>

#include <vector>

namespace veltrane {

int DllFileVersion(const wchar_t* dllName) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(dllName, &ignored);
    if (size == 0)
        return -1;
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(dllName, 0, size, data.data()))
        return -1;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed)
        return -1;
    return int(fixed->dwFileVersionMS);
}

} // namespace veltrane
