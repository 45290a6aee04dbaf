#include "toolkit/win/ControlLook.h"

namespace veltrane {

std::unique_ptr<WindowSubclass> SkinnedMenuAttach(HWND, TSkinComponent&) {
    return nullptr;
}

} // namespace veltrane
