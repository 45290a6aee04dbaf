#include "platform/PopupMenu.h"

#include <set>
#include <string>

#include "platform/SharedWindow.h"

namespace veltrane {

// Turns the commands of every pop-up menu into their items' clicks.
class PopupWindow final : public SharedHiddenWindow<PopupWindow> {
public:
    PopupWindow() : SharedHiddenWindow(L"TPUtilWindow") {}

    UINT NextCommand() { return nextCommand_++; }
    void Attach(PopupMenu* menu) { menus_.insert(menu); }
    void Detach(PopupMenu* menu) { menus_.erase(menu); }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_COMMAND || HIWORD(wParam) != 0)
            return SharedHiddenWindow::HandleMessage(message, wParam, lParam);
        for (PopupMenu* menu : menus_)
            if (menu->Dispatch(LOWORD(wParam)))
                break; // the handler may have destroyed menus: stop walking them
        return 0;
    }

    std::set<PopupMenu*> menus_;
    UINT nextCommand_ = 1;
};

PopupMenu::PopupMenu() : window_(PopupWindow::Acquire()), menu_(::CreatePopupMenu()) {
    window_->Attach(this);
}

PopupMenu::~PopupMenu() {
    window_->Detach(this);
}

UINT PopupMenu::AddItem(std::wstring_view caption, std::function<void()> onClick) {
    const UINT command = window_->NextCommand();
    ::AppendMenuW(menu_.Get(), MF_STRING, command, std::wstring(caption).c_str());
    handlers_[command] = std::move(onClick);
    return command;
}

void PopupMenu::AddSeparator() {
    ::AppendMenuW(menu_.Get(), MF_SEPARATOR, 0, nullptr);
}

void PopupMenu::SetItemCaption(UINT command, std::wstring_view caption) {
    ::ModifyMenuW(menu_.Get(), command, MF_BYCOMMAND | MF_STRING, command, std::wstring(caption).c_str());
}

HWND PopupMenu::Owner() const {
    return window_->Handle();
}

void PopupMenu::Popup(POINT at) {
    ::TrackPopupMenu(menu_.Get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window_->Handle(), nullptr);
}

bool PopupMenu::Dispatch(UINT command) {
    auto it = handlers_.find(command);
    if (it == handlers_.end())
        return false;
    if (it->second)
        it->second();
    return true;
}

} // namespace veltrane
