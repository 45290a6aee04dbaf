#include "texts/Cp936.h"

#include <windows.h>

namespace veltrane {

namespace {
constexpr UINT kCodePage936 = 936;
}

// Best fit would turn characters the code page lacks into look-alikes, so that two different
// passwords could become the same bytes.
std::optional<std::string> ToCodePage936(std::wstring_view text) {
    if (text.empty())
        return std::string();
    BOOL defaulted = FALSE;
    const int length = ::WideCharToMultiByte(kCodePage936, WC_NO_BEST_FIT_CHARS, text.data(),
                                             int(text.size()), nullptr, 0, nullptr, &defaulted);
    if (length <= 0 || defaulted)
        return std::nullopt;
    // Made in place and wiped on failure: the text may be a password.
    std::optional<std::string> bytes(std::in_place, size_t(length), '\0');
    if (::WideCharToMultiByte(kCodePage936, WC_NO_BEST_FIT_CHARS, text.data(), int(text.size()),
                              bytes->data(), length, nullptr, &defaulted) != length ||
        defaulted) {
        SecureZeroMemory(bytes->data(), bytes->size());
        return std::nullopt;
    }
    return bytes;
}

std::size_t CodePage936Width(wchar_t c) {
    const std::optional<std::string> bytes = ToCodePage936(std::wstring_view(&c, 1));
    return bytes ? bytes->size() : 0;
}

} // namespace veltrane
