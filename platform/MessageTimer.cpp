#include "platform/MessageTimer.h"

#include <set>

#include "platform/Window.h"

namespace veltrane {

// The hidden window that receives WM_TIMER for every live timer; shared while any timer exists.
class TimerWindow {
public:
    static std::shared_ptr<TimerWindow> Acquire() {
        static std::weak_ptr<TimerWindow> shared; // process-wide, like the window it names
        std::shared_ptr<TimerWindow> window = shared.lock();
        if (!window) {
            window = std::make_shared<TimerWindow>();
            shared = window;
        }
        return window;
    }

    TimerWindow() {
        WindowClassRegister(kClass, &TimerWindow::WindowProc);
        window_.Reset(::CreateWindowExW(0, kClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        ModuleInstance(), nullptr));
        ::SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, LONG_PTR(this));
    }

    bool Start(TMessageTimer* timer, unsigned periodMs) {
        timers_.insert(timer);
        return ::SetTimer(window_.Get(), UINT_PTR(timer), periodMs, nullptr) != 0;
    }
    void Stop(TMessageTimer* timer) {
        ::KillTimer(window_.Get(), UINT_PTR(timer));
        timers_.erase(timer);
    }

private:
    static constexpr wchar_t kClass[] = L"TTimerWindow";

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TimerWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_TIMER && self) {
            // Only timers that still exist; a stale id is dropped.
            auto* timer = reinterpret_cast<TMessageTimer*>(wParam);
            if (self->timers_.count(timer))
                timer->Tick();
            else
                ::KillTimer(hwnd, wParam);
            return 0;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    UniqueWindow window_;
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
