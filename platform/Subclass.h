#pragma once
// The program's one way of subclassing a window: comctl32's subclass chain, which lets other
// subclasses sit above and below and be removed in any order. A subclass sees the window's
// messages before the window's own procedure and before every subclass attached earlier.

#include <windows.h>

#include <functional>

namespace veltrane {

class WindowSubclass {
public:
    WindowSubclass() = default;
    WindowSubclass(const WindowSubclass&) = delete;
    WindowSubclass& operator=(const WindowSubclass&) = delete;
    virtual ~WindowSubclass() { Detach(); }

    bool Attach(HWND window);
    void Detach();
    HWND Window() const { return window_; }

protected:
    // Everything not consumed goes on with Default.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return Default(message, wParam, lParam);
    }
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR data);
    HWND window_ = nullptr;
};

// Sees each message of a window, before or after the window's own handling, and never consumes it.
class MessageWatch final : public WindowSubclass {
public:
    using Watcher = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;
    enum class When { Before, After };
    explicit MessageWatch(Watcher watcher, When when = When::Before)
        : watcher_(std::move(watcher)), when_(when) {}

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (when_ == When::Before)
            watcher_(message, wParam, lParam);
        const LRESULT result = Default(message, wParam, lParam);
        if (when_ == When::After)
            watcher_(message, wParam, lParam);
        return result;
    }
    Watcher watcher_;
    When when_;
};

} // namespace veltrane
