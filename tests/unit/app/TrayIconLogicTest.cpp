#include <gtest/gtest.h>

#include <string>

#include "app/TrayIconLogic.h"

namespace veltrane {
namespace {

class FakeTimer : public ClickTimer {
public:
    bool running = false;
    unsigned period = 0;
    int starts = 0;
    void Start(unsigned periodMs) override {
        period = periodMs;
        running = periodMs != 0;
        ++starts;
    }
    void Stop() override { running = false; }
    bool Running() const override { return running; }
};

struct Fixture {
    FakeTimer timer;
    TrayClickState state{timer};
    std::string events;
    Fixture() {
        state.onClick = [this] {
            events += "click ";
        };
        state.onDblClick = [this] {
            events += "dbl ";
        };
    }
    void Tick() {
        if (timer.running)
            state.TimerTick();
    }
};

TEST(TrayClickState, DoubleClickRaisesOneDoubleClickAndNoClick) {
    Fixture f;
    f.state.LeftButtonDown(500);
    EXPECT_EQ(f.timer.period, 500u);
    f.state.LeftButtonUp();
    f.state.LeftDoubleClick();
    f.state.LeftButtonUp();
    f.Tick();
    f.Tick();
    EXPECT_EQ(f.events, "dbl ");
}

TEST(TrayClickState, SingleClickRaisesClickOnlyWhenTheTimerRunsOut) {
    Fixture f;
    f.state.LeftButtonDown(500);
    f.state.LeftButtonUp();
    EXPECT_EQ(f.events, "");
    f.Tick();
    EXPECT_EQ(f.events, "click ");
    EXPECT_FALSE(f.timer.running);
    f.Tick();
    EXPECT_EQ(f.events, "click ");
}

TEST(TrayClickState, ReleaseAfterTheTimerRanOutClicksAtOnce) {
    Fixture f;
    f.state.LeftButtonDown(500);
    f.Tick(); // held longer than the double-click time
    EXPECT_EQ(f.events, "");
    f.state.LeftButtonUp();
    EXPECT_EQ(f.events, "click ");
}

TEST(TrayClickState, TickDuringTheNestedDialogOnlyClearsTheFlag) {
    Fixture f;
    int ticksInside = 0;
    f.state.onDblClick = [&] {
        f.events += "dbl ";
        // the password dialog runs its own loop: the click timer fires inside it
        f.Tick();
        ++ticksInside;
    };
    f.state.LeftButtonDown(500);
    f.state.LeftButtonUp();
    f.state.LeftDoubleClick();
    f.state.LeftButtonUp();
    EXPECT_EQ(ticksInside, 1);
    EXPECT_EQ(f.events, "dbl ");
    // the next single click is reported again
    f.state.LeftButtonDown(500);
    f.state.LeftButtonUp();
    f.Tick();
    EXPECT_EQ(f.events, "dbl click ");
}

TEST(TrayClickState, WithoutDoubleClickHandlerClicksAreImmediate) {
    Fixture f;
    f.state.onDblClick = nullptr;
    f.state.LeftButtonDown(500);
    EXPECT_EQ(f.timer.starts, 0);
    f.state.LeftButtonUp();
    EXPECT_EQ(f.events, "click ");
}

TEST(IconIndexClamp, ClampsOnlyAtTheTop) {
    const struct {
        int requested, count, shown;
    } cases[] = {{0, 6, 0}, {1, 6, 1}, {5, 6, 5}, {6, 6, 5}, {9, 6, 5}, {-1, 6, -1}, {0, 0, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(IconIndexClamp(c.requested, c.count), c.shown) << c.requested << " of " << c.count;
}

} // namespace
} // namespace veltrane
