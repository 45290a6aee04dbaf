#pragma once
// Asks for the administrator password. It only collects the text; the caller checks it.

#include <functional>
#include <optional>

#include "dialogs/win/PasswordDialog.h"
#include "dialogs/win/PasswordField.h"

namespace veltrane {

class TfrmCheck : public PasswordDialog {
public:
    explicit TfrmCheck(Application& application);

    // The typed text as the library gets it (lower case, code page 936); nullopt when the code page
    // lacks one of its characters.
    std::optional<SecretString> Password() const;
    // Clears the field so the text does not outlive the check.
    void WipePassword();
    // Called once, at the first character typed into the field.
    std::function<void()> OnTypingStarted;

private:
    void FormCreate() override;
    void FormShow() override;
    void FormDestroy() override;
    void TxtUserKeyPress(wchar_t& key);

    PasswordField TxtPass;
};

} // namespace veltrane
