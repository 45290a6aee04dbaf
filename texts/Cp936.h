#pragma once
// The one conversion to the 8-bit code page of the driver library (GBK).

#include <string>
#include <string_view>

namespace veltrane {

std::string ToCodePage936(std::wstring_view text);

} // namespace veltrane
