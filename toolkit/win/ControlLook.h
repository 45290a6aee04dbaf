#pragma once
// The looks a skinned form gives its controls: each is a subclass of the control that paints the
// parts the skin owns and leaves the control's behaviour alone (SkinnedEdit.h, SkinnedScrollBars.h).
// Menus get theirs from the manager (SkinnedMenu.h).

#include <windows.h>

#include <memory>

#include "platform/Subclass.h"
#include "toolkit/skinning/SkinRules.h"

namespace veltrane {

class TSkinComponent;

// The look for a control the rules gave `decision`; null where this program paints none (the
// control keeps its own look).
std::unique_ptr<WindowSubclass> ControlLookAttach(HWND control, const ControlDecision& decision,
                                                  TSkinComponent& skin);

// Has a control draw itself again, its non-client parts included (a look came or went).
void ControlRedrawWhole(HWND control);

} // namespace veltrane
