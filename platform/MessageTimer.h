#pragma once
// Window-message timers served by one process-wide hidden window.

#include <functional>
#include <memory>

#include "platform/Handles.h"

namespace veltrane {

class TimerWindow;

class TMessageTimer final {
public:
    explicit TMessageTimer(std::function<void()> onTick = {});
    TMessageTimer(const TMessageTimer&) = delete;
    TMessageTimer& operator=(const TMessageTimer&) = delete;
    ~TMessageTimer();

    void SetOnTick(std::function<void()> onTick) { onTick_ = std::move(onTick); }
    // A period of 0 cannot start.
    void Start(unsigned periodMs);
    void Stop();
    bool Running() const { return running_; }

private:
    friend class TimerWindow;
    void Tick();

    std::shared_ptr<TimerWindow> window_;
    std::function<void()> onTick_;
    bool running_ = false;
};

} // namespace veltrane
