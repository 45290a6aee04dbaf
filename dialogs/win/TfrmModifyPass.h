#pragma once
// Asks for the new administrator password twice; closes with OK only when both entries agree.

#include <optional>

#include "dialogs/win/PasswordDialog.h"
#include "dialogs/win/PasswordField.h"

namespace veltrane {

class TfrmModifyPass : public PasswordDialog {
public:
    explicit TfrmModifyPass(Application& application, HWND centreOn);

    // The new password (the upper field) as the library gets it; once the dialog closed with OK it
    // is there and fits the library.
    std::optional<SecretString> NewPassword() const;

private:
    void FormCreate() override;
    void FormDestroy() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, int code) override;
    void btnOkClick();

    PasswordField Edit1;
    PasswordField Edit2;
};

} // namespace veltrane
