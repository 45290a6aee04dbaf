#include "platform/Mutex.h"

#include <sddl.h>

namespace veltrane {

namespace {

// Everyone may wait on it and query it; the system and administrators may do anything. The default
// descriptor would let only the creating account in, so a copy with other rights could not see it.
constexpr wchar_t kOpenToWaitOn[] = L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;WD)";

struct LocalMemory {
    PSECURITY_DESCRIPTOR pointer = nullptr;
    ~LocalMemory() { ::LocalFree(pointer); }
};

} // namespace

MutexResult MutexOpenOrCreate(const wchar_t* name) {
    LocalMemory descriptor;
    ::ConvertStringSecurityDescriptorToSecurityDescriptorW(kOpenToWaitOn, SDDL_REVISION_1,
                                                           &descriptor.pointer, nullptr);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.pointer, FALSE};
    HANDLE handle = ::CreateMutexW(descriptor.pointer ? &attributes : nullptr, FALSE, name);
    DWORD error = ::GetLastError();
    // An existing one is opened asking for every right, which the descriptor grants only the system
    // and administrators; everyone else asks again for what it grants them.
    if (!handle && error == ERROR_ACCESS_DENIED) {
        handle = ::OpenMutexW(SYNCHRONIZE | MUTANT_QUERY_STATE, FALSE, name);
        if (handle)
            error = ERROR_ALREADY_EXISTS;
    }
    return {UniqueKernelHandle(handle), error};
}

} // namespace veltrane
