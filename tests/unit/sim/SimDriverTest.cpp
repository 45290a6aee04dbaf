#include "sim/SimDriver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace veltrane::sim {
namespace {

// Keeps the state file and the log files in memory; a test can make reads or writes fail.
class MemoryStore final : public StateStore {
public:
    std::optional<std::string> file;
    bool readFails = false;
    bool replaceFails = false;
    int replaceCount = 0;
    std::vector<std::pair<std::string, std::string>> logLines; // path, line

    ReadStatus Read(std::string& text) override {
        if (readFails)
            return ReadStatus::kFailed;
        if (!file)
            return ReadStatus::kMissing;
        text = *file;
        return ReadStatus::kOk;
    }
    bool Replace(std::string_view text) override {
        if (replaceFails)
            return false;
        ++replaceCount;
        file = std::string(text);
        return true;
    }
    bool AppendLine(std::string_view path, std::string_view line) override {
        logLines.emplace_back(path, line);
        return true;
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (const auto& entry : logLines)
            lines.push_back(entry.second);
        return lines;
    }
};

constexpr char kLog[] = "C:\\sim\\calls.log";

std::string StateText(const std::function<void(SimState&)>& change) {
    SimState state = DemoState();
    state.logPath = kLog;
    change(state);
    return SerializeState(state);
}

SimState Stored(const MemoryStore& store) {
    return ParseState(store.file.value_or("")).state.value_or(SimState{});
}

PartitionTable Filled(std::uint8_t seed) {
    PartitionTable table{};
    auto* bytes = reinterpret_cast<std::uint8_t*>(&table);
    for (std::size_t i = 0; i < sizeof table; ++i)
        bytes[i] = std::uint8_t(seed + i * 13);
    return table;
}

std::string Hex(const PartitionTable& table) {
    return ToHex({reinterpret_cast<const std::uint8_t*>(&table), sizeof table});
}

class SimDriverTest : public ::testing::Test {
protected:
    MemoryStore store;
    SimDriver driver{store};

    void SetUp() override {
        store.file = StateText([](SimState&) {});
    }
};

TEST_F(SimDriverTest, MissingStateFileIsCreatedWithTheDemoState) {
    store.file.reset();
    PartitionTable table{};
    EXPECT_TRUE(driver.GetPartition(&table));
    EXPECT_EQ(Hex(table), Hex(DemoState().table));
    EXPECT_EQ(store.file, SerializeState(DemoState()));
    EXPECT_TRUE(driver.CheckPassword("admin"));
    EXPECT_EQ(store.replaceCount, 1);
}

TEST_F(SimDriverTest, StateThatCannotBeReadOrCreatedAnswersNothing) {
    store.readFails = true;
    PartitionTable table{};
    EXPECT_FALSE(driver.GetPartition(&table));
    EXPECT_FALSE(driver.GetProtection());
    EXPECT_FALSE(driver.CheckPassword("admin"));

    store.readFails = false;
    store.file.reset();
    store.replaceFails = true;
    EXPECT_FALSE(driver.GetProtection());
    EXPECT_TRUE(store.logLines.empty());
}

TEST_F(SimDriverTest, MalformedStateFailsEveryCallAndStaysAsItWas) {
    const std::string malformed = StateText([](SimState&) {}) + "slot0=C,1,7,x\n";
    store.file = malformed;
    PartitionTable table = Filled(3);
    const PartitionTable before = table;
    EXPECT_FALSE(driver.GetPartition(&table));
    EXPECT_FALSE(driver.SetPartition(&table));
    EXPECT_FALSE(driver.GetProtection());
    EXPECT_FALSE(driver.SetProtection(1));
    EXPECT_FALSE(driver.CheckPassword("admin"));
    EXPECT_FALSE(driver.SetPassword("new"));
    EXPECT_EQ(std::memcmp(&table, &before, sizeof table), 0);
    EXPECT_EQ(store.file, malformed);
    EXPECT_EQ(store.replaceCount, 0);
    EXPECT_TRUE(store.logLines.empty());
}

TEST_F(SimDriverTest, UnreachableDriverKeepsTheRecordButStillTakesSettings) {
    store.file = StateText([](SimState& s) { s.reachable = false; });
    PartitionTable table = Filled(9);
    const PartitionTable before = table;
    EXPECT_FALSE(driver.GetPartition(&table));
    EXPECT_EQ(std::memcmp(&table, &before, sizeof table), 0);
    EXPECT_TRUE(driver.GetProtection());
    EXPECT_TRUE(driver.SetProtection(0));
    EXPECT_EQ(store.Lines(),
              (std::vector<std::string>{"fcGetPartition 0", "fcGetProtection 1", "fcSetProtection 1 0"}));
}

TEST_F(SimDriverTest, WrittenRecordReadsBackByteForByte) {
    const PartitionTable written = Filled(0xC7);
    PartitionTable copy = written;
    ASSERT_TRUE(driver.SetPartition(&copy));
    EXPECT_EQ(std::memcmp(&copy, &written, sizeof copy), 0); // the caller's record is not touched

    PartitionTable read{};
    ASSERT_TRUE(driver.GetPartition(&read));
    EXPECT_EQ(Hex(read), Hex(written));
    EXPECT_EQ(store.Lines().at(0), "fcSetPartition 1 " + Hex(written));
    EXPECT_EQ(store.Lines().at(0).size(), std::string("fcSetPartition 1 ").size() + 180);
}

TEST_F(SimDriverTest, ProtectionKeepsOnlyTheLowByte) {
    const std::vector<std::tuple<std::uint32_t, std::uint8_t, bool>> cases = {
        {0, 0, false}, {1, 1, true}, {0x100, 0, false}, {0x1FF, 255, true}, {0xFFFFFF02u, 2, true},
    };
    for (const auto& [mode, stored, reported] : cases) {
        store.logLines.clear();
        EXPECT_TRUE(driver.SetProtection(mode));
        EXPECT_EQ(Stored(store).protection, stored) << mode;
        EXPECT_EQ(driver.GetProtection(), reported) << mode;
        EXPECT_EQ(store.Lines().at(0), "fcSetProtection 1 " + std::to_string(stored));
    }
}

TEST_F(SimDriverTest, PasswordMatchesOnlyExactly) {
    EXPECT_TRUE(driver.CheckPassword("admin"));
    for (const char* wrong : {"Admin", "admi", "admin ", "adminx", ""})
        EXPECT_FALSE(driver.CheckPassword(wrong)) << wrong;

    EXPECT_TRUE(driver.SetPassword("\xC3\xDC"));
    EXPECT_TRUE(driver.CheckPassword("\xC3\xDC"));
    EXPECT_FALSE(driver.CheckPassword("admin"));

    EXPECT_TRUE(driver.SetPassword(""));
    EXPECT_TRUE(driver.CheckPassword(""));
}

TEST_F(SimDriverTest, UnstorablePasswordIsRefusedAndTheOldOneKept) {
    EXPECT_FALSE(driver.SetPassword("two\nlines"));
    EXPECT_FALSE(driver.SetPassword(" padded"));
    EXPECT_TRUE(driver.CheckPassword("admin"));
    EXPECT_EQ(store.replaceCount, 0);
}

TEST_F(SimDriverTest, NullPointersFailAndLogEmptyText) {
    store.file = StateText([](SimState& s) { s.protection = 0; });
    const std::string before = *store.file;
    EXPECT_FALSE(driver.GetPartition(nullptr));
    EXPECT_FALSE(driver.SetPartition(nullptr));
    EXPECT_FALSE(driver.CheckPassword(nullptr));
    EXPECT_FALSE(driver.SetPassword(nullptr));
    EXPECT_EQ(store.file, before);
    EXPECT_EQ(store.Lines(), (std::vector<std::string>{"fcGetPartition 0", "fcSetPartition 0 ",
                                                       "fcCheckPassword 0 ", "fcSetPassword 0 "}));
}

// Each listed function answers false and changes nothing; the others keep working.
TEST_F(SimDriverTest, FailListStopsExactlyTheListedFunctions) {
    using Call = std::function<bool(SimDriver&)>;
    const PartitionTable written = Filled(1);
    const std::vector<std::tuple<SimFunction, Call, std::string>> cases = {
        {SimFunction::GetPartition,
         [](SimDriver& d) {
             PartitionTable t = Filled(50);
             const PartitionTable before = t;
             return d.GetPartition(&t) || std::memcmp(&t, &before, sizeof t) != 0;
         },
         "fcGetPartition 0"},
        {SimFunction::SetPartition,
         [&](SimDriver& d) {
             PartitionTable t = written;
             return d.SetPartition(&t);
         },
         "fcSetPartition 0 " + Hex(written)},
        {SimFunction::GetProtection, [](SimDriver& d) { return d.GetProtection(); }, "fcGetProtection 0"},
        {SimFunction::SetProtection, [](SimDriver& d) { return d.SetProtection(0); }, "fcSetProtection 0 0"},
        {SimFunction::CheckPassword, [](SimDriver& d) { return d.CheckPassword("admin"); },
         "fcCheckPassword 0 admin"},
        {SimFunction::SetPassword, [](SimDriver& d) { return d.SetPassword("new"); }, "fcSetPassword 0 new"},
    };
    for (const auto& [function, call, line] : cases) {
        store.file = StateText([&](SimState& s) { s.SetFails(function); });
        const std::string before = *store.file;
        store.logLines.clear();
        EXPECT_FALSE(call(driver)) << FunctionName(function);
        EXPECT_EQ(store.file, before) << FunctionName(function);
        EXPECT_EQ(store.Lines(), std::vector<std::string>{line});
        // every other function still answers from the same state
        for (const auto& [other, otherCall, unused] : cases) {
            if (other == function)
                continue;
            store.file = before;
            EXPECT_TRUE(otherCall(driver)) << FunctionName(other) << " with " << FunctionName(function);
        }
        store.file = before;
    }
}

TEST_F(SimDriverTest, FailedStateWriteIsAFailedCall) {
    store.replaceFails = true;
    EXPECT_FALSE(driver.SetProtection(0));
    EXPECT_FALSE(driver.SetPassword("x"));
    EXPECT_TRUE(driver.GetProtection());
    EXPECT_TRUE(driver.CheckPassword("admin"));
    EXPECT_EQ(store.Lines(), (std::vector<std::string>{"fcSetProtection 0 0", "fcSetPassword 0 x",
                                                       "fcGetProtection 1", "fcCheckPassword 1 admin"}));
}

TEST_F(SimDriverTest, EveryCallRereadsTheState) {
    EXPECT_TRUE(driver.GetProtection());
    store.file = StateText([](SimState& s) { s.protection = 0; });
    EXPECT_FALSE(driver.GetProtection());
    store.file = StateText([](SimState& s) {
        s.password = "other";
        s.logPath = "D:\\second.log";
    });
    EXPECT_TRUE(driver.CheckPassword("other"));
    ASSERT_EQ(store.logLines.size(), 3u);
    EXPECT_EQ(store.logLines[0].first, kLog);
    EXPECT_EQ(store.logLines[2].first, "D:\\second.log");
}

TEST_F(SimDriverTest, NoLogPathMeansNoLog) {
    store.file = StateText([](SimState& s) { s.logPath.clear(); });
    EXPECT_TRUE(driver.GetProtection());
    EXPECT_TRUE(driver.SetPassword("abc"));
    EXPECT_TRUE(store.logLines.empty());
}

TEST_F(SimDriverTest, WritingKeepsTheOtherSettings) {
    store.file = StateText([](SimState& s) {
        s.reachable = false;
        s.SetFails(SimFunction::GetProtection);
        s.table.opaque[3] = 0x5A;
    });
    const SimState before = Stored(store);
    ASSERT_TRUE(driver.SetPassword("zz"));
    SimState expected = before;
    expected.password = "zz";
    EXPECT_TRUE(Stored(store) == expected);
}

} // namespace
} // namespace veltrane::sim
