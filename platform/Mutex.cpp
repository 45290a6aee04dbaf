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
    // Asks only for what an existing one grants every user.
    HANDLE handle = ::CreateMutexExW(descriptor.pointer ? &attributes : nullptr, name, 0,
                                     SYNCHRONIZE | MUTANT_QUERY_STATE);
    const DWORD error = ::GetLastError();
    return {UniqueKernelHandle(handle), error};
}

UniqueKernelHandle MutexCreateOpenToAll(const wchar_t* name) {
    SECURITY_DESCRIPTOR descriptor{};
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    return UniqueKernelHandle(::CreateMutexW(&attributes, FALSE, name));
}

} // namespace veltrane
