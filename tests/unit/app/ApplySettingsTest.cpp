#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <stdexcept>

#include "app/ApplySettings.h"
#include "tests/unit/app/FakeDriver.h"

namespace veltrane {
namespace {

class ScriptedHost : public ApplyHost {
public:
    bool confirm = true;
    std::vector<ListedPartition> items;
    bool recover = false, open = true;
    std::vector<std::string> events;
    std::wstring message;
    bool okEnabled = true;
    std::function<void()> onRestart;

    bool AskConfirm(const std::wstring& text) override {
        events.push_back("ask");
        EXPECT_EQ(text, L"需要重启机器让修改生效，是否现在重启？");
        return confirm;
    }
    void SetOkEnabled(bool enabled) override {
        okEnabled = enabled;
        events.push_back(enabled ? "enable" : "disable");
    }
    std::vector<ListedPartition> ListedPartitions() override { return items; }
    bool RecoverModeTicked() override { return recover; }
    bool OpenModeTicked() override { return open; }
    void ShowMessage(const std::wstring& text) override {
        message = text;
        events.push_back("message");
    }
    void RestartNow() override {
        events.push_back("restart");
        if (onRestart)
            onRestart();
    }
};

class FailingDriver : public testing::FakeDriver {
public:
    bool failPartition = false, failProtection = false;
    bool SetPartition(PartitionTable& table) override {
        FakeDriver::SetPartition(table);
        return !failPartition;
    }
    bool SetProtection(WorkMode mode) override {
        FakeDriver::SetProtection(mode);
        return !failProtection;
    }
};

PartitionTable ReadTable() {
    PartitionTable table{};
    for (std::size_t i = 0; i < kOpaqueSize; ++i)
        table.opaque[i] = std::uint8_t(0xA0 + i);
    const char letters[] = {'A', 'C', 'D', 0, 'C', 'E'};
    for (int slot = 0; slot < 6; ++slot) {
        table.letter[slot] = std::uint8_t(letters[slot]);
        table.protect[slot] = 1;
        table.type[slot] = 7;
        table.SetSizeMb(slot, 1000u * slot);
    }
    table.protect[5] = 2;
    return table;
}

TEST(CopyTicksIntoTable, FirstMatchingItemDecidesAndUnlistedSlotsKeepTheirFlags) {
    PartitionTable table = ReadTable();
    const PartitionTable before = table;
    CopyTicksIntoTable({{L"C:\\", false}, {L"D:\\", true}, {L"C:\\", true}}, table);
    EXPECT_EQ(table.protect[0], 1) << "slot A has no item";
    EXPECT_EQ(table.protect[1], 0) << "first C item is unticked";
    EXPECT_EQ(table.protect[2], 1);
    EXPECT_EQ(table.protect[3], 1) << "empty slot keeps what was read";
    EXPECT_EQ(table.protect[4], 0) << "a second C slot also takes the first C item";
    EXPECT_EQ(table.protect[5], 2) << "E is not listed";
    PartitionTable masked = table;
    std::memcpy(masked.protect, before.protect, sizeof masked.protect);
    EXPECT_EQ(std::memcmp(&masked, &before, sizeof before), 0) << "no byte but the flags changes";
}

TEST(ApplySettings, WritesTableThenScreenModeThenRestarts) {
    ScriptedHost host;
    FailingDriver driver;
    PartitionTable table = ReadTable();
    WorkMode mode = kModeProtected; // read at creation; the screen says otherwise
    host.items = {{L"C:\\", false}, {L"D:\\", true}};
    host.recover = false;
    host.open = true;
    ApplySettings(host, driver, table, mode);
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"fcSetPartition", "fcSetProtection 0"}));
    EXPECT_EQ(driver.stored.protect[1], 0);
    EXPECT_EQ(driver.stored.protect[2], 1);
    EXPECT_EQ(mode, kModeOpen);
    EXPECT_EQ(host.events, (std::vector<std::string>{"ask", "disable", "restart"}));
    EXPECT_FALSE(host.okEnabled) << "OK stays disabled after the restart request";
}

TEST(ApplySettings, CancelledQueryWritesNothing) {
    ScriptedHost host;
    FailingDriver driver;
    PartitionTable table = ReadTable();
    WorkMode mode = kModeOpen;
    host.confirm = false;
    ApplySettings(host, driver, table, mode);
    EXPECT_TRUE(driver.calls.empty());
    EXPECT_EQ(host.events, std::vector<std::string>{"ask"});
    EXPECT_TRUE(host.okEnabled);
}

TEST(ApplySettings, FailuresShowTheirMessageAndEnableOkAgain) {
    const struct {
        bool failPartition, failProtection;
        std::vector<std::string> calls;
        const wchar_t* message;
    } cases[] = {
        {true, false, {"fcSetPartition"}, L"设置保护分区失败"},
        {false, true, {"fcSetPartition", "fcSetProtection 1"}, L"设置保护模式失败"},
        {true, true, {"fcSetPartition"}, L"设置保护分区失败"},
    };
    for (const auto& c : cases) {
        ScriptedHost host;
        host.recover = true;
        host.open = false;
        FailingDriver driver;
        driver.failPartition = c.failPartition;
        driver.failProtection = c.failProtection;
        PartitionTable table = ReadTable();
        WorkMode mode = kModeOpen;
        ApplySettings(host, driver, table, mode);
        EXPECT_EQ(driver.calls, c.calls);
        EXPECT_EQ(host.message, c.message);
        EXPECT_EQ(host.events, (std::vector<std::string>{"ask", "disable", "message", "enable"}));
        EXPECT_TRUE(host.okEnabled);
    }
}

TEST(ApplySettings, AnyOtherErrorShowsItsOwnTextAndEnablesOk) {
    const struct {
        std::function<void()> raise;
        std::wstring shown;
    } cases[] = {
        {[] { throw std::runtime_error("restart refused"); }, L"restart refused"},
        {[] { throw std::runtime_error("重启被拒绝"); }, L"重启被拒绝"}, // UTF-8, not Latin-1
        {[] { throw std::runtime_error("bad \xC3( \xE9\x80 end"); }, L"bad \uFFFD( \uFFFD\uFFFD end"},
        {[] { throw 7; }, L"未知错误"},
    };
    for (const auto& c : cases) {
        ScriptedHost host;
        host.onRestart = c.raise;
        FailingDriver driver;
        PartitionTable table = ReadTable();
        WorkMode mode = kModeOpen;
        ApplySettings(host, driver, table, mode);
        EXPECT_EQ(host.message, c.shown);
        EXPECT_TRUE(host.okEnabled);
    }
}

TEST(ApplySettings, NeitherRadioTickedKeepsThePreviousMode) {
    ScriptedHost host;
    host.recover = host.open = false;
    FailingDriver driver;
    PartitionTable table = ReadTable();
    WorkMode mode = kModeProtected;
    ApplySettings(host, driver, table, mode);
    EXPECT_EQ(driver.calls.back(), "fcSetProtection 1");
}

} // namespace
} // namespace veltrane
