#include "app/TrayIconLogic.h"

namespace veltrane {

void TrayClickState::LeftButtonDown(unsigned doubleClickTimeMs) {
    // Only a double-click handler makes it worth waiting before reporting a click.
    if (onDblClick)
        timer_.Start(doubleClickTimeMs);
    clickPending_ = true;
}

void TrayClickState::LeftButtonUp() {
    if (clickPending_) {
        clickReady_ = true;
        if (!timer_.Running()) {
            clickPending_ = false;
            clickReady_ = false;
            if (onClick)
                onClick();
        }
    }
    clickPending_ = false;
}

void TrayClickState::LeftDoubleClick() {
    clickReady_ = false;
    doubleClickSeen_ = true;
    if (onDblClick)
        onDblClick(); // may run a nested dialog; ticks that arrive meanwhile only clear the flag
}

void TrayClickState::TimerTick() {
    timer_.Stop();
    if (!doubleClickSeen_ && clickReady_) {
        clickReady_ = false;
        if (onClick)
            onClick();
    }
    doubleClickSeen_ = false;
}

int IconIndexClamp(int requested, int imageCount) {
    return requested >= imageCount ? imageCount - 1 : requested;
}

} // namespace veltrane
