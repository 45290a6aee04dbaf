#include "toolkit/skin/SkinIni.h"

#include <gtest/gtest.h>

#include "tests/unit/toolkit/SkinTestSupport.h"

namespace veltrane {
namespace {

using namespace std::string_literals;
using testing_support::FromText;

TSkinIni Loaded(const std::string& text) {
    TSkinIni ini;
    ini.Load(FromText(text));
    return ini;
}

TEST(SkinIniDialect, ReadsStringsByTheSevenRules) {
    const TSkinIni ini = Loaded("  [Colours]  \r\n"
                                "; a comment line\r\n"
                                "ButtonFace = 238 233 213 \n"
                                "scrollbar=0 74 128\r"
                                "Empty=\r\n"
                                "NoEquals\r\n"
                                "Twice=first\r\n"
                                "twice=second\r\n"
                                "Eq=a=b\r\n"
                                "[colours]\r\n"
                                "Later=never reached\r\n"
                                "[Spaced Name]\r\n"
                                "Key=spaced\r\n"
                                "[Cut]\r\n"
                                "A=before nul\r\n"
                                "\0B=after nul\r\n"
                                "[After]\r\nC=1\r\n"s);
    struct Case {
        const char *section, *key, *expected;
    };
    const Case cases[] = {
        {"Colours", "ButtonFace", "238 233 213"},
        {"COLOURS", "buttonface", "238 233 213"}, // sections and keys are case-blind
        {"colours", "Scrollbar", "0 74 128"},     // bare CR ends a line
        {"Colours", "Empty", "default"},          // empty value gives the default
        {"Colours", "Missing", "default"},
        {"Colours", "Twice", "first"},
        {"Colours", "Eq", "a=b"},        // value is everything after the first '='
        {"Colours", "Later", "default"}, // the repeated section is never reached
        {"Spaced Name", "Key", "spaced"},
        {"SpacedName", "Key", "default"},
        {"Cut", "A", "before nul"},
        {"Cut", "B", "default"}, // text ends at the first NUL
        {"After", "C", "default"},
        {"Nowhere", "Key", "default"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, "default"), c.expected) << c.section << "/" << c.key;
}

TEST(SkinIniDialect, KeysStopAtTheNextHeader) {
    const TSkinIni ini = Loaded("[A]\nx=1\n[B]\ny=2\n[A2]\n");
    EXPECT_EQ(ini.ReadString("A", "y", "-"), "-");
    EXPECT_EQ(ini.ReadString("B", "y", "-"), "2");
    EXPECT_EQ(ini.ReadString("B", "x", "-"), "-");
}

// Through the name index: case-blind, the first of a repeated section wins, every one of many found.
TEST(SkinIniDialect, FindsEveryOneOfManySections) {
    constexpr int kCount = 3000;
    std::string text;
    for (int i = 0; i < kCount; ++i)
        text += "[Section " + std::to_string(i) + "]\rValue=" + std::to_string(i) + "\r";
    for (int i = 0; i < kCount; i += 7)
        text += "[SECTION " + std::to_string(i) + "]\nValue=later\n";
    const TSkinIni ini = Loaded(text);
    for (int i = 0; i < kCount; ++i)
        ASSERT_EQ(ini.ReadInteger("section " + std::to_string(i), "value", -1), i) << i;
    EXPECT_EQ(ini.SectionNames().size(), std::size_t(kCount + (kCount + 6) / 7));
    EXPECT_EQ(ini.ReadString("Section", "Value", "none"), "none");
}

TEST(SkinIniDialect, ListsSectionNamesInStoredOrderTrimmed) {
    const TSkinIni ini = Loaded("[First]\n[ Second ]\n;[Comment]\n[first]\nnot]\n[Third]");
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"First", "Second", "first", "Third"}));
}

TEST(SkinIniDialect, ParsesIntegers) {
    struct Case {
        const char* value;
        std::optional<std::int32_t> expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"-7", -7},
        {"+5", 5},
        {"0x1F", 31},
        {"0X1f", 31},
        {"$1F", 31},
        {"-$10", -16},
        {"0xFFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483648", std::nullopt},
        {"0x100000000", std::nullopt},
        {"0x", std::nullopt},
        {"", std::nullopt},
        {"12a", std::nullopt},
        {"0 74 128", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseIniInteger(c.value), c.expected) << c.value;
}

TEST(SkinIniDialect, ParsesColours) {
    struct Case {
        const char* value;
        std::optional<Rgb> expected;
    };
    const Case cases[] = {
        {"0 74 128", 0 + 256 * 74 + 65536 * 128},
        {"255,255,255", 0xFFFFFF},
        {"  1 2  ", 1 + 256 * 2},
        {"7", 7},
        {"r=10;g=20;b=30;x=40", 10 + 256 * 20 + 65536 * 30},
        {"999 0 0", 255}, // a component saturates
        {"none", 0},
        {"", std::nullopt},
        {"   ", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseIniColour(c.value), c.expected) << c.value;
}

TEST(SkinIniDialect, IntegerAndColourReadingsOfOneValue) {
    const TSkinIni ini = Loaded("[Colours]\nScrollbar=0 74 128\nHex=0x1F\nBlank=\n");
    EXPECT_EQ(ini.ReadInteger("Colours", "Scrollbar", -99), -99);
    EXPECT_EQ(ini.ReadColour("Colours", "Scrollbar", 1), Rgb(0 + 256 * 74 + 65536 * 128));
    EXPECT_EQ(ini.ReadInteger("colours", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("Colours", "Blank", 5), 5);
    EXPECT_EQ(ini.ReadColour("Colours", "Blank", 0x123456), Rgb(0x123456));
}

TEST(SkinIniDialect, EmptyAndOddTextLoadsWithoutHarm) {
    for (const std::string& text : {""s, "\r\n\r\n"s, "["s, "]"s, "[]"s, "="s, "[]\n=\n=="s, "\0[A]\nk=v"s}) {
        const TSkinIni ini = Loaded(text);
        EXPECT_EQ(ini.ReadString("A", "k", "d"), "d") << text;
    }
    EXPECT_EQ(Loaded("[]\n=x\n").SectionNames(), std::vector<std::string>{""});
}

} // namespace
} // namespace veltrane
