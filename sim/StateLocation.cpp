#include "sim/StateLocation.h"

namespace veltrane::sim {

StateLocation ChooseStateLocation(std::wstring_view variable, std::wstring_view installed,
                                  std::wstring_view libraryFolder) {
    if (!variable.empty())
        return {std::wstring(variable), StateOrigin::kVariable};
    if (!installed.empty())
        return {std::wstring(installed), StateOrigin::kInstalled};
    return {std::wstring(libraryFolder) + kBesideLibraryName, StateOrigin::kBesideLibrary};
}

std::wstring TemporaryStatePath(std::wstring_view statePath, std::span<const std::uint8_t> random) {
    constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring path(statePath);
    path += L'.';
    for (const std::uint8_t byte : random) {
        path += kDigits[byte >> 4];
        path += kDigits[byte & 15];
    }
    return path + L".tmp";
}

} // namespace veltrane::sim
