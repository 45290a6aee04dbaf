#pragma once
// The masked password fields of the dialogs: '*' for each character, at most 8, lower case.

#include <windows.h>

#include <string>

namespace veltrane {

inline constexpr int kPasswordMaxLength = 8;

void PasswordFieldPrepare(HWND edit);
// The field's text, lower-cased whatever reached it.
std::wstring PasswordFieldText(HWND edit);
void PasswordFieldWipe(HWND edit);
// Zeroes a string's characters before it is released.
void WideStringWipe(std::wstring& text);

} // namespace veltrane
