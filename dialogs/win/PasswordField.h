#pragma once
// The masked password fields of the dialogs: '*' for each character, lower case, and never more
// than the library takes: 8 bytes in code page 936, only characters that code page has.

#include <functional>
#include <optional>
#include <string>

#include "driver/DriverPassword.h"
#include "platform/Subclass.h"

namespace veltrane {

class PasswordField final : public WindowSubclass {
public:
    // Sees each typed character first and may swallow it by setting it to 0.
    using KeyPress = std::function<void(wchar_t& key)>;

    void Attach(HWND edit, KeyPress onKeyPress = {});
    // The field's text, lower-cased whatever reached it. The caller wipes it after use.
    std::wstring Text() const;
    // The text as the library gets it, converted once; nullopt when code page 936 lacks a character.
    std::optional<SecretString> Bytes() const;
    // Overwrites the edit's buffer before emptying it, so the text does not outlive the field.
    void Wipe();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool Accepts(wchar_t key) const;
    void PasteFiltered();

    KeyPress onKeyPress_;
};

} // namespace veltrane
