#pragma once
// Window-free rule of the change-password dialog.

#include <string_view>

namespace veltrane {

// The two entries agree only when their 8-bit strings are the same, byte for byte.
inline bool NewPasswordConfirmed(std::string_view entry, std::string_view confirmation) {
    return entry == confirmation;
}

} // namespace veltrane
