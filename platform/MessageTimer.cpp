#include "platform/MessageTimer.h"

#include <set>

#include "platform/SharedWindow.h"

namespace veltrane {

// The hidden window that receives WM_TIMER for every live timer.
class TimerWindow final : public SharedHiddenWindow<TimerWindow> {
public:
    TimerWindow() : SharedHiddenWindow(L"TTimerWindow") {}

    bool Start(TMessageTimer* timer, unsigned periodMs) {
        timers_.insert(timer);
        return ::SetTimer(Handle(), UINT_PTR(timer), periodMs, nullptr) != 0;
    }
    void Stop(TMessageTimer* timer) {
        ::KillTimer(Handle(), UINT_PTR(timer));
        timers_.erase(timer);
    }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_TIMER)
            return SharedHiddenWindow::HandleMessage(message, wParam, lParam);
        // Only timers that still exist; a stale id is dropped.
        auto* timer = reinterpret_cast<TMessageTimer*>(wParam);
        if (timers_.count(timer))
            timer->Tick();
        else
            ::KillTimer(Handle(), wParam);
        return 0;
    }

    std::set<TMessageTimer*> timers_;
};

TMessageTimer::TMessageTimer(std::function<void()> onTick)
    : window_(TimerWindow::Acquire()), onTick_(std::move(onTick)) {}

TMessageTimer::~TMessageTimer() {
    Stop();
}

void TMessageTimer::Start(unsigned periodMs) {
    Stop();
    if (periodMs == 0)
        return;
    running_ = window_->Start(this, periodMs);
}

void TMessageTimer::Stop() {
    window_->Stop(this);
    running_ = false;
}

void TMessageTimer::Tick() {
    if (onTick_)
        onTick_();
}

} // namespace veltrane
