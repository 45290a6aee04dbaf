#pragma once
// ForeignClasses: control classes of other component libraries mapped to the kind of skin they get,
// one "Class=kind" entry a line.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace veltrane {

inline constexpr std::size_t kForeignClassCount = 124;
inline constexpr std::size_t kForeignKindMaxLength = 50;

// The default list, in its stored order (three entries occur twice).
extern const std::array<std::string_view, kForeignClassCount> kDefaultForeignClasses;

// The lower-cased kind word of the first entry that begins with the lower-cased class name and
// "=", cut to 50 characters; nothing when no entry names the class.
std::optional<std::string> ForeignClassKind(std::span<const std::string> entries, std::string_view className);

} // namespace veltrane
