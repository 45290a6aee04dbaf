#include "driver/win/ZelkImports.h"
#include "driver/win/ZelkLibrary.h"

namespace veltrane {

ZelkLibrary ZelkLibraryImported() {
    return ZelkLibrary(::GetModuleHandleW(L"ZELK.dll"), {&fcGetPartition, &fcSetPartition, &fcGetProtection,
                                                         &fcSetProtection, &fcSetPassword, &fcCheckPassword});
}

} // namespace veltrane
