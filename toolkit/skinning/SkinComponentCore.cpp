#include "toolkit/skinning/SkinComponentCore.h"

#include <algorithm>

#include "base/Bytes.h"

namespace veltrane {

void SkinComponentCore::SkinStreamRead(std::span<const std::uint8_t> value, MessageSink& sink,
                                       const SystemColours& system, bool designing) {
    package_.clear();
    model_.reset();
    if (value.size() < 4)
        return;
    const std::int32_t count = LoadLeI32(value, 0);
    if (count <= 0 || std::size_t(count) > value.size() - 4)
        return;
    package_.assign(value.begin() + 4, value.begin() + 4 + count);
    if (!designing)
        model_ = LoadSkinStream(value.first(4 + std::size_t(count)), sink, system);
}

std::vector<std::uint8_t> SkinComponentCore::SkinStreamWrite() const {
    std::vector<std::uint8_t> out;
    out.reserve(4 + package_.size());
    AppendLe32(out, std::uint32_t(package_.size()));
    out.insert(out.end(), package_.begin(), package_.end());
    return out;
}

void SkinComponentCore::Loaded(SkinServices& services, bool designing) {
    if (designing)
        return;
    if (!services.ScrollBarInfoAvailable())
        settings.skinControls.Exclude(xcScrollbar);

    SkinManagerState* manager = services.Manager();
    if (!manager)
        manager = &services.ManagerCreate();
    manager->Register(*this);

    services.CaptionFontRead();

    if (settings.skinFormtype != sfMainform) {
        manager->SwitchOn();
        manager->Start();
        if (settings.active)
            services.OwnerFormSkin();
        return;
    }

    services.HookInstall();
    if (settings.active) {
        if (SkinLoaded())
            manager->ActionRequest(SkinAction::Skin);
        else
            settings.active = false;
    }
    // Menu items are painted by the main menu's skin; without one the system menu is left alone too.
    if (settings.skinControls.Has(xcMainMenu))
        settings.skinControls.Exclude(xcMenuItem);
    else
        settings.skinControls.Exclude(xcSystemMenu);
    services.CaptionIconMake(kSkinTransparent); // on the key colour: drawn transparent
}

void SkinManagerState::Register(SkinComponentCore& component) {
    if (std::find(components_.begin(), components_.end(), &component) == components_.end())
        components_.push_back(&component);
    if (!main_ && component.settings.skinFormtype == sfMainform)
        main_ = &component;
}

void SkinManagerState::Unregister(SkinComponentCore& component) {
    std::erase(components_, &component);
    if (main_ == &component)
        main_ = nullptr;
}

void SkinManagerState::Start() {
    if (started_)
        return;
    started_ = true;
    if (action_ != SkinAction::None)
        TimerArm();
}

void SkinManagerState::ActionRequest(SkinAction action, unsigned delayMs) {
    action_ = action;
    interval_ = delayMs;
    if (action == SkinAction::Skin)
        skinningOn_ = true;
    else if (action == SkinAction::Unskin)
        skinningOn_ = false;
    if (started_)
        TimerArm();
}

SkinAction SkinManagerState::TimerFire() {
    enabled_ = false;
    timer_.Stop();
    const SkinAction action = action_;
    action_ = SkinAction::None;
    return action;
}

void SkinManagerState::TimerArm() {
    enabled_ = true;
    timer_.Start(interval_);
}

} // namespace veltrane
