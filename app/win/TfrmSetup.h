#pragma once
// The main window: the partition list, the work mode and the buttons that act on them. It owns
// the tray icon, the tray menu and the password gate.

#include <memory>

#include "app/ApplySettings.h"
#include "app/PartitionRows.h"
#include "app/PasswordGate.h"
#include "app/win/TTrayIcon.h"
#include "driver/DriverLibrary.h"
#include "toolkit/win/FlatListFrame.h"
#include "platform/Form.h"
#include "platform/MessageTimer.h"
#include "platform/PopupMenu.h"
#include "toolkit/win/TBarButton.h"
#include "toolkit/win/TGradientBackground.h"
#include "toolkit/win/TSkinComponent.h"

namespace veltrane {

class TfrmSetup : public Form, private PasswordPrompt, private ApplyHost {
public:
    TfrmSetup(Application& application, DriverLibrary& driver);

    // The Windows session is ending: Quit's teardown without the password, the tray icon taken away
    // at once.
    void EndSession();

private:
    void CreateComponents() override;
    void FormCreate() override;
    void ControlsCreated() override;
    void FormDestroy() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, int code) override;
    void OnClose() override;

    void PrepareDrawnLook();
    void SetTexts();
    void PrepareLinks();
    void PrepareListView();
    void LoadBanner();
    void FillList(const std::vector<PartitionRow>& rows);
    void FitLastColumn();
    void TickWorkMode();
    bool ReadDriverForShowing();

    // Roads in and out of the window: every one that shows it or ends the program asks for the
    // password, and a hidden window acts on no command.
    void TrayIconDblClick(TTrayIcon& sender);
    void PrepareFirstOpening();
    void OpenThroughGate();
    void RegisterOpenHotKey();
    void Quit();
    void mnuQuitClick();
    void mnuAboutClick();
    void btnCancelClick();
    void btnOkClick();
    void btnModifyPassClick();
    void btnAboutClick();
    void Image1Click();
    bool PasswordGate();

    void BringApplicationToFront() override;
    bool Ask(const PasswordCheck& check) override;

    bool AskConfirm(const std::wstring& text) override;
    void SetOkEnabled(bool enabled) override;
    std::vector<ListedPartition> ListedPartitions() override;
    bool RecoverModeTicked() override;
    bool OpenModeTicked() override;
    void ShowMessage(const std::wstring& text) override;
    void RestartNow() override;

    DriverLibrary& driver_;
    PartitionTable table_{};
    std::vector<PartitionRow> rows_; // read at start, listed when the controls are made
    WorkMode workMode_ = kModeOpen;
    veltrane::PasswordGate gate_;
    TGradientBackground BackHome;
    TGradientBackground BackBottom;
    TBarButton btnOk;
    TBarButton btnModifyPass;
    TBarButton btnCancel;
    TBarButton btnAbout;
    FlatListFrame listFrame_;
    MessageWatch listSizeWatch_{[this](UINT message, WPARAM, LPARAM) {
                                    if (message == WM_SIZE)
                                        FitLastColumn();
                                },
                                MessageWatch::When::After};
    bool fittingColumn_ = false;
    // The program's own record of the window being open: set only by the gate's road, cleared by
    // every hide. Visibility is not asked, since any program can set WS_VISIBLE.
    bool open_ = false;
    bool opening_ = false;      // only the gate's road may make the window visible
    bool askingToOpen_ = false; // the gate's dialog is up on that road
    bool prepared_ = false;
    TMessageTimer prepareControls_;
    std::unique_ptr<TSkinComponent> Skin1;
    IconStrip ImageList2;
    PopupMenu PopupMenu1;
    UINT mnuAbout = 0;
    UINT mnuQuit = 0;
    std::unique_ptr<TTrayIcon> TrayIcon;
};

} // namespace veltrane
