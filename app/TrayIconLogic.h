#pragma once
// Window-free rules of the tray icon.

// Tells single clicks from double-clicks on the tray icon. The system reports a double-click as
// press, release, double-click, release; a click counts only when the double-click time has passed
// without a double-click.

#include <functional>

namespace veltrane {

class ClickTimer {
public:
    virtual ~ClickTimer() = default;
    // Starts afresh with the given period, whether or not it was running.
    virtual void Start(unsigned periodMs) = 0;
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
};

class TrayClickState {
public:
    explicit TrayClickState(ClickTimer& timer) : timer_(timer) {}

    std::function<void()> onClick;
    std::function<void()> onDblClick;

    void LeftButtonDown(unsigned doubleClickTimeMs);
    void LeftButtonUp();
    void LeftDoubleClick();
    void TimerTick();

private:
    ClickTimer& timer_;
    bool clickPending_ = false;
    bool clickReady_ = false;
    bool doubleClickSeen_ = false;
};

// The image shown for a requested index: at or past the end of the list shows the last image.
// A negative index is left as it is (no image is found for it).
int IconIndexClamp(int requested, int imageCount);

} // namespace veltrane
