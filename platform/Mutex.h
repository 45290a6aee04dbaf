#pragma once
// Named mutexes used as process markers.

#include "platform/Handles.h"

namespace veltrane {

struct MutexResult {
    UniqueKernelHandle handle;
    unsigned long error = 0; // what the create call left as the last error
};

// Opens or creates a named mutex, not owned, that every user of the session may open to wait on.
MutexResult MutexOpenOrCreate(const wchar_t* name);
// Same, but any account may open it (present, null DACL; not inheritable).
UniqueKernelHandle MutexCreateOpenToAll(const wchar_t* name);

} // namespace veltrane
