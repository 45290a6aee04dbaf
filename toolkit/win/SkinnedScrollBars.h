#pragma once
// The scroll bars of a skinned form's list views and memos, from the skin's [Scrollbar]: the
// tracks, the arrows and the thumbs.

#include <windows.h>

#include <memory>

#include "platform/Subclass.h"

namespace veltrane {

class TSkinComponent;

// Null where the skin or the system lacks what the bars need (they stay the system's).
std::unique_ptr<WindowSubclass> SkinnedScrollBarsAttach(HWND control, TSkinComponent& skin);

} // namespace veltrane
