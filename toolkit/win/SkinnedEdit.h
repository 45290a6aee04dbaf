#pragma once
// The sunken edge of a skinned form's edits, from the skin's [SunkEdge].

#include <windows.h>

#include <memory>

#include "platform/Subclass.h"

namespace veltrane {

class TSkinComponent;

// Null where the skin has no complete edge (the edit keeps its own).
std::unique_ptr<WindowSubclass> SkinnedEditAttach(HWND edit, TSkinComponent& skin);

} // namespace veltrane
