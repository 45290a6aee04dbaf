#pragma once
// Asks for the administrator password. It only collects the text; the caller checks it.

#include <string>

#include "dialogs/PasswordDialog.h"

namespace veltrane {

class TfrmCheck final : public PasswordDialog {
public:
    explicit TfrmCheck(Application& application);
    ~TfrmCheck() override;

    // The typed text, letters in lower case. The caller wipes it after use.
    std::wstring Password() const;
    // Clears the field so the text does not outlive the check.
    void WipePassword();

private:
    void FormCreate() override;
    void FormShow() override;
    void TxtUserKeyPress(wchar_t& key);
    static LRESULT CALLBACK PasswordFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR id, DWORD_PTR self);
};

} // namespace veltrane
