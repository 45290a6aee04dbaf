#pragma once
// Skinned pop-up menu windows (#32768): [MenuBackground], [MenuItem] and the menu colours.

#include <windows.h>

#include <memory>

#include "platform/Subclass.h"

namespace veltrane {

class TSkinComponent;

std::unique_ptr<WindowSubclass> SkinnedMenuAttach(HWND menuWindow, TSkinComponent& skin);

} // namespace veltrane
