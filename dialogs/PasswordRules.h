#pragma once
// Window-free rules of the password fields and the change-password dialog.

#include <cstddef>
#include <functional>
#include <string_view>

#include "driver/DriverPassword.h"

namespace veltrane {

// Bytes a character takes in the library's code page; 0 when the code page cannot represent it.
using CodePageWidth = std::function<std::size_t(wchar_t)>;

// Whether a field holding `text`, with [selectionStart, selectionEnd) about to be replaced, takes
// `key`: control keys always; a character only when the code page represents it and the whole
// text then still fits in kPasswordMaxBytes.
bool PasswordKeyAccepted(std::wstring_view text, std::size_t selectionStart, std::size_t selectionEnd,
                         wchar_t key, const CodePageWidth& width);

// The two entries agree only when their 8-bit strings are the same, byte for byte.
inline bool NewPasswordConfirmed(std::string_view entry, std::string_view confirmation) {
    return entry == confirmation;
}

} // namespace veltrane
