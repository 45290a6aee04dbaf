#include "platform/PopupMenu.h"

#include <set>
#include <string>

#include "platform/Window.h"

namespace veltrane {

class PopupWindow {
public:
    static std::shared_ptr<PopupWindow> Acquire() {
        static std::weak_ptr<PopupWindow> shared; // process-wide, like the window it names
        std::shared_ptr<PopupWindow> window = shared.lock();
        if (!window) {
            window = std::make_shared<PopupWindow>();
            shared = window;
        }
        return window;
    }

    PopupWindow() {
        WindowClassRegister(kClass, &PopupWindow::WindowProc);
        window_.Reset(::CreateWindowExW(0, kClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        ModuleInstance(), nullptr));
        ::SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, LONG_PTR(this));
    }

    HWND Handle() const { return window_.Get(); }
    UINT NextCommand() { return nextCommand_++; }
    void Attach(PopupMenu* menu) { menus_.insert(menu); }
    void Detach(PopupMenu* menu) { menus_.erase(menu); }

private:
    static constexpr wchar_t kClass[] = L"TPUtilWindow";

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<PopupWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_COMMAND && self && HIWORD(wParam) == 0) {
            try {
                for (PopupMenu* menu : self->menus_)
                    if (menu->Dispatch(LOWORD(wParam)))
                        break;
            } catch (...) {
                // a failing handler must not unwind through the dispatcher
            }
            return 0;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    UniqueWindow window_;
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
