#include "toolkit/skinning/SkinComponentCore.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace veltrane {
namespace {

// Records timer and system calls in the order they are made.
class FakeServices : public SkinServices, public SkinTimer {
public:
    std::string log;
    bool scrollBarInfo = true;
    std::unique_ptr<SkinManagerState> manager;

    void Start(unsigned intervalMs) override { log += "timer " + std::to_string(intervalMs) + "; "; }
    void Stop() override { log += "timer stop; "; }
    bool ScrollBarInfoAvailable() const override { return scrollBarInfo; }
    SkinManagerState* Manager() override { return manager.get(); }
    SkinManagerState& ManagerCreate() override {
        log += "manager; ";
        manager = std::make_unique<SkinManagerState>(*this);
        EXPECT_EQ(manager->TimerInterval(), 100u);
        EXPECT_FALSE(manager->TimerEnabled());
        return *manager;
    }
    void CaptionFontRead() override { log += "font; "; }
    void HookInstall() override { log += "hook; "; }
    void CaptionIconMake(Rgb background) override { log += "icon " + std::to_string(background) + "; "; }
    void OwnerFormSkin() override { log += "form; "; }
};

SkinComponentCore Stored(bool skinLoaded, TSkinFormType type = sfMainform) {
    SkinComponentCore c;
    c.settings = SkinSettingsStored();
    c.settings.skinFormtype = type;
    if (skinLoaded)
        c.SkinSet(SkinModel{});
    return c;
}

TEST(SkinComponentLoaded, StepsInOrderForEachFormType) {
    struct Case {
        TSkinFormType type;
        bool designing;
        const char* log;
        bool started;
    };
    const Case cases[] = {
        {sfMainform, false, "manager; font; hook; icon 16711935; ", false}, // the icon is drawn on magenta
        {sfOnlyThisForm, false, "manager; font; form; ", true},
        {sfMainform, true, "", false},
    };
    for (const Case& c : cases) {
        FakeServices services;
        SkinComponentCore component = Stored(true, c.type);
        component.Loaded(services, c.designing);
        EXPECT_EQ(services.log, c.log);
        if (c.designing)
            continue;
        EXPECT_EQ(services.manager->Started(), c.started);
        EXPECT_TRUE(services.manager->SkinningOn());
        EXPECT_EQ(services.manager->MainSkin(), c.type == sfMainform ? &component : nullptr);
    }
}

TEST(SkinComponentLoaded, ActiveSkinningAndTheControlSet) {
    struct Case {
        const char* what;
        bool skinLoaded;
        bool scrollBarInfo;
        bool active;
        TSkinControls before;
        bool activeAfter;
        TSkinControls after;
    };
    const TSkinControls stored = SkinSettingsStored().skinControls;
    TSkinControls noScrollbar = stored;
    noScrollbar.Exclude(xcScrollbar);
    const Case cases[] = {
        {"stored", true, true, true, stored, true, stored},
        {"skin did not load", false, true, true, stored, false, stored},
        {"inactive", true, true, false, stored, false, stored},
        {"no GetScrollBarInfo", true, false, true, stored, true, noScrollbar},
        {"main menu",
         true,
         true,
         true,
         {xcMainMenu, xcMenuItem, xcSystemMenu},
         true,
         {xcMainMenu, xcSystemMenu}},
        {"no main menu", true, true, true, {xcMenuItem, xcSystemMenu}, true, {xcMenuItem}},
    };
    for (const Case& c : cases) {
        FakeServices services;
        services.scrollBarInfo = c.scrollBarInfo;
        SkinComponentCore component = Stored(c.skinLoaded);
        component.settings.active = c.active;
        component.settings.skinControls = c.before;
        component.Loaded(services);
        const SkinManagerState& m = *services.manager;
        EXPECT_EQ(component.settings.active, c.activeAfter) << c.what;
        EXPECT_EQ(component.settings.skinControls, c.after) << c.what;
        EXPECT_EQ(m.SkinningOn(), c.activeAfter) << c.what;
        EXPECT_EQ(m.PendingAction(), c.activeAfter ? SkinAction::Skin : SkinAction::None) << c.what;
        EXPECT_EQ(m.TimerInterval(), c.activeAfter ? 250u : 100u) << c.what;
        EXPECT_FALSE(m.TimerEnabled()) << c.what; // nothing before the first activation
    }
}

TEST(SkinManager, OneManagerWhoseFirstMainformComponentIsTheMainSkin) {
    FakeServices services;
    SkinComponentCore dialog = Stored(true, sfDialog), first = Stored(true), second = Stored(true);
    for (SkinComponentCore* c : {&dialog, &first, &second})
        c->Loaded(services);
    EXPECT_EQ(services.log.find("manager; "), services.log.rfind("manager; "));
    EXPECT_EQ(services.manager->MainSkin(), &first);
    EXPECT_EQ(services.manager->Components().size(), 3u);
    services.manager->Unregister(first);
    EXPECT_EQ(services.manager->MainSkin(), nullptr);
}

TEST(SkinManager, ActionsWaitForTheStartThenFireOnce) {
    FakeServices services;
    SkinManagerState m(services);
    m.ActionRequest(SkinAction::Skin);
    EXPECT_EQ(services.log, "");
    m.Start();
    m.Start();
    EXPECT_EQ(services.log, "timer 250; ");
    EXPECT_EQ(m.TimerFire(), SkinAction::Skin);
    EXPECT_FALSE(m.TimerEnabled());
    EXPECT_EQ(m.TimerFire(), SkinAction::None);

    services.log.clear();
    m.ActionRequest(SkinAction::Unskin);
    EXPECT_FALSE(m.SkinningOn());
    m.ActionRequest(SkinAction::Refresh, 40);
    EXPECT_FALSE(m.SkinningOn());
    EXPECT_EQ(services.log, "timer 250; timer 40; ");
}

} // namespace
} // namespace veltrane
