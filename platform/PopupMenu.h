#pragma once
// A pop-up menu whose chosen item runs its click handler. The commands reach one process-wide
// hidden window, which turns them into the items' clicks.

#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include "platform/Handles.h"

namespace veltrane {

class PopupWindow;

class PopupMenu {
public:
    PopupMenu();
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;
    ~PopupMenu();

    // Returns the item's command id.
    UINT AddItem(std::wstring_view caption, std::function<void()> onClick);
    void AddSeparator();
    void SetItemCaption(UINT command, std::wstring_view caption);
    HMENU Handle() const { return menu_.Get(); }
    // The hidden window that tracks the menu and receives its commands.
    HWND Owner() const;
    // Opens with its top-left corner at a screen point, left-aligned, tracking both buttons;
    // returns when the menu has closed. The chosen item's click follows through the message queue.
    void Popup(POINT at);

private:
    friend class PopupWindow;
    bool Dispatch(UINT command);

    std::shared_ptr<PopupWindow> window_;
    UniqueMenu menu_;
    std::map<UINT, std::function<void()>> handlers_;
};

} // namespace veltrane
