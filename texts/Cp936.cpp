#include "texts/Cp936.h"

#include <windows.h>

namespace veltrane {

namespace {
constexpr UINT kCodePage936 = 936;
}

std::string ToCodePage936(std::wstring_view text) {
    if (text.empty())
        return {};
    const int length =
        ::WideCharToMultiByte(kCodePage936, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(length > 0 ? length : 0), '\0');
    if (length > 0)
        ::WideCharToMultiByte(kCodePage936, 0, text.data(), int(text.size()), bytes.data(), length, nullptr,
                              nullptr);
    return bytes;
}

std::size_t CodePage936Width(wchar_t c) {
    char bytes[4];
    BOOL defaulted = FALSE;
    const int length = ::WideCharToMultiByte(kCodePage936, WC_NO_BEST_FIT_CHARS, &c, 1, bytes, sizeof bytes,
                                             nullptr, &defaulted);
    return length > 0 && !defaulted ? std::size_t(length) : 0;
}

} // namespace veltrane
