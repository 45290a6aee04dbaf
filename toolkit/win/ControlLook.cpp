#include "toolkit/win/ControlLook.h"

#include "toolkit/win/SkinnedEdit.h"
#include "toolkit/win/SkinnedScrollBars.h"

namespace veltrane {

std::unique_ptr<WindowSubclass> ControlLookAttach(HWND control, const ControlDecision& decision,
                                                  TSkinComponent& skin) {
    switch (decision.skin) {
    case ControlSkin::Edit:
        return SkinnedEditAttach(control, skin);
    case ControlSkin::ScrollBars:
        return SkinnedScrollBarsAttach(control, skin);
    default:
        break;
    }
    return nullptr;
}

void ControlRedrawWhole(HWND control) {
    if (::IsWindow(control))
        ::RedrawWindow(control, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

} // namespace veltrane
