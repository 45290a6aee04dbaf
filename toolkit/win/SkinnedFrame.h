#pragma once
// The frame skin of one window: the skin's four edges, the caption text and icon and the caption
// buttons take the place of the system's frame. The client area keeps its size; the window's outer
// size follows the skin's frame. Also what the rules chose for the window's controls, which later
// skins paint.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <vector>

#include "platform/Paint.h"
#include "platform/Subclass.h"
#include "toolkit/skinning/FrameGeometry.h"
#include "toolkit/skinning/FrameMessages.h"
#include "toolkit/skinning/SkinRules.h"
#include "toolkit/win/TSkinComponent.h"

namespace veltrane {

// The hit-test code of a frame part.
LRESULT FrameHitCode(FrameHit hit, int buttonAction);

// When a frame takes over its window.
enum class FrameStart : std::uint8_t {
    Now,
    // When the message posted to the window on skinning arrives: a window activated as it shows is
    // not held up, so keys pressed as it comes up still find it, and it is resized once it is shown.
    Posted,
    // A window being created: the frame is there from the start; its creator gives it its size.
    Creation,
};

class SkinnedFrame final : public WindowSubclass {
public:
    using Started = std::function<void(SkinnedFrame&)>;

    explicit SkinnedFrame(TSkinComponent& skin) : skin_(skin) {}

    // Puts the frame on the window; `started` runs once it has taken over. Except at creation, the
    // outer size then changes around the same client size and centre.
    bool Apply(HWND window, FrameStart start, Started started = {});
    bool HasStarted() const { return started_; }
    // A frame still waiting for its posted message takes over now, as at FrameStart::Now.
    void StartWaiting() {
        if (!started_)
            Start(true);
    }
    // Takes the frame off; with `restore`, the system frame comes back around the same client area.
    void Remove(bool restore);

    // Works the frame out again for a changed skin and paints it.
    void Refresh();
    // Paints the whole frame now.
    void PaintNow();
    bool Active() const { return active_; }

    // Records the rules' decision for a control and puts on the look it gives.
    void ControlSkinSet(HWND control, const ControlDecision& decision);
    const std::map<HWND, ControlDecision>& Controls() const { return controls_; }
    void SizeGripTake(HWND grip) { sizeGrip_ = grip; }
    HWND SizeGrip() const { return sizeGrip_; }
    // A window inside this one is being destroyed: its look goes now.
    void ChildForget(HWND child);

private:
    // Where everything stands in a window of the current size, in window coordinates.
    struct Places {
        FrameLayout layout;
        std::vector<CaptionButtonPlace> buttons;
        PixelRect icon;
        bool sizable = false;
    };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void LooksRetire();
    void Start(bool resize);
    void RenderingAsk(FrameEvent event);
    const SkinModel& Model() const { return *skin_.Model(); }
    Places PlacesNow() const;
    POINT ToWindow(POINT screen) const;
    int ButtonAt(const Places& places, POINT inWindow) const;
    void Paint(HDC windowDc);
    void PaintCaption(HDC dc, HDC source, const Places& places);
    bool ButtonPress(LPARAM screenPoint);
    void ButtonTrack(LPARAM clientPoint);
    void ButtonRelease(LPARAM clientPoint);
    // Records the caption button under the pointer; true when it changed.
    bool HotTake(int button);
    void HotSet(int button);

    TSkinComponent& skin_;
    Started onStarted_;
    bool started_ = false;
    bool active_ = false;
    int hot_ = -1;
    int pressed_ = -1; // the button held down, while the pointer is captured
    bool pressedInside_ = false;
    std::map<HWND, ControlDecision> controls_;
    std::map<HWND, WindowSubclass*> looks_; // given to their controls
    HWND sizeGrip_ = nullptr;
    BitmapDC buffer_; // kept between paints, as large as the largest edge
};

} // namespace veltrane
