#include "dialogs/win/TfrmModifyPass.h"

#include "art/ArtIds.h"
#include "platform/Window.h"
#include "texts/Texts.h"

namespace veltrane {

namespace {

enum ControlId : int {
    kEdit2 = 100,
    kEdit1,
    kPanel1,
    kImage1,
    kLblPassStatus,
    kLblPassword,
    kLblPassConfirm,
    kBevel1,
    kBtnOK,
    kBtnCancel,
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kClientWidth = 356;
constexpr int kHeaderHeight = 57;
constexpr POINT kMinimumSize{150, 50};
constexpr POINT kMaximumSize{1024, 740};

// Table order is tab order: the confirmation field first, so it has the focus at opening.
// OK is the default button but carries no modal result: only the comparison closes the dialog.
constexpr ControlLayout kControls[] = {
    {ControlKind::Edit, kEdit2, 0, 145, 105, 201, 21, L"", ES_PASSWORD | ES_LOWERCASE},
    {ControlKind::Edit, kEdit1, 0, 145, 73, 202, 21, L"", ES_PASSWORD | ES_LOWERCASE},
    {ControlKind::Panel, kPanel1, 0, 0, 0, kClientWidth, kHeaderHeight, L"", 0, kWhite},
    {ControlKind::Picture, kImage1, kPanel1, 11, 3, 48, 48, L"", SS_BITMAP},
    {ControlKind::Label, kLblPassStatus, kPanel1, 80, 9, 265, 38, L"lblPassStatus", SS_CENTER},
    {ControlKind::Label, kLblPassword, 0, 9, 77, 127, 13, L"lblPassword", SS_CENTER},
    {ControlKind::Label, kLblPassConfirm, 0, 13, 105, 123, 13, L"lblPassConfirm", SS_CENTER},
    {ControlKind::Label, kBevel1, 0, 17, 134, 328, 2, L"", SS_ETCHEDHORZ},
    {ControlKind::Button, kBtnOK, 0, 144, 144, 97, 30, L"BtnOK", 0, kNoColour, 0, ButtonRole::Default},
    {ControlKind::Button, kBtnCancel, 0, 248, 144, 97, 30, L"BtnCancel", 0, kNoColour, 0, ButtonRole::Cancel,
     kModalCancel},
};

constexpr FormLayout kLayout{
    L"TfrmModifyPass",
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
    WS_EX_DLGMODALFRAME,
    kClientWidth,
    183,
    L"frmModifyPass",
    L"MS Sans Serif",
    12,
    kNoColour,
    kControls,
};

} // namespace

TfrmModifyPass::TfrmModifyPass(Application& application, HWND centreOn) : PasswordDialog(application) {
    CreateFromLayout(kLayout);
    HwndCentre(Handle(), centreOn);
}

void TfrmModifyPass::FormDestroy() {
    Edit1.Wipe();
    Edit2.Wipe();
}

void TfrmModifyPass::FormCreate() {
    PrepareFrame(kPanel1, kImage1, kBtnOK, kBtnCancel);
    SetItemText(kLblPassStatus, texts::kEnterNewPassword);
    SetItemText(kLblPassword, texts::kPassword);
    SetItemText(kLblPassConfirm, texts::kEnterPasswordAgain);
    Edit1.Attach(Item(kEdit1));
    Edit2.Attach(Item(kEdit2));
    SetActiveControl(kEdit2);
}

std::optional<SecretString> TfrmModifyPass::NewPassword() const {
    return Edit1.Bytes();
}

void TfrmModifyPass::OnCommand(int id, int code) {
    if (id == kBtnOK && code == BN_CLICKED)
        btnOkClick();
}

void TfrmModifyPass::btnOkClick() {
    // The library sees 8-bit strings, so that is what must agree, and fit what the library takes
    // (text set into a field from outside may be longer than typing allows).
    const std::optional<SecretString> first = Edit1.Bytes();
    const std::optional<SecretString> second = Edit2.Bytes();
    if (first && second && DriverPasswordFits(first->str()) &&
        NewPasswordConfirmed(first->str(), second->str())) {
        SetModalResult(kModalOk);
        return;
    }
    HWND confirmation = Item(kEdit2);
    ::SendMessageW(confirmation, EM_SETSEL, 0, -1);
    ::SetFocus(confirmation);
}

LRESULT TfrmModifyPass::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = kMinimumSize;
        limits->ptMaxTrackSize = kMaximumSize;
        return 0;
    }
    case WM_SIZE:
        // The header follows the width; everything else keeps its place.
        if (HWND header = Item(kPanel1))
            ::SetWindowPos(header, nullptr, 0, 0, LOWORD(lParam), kHeaderHeight, SWP_NOMOVE | SWP_NOZORDER);
        break;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

} // namespace veltrane
