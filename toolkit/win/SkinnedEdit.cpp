#include "toolkit/win/ControlLook.h"

namespace veltrane {

std::unique_ptr<WindowSubclass> SkinnedEditAttach(HWND, TSkinComponent&) {
    return nullptr;
}

} // namespace veltrane
