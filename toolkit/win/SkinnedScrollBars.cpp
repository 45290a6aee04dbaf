#include "toolkit/win/ControlLook.h"

namespace veltrane {

std::unique_ptr<WindowSubclass> SkinnedScrollBarsAttach(HWND, TSkinComponent&) {
    return nullptr;
}

} // namespace veltrane
