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

} // namespace veltrane
