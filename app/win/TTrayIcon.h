#pragma once
// The program's icon in the notification area: shows the work mode, reports double-clicks and
// opens the tray menu on a right press. Puts itself back when the notification area is re-created.

#include <functional>
#include <memory>
#include <string>

#include <windows.h>
#include <shellapi.h>

#include "app/TrayIconLogic.h"
#include "platform/Application.h"
#include "platform/Bitmaps.h"
#include "platform/MessageTimer.h"
#include "platform/PopupMenu.h"

namespace veltrane {

class TrayWindow;

class TTrayIcon final {
public:
    using Event = std::function<void(TTrayIcon& sender)>;

    TTrayIcon(Application& application, HWND mainWindow);
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;
    ~TTrayIcon();

    void SetIconList(const IconStrip* list);
    void SetIconIndex(int index);
    int IconIndex() const { return iconIndex_; }
    void SetIconVisible(bool visible);
    bool IconVisible() const { return iconVisible_; }
    void SetHint(std::string hint);
    void SetShowHint(bool show);
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    void SetPopupMenu(PopupMenu* menu) { popupMenu_ = menu; }
    // The after-loading step: the stored values are in place.
    void Loaded();

    Event OnClick;
    Event OnDblClick;
    // The pointer moved over the icon: a double-click may follow.
    Event OnMouseMove;

    // The shared tray window passes every callback of this icon here.
    void HandleCallback(LPARAM what);
    // The notification area was made again (the shell restarted): the icon goes back if it showed.
    void ShellRecreated();
    // The main window passes its messages here before its own handling: a window shown on request
    // comes to the foreground first.
    void MainWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    class TimerAdapter final : public ClickTimer {
    public:
        explicit TimerAdapter(TMessageTimer& timer) : timer_(timer) {}
        void Start(unsigned periodMs) override { timer_.Start(periodMs); }
        void Stop() override { timer_.Stop(); }
        bool Running() const override { return timer_.Running(); }

    private:
        TMessageTimer& timer_;
    };

    void AddIcon();
    void RemoveIcon();
    void RefreshIcon();
    void Notify(DWORD action);
    void FillRecord();
    void ShowMenu();

    Application& application_;
    HWND mainWindow_;
    std::shared_ptr<TrayWindow> trayWindow_;
    NOTIFYICONDATAA record_{};
    UINT id_ = 0;
    const IconStrip* iconList_ = nullptr;
    UniqueIcon icon_;
    int iconIndex_ = 0;
    bool iconVisible_ = false;
    std::string hint_;
    bool showHint_ = true;
    bool enabled_ = true;
    PopupMenu* popupMenu_ = nullptr;
    TMessageTimer clickTimer_;
    TimerAdapter clickTimerAdapter_{clickTimer_};
    TrayClickState clicks_{clickTimerAdapter_};
};

} // namespace veltrane
