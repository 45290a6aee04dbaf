#include "app/win/TTrayIcon.h"

#include <map>

#include "platform/MessageFilter.h"
#include "platform/Shell.h"
#include "platform/SharedWindow.h"

namespace veltrane {

namespace {

constexpr UINT kCallbackMessage = WM_USER + 0x400;
constexpr UINT kRecordFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
constexpr int kComCtl471 = 0x40047;

// The shell's "TaskbarCreated" message, registered only where the notification area can announce
// its re-creation (common controls 4.71 and later); 0 otherwise.
UINT TaskbarCreatedMessage() {
    static const UINT message =
        DllFileVersion(L"comctl32.dll") >= kComCtl471 ? ::RegisterWindowMessageA("TaskbarCreated") : 0;
    return message;
}

// Started with "Run as administrator", the program runs above the shell's integrity level, and the
// system drops the shell's messages above WM_USER unless they are let through: the notification
// area's re-creation, and the icon's callbacks, which no documentation exempts.
void ShellMessagesAllow(HWND trayWindow) {
    MessageFromLowerIntegrityAllow(trayWindow, TaskbarCreatedMessage());
    MessageFromLowerIntegrityAllow(trayWindow, kCallbackMessage);
}

} // namespace

// One hidden window receives the callbacks of every tray icon of the process.
class TrayWindow final : public SharedHiddenWindow<TrayWindow> {
public:
    TrayWindow() : SharedHiddenWindow(L"TTrayWindow") {}

    UINT Join(TTrayIcon* icon) {
        icons_[nextId_] = icon;
        return nextId_++;
    }
    void Leave(UINT id) { icons_.erase(id); }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        // The shell announces a new notification area to every top-level window, this one too.
        if (message != 0 && message == TaskbarCreatedMessage()) {
            for (auto& [id, icon] : icons_)
                icon->ShellRecreated();
            return 0;
        }
        switch (message) {
        case kCallbackMessage:
            if (auto it = icons_.find(UINT(wParam)); it != icons_.end())
                it->second->HandleCallback(lParam);
            return 0;
        case WM_CLOSE:
        case WM_DESTROY:
        case WM_NCDESTROY:
        case WM_QUIT:
        case WM_QUERYENDSESSION:
        case WM_ENDSESSION:
            return 1; // never closed by request, never objects to shutdown or logoff
        }
        return SharedHiddenWindow::HandleMessage(message, wParam, lParam);
    }

    std::map<UINT, TTrayIcon*> icons_;
    UINT nextId_ = 1;
};

TTrayIcon::TTrayIcon(Application& application, HWND mainWindow)
    : application_(application), mainWindow_(mainWindow), trayWindow_(TrayWindow::Acquire()) {
    ShellMessagesAllow(trayWindow_->Handle());
    id_ = trayWindow_->Join(this);
    record_.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record_.hWnd = trayWindow_->Handle();
    record_.uID = id_;
    record_.uFlags = kRecordFlags;
    record_.uCallbackMessage = kCallbackMessage;
    clickTimer_.SetOnTick([this] { clicks_.TimerTick(); });
    clicks_.onClick = [this] {
        if (OnClick)
            OnClick(*this);
    };
    clicks_.onDblClick = [this] {
        if (OnDblClick)
            OnDblClick(*this);
    };
}

TTrayIcon::~TTrayIcon() {
    try {
        SetIconVisible(false);
        clickTimer_.Stop();
        icon_.Reset();
    } catch (...) {
        // the remaining clean-up runs whatever happened above
    }
    trayWindow_->Leave(id_);
}

void TTrayIcon::SetIconList(const IconStrip* list) {
    iconList_ = list;
    SetIconIndex(0);
}

void TTrayIcon::SetIconIndex(int index) {
    if (!iconList_) {
        iconIndex_ = 0;
        RefreshIcon();
        return;
    }
    iconIndex_ = IconIndexClamp(index, iconList_->Count());
    icon_ = iconList_->Icon(iconIndex_);
    RefreshIcon(); // the icon object changed
    RefreshIcon();
}

void TTrayIcon::SetIconVisible(bool visible) {
    if (visible)
        AddIcon();
    else
        RemoveIcon();
}

void TTrayIcon::SetHint(std::string hint) {
    hint_ = std::move(hint);
    RefreshIcon();
}

void TTrayIcon::SetShowHint(bool show) {
    showHint_ = show;
    RefreshIcon();
}

void TTrayIcon::Loaded() {
    RefreshIcon();
    SetIconVisible(iconVisible_);
    // Protocol version 0: lParam carries the pointer message itself.
    record_.uVersion = 0;
    ::Shell_NotifyIconA(NIM_SETVERSION, &record_);
}

void TTrayIcon::FillRecord() {
    record_.hIcon = icon_.Get();
    std::fill(std::begin(record_.szTip), std::end(record_.szTip), '\0');
    if (!hint_.empty() && showHint_)
        hint_.copy(record_.szTip, sizeof record_.szTip - 1);
}

void TTrayIcon::Notify(DWORD action) {
    FillRecord();
    ::Shell_NotifyIconA(action, &record_); // the shell's answer is not looked at
}

void TTrayIcon::AddIcon() {
    iconVisible_ = true;
    Notify(NIM_ADD);
}

void TTrayIcon::RemoveIcon() {
    iconVisible_ = false;
    Notify(NIM_DELETE);
}

void TTrayIcon::RefreshIcon() {
    Notify(NIM_MODIFY);
}

void TTrayIcon::HandleCallback(LPARAM what) {
    if (!enabled_)
        return;
    switch (what) {
    case WM_LBUTTONDOWN:
        clicks_.LeftButtonDown(::GetDoubleClickTime());
        break;
    case WM_LBUTTONUP:
        clicks_.LeftButtonUp();
        break;
    case WM_LBUTTONDBLCLK:
        clicks_.LeftDoubleClick();
        break;
    case WM_RBUTTONDOWN:
        if (popupMenu_)
            ShowMenu();
        break;
    case WM_MOUSEMOVE:
        if (OnMouseMove)
            OnMouseMove(*this);
        break;
    default:
        break; // the other pointer events have no handlers in this program
    }
}

void TTrayIcon::ShowMenu() {
    // The menu only closes on a click elsewhere when the window that tracks it is in the
    // foreground, and the message after it must reach that same window.
    HWND owner = popupMenu_->Owner();
    ::SetForegroundWindow(owner);
    POINT at{};
    if (!::GetCursorPos(&at))
        return;
    ::SetForegroundWindow(owner);
    application_.ProcessMessages();
    popupMenu_->Popup(at);
    ::PostMessageW(owner, WM_NULL, 0, 0);
}

void TTrayIcon::ShellRecreated() {
    if (iconVisible_)
        AddIcon();
}

void TTrayIcon::MainWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SHOWWINDOW && wParam == 1 && lParam == 0) {
        ::SetForegroundWindow(application_.Handle());
        ::SetForegroundWindow(mainWindow_);
    }
}

} // namespace veltrane
