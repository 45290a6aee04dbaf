#pragma once
// Named mutexes used as process markers.

#include "platform/Handles.h"

namespace veltrane {

struct MutexResult {
    UniqueKernelHandle handle;
    bool alreadyExisted = false;
};

// Opens or creates a named mutex, not owned, with default security.
MutexResult MutexOpenOrCreate(const wchar_t* name);
// Same, but any account may open it (present, null DACL; not inheritable).
UniqueKernelHandle MutexCreateOpenToAll(const wchar_t* name);

} // namespace veltrane
