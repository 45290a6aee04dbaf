#pragma once
// Facts about the system's shell components.

namespace veltrane {

// major * 65536 + minor of a DLL's fixed file version, or -1 when it cannot be read.
int DllFileVersion(const wchar_t* dllName);

} // namespace veltrane
