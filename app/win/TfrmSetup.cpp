#include "app/win/TfrmSetup.h"

#include <commctrl.h>

#include <array>
#include <utility>

#include "app/win/Banner.h"
#include "app/win/SimulatedLibraryNotice.h"
#include "art/ArtIds.h"
#include "dialogs/win/PasswordField.h"
#include "dialogs/win/TfrmAbout.h"
#include "dialogs/win/TfrmCheck.h"
#include "dialogs/win/TfrmModifyPass.h"
#include "dialogs/win/OpenLink.h"
#include "platform/Accessible.h"
#include "platform/LinkLabel.h"
#include "platform/Resources.h"
#include "platform/Restart.h"
#include "platform/Window.h"
#include "platform/Bitmaps.h"
#include "platform/CommonControls.h"
#include "texts/Texts.h"

namespace veltrane {

namespace {

enum ControlId : int {
    kImage1 = 100,
    kPanel1,
    kGroupBoxProtection,
    kLvProtection,
    kGroupBoxWorkMode,
    kRadioRecoverMode, // the two radio buttons keep consecutive ids
    kRadioOpenMode,
    kPlBottom,
    kLinkLabel,
    kBtnOk,
    kBtnModifyPass,
    kBtnCancel,
    kBtnAbout,
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightGrey = RGB(234, 234, 234);
constexpr COLORREF kTeal = RGB(0, 128, 128);
constexpr int kClientWidth = 617;
constexpr int kClientHeight = 442;
constexpr int kBottomHeight = 51;

// Table order is tab order: the bottom buttons, then the list, then the radio buttons.
constexpr ControlLayout kControls[] = {
    {ControlKind::Panel, kPlBottom, 0, 0, kClientHeight - kBottomHeight, kClientWidth, kBottomHeight, L"", 0,
     kLightGrey},
    {ControlKind::Button, kBtnOk, kPlBottom, 424, 12, 88, 28, L"btnOk"},
    {ControlKind::Button, kBtnModifyPass, kPlBottom, 328, 12, 89, 28, L"btnModifyPass"},
    {ControlKind::Button, kBtnCancel, kPlBottom, 520, 12, 85, 28, L"btnCancel"},
    {ControlKind::Button, kBtnAbout, kPlBottom, 232, 12, 89, 28, L"btnAbout"},
    {ControlKind::LinkLabel, kLinkLabel, kPlBottom, 13, 16, 169, 19, texts::kMakerSite, SS_CENTER, kNoColour,
     11},
    {ControlKind::Picture, kImage1, 0, 8, 8, 600, 61, L"", SS_BITMAP},
    {ControlKind::Panel, kPanel1, 0, 8, 80, 601, 297, L"", 0, kWhite},
    {ControlKind::GroupBox, kGroupBoxProtection, kPanel1, 16, 8, 569, 169, L"GroupBoxProtection"},
    {ControlKind::ListView, kLvProtection, kGroupBoxProtection, 12, 24, 545, 131, L""},
    {ControlKind::GroupBox, kGroupBoxWorkMode, kPanel1, 16, 184, 569, 94, L"GroupBoxWorkMode"},
    {ControlKind::RadioButton, kRadioRecoverMode, kGroupBoxWorkMode, 11, 29, 531, 17, L"RadioRecoverMode",
     WS_GROUP},
    {ControlKind::RadioButton, kRadioOpenMode, kGroupBoxWorkMode, 11, 61, 531, 17, L"RadioOpenMode"},
};

constexpr FormLayout kLayout{
    L"TfrmSetup",
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
    0,
    kClientWidth,
    kClientHeight,
    L"frmSetup",
    L"MS Sans Serif",
    12,
    kWhite,
    kControls,
};

constexpr int kTrayImageSize = 16;
// Ctrl+Alt+Shift+V: the keyboard's road to the window, as a double-click on the tray icon.
constexpr int kOpenHotKey = 1;
constexpr UINT kOpenHotKeyModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
constexpr UINT kOpenHotKeyKey = 'V';
constexpr UINT kModNoRepeat = 0x4000; // MOD_NOREPEAT, which the headers declare for Windows 7 targets only
constexpr int kFirstColumnWidth = 100;
constexpr int kSecondColumnWidth = 150;

Colour Plain(COLORREF color) {
    return Colour::FromRgb(MakeRgb(GetRValue(color), GetGValue(color), GetBValue(color)));
}

} // namespace

// The window stays hidden until someone opens it, often for the whole session: its controls are
// made when it is first shown.
TfrmSetup::TfrmSetup(Application& application, DriverLibrary& driver) : Form(application), driver_(driver) {
    CreateFromLayout(kLayout, Controls::OnFirstShow);
}

void TfrmSetup::CreateComponents() {
    Skin1 = std::make_unique<TSkinComponent>(App(), Handle());
    Skin1->Settings() = SkinSettingsStored();
    Skin1->SetSkinStream(ResourceData(IDR_SKIN));
    ImageList2 = IconStrip(IDB_TRAY, kTrayImageSize);
    mnuAbout = PopupMenu1.AddItem(L"mnuAbout", [this] { mnuAboutClick(); });
    PopupMenu1.AddSeparator();
    mnuQuit = PopupMenu1.AddItem(L"mnuQuit", [this] { mnuQuitClick(); });
    TrayIcon = std::make_unique<TTrayIcon>(App(), Handle());
    TrayIcon->SetIconList(&ImageList2);
    TrayIcon->SetPopupMenu(&PopupMenu1);
    TrayIconTellLibrary(*TrayIcon, driver_);
    TrayIcon->OnDblClick = [this](TTrayIcon& sender) {
        TrayIconDblClick(sender);
    };
    TrayIcon->OnMouseMove = [this](TTrayIcon&) {
        PrepareFirstOpening();
    };
    prepareControls_.SetOnTick([this] {
        prepareControls_.Stop();
        MakeControls();
    });
    Skin1->Loaded();
    TrayIcon->Loaded();
}

void TfrmSetup::FormCreate() {
    SetCaption(texts::kProductTitle);
    PopupMenu1.SetItemCaption(mnuQuit, texts::kQuit);
    PopupMenu1.SetItemCaption(mnuAbout, texts::kAbout);
    gate_.Reset();
    DriverState state = ReadDriverState(driver_, table_, [this] {
        App().ShowMessage(texts::kDriverUnreachable);
        App().Terminate();
    });
    rows_ = std::move(state.rows);
    workMode_ = state.mode;
    TrayIcon->SetIconIndex(workMode_ == kModeProtected ? 1 : 0); // the icon tells the mode
    // Shown even when the driver is unreachable: it goes again when the program ends a moment later.
    TrayIcon->SetIconVisible(true);
    RegisterOpenHotKey();
    App().SetTaskbarCommands([this] { OpenThroughGate(); }, [this] { mnuQuitClick(); });
}

void TfrmSetup::ControlsCreated() {
    PrepareDrawnLook();
    SetTexts();
    PrepareLinks();
    PrepareListView();
    LoadBanner();
    FillList(std::exchange(rows_, {}));
    TickWorkMode();
    SetActiveControl(kBtnOk);
}

// Another program may hold the combination: the program then starts without it, silently.
void TfrmSetup::RegisterOpenHotKey() {
    // Held keys do not repeat it where the system knows MOD_NOREPEAT (Windows 7 and later).
    if (!::RegisterHotKey(Handle(), kOpenHotKey, kOpenHotKeyModifiers | kModNoRepeat, kOpenHotKeyKey))
        ::RegisterHotKey(Handle(), kOpenHotKey, kOpenHotKeyModifiers, kOpenHotKeyKey);
}

void TfrmSetup::FormDestroy() {
    ::UnregisterHotKey(Handle(), kOpenHotKey);
}

// The content panel fades from white down to light grey inside a teal line; the button bar, inside
// its raised bevel, from light grey at the left to white; the bar's buttons draw themselves.
void TfrmSetup::PrepareDrawnLook() {
    BackHome.SetGradientColorStart(Plain(kWhite));
    BackHome.SetGradientColorStop(Plain(kLightGrey));
    BackHome.SetFrameStyle(fsFlat);
    BackHome.SetFrameColor(Plain(kTeal));
    BackHome.AttachTo(*PanelOf(kPanel1));
    BackBottom.SetGradientColorStart(Plain(kLightGrey));
    BackBottom.SetGradientColorStop(Plain(kWhite));
    BackBottom.SetGradientDirection(gdVerticalEnd);
    BackBottom.SetFrameStyle(fsFlat);
    PanelOf(kPlBottom)->SetBevel(BDR_RAISEDINNER);
    BackBottom.AttachTo(*PanelOf(kPlBottom));
    btnOk.Attach(Item(kBtnOk));
    btnModifyPass.Attach(Item(kBtnModifyPass));
    btnCancel.Attach(Item(kBtnCancel));
    btnAbout.Attach(Item(kBtnAbout));
}

void TfrmSetup::PrepareLinks() {
    LinkLabelSetup(Item(kLinkLabel), texts::kMakerSite,
                   [this](const std::wstring& target) { return OpenLink(target, App()); });
}

void TfrmSetup::SetTexts() {
    SetItemText(kGroupBoxProtection, texts::kProtectedPartitions);
    SetItemText(kGroupBoxWorkMode, texts::kWorkState);
    SetItemText(kRadioRecoverMode, texts::kRecoverMode);
    SetItemText(kRadioOpenMode, texts::kOpenMode);
    SetItemText(kBtnAbout, texts::kAbout);
    SetItemText(kBtnModifyPass, texts::kModifyPassword);
    SetItemText(kBtnOk, texts::kOk);
    SetItemText(kBtnCancel, texts::kCancel);
}

void TfrmSetup::PrepareListView() {
    HWND list = Item(kLvProtection);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES);
    const std::array<const wchar_t*, 3> captions{texts::kColumnPartition, texts::kColumnType,
                                                 texts::kColumnSize};
    const std::array<int, 3> widths{kFirstColumnWidth, kSecondColumnWidth, 275};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(captions[i]);
        column.cx = widths[i];
        column.iSubItem = i;
        ListView_InsertColumn(list, i, &column);
    }
    listFrame_.Attach(list); // after the columns, so that the header exists to be watched too
    listSizeWatch_.Attach(list);
}

// A banner that is missing or damaged leaves the picture empty; the window works without it.
void TfrmSetup::LoadBanner() {
    if (UniqueBitmap banner = BannerLoad(IDR_BANNER))
        SetPicture(kImage1, std::move(banner));
    AccessiblePictureLink(Item(kImage1), texts::kProductPage);
}

void TfrmSetup::FillList(const std::vector<PartitionRow>& rows) {
    HWND list = Item(kLvProtection);
    for (const PartitionRow& row : rows) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = const_cast<wchar_t*>(row.drive.c_str());
        const int index = ListView_InsertItem(list, &item);
        ListView_SetItemText(list, index, 1, const_cast<wchar_t*>(row.type.c_str()));
        ListView_SetItemText(list, index, 2, const_cast<wchar_t*>(row.sizeMb.c_str()));
        ListView_SetCheckState(list, index, row.ticked);
    }
    FitLastColumn();
}

// Again after every change of the list's size. Setting the width can bring or take a scroll bar,
// which changes the client width once more: the loop settles that here, not by recursion.
void TfrmSetup::FitLastColumn() {
    if (fittingColumn_)
        return;
    fittingColumn_ = true;
    HWND list = Item(kLvProtection);
    for (int pass = 0; pass < 3; ++pass) {
        RECT client;
        ::GetClientRect(list, &client);
        const int width =
            LastColumnWidth(client.right, ListView_GetItemCount(list) == 0, ::GetSystemMetrics(SM_CXVSCROLL));
        ListView_SetColumnWidth(list, 2, width);
        RECT after;
        ::GetClientRect(list, &after);
        if (after.right == client.right)
            break;
    }
    fittingColumn_ = false;
}

// The driver may have been changed since the window last showed (veltrane-ctl, the program in
// another session): the window shows, and OK writes back, what it holds now.
bool TfrmSetup::ReadDriverForShowing() {
    std::optional<DriverState> state =
        RefreshDriverState(driver_, table_, [this] { App().ShowMessage(texts::kDriverUnreachable); });
    if (!state)
        return false;
    workMode_ = state->mode;
    TrayIcon->SetIconIndex(workMode_ == kModeProtected ? 1 : 0);
    if (!Item(kLvProtection)) {
        rows_ = std::move(state->rows); // listed when the controls are made
        return true;
    }
    ListView_DeleteAllItems(Item(kLvProtection));
    FillList(state->rows);
    TickWorkMode();
    return true;
}

void TfrmSetup::TickWorkMode() {
    const bool protectedMode = workMode_ == kModeProtected;
    ::SendMessageW(Item(kRadioRecoverMode), BM_SETCHECK, protectedMode ? BST_CHECKED : BST_UNCHECKED, 0);
    ::SendMessageW(Item(kRadioOpenMode), BM_SETCHECK, protectedMode ? BST_UNCHECKED : BST_CHECKED, 0);
}

LRESULT TfrmSetup::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_WINDOWPOSCHANGING: {
        // ShowWindow from another program: the window stays hidden.
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!opening_ && !open_)
            position->flags &= ~SWP_SHOWWINDOW;
        if (position->flags & SWP_HIDEWINDOW)
            open_ = false;
        break;
    }
    case WM_STYLECHANGING: {
        // WS_VISIBLE set from outside would make the window look open without a showing.
        auto* change = reinterpret_cast<STYLESTRUCT*>(lParam);
        if (wParam == WPARAM(GWL_STYLE) && !opening_ && !open_)
            change->styleNew &= ~WS_VISIBLE;
        if (wParam == WPARAM(GWL_STYLE) && !(change->styleNew & WS_VISIBLE))
            open_ = false;
        break;
    }
    case WM_SHOWWINDOW:
        if (wParam && !opening_)
            return 0;
        if (TrayIcon)
            TrayIcon->MainWindowMessage(message, wParam, lParam); // before the window's own show handling
        break;
    case WM_HOTKEY:
        if (wParam == kOpenHotKey) {
            PrepareFirstOpening(); // no pointer rested on the icon first
            OpenThroughGate();
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        // Minimise and close only hide the window; the whole wParam is compared, low bits included.
        if (wParam == SC_MINIMIZE || wParam == SC_CLOSE) {
            Hide();
            return 0;
        }
        if (!open_)
            return 0; // restore, maximise, size and the rest would show it around the gate
        break;
    }
    return Form::HandleMessage(message, wParam, lParam);
}

void TfrmSetup::OnCommand(int id, int code) {
    if (!open_)
        return; // any program can post a command to the hidden window, or make it look visible
    if (code != BN_CLICKED && !(id == kImage1 && code == STN_CLICKED))
        return;
    switch (id) {
    case kBtnOk:
        btnOkClick();
        break;
    case kBtnModifyPass:
        btnModifyPassClick();
        break;
    case kBtnCancel:
        btnCancelClick();
        break;
    case kBtnAbout:
        btnAboutClick();
        break;
    case kImage1:
        Image1Click();
        break;
    }
}

// A close request from outside (the close box only hides) is the tray menu's Quit.
void TfrmSetup::OnClose() {
    mnuQuitClick();
}

void TfrmSetup::EndSession() {
    TrayIcon->SetIconVisible(false);
    Quit();
}

// Closing the main window ends the program.
void TfrmSetup::Quit() {
    Hide();
    App().Terminate();
}

void TfrmSetup::TrayIconDblClick(TTrayIcon&) {
    OpenThroughGate();
}

// Nothing is loaded at start, so that the program idles small in the notification area; a pointer
// on the icon comes a few hundred milliseconds before a double-click, time enough to load the common
// controls the password dialog is made of.
void TfrmSetup::PrepareFirstOpening() {
    if (std::exchange(prepared_, true))
        return;
    comctl::FormClassesRegister();
}

// The tray double-click, the hot key and the taskbar entry's restore command.
void TfrmSetup::OpenThroughGate() {
    if (open_)
        return;
    askingToOpen_ = true;
    const bool passed = PasswordGate();
    askingToOpen_ = false;
    if (!passed || !ReadDriverForShowing())
        return;
    opening_ = true;
    Show();
    opening_ = false;
    open_ = IsVisible();
    App().BringToFront();
}

void TfrmSetup::mnuQuitClick() {
    if (PasswordGate())
        Quit();
}

void TfrmSetup::mnuAboutClick() {
    TfrmAbout::Execute(App(), driver_.Simulated());
}

void TfrmSetup::btnCancelClick() {
    Hide();
}

void TfrmSetup::btnAboutClick() {
    TfrmAbout::Execute(App(), driver_.Simulated());
}

void TfrmSetup::Image1Click() {
    OpenLink(texts::kProductPage, App());
}

bool TfrmSetup::PasswordGate() {
    return gate_.Pass(*this, driver_);
}

void TfrmSetup::BringApplicationToFront() {
    App().BringToFront();
}

bool TfrmSetup::Ask(const PasswordCheck& check) {
    Owned<TfrmCheck> dialog(App()); // its caption is the product's, not the main window's current one
    // On the opening road the window's controls are made once typing has started, when the keys
    // surely reach the dialog (made sooner, Wine could leave them with the taskbar): OK then only
    // reads the driver, fills the list and shows. The timer fires once the typed key is handled.
    if (askingToOpen_)
        dialog.OnTypingStarted = [this] {
            prepareControls_.Start(1);
        };
    if (dialog.ShowModal() != kModalOk)
        return false;
    const std::optional<SecretString> typed = dialog.Password();
    return typed && check(*typed);
}

void TfrmSetup::btnOkClick() {
    ApplySettings(*this, driver_, table_, workMode_);
}

void TfrmSetup::btnModifyPassClick() {
    std::optional<SecretString> password;
    {
        Owned<TfrmModifyPass> dialog(App(), Handle());
        if (dialog.ShowModal() == kModalOk)
            password = dialog.NewPassword();
    } // the dialog is gone before the library is called
    if (password)
        driver_.SetPassword(password->c_str()); // the answer is not looked at
}

// The system's box, without owner; the program's windows wait for the answer all the same.
bool TfrmSetup::AskConfirm(const std::wstring& text) {
    ModalScope others(nullptr, true);
    return ::MessageBoxW(nullptr, text.c_str(), texts::kQueryCaption, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void TfrmSetup::SetOkEnabled(bool enabled) {
    ::EnableWindow(Item(kBtnOk), enabled);
}

std::vector<ListedPartition> TfrmSetup::ListedPartitions() {
    HWND list = Item(kLvProtection);
    std::vector<ListedPartition> items;
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        wchar_t caption[16] = {};
        ListView_GetItemText(list, i, 0, caption, int(std::size(caption)));
        items.push_back({caption, ListView_GetCheckState(list, i) != FALSE});
    }
    return items;
}

bool TfrmSetup::RecoverModeTicked() {
    return ::SendMessageW(Item(kRadioRecoverMode), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool TfrmSetup::OpenModeTicked() {
    return ::SendMessageW(Item(kRadioOpenMode), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfrmSetup::ShowMessage(const std::wstring& text) {
    App().ShowMessage(text);
}

void TfrmSetup::RestartNow() {
    veltrane::RestartNow();
}

} // namespace veltrane
