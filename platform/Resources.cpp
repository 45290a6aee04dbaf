#include "platform/Resources.h"

#include <windows.h>

#include "platform/Window.h"

namespace veltrane {

std::span<const std::uint8_t> ResourceData(int resourceId) {
    HRSRC found =
        ::FindResourceW(ModuleInstance(), MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (!found)
        return {};
    HGLOBAL loaded = ::LoadResource(ModuleInstance(), found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return {static_cast<const std::uint8_t*>(data), ::SizeofResource(ModuleInstance(), found)};
}

} // namespace veltrane
