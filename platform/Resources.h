#pragma once
// Raw data resources of the program (RCDATA); they stay mapped for the life of the process.

#include <cstdint>
#include <span>

namespace veltrane {

// Empty when the resource is missing.
std::span<const std::uint8_t> ResourceData(int resourceId);

} // namespace veltrane
