#include "dialogs/TfrmCheck.h"

#include <commctrl.h>

#include "art/ArtIds.h"
#include "dialogs/PasswordField.h"
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
    {ControlKind::Button, kBtnOK, 0, 128, 120, 97, 30, L"BtnOK", 0, kNoColor, 0, ButtonRole::Default,
     kModalOk},
    {ControlKind::Button, kBtnCancel, 0, 232, 120, 97, 30, L"BtnCancel", 0, kNoColor, 0, ButtonRole::Cancel,
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
    kNoColor,
    kControls,
};

constexpr wchar_t kPrompt[] = L"请输入管理员密码";

} // namespace

TfrmCheck::TfrmCheck(Application& application) : PasswordDialog(application) {
    CreateFromLayout(kLayout);
    Application::SetWithoutTaskbarEntry(Handle());
}

TfrmCheck::~TfrmCheck() {
    WipePassword();
}

void TfrmCheck::FormCreate() {
    PrepareFrame(kImage1, kBtnOK, kBtnCancel);
    SetItemText(kLblPassStatus, kPrompt);
    SetItemText(kLblPass, texts::kPassword);
    PasswordFieldPrepare(Item(kTxtPass));
    ::SetWindowSubclass(Item(kTxtPass), &TfrmCheck::PasswordFieldProc, 0, DWORD_PTR(this));
    SetActiveControl(kTxtPass);
}

void TfrmCheck::FormShow() {
    // No taskbar button while the password is asked for.
    ::ShowWindow(App().Handle(), SW_HIDE);
    ::SetForegroundWindow(Handle());
    ::SetActiveWindow(Handle());
}

std::wstring TfrmCheck::Password() const {
    return PasswordFieldText(Item(kTxtPass));
}

void TfrmCheck::WipePassword() {
    if (Item(kTxtPass))
        PasswordFieldWipe(Item(kTxtPass));
}

void TfrmCheck::TxtUserKeyPress(wchar_t& key) {
    if (key == L'\r') {
        key = 0;
        SetModalResult(kModalOk);
    }
}

LRESULT CALLBACK TfrmCheck::PasswordFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self) {
    if (message == WM_CHAR) {
        wchar_t key = wchar_t(wParam);
        reinterpret_cast<TfrmCheck*>(self)->TxtUserKeyPress(key);
        if (key == 0)
            return 0;
    } else if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &TfrmCheck::PasswordFieldProc, 0);
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace veltrane
