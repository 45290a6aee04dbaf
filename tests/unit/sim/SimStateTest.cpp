#include "sim/SimState.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace veltrane::sim {
namespace {

constexpr std::string_view kDemoText = "[driver]\n"
                                       "reachable=1\n"
                                       "protection=1\n"
                                       "password=admin\n"
                                       "fail=\n"
                                       "log=\n"
                                       "[table]\n"
                                       "opaque=0000000000000000000000000000000000000000\n"
                                       "slot0=C,1,7,40960\n"
                                       "slot1=D,0,7,102400\n"
                                       "slot2=E,0,12,32768\n";

constexpr std::string_view kMinimal = "[driver]\n[table]\n";

SimState MustParse(std::string_view text) {
    ParseResult parsed = ParseState(text);
    EXPECT_TRUE(parsed.state) << parsed.error << "\n" << text;
    return parsed.state.value_or(SimState{});
}

TEST(SimStateText, DemoStateIsWrittenExactly) {
    EXPECT_EQ(SerializeState(DemoState()), kDemoText);
}

TEST(SimStateText, ReadmeShowsTheDemoStateAsWritten) {
    std::ifstream readme(VELTRANE_README);
    ASSERT_TRUE(readme) << VELTRANE_README;
    const std::string text{std::istreambuf_iterator<char>(readme), std::istreambuf_iterator<char>()};
    const std::size_t block = text.find("```ini\n[driver]\n");
    ASSERT_NE(block, std::string::npos) << "no demo state block in the README";
    const std::size_t start = text.find('\n', block) + 1;
    EXPECT_EQ(text.substr(start, text.find("```", start) - start), kDemoText);
}

TEST(SimStateText, DemoTextReadsAsDemoState) {
    EXPECT_TRUE(MustParse(kDemoText) == DemoState());
}

TEST(SimStateText, MissingKeysTakeDefaults) {
    const SimState state = MustParse(kMinimal);
    EXPECT_TRUE(state == SimState{});
    EXPECT_TRUE(state.reachable);
    EXPECT_EQ(state.protection, 0);
}

SimState UnusualState() {
    SimState state;
    state.reachable = false;
    state.protection = 255;
    state.password = "p=a;ss#[x]";
    state.SetFails(SimFunction::SetPassword);
    state.SetFails(SimFunction::GetPartition);
    state.logPath = R"(C:\Program Files\log file.txt)";
    for (std::size_t i = 0; i < kOpaqueSize; ++i)
        state.table.opaque[i] = std::uint8_t(0xF0 + i * 7);
    return state;
}

TEST(SimStateText, EveryLetterByteAndFieldExtremeRoundTrips) {
    // 26 passes put every byte value 0..255 into some slot's letter.
    for (int base = 0; base < 256; base += kSlotCount) {
        SimState state = UnusualState();
        for (int slot = 0; slot < kSlotCount; ++slot) {
            state.table.letter[slot] = std::uint8_t(base + slot);
            state.table.protect[slot] = std::uint8_t(255 - slot);
            state.table.type[slot] = std::uint8_t(slot * 25);
            state.table.SetSizeMb(slot, slot % 2 ? 0xFFFFFFFFu : std::uint32_t(slot) << 24);
        }
        const std::string text = SerializeState(state);
        EXPECT_TRUE(MustParse(text) == state) << text;
        EXPECT_EQ(SerializeState(MustParse(text)), text);
    }
}

TEST(SimStateText, OnlyNonEmptySlotsAreWritten) {
    SimState state;
    state.table.protect[9] = 1;
    state.table.letter[4] = 'Q';
    const std::string text = SerializeState(state);
    EXPECT_NE(text.find("slot4=Q,0,0,0\n"), std::string::npos);
    EXPECT_NE(text.find("slot9=0,1,0,0\n"), std::string::npos);
    EXPECT_EQ(text.find("slot0"), std::string::npos);
    EXPECT_TRUE(MustParse(text) == state);
}

TEST(SimStateText, FailListIsWrittenInFunctionOrder) {
    SimState state;
    state.SetFails(SimFunction::SetPassword);
    state.SetFails(SimFunction::GetProtection);
    EXPECT_NE(SerializeState(state).find("\nfail=fcGetProtection,fcSetPassword\n"), std::string::npos);
}

struct TolerantCase {
    const char* name;
    std::string text;
};

TEST(SimStateText, TolerantFormsReadAsTheDemoState) {
    const std::vector<TolerantCase> cases = {
        {"CRLF", "[driver]\r\nreachable=1\r\nprotection=1\r\npassword=admin\r\nfail=\r\nlog=\r\n[table]\r\n"
                 "slot0=C,1,7,40960\r\nslot1=D,0,7,102400\r\nslot2=E,0,12,32768\r\n"},
        {"blanks, comments, no final newline",
         "\xEF\xBB\xBF; state\n\n  [driver]  \n\t reachable = 1 \n# note\nprotection=\t1\npassword =  admin "
         "\n\n"
         "[table]\nslot0 = C , 1 ,7, 40960\nslot1=D,0,7,102400\nslot2=E,0,12,32768"},
        {"other order",
         "[table]\nslot2=E,0,12,32768\nslot1=D,0,7,102400\nopaque=0000000000000000000000000000000000000000\n"
         "slot0=67,1,7,40960\n[driver]\npassword=admin\nprotection=001\n"},
        {"decimal letters",
         "[driver]\nprotection=1\npassword=admin\n[table]\nslot0=67,1,7,40960\nslot1=68,0,7,102400\n"
         "slot2=69,0,12,32768\n"},
        {"stray CRs at line ends",
         "[driver]\r\r\nprotection=1 \r\r\npassword=admin\r \r\n[table]\t\r\nslot0=C,1,7,40960\r\r\n"
         "slot1=D,0,7,102400\r\nslot2=E,0,12,32768\r\r"},
        {"explicit zero slots",
         "[driver]\nprotection=1\npassword=admin\nfail=,\n[table]\nslot0=C,1,7,40960\nslot1=D,0,7,102400\n"
         "slot2=E,0,12,32768\nslot3=0,0,0,0\nslot9=0,0,0,0\n"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(MustParse(c.text) == DemoState()) << c.name;
}

TEST(SimStateText, ValuesAreReadAsGiven) {
    const SimState state = MustParse("[driver]\nreachable=0\nprotection=200\npassword=a b=c\n"
                                     "fail= fcSetPartition ,,fcCheckPassword\nlog=Z:\\tmp\\x y.log\n"
                                     "[table]\nopaque=00112233445566778899AABBCCDDEEFFaabbccdd\n");
    EXPECT_FALSE(state.reachable);
    EXPECT_EQ(state.protection, 200);
    EXPECT_EQ(state.password, "a b=c");
    EXPECT_TRUE(state.Fails(SimFunction::SetPartition));
    EXPECT_TRUE(state.Fails(SimFunction::CheckPassword));
    EXPECT_FALSE(state.Fails(SimFunction::GetPartition));
    EXPECT_EQ(state.logPath, "Z:\\tmp\\x y.log");
    EXPECT_EQ(state.table.opaque[0], 0x00);
    EXPECT_EQ(state.table.opaque[10], 0xAA);
    EXPECT_EQ(state.table.opaque[19], 0xDD);
}

TEST(SimStateText, MalformedFormsAreRejected) {
    const std::string driver = "[driver]\n";
    const std::string table = "[table]\n";
    const std::vector<TolerantCase> cases = {
        {"empty file", ""},
        {"no table section", driver + "reachable=1\n"},
        {"no driver section", table},
        {"not an ini", "hello world\n"},
        {"NUL byte", driver + "password=a" + std::string(1, '\0') + "b\n" + table},
        {"unknown section", driver + table + "[extra]\n"},
        {"section twice", driver + table + driver},
        {"spaced section name", "[ driver ]\n" + table},
        {"key before section", "reachable=1\n" + driver + table},
        {"line without =", driver + "reachable\n" + table},
        {"empty key", driver + "=1\n" + table},
        {"unknown key", driver + "protecton=1\n" + table},
        {"key in wrong section", driver + "opaque=0000000000000000000000000000000000000000\n" + table},
        {"upper-case key", driver + "Reachable=1\n" + table},
        {"key twice", driver + "password=a\npassword=b\n" + table},
        {"reachable 2", driver + "reachable=2\n" + table},
        {"reachable empty", driver + "reachable=\n" + table},
        {"reachable word", driver + "reachable=yes\n" + table},
        {"protection 256", driver + "protection=256\n" + table},
        {"protection negative", driver + "protection=-1\n" + table},
        {"protection plus", driver + "protection=+1\n" + table},
        {"protection hex", driver + "protection=0x1\n" + table},
        {"protection huge", driver + "protection=99999999999999999999999\n" + table},
        {"protection empty", driver + "protection=\n" + table},
        {"unknown fail name", driver + "fail=fcGetPartition,fcReboot\n" + table},
        {"fail name wrong case", driver + "fail=fcgetpartition\n" + table},
        {"opaque short", driver + table + "opaque=00000000000000000000000000000000000000\n"},
        {"opaque long", driver + table + "opaque=000000000000000000000000000000000000000000\n"},
        {"opaque not hex", driver + table + "opaque=000000000000000000000000000000000000000g\n"},
        {"opaque empty", driver + table + "opaque=\n"},
        {"slot 10", driver + table + "slot10=C,1,7,1\n"},
        {"slot 01", driver + table + "slot01=C,1,7,1\n"},
        {"slot letter index", driver + table + "slotA=C,1,7,1\n"},
        {"slot no index", driver + table + "slot=C,1,7,1\n"},
        {"slot twice", driver + table + "slot3=C,1,7,1\nslot3=D,1,7,1\n"},
        {"slot three fields", driver + table + "slot0=C,1,7\n"},
        {"slot five fields", driver + table + "slot0=C,1,7,1,0\n"},
        {"slot empty", driver + table + "slot0=\n"},
        {"slot empty letter", driver + table + "slot0=,1,7,1\n"},
        {"slot two-character letter", driver + table + "slot0=CD,1,7,1\n"},
        {"slot letter 256", driver + table + "slot0=256,1,7,1\n"},
        {"slot protect 256", driver + table + "slot0=C,256,7,1\n"},
        {"slot type 300", driver + table + "slot0=C,1,300,1\n"},
        {"slot size 2^32", driver + table + "slot0=C,1,7,4294967296\n"},
        {"slot negative size", driver + table + "slot0=C,1,7,-5\n"},
        {"slot size with unit", driver + table + "slot0=C,1,7,40960MB\n"},
    };
    for (const auto& c : cases) {
        const ParseResult parsed = ParseState(c.text);
        EXPECT_FALSE(parsed.state) << c.name;
        EXPECT_FALSE(parsed.error.empty()) << c.name;
    }
}

TEST(SimStateCodec, LettersReadBackAndAvoidAmbiguousCharacters) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string text = FormatLetter(std::uint8_t(byte));
        EXPECT_EQ(ParseLetter(text), std::optional<std::uint8_t>(std::uint8_t(byte))) << byte;
    }
    const std::vector<std::pair<std::uint8_t, std::string>> cases = {
        {'C', "C"},  {'z', "z"},  {'~', "~"}, {'!', "!"},    {',', "44"},   {'0', "48"},
        {'9', "57"}, {' ', "32"}, {0, "0"},   {0x7F, "127"}, {0x80, "128"}, {0xFF, "255"},
    };
    for (const auto& [byte, text] : cases)
        EXPECT_EQ(FormatLetter(byte), text) << int(byte);
    EXPECT_EQ(ParseLetter("5"), std::optional<std::uint8_t>(5));
    EXPECT_EQ(ParseLetter("065"), std::optional<std::uint8_t>(65));
    EXPECT_FALSE(ParseLetter("\x80"));
    EXPECT_FALSE(ParseLetter(","));
    EXPECT_FALSE(ParseLetter(""));
}

TEST(SimStateCodec, HexIsLowerCaseAndExactLength) {
    PartitionTable table{};
    for (std::size_t i = 0; i < sizeof table; ++i)
        reinterpret_cast<std::uint8_t*>(&table)[i] = std::uint8_t(i * 37 + 5);
    const std::string hex = ToHex({reinterpret_cast<const std::uint8_t*>(&table), sizeof table});
    ASSERT_EQ(hex.size(), 180u);
    EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(hex.substr(0, 6), "052a4f");

    PartitionTable back{};
    ASSERT_TRUE(FromHex(hex, {reinterpret_cast<std::uint8_t*>(&back), sizeof back}));
    EXPECT_EQ(ToHex({reinterpret_cast<const std::uint8_t*>(&back), sizeof back}), hex);

    std::uint8_t two[2] = {1, 2};
    EXPECT_FALSE(FromHex("abc", two));
    EXPECT_FALSE(FromHex("abcdef", two));
    EXPECT_FALSE(FromHex("zz00", two));
    EXPECT_EQ(two[0], 1); // untouched by the rejected inputs above, which fail before writing
}

TEST(SimStateCodec, SlotFieldsKeepSizeLittleEndian) {
    PartitionTable table{};
    ASSERT_TRUE(ParseSlot("D,1,11,305419896", table, 7));
    EXPECT_EQ(table.letter[7], 'D');
    EXPECT_EQ(table.protect[7], 1);
    EXPECT_EQ(table.type[7], 11);
    EXPECT_EQ(table.size[7][0], 0x78);
    EXPECT_EQ(table.size[7][3], 0x12);
    EXPECT_EQ(FormatSlot(table, 7), "D,1,11,305419896");
}

TEST(SimStateLog, LinesHaveTheirArgumentsOnlyWhereTheFunctionTakesText) {
    const std::string hex180(180, 'a');
    const std::vector<std::tuple<SimFunction, bool, std::string, std::string>> cases = {
        {SimFunction::GetPartition, true, "", "fcGetPartition 1"},
        {SimFunction::GetProtection, false, "", "fcGetProtection 0"},
        {SimFunction::SetPartition, true, hex180, "fcSetPartition 1 " + hex180},
        {SimFunction::SetPartition, false, "", "fcSetPartition 0 "},
        {SimFunction::SetProtection, true, "255", "fcSetProtection 1 255"},
        {SimFunction::CheckPassword, false, "\xC3\xDC\xC2\xEB x", "fcCheckPassword 0 \xC3\xDC\xC2\xEB x"},
        {SimFunction::SetPassword, true, "", "fcSetPassword 1 "},
    };
    for (const auto& [function, result, argument, line] : cases)
        EXPECT_EQ(FormatLogLine(function, result, argument), line);
}

TEST(SimStatePassword, OnlyValuesThatSurviveTheFileAreStorable) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"admin", true}, {"", true},    {"a b", true},  {"=;#[", true}, {"\xC3\xDC", true},
        {" a", false},   {"a ", false}, {"\ta", false}, {"a\n", false}, {"a\rb", false},
    };
    for (const auto& [password, storable] : cases) {
        EXPECT_EQ(IsStorablePassword(password), storable) << password;
        if (!storable)
            continue;
        SimState state;
        state.password = password;
        EXPECT_EQ(MustParse(SerializeState(state)).password, password);
    }
}

} // namespace
} // namespace veltrane::sim
