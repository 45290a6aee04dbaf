#pragma once
// The one conversion to the 8-bit code page of the driver library (GBK).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace veltrane {

// Exact: no best-fit replacements. Nullopt when the code page cannot represent a character.
std::optional<std::string> ToCodePage936(std::wstring_view text);
// Bytes the character takes in code page 936; 0 when the code page has no such character.
std::size_t CodePage936Width(wchar_t c);

} // namespace veltrane
