#pragma once
// The program's one way of subclassing a window: comctl32's subclass chain, which lets other
// subclasses sit above and below and be removed in any order. A subclass sees the window's
// messages before the window's own procedure and before every subclass attached earlier.
//
// A subclass is held by its creator, or given to its window (Give): the window then owns it, and
// the base deletes it once the window has gone or it was retired, and none of its handlers is
// running. A handler may so destroy its own window; after that, Window() is null.

#include <windows.h>

#include <functional>
#include <memory>

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
    // A handler of this subclass is running.
    bool Busy() const { return depth_ > 0; }

    // Puts `subclass` on `window` and gives it to the window; null (and freed) when it could not be put on.
    template <typename T> static T* Give(std::unique_ptr<T> subclass, HWND window) {
        if (!subclass || (subclass->Window() != window && !subclass->Attach(window)))
            return nullptr;
        static_cast<WindowSubclass&>(*subclass).given_ = true;
        return subclass.release();
    }
    // Takes the subclass off now; one given to its window is deleted once none of its handlers runs.
    void Retire();
    // `subclass` is on `window` now, and so still there: how the holder of a given subclass's address
    // knows that it may use it (a window destroyed with its parent takes its subclasses along unseen).
    static bool IsOn(HWND window, const WindowSubclass* subclass);
    // Retires `subclass` if it is still on `window`.
    static void RetireFrom(HWND window, WindowSubclass* subclass) {
        if (IsOn(window, subclass))
            subclass->Retire();
    }

protected:
    // Everything not consumed goes on with Default.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return Default(message, wParam, lParam);
    }
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // Default, then `after` to react to what the window made of the message; not once the subclass
    // has lost its window meanwhile.
    template <typename F> LRESULT DefaultThen(UINT message, WPARAM wParam, LPARAM lParam, F&& after) {
        const LRESULT result = Default(message, wParam, lParam);
        if (window_)
            after();
        return result;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR data);
    HWND window_ = nullptr;
    HWND target_ = nullptr; // where Default sends, also once detached while a handler still runs
    int depth_ = 0;
    bool given_ = false;
    bool retired_ = false;
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
