#include "dialogs/PasswordRules.h"

namespace veltrane {

bool PasswordKeyAccepted(std::wstring_view text, std::size_t selectionStart, std::size_t selectionEnd,
                         wchar_t key, const CodePageWidth& width) {
    if (key < L' ' || key == 0x7F)
        return true; // Backspace, Ctrl+A and the like edit rather than add
    const std::size_t added = width(key);
    if (added == 0)
        return false;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i < selectionStart || i >= selectionEnd)
            kept += width(text[i]);
    return kept + added <= kPasswordMaxBytes;
}

} // namespace veltrane
