#pragma once
// The window-free part of the skin component: its settings and events, the "SkinStream" layout
// property, the end-of-reading sequence, and the process-wide manager's state. The Win32 layer
// supplies the system services through SkinServices and SkinTimer.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "toolkit/skin/SkinLoader.h"
#include "toolkit/skin/SkinModel.h"
#include "toolkit/skinning/SkinRules.h"
#include "toolkit/skinning/SkinSettings.h"

namespace veltrane {

class SkinComponentCore;
class SkinManagerState;

// May change whether a window is skinned; `skin` arrives with the rules' decision so far.
using FormSkinEvent = std::function<void(SkinComponentCore& sender, std::string_view className, bool& skin)>;
// May supply the skin a control gets; leaving None lets the rules choose.
using ControlSkinEvent =
    std::function<void(SkinComponentCore& sender, const ControlFacts& control, ControlSkin& skin)>;
using SkinChangedEvent = std::function<void(SkinComponentCore& sender)>;

// What the end-of-reading sequence asks of the system.
class SkinServices {
public:
    virtual ~SkinServices() = default;
    // GetScrollBarInfo was found by name when the skin unit started.
    virtual bool ScrollBarInfoAvailable() const = 0;
    // The process-wide manager, or null before it is made.
    virtual SkinManagerState* Manager() = 0;
    virtual SkinManagerState& ManagerCreate() = 0;
    // The caption font of SPI_GETNONCLIENTMETRICS.
    virtual void CaptionFontRead() = 0;
    // WH_CBT for the calling thread only.
    virtual void HookInstall() = 0;
    // The application's small icon (WM_GETICON small, then big), scaled to the small-icon size and
    // drawn on `background`.
    virtual void CaptionIconMake(Rgb background) = 0;
    // Skins the owning form at once (form types other than sfMainform).
    virtual void OwnerFormSkin() = 0;
};

class SkinComponentCore {
public:
    SkinSettings settings;
    FormSkinEvent onFormSkin;
    ControlSkinEvent onControlSkin;
    SkinChangedEvent onSkinChanged;

    // The layout property "SkinStream": a 32-bit count, then that many bytes of packed package,
    // loaded at once unless the layout is being designed. A count of zero or less keeps nothing.
    void SkinStreamRead(std::span<const std::uint8_t> value, MessageSink& sink,
                        const SystemColours& system = {}, bool designing = false);
    std::vector<std::uint8_t> SkinStreamWrite() const;

    // False while the not-loaded mark is set.
    bool SkinLoaded() const { return model_.has_value(); }
    const SkinModel* Skin() const { return model_ ? &*model_ : nullptr; }
    void SkinSet(std::optional<SkinModel> model) { model_ = std::move(model); }

    // The end-of-reading notification; nothing happens while designing.
    void Loaded(SkinServices& services, bool designing = false);

private:
    std::vector<std::uint8_t> package_;
    std::optional<SkinModel> model_;
};

enum class SkinAction : std::uint8_t { None = 0, Skin = 1, Unskin = 2, Refresh = 3 };

inline constexpr unsigned kSkinTimerIntervalMs = 100;
inline constexpr unsigned kSkinActionDelayMs = 250;

class SkinTimer {
public:
    virtual ~SkinTimer() = default;
    virtual void Start(unsigned intervalMs) = 0;
    virtual void Stop() = 0;
};

// The manager's bookkeeping: registered components, the main skin, whether it has started and
// whether skinning is on, and its one-shot action timer (100 ms and disabled when made).
class SkinManagerState {
public:
    explicit SkinManagerState(SkinTimer& timer) : timer_(timer) {}

    // The first sfMainform component to register becomes the main skin.
    void Register(SkinComponentCore& component);
    void Unregister(SkinComponentCore& component);
    SkinComponentCore* MainSkin() const { return main_; }
    const std::vector<SkinComponentCore*>& Components() const { return components_; }

    // Marked on the first activation; arms the timer for an action waiting since before.
    void Start();
    bool Started() const { return started_; }
    bool SkinningOn() const { return skinningOn_; }

    // Stores the action and its delay on the timer, which is armed only once started.
    void ActionRequest(SkinAction action, unsigned delayMs = kSkinActionDelayMs);
    // Skinning on without waiting for the timer.
    void SwitchOn() { skinningOn_ = true; }
    // The timer fired: it disarms itself and hands back the action to carry out on all forms;
    // the caller raises the skin-changed event afterwards.
    SkinAction TimerFire();

    unsigned TimerInterval() const { return interval_; }
    bool TimerEnabled() const { return enabled_; }
    SkinAction PendingAction() const { return action_; }

private:
    void TimerArm();

    SkinTimer& timer_;
    std::vector<SkinComponentCore*> components_;
    SkinComponentCore* main_ = nullptr;
    bool started_ = false;
    bool skinningOn_ = false;
    SkinAction action_ = SkinAction::None;
    unsigned interval_ = kSkinTimerIntervalMs;
    bool enabled_ = false;
};

} // namespace veltrane
