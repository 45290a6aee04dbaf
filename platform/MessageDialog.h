#pragma once
#include <windows.h>

#include <string_view>

namespace veltrane {

// Modal message window of our own: centred on the screen, no icon, one button (id IDOK), the text
// in a static with id 0xFFFF as in the system's message box.
void MessageDialogShow(HWND owner, std::wstring_view caption, std::wstring_view text,
                       std::wstring_view buttonText);

} // namespace veltrane
