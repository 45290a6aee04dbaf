#include <gtest/gtest.h>

#include "app/ctl/CtlCommands.h"
#include "tests/unit/app/FakeDriver.h"

namespace veltrane::ctl {
namespace {

std::string Narrow(std::wstring_view text) {
    std::string bytes;
    for (wchar_t c : text)
        bytes += c < 0x80 ? char(c) : '?';
    return bytes;
}

// Stands in for the console and code page 936: ASCII one byte, the CJK block two, the rest missing.
class FakeHost : public Host {
public:
    std::vector<std::wstring> entries;
    std::size_t entriesRead = 0;
    std::wstring out, err;
    bool restarted = false;
    bool outputFails = false;
    std::wstring restartRefusal;

    bool Out(std::wstring_view text) override {
        out += text;
        return !outputFails;
    }
    void Err(std::wstring_view text) override { err += text; }
    std::optional<std::wstring> ReadPassword(std::wstring_view, PasswordSource) override {
        if (entriesRead == entries.size())
            return std::nullopt;
        return entries[entriesRead++];
    }
    std::size_t CodePageWidth(wchar_t c) override {
        return c < 0x80 ? 1 : (c >= 0x4E00 && c <= 0x9FFF) ? 2 : 0;
    }
    std::wstring FieldText(std::wstring_view typed) override {
        std::wstring text(typed);
        for (wchar_t& c : text)
            c = c < 0x80 ? wchar_t(std::tolower(c)) : c;
        return text;
    }
    std::optional<std::string> CodePageBytes(std::wstring_view text) override {
        std::string bytes;
        for (const wchar_t c : text) {
            if (CodePageWidth(c) == 0)
                return std::nullopt;
            bytes += c < 0x80 ? std::string(1, char(c)) : std::string("\xD6\xD0");
        }
        return bytes;
    }
    std::wstring RestartNow() override {
        restarted = true;
        return restartRefusal;
    }
};

class ScriptedDriver : public testing::FakeDriver {
public:
    std::string password = "admin";
    bool failPartition = false, keepsOldPassword = false;

    bool SetPartition(PartitionTable& table) override {
        return FakeDriver::SetPartition(table) && !failPartition;
    }
    bool SetPassword(const char* text) override {
        FakeDriver::SetPassword(text);
        if (!keepsOldPassword)
            password = text;
        return true;
    }
    bool CheckPassword(const char* text) override {
        FakeDriver::CheckPassword(text);
        return password == text;
    }
};

PartitionTable
SlotTable(std::initializer_list<std::tuple<int, char, std::uint8_t, std::uint8_t, std::uint32_t>> slots) {
    PartitionTable table{};
    for (std::size_t i = 0; i < kOpaqueSize; ++i)
        table.opaque[i] = std::uint8_t(0xA0 + i);
    for (auto [slot, letter, protect, type, size] : slots) {
        table.letter[slot] = std::uint8_t(letter);
        table.protect[slot] = protect;
        table.type[slot] = type;
        table.SetSizeMb(slot, size);
    }
    return table;
}

// A, unlisted, protected; C with a flag other than 0 and 1; D unprotected; E protected.
const PartitionTable kTable =
    SlotTable({{0, 'A', 1, 7, 10}, {1, 'C', 2, 7, 20}, {2, 'D', 0, 7, 30}, {4, 'E', 1, 11, 40}});

TEST(ParseArguments, AcceptedSpellings) {
    const struct {
        std::vector<std::wstring> args;
        Command command;
        bool json, restart, fromStdin;
        std::string protect, unprotect;
        std::optional<WorkMode> mode;
    } cases[] = {
        {{L"status"}, Command::kStatus, false, false, false, "", "", {}},
        {{L"status", L"--json"}, Command::kStatus, true, false, false, "", "", {}},
        {{L"apply"}, Command::kApply, false, false, false, "", "", {}},
        {{L"apply", L"--protect", L"C,d:", L"--unprotect=E:\\", L"--mode", L"Protected", L"--restart",
          L"--password-stdin"},
         Command::kApply,
         false,
         true,
         true,
         "CD",
         "E",
         kModeProtected},
        {{L"apply", L"--protect", L" c , d ", L"--protect=D,z", L"--mode=unprotected"},
         Command::kApply,
         false,
         false,
         false,
         "CDZ",
         "",
         kModeOpen},
        {{L"passwd", L"--password-stdin"}, Command::kPasswd, false, false, true, "", "", {}},
        {{L"apply", L"--bogus", L"--help"}, Command::kHelp, false, false, false, "", "", {}},
        {{L"-h"}, Command::kHelp, false, false, false, "", "", {}},
        {{L"/?"}, Command::kHelp, false, false, false, "", "", {}},
    };
    for (const auto& c : cases) {
        const ParsedArguments parsed = ParseArguments(c.args);
        ASSERT_TRUE(parsed.options) << Narrow(c.args.front()) << ": " << Narrow(parsed.error);
        const Options& o = *parsed.options;
        EXPECT_EQ(o.command, c.command);
        EXPECT_EQ(o.json, c.json);
        EXPECT_EQ(o.restart, c.restart);
        EXPECT_EQ(o.passwordSource == PasswordSource::kStdin, c.fromStdin);
        EXPECT_EQ(o.protect, c.protect);
        EXPECT_EQ(o.unprotect, c.unprotect);
        EXPECT_EQ(o.mode, c.mode);
    }
}

TEST(ParseArguments, RefusalsNameWhatIsWrong) {
    const struct {
        std::vector<std::wstring> args;
        const wchar_t* error;
    } cases[] = {
        {{L"stat"}, L"未知命令：stat"},
        {{L"--json"}, L"未知命令：--json"},
        {{L"status", L"--verbose"}, L"未知选项：--verbose"},
        {{L"status", L"--json=yes"}, L"未知选项：--json=yes"},
        {{L"status", L"--restart"}, L"此命令不接受选项：--restart"},
        {{L"passwd", L"--protect=C"}, L"此命令不接受选项：--protect"},
        {{L"status", L"json"}, L"多余的参数：json"},
        {{L"apply", L"--protect"}, L"选项缺少值：--protect"},
        {{L"apply", L"--protect", L"CD"}, L"不是盘符：CD"},
        {{L"apply", L"--protect", L"C,,D"}, L"不是盘符："},
        {{L"apply", L"--unprotect", L"1:"}, L"不是盘符：1:"},
        {{L"apply", L"--protect", L"C:/"}, L"不是盘符：C:/"},
        {{L"apply", L"--mode", L"on"}, L"工作模式只能是 protected 或 unprotected：on"},
        {{L"apply", L"--mode=protected", L"--mode=protected"}, L"选项重复：--mode"},
        {{L"apply", L"--protect", L"C,D", L"--unprotect", L"d:\\"}, L"同一分区不能既保护又不保护：D:"},
    };
    for (const auto& c : cases) {
        const ParsedArguments parsed = ParseArguments(c.args);
        EXPECT_FALSE(parsed.options) << Narrow(c.error);
        EXPECT_EQ(parsed.error, c.error);
    }
}

TEST(PasswordRefusal, WhatThePasswordFieldCouldNotHoldIsRefused) {
    constexpr std::wstring_view kTooLong = L"密码太长";
    constexpr std::wstring_view kNotInCodePage = L"密码含有代码页 936";
    constexpr std::wstring_view kControl = L"密码含有控制字符";
    const struct {
        std::wstring typed;
        std::wstring_view refusal; // start of the message; empty: taken
    } cases[] = {
        {L"", {}},
        {L"ABCDEFGH", {}},
        {L"abcdefghi", kTooLong},
        {L"中文中文", {}},        // 8 bytes
        {L"中文中a文", kTooLong}, // 9 bytes in 5 characters
        {L"caf\u00e9", kNotInCodePage},
        {std::wstring(L"a") + wchar_t(0xD83D) + wchar_t(0xDE00), kNotInCodePage},
        {L"ab\tc", kControl},
        {L"ab\x7f", kControl},
    };
    FakeHost host;
    for (const auto& c : cases) {
        const std::wstring_view refusal = PasswordRefusal(c.typed, host);
        EXPECT_EQ(refusal.empty(), c.refusal.empty()) << Narrow(c.typed);
        EXPECT_TRUE(refusal.starts_with(c.refusal)) << Narrow(c.typed);
    }
}

TEST(Status, JsonKeysAndValues) {
    const PartitionTable table =
        SlotTable({{0, 'B', 1, 7, 1}, {1, 'C', 2, 6, 4294967295u}, {3, 'Z', 1, 12, 512}});
    EXPECT_EQ(
        StatusJson({PartitionRows(table), kModeProtected, false}),
        L"{\n"
        L"  \"mode\": \"protected\",\n"
        L"  \"library\": \"driver\",\n"
        L"  \"partitions\": [\n"
        L"    {\"letter\": \"C\", \"drive\": \"C:\\\\\", \"type\": \"Unknow\", \"size_mb\": 4294967295, "
        L"\"protected\": false},\n"
        L"    {\"letter\": \"Z\", \"drive\": \"Z:\\\\\", \"type\": \"FAT32\", \"size_mb\": 512, "
        L"\"protected\": true}\n"
        L"  ]\n"
        L"}\n");
    EXPECT_EQ(StatusJson({{}, kModeOpen, true}),
              L"{\n  \"mode\": \"unprotected\",\n  \"library\": \"simulated\",\n  \"partitions\": []\n}\n");
}

TEST(Status, TextColumnsAlignInConsoleColumns) {
    const PartitionTable table = SlotTable({{0, 'C', 1, 7, 40960}, {1, 'D', 0, 11, 4294967295u}});
    EXPECT_EQ(StatusText({PartitionRows(table), kModeOpen, true}),
              L"分区  类型   大小(Mb.)   保护\n"
              L"C:\\   NTFS   40960       是\n"
              L"D:\\   FAT32  4294967295  否\n"
              L"工作状态：非保护模式\n"
              L"驱动库：模拟驱动库（评估用，机器没有受到保护）\n");
}

const std::string kRead = "fcGetPartition fcGetProtection";

TEST(Run, ExitCodesMessagesAndLibraryCalls) {
    using enum ExitCode;
    const std::vector<std::wstring> apply = {L"apply", L"--protect", L"D"}, passwd = {L"passwd"};
    const struct {
        std::vector<std::wstring> args;
        std::vector<std::wstring> typed;
        std::string driver; // how the fake library behaves
        ExitCode exitCode;
        std::string calls; // "read": the table and the mode, as at the main window's creation
        std::wstring_view message;
    } cases[] = {
        {{L"status", L"--json"}, {}, "unreachable", kDriverUnreachable, "read", L"无法和驱动正确连接！"},
        {{L"apply", L"--unprotect", L"a,q:"},
         {L"admin"},
         "",
         kUsage,
         "read",
         L"分区列表中没有这些盘符：A: Q:"},
        {apply, {L"administrator"}, "", kUsage, "read", L"密码太长"},
        {apply, {L"guest"}, "", kWrongPassword, "read fcCheckPassword guest", L"密码错误"},
        {apply,
         {L"admin"},
         "failPartition",
         kWriteFailed,
         "read fcCheckPassword admin fcSetPartition",
         L"设置保护分区失败"},
        {passwd, {L"admin", L"abc", L"abd"}, "", kUsage, "read fcCheckPassword admin", L"新密码不一致"},
        {passwd,
         {L"admin", L"abc", L"abc"},
         "keepsOldPassword",
         kWriteFailed,
         "read fcCheckPassword admin fcSetPassword abc fcCheckPassword abc",
         L"修改密码失败"},
        {{L"status", L"--restart"}, {}, "", kUsage, "", L"veltrane-ctl --help"},
    };
    for (const auto& c : cases) {
        FakeHost host;
        host.entries = c.typed;
        ScriptedDriver driver;
        driver.stored = kTable;
        driver.reachable = c.driver != "unreachable";
        driver.failPartition = c.driver == "failPartition";
        driver.keepsOldPassword = c.driver == "keepsOldPassword";
        EXPECT_EQ(ctl::Run(c.args, host, driver), c.exitCode) << Narrow(c.message);
        std::string calls;
        for (const std::string& call : driver.calls)
            calls += (calls.empty() ? "" : " ") + call;
        if (calls.starts_with(kRead))
            calls.replace(0, kRead.size(), "read");
        EXPECT_EQ(calls, c.calls) << Narrow(c.message);
        EXPECT_NE(host.err.find(c.message), std::wstring::npos) << Narrow(host.err);
        EXPECT_EQ(host.out, L"");
        EXPECT_FALSE(host.restarted);
    }
}

TEST(Run, ApplyWritesTheRecordAsTheMainWindowWouldAndRestartsOnlyWhenAsked) {
    for (const bool restart : {false, true}) {
        FakeHost host;
        host.entries = {L"admin"};
        ScriptedDriver driver;
        driver.stored = kTable;
        std::vector<std::wstring> args = {L"apply", L"--protect", L"d", L"--unprotect", L"E"};
        if (restart)
            args.push_back(L"--restart");
        EXPECT_EQ(ctl::Run(args, host, driver), ExitCode::kDone);

        PartitionTable expected = kTable;
        expected.protect[1] = 0; // C:\ was listed unticked; slot 0 (A, not listed) keeps its flag
        expected.protect[2] = 1;
        expected.protect[4] = 0;
        EXPECT_EQ(std::memcmp(&driver.stored, &expected, sizeof expected), 0);
        EXPECT_EQ(host.restarted, restart);
        EXPECT_NE(host.err.find(restart ? L"正在重启" : L"需要重启"), std::wstring::npos);
    }
}

// A refused restart and a failed write to standard output are failures a script must see.
TEST(Run, RefusedRestartAndLostOutputAreNotSuccess) {
    FakeHost refused;
    refused.entries = {L"admin"};
    refused.restartRefusal = L"Access is denied. (5)";
    ScriptedDriver driver;
    driver.stored = kTable;
    EXPECT_EQ(ctl::Run({L"apply", L"--restart"}, refused, driver), ExitCode::kWriteFailed);
    EXPECT_NE(refused.err.find(L"重启请求被拒绝：Access is denied. (5)"), std::wstring::npos);

    for (const auto& args :
         {std::vector<std::wstring>{L"status", L"--json"}, std::vector<std::wstring>{L"--help"}}) {
        FakeHost closedPipe;
        closedPipe.outputFails = true;
        EXPECT_EQ(ctl::Run(args, closedPipe, driver), ExitCode::kOutputFailed);
        EXPECT_NE(closedPipe.err.find(L"写入标准输出失败"), std::wstring::npos);
    }
}

} // namespace
} // namespace veltrane::ctl
