#pragma once
// Named mutexes used as process markers.

#include "platform/Handles.h"

namespace veltrane {

struct MutexResult {
    UniqueKernelHandle handle;
    unsigned long error = 0; // what the create call left as the last error
};

// Opens or creates a named mutex, not owned, that every user may open to wait on and only the system
// and administrators may change. An existing one this account may only wait on is opened for that
// and reported as existing.
MutexResult MutexOpenOrCreate(const wchar_t* name);

} // namespace veltrane
