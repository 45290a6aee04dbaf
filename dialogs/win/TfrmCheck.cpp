#include "dialogs/win/TfrmCheck.h"

#include <utility>

#include "art/ArtIds.h"
#include "texts/Texts.h"

namespace veltrane {

namespace {

enum ControlId : int {
    kTxtPass = 100,
    kPanel1,
    kImage1,
    kLblPassStatus,
    kLblPass,
    kBevel,
    kBtnOK,
    kBtnCancel,
};

constexpr COLORREF kWhite = RGB(255, 255, 255);

// Table order is tab order: the password field first, so it has the focus at opening.
constexpr ControlLayout kControls[] = {
    {ControlKind::Edit, kTxtPass, 0, 128, 73, 201, 21, L"", ES_PASSWORD | ES_LOWERCASE},
    {ControlKind::Panel, kPanel1, 0, 0, 0, 339, 57, L"", 0, kWhite},
    {ControlKind::Picture, kImage1, kPanel1, 11, 3, 48, 48, L"", SS_BITMAP},
    {ControlKind::Label, kLblPassStatus, kPanel1, 80, 9, 241, 38, L"lblPassStatus", SS_CENTER},
    {ControlKind::Label, kLblPass, 0, 7, 74, 114, 17, L"LblPass", SS_CENTER},
    {ControlKind::Label, kBevel, 0, 6, 105, 330, 2, L"", SS_ETCHEDHORZ},
    {ControlKind::Button, kBtnOK, 0, 128, 120, 97, 30, L"BtnOK", 0, kNoColour, 0, ButtonRole::Default,
     kModalOk},
    {ControlKind::Button, kBtnCancel, 0, 232, 120, 97, 30, L"BtnCancel", 0, kNoColour, 0, ButtonRole::Cancel,
     kModalCancel},
};

constexpr FormLayout kLayout{
    L"TfrmCheck",
    WS_POPUP | WS_CAPTION | WS_SYSMENU,
    WS_EX_DLGMODALFRAME | WS_EX_TOPMOST,
    339,
    159,
    L"frmCheck",
    L"MS Sans Serif",
    12,
    kNoColour,
    kControls,
};

} // namespace

TfrmCheck::TfrmCheck(Application& application) : PasswordDialog(application) {
    CreateFromLayout(kLayout);
    Application::SetWithoutTaskbarEntry(Handle());
}

void TfrmCheck::FormDestroy() {
    WipePassword();
}

void TfrmCheck::FormCreate() {
    PrepareFrame(kPanel1, kImage1, kBtnOK, kBtnCancel);
    SetItemText(kLblPassStatus, texts::kEnterAdminPassword);
    SetItemText(kLblPass, texts::kPassword);
    TxtPass.Attach(Item(kTxtPass), [this](wchar_t& key) { TxtUserKeyPress(key); });
    SetActiveControl(kTxtPass);
}

void TfrmCheck::FormShow() {
    // No taskbar button while the password is asked for.
    ::ShowWindow(App().Handle(), SW_HIDE);
    ::SetForegroundWindow(Handle());
    ::SetActiveWindow(Handle());
}

std::optional<SecretString> TfrmCheck::Password() const {
    return TxtPass.Bytes();
}

void TfrmCheck::WipePassword() {
    TxtPass.Wipe();
}

void TfrmCheck::TxtUserKeyPress(wchar_t& key) {
    if (key == L'\r') {
        key = 0;
        SetModalResult(kModalOk);
    } else if (auto started = std::exchange(OnTypingStarted, nullptr)) {
        started();
    }
}

} // namespace veltrane
