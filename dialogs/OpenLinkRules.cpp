#include "dialogs/OpenLinkRules.h"

namespace veltrane {

namespace {
bool IsBlankOrControl(wchar_t c) {
    return c <= L' ';
}
} // namespace

bool LinkTargetIsBlank(std::wstring_view target) {
    for (wchar_t c : target)
        if (!IsBlankOrControl(c))
            return false;
    return true;
}

std::wstring LinkTargetExtension(std::wstring_view target) {
    const size_t dot = target.find_last_of(L'.');
    if (dot == std::wstring_view::npos)
        return {};
    const size_t separator = target.find_last_of(L"\\:");
    if (separator != std::wstring_view::npos && separator > dot)
        return {};
    std::wstring extension(target.substr(dot));
    for (wchar_t& c : extension)
        if (c >= L'a' && c <= L'z')
            c = wchar_t(c - L'a' + L'A');
    return extension;
}

bool LinkTargetOffersHtmChoice(std::wstring_view target) {
    return LinkTargetExtension(target) == L".HTM";
}

} // namespace veltrane
