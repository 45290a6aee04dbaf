#include "platform/Mutex.h"

namespace veltrane {

MutexResult MutexOpenOrCreate(const wchar_t* name) {
    MutexResult result;
    result.handle.Reset(::CreateMutexW(nullptr, FALSE, name));
    result.alreadyExisted = result.handle && ::GetLastError() == ERROR_ALREADY_EXISTS;
    return result;
}

UniqueKernelHandle MutexCreateOpenToAll(const wchar_t* name) {
    SECURITY_DESCRIPTOR descriptor{};
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    return UniqueKernelHandle(::CreateMutexW(&attributes, FALSE, name));
}

} // namespace veltrane
