#include "dialogs/win/TfrmAbout.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "art/ArtIds.h"
#include "dialogs/win/OpenLink.h"
#include "platform/LinkLabel.h"
#include "texts/Texts.h"

namespace veltrane {

namespace {

enum ControlId : int {
    kGroupBoxContact = 100,
    kImage8,
    kLblUrl,
    kImage7,
    kLblMail,
    kPanel1,
    kImage2,
    kLblApp,
    kBtnOK,
    kMemo1,
    kLabelCopyRight,
    kLblSimulated,
};

constexpr COLORREF kWhite = RGB(255, 255, 255);

// The memo keeps the text of its layout.
constexpr wchar_t kMemoText[] = L"Veltrane 软件工作室专注于数据安全与系统保护。\r\n"
                                L"影子系统让您的电脑每次重启都回到干净的状态。\r\n"
                                L"感谢您选用本产品，您的支持是我们前进的动力。\r\n"
                                L"如果您在使用中有任何问题或建议，\r\n"
                                L"欢迎通过下面的网址或邮件与我们联系！";

// Table order is tab order: the contact box and the header hold nothing that takes the focus,
// so OK has it at opening.
constexpr ControlLayout kControls[] = {
    {ControlKind::GroupBox, kGroupBoxContact, 0, 11, 170, 409, 81, L"GroupBoxContact"},
    {ControlKind::Picture, kImage8, kGroupBoxContact, 24, 28, 16, 16, L"", SS_BITMAP},
    {ControlKind::LinkLabel, kLblUrl, kGroupBoxContact, 65, 24, 320, 13, L"lblUrl"},
    {ControlKind::Picture, kImage7, kGroupBoxContact, 24, 52, 16, 16, L"", SS_BITMAP},
    {ControlKind::LinkLabel, kLblMail, kGroupBoxContact, 65, 53, 328, 13, L"lblMail"},
    {ControlKind::Panel, kPanel1, 0, 0, 0, 430, 73, L"", 0, kWhite},
    {ControlKind::Picture, kImage2, kPanel1, 10, 10, 55, 55, L"", SS_BITMAP},
    {ControlKind::Label, kLblApp, kPanel1, 77, 16, 337, 42, L"lblApp"},
    {ControlKind::Button, kBtnOK, 0, 323, 259, 97, 30, L"OK", 0, kNoColour, 0, ButtonRole::Default, kModalOk},
    {ControlKind::Edit, kMemo1, 0, 11, 83, 409, 81, kMemoText,
     ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL},
    {ControlKind::Label, kLabelCopyRight, 0, 9, 268, 305, 17, L"LabelCopyRight", SS_CENTER},
};

constexpr FormLayout kLayout{
    L"TfrmAbout",
    WS_POPUP | WS_CAPTION | WS_SYSMENU,
    WS_EX_DLGMODALFRAME,
    430,
    297,
    L"frmAbout",
    L"MS Sans Serif",
    11,
    kNoColour,
    kControls,
    true,
};

// With the simulated library one more line, below the contact box, says that nothing is protected;
// the window grows by its height and the bottom row moves down with it.
constexpr int kSimulatedLineHeight = 24;

constexpr auto kSimulatedControls = [] {
    std::array<ControlLayout, std::size(kControls) + 1> controls{};
    std::ranges::copy(kControls, controls.begin());
    for (ControlLayout& control : controls)
        if (control.id == kBtnOK || control.id == kLabelCopyRight)
            control.y += kSimulatedLineHeight;
    controls.back() = {ControlKind::Label, kLblSimulated, 0, 11, 257, 409, 17, L"lblSimulated", SS_CENTER};
    return controls;
}();

constexpr FormLayout kSimulatedLayout = [] {
    FormLayout layout = kLayout;
    layout.clientHeight += kSimulatedLineHeight;
    layout.controls = kSimulatedControls;
    return layout;
}();

} // namespace

TfrmAbout::TfrmAbout(Application& application, bool simulatedLibrary)
    : Form(application), simulatedLibrary_(simulatedLibrary) {
    CreateFromLayout(simulatedLibrary ? kSimulatedLayout : kLayout);
}

void TfrmAbout::Execute(Application& application, bool simulatedLibrary) {
    Owned<TfrmAbout> dialog(application, simulatedLibrary);
    dialog.ShowModal();
}

void TfrmAbout::FormCreate() {
    SetItemText(kGroupBoxContact, texts::kContactUs);
    SetItemText(kLabelCopyRight, texts::kCopyright);
    SetItemText(kLblUrl, texts::kMakerSite);
    SetItemText(kLblMail, texts::kSupportMail);
    SetCaption(texts::kAbout);
    SetItemText(kLblApp, texts::kProductTitle);
    if (simulatedLibrary_)
        SetItemText(kLblSimulated, texts::kSimulatedLibrary);
    lblApp.Attach(Item(kLblApp));
    PanelOf(kPanel1)->SetBevel(kHeaderBevel);

    const auto opener = [this](const std::wstring& target) {
        return OpenLink(target, App());
    };
    LinkLabelSetup(Item(kLblUrl), texts::kMakerSite, opener);
    LinkLabelSetup(Item(kLblMail), texts::kSupportMailLink, opener);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    SetPicture(kImage2, IDB_LOGO, kWhite);
    SetPicture(kImage8, IDB_ICON_WEB, face);
    SetPicture(kImage7, IDB_ICON_MAIL, face);
    BtnOK.Attach(Item(kBtnOK));
    BtnOK.SetGlyphStrip(IDB_GLYPH_OK);
    BtnOK.SetDefault(true);
    SetActiveControl(kBtnOK);
}

} // namespace veltrane
