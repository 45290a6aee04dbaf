#include "tools/probe/ProbeText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace probe {
namespace {

TEST(JsonQuoteTest, EscapesAndEncodes) {
    struct Case {
        std::u16string text;
        std::string json;
    };
    const std::vector<Case> cases = {
        {u"", "\"\""},
        {u"plain", "\"plain\""},
        {u"a\"b\\c", "\"a\\\"b\\\\c\""},
        {u"tab\tnl\ncr\r", "\"tab\\tnl\\ncr\\r\""},
        {std::u16string(1, u'\x01') + u"\x1f", "\"\\u0001\\u001f\""},
        {u"C:\\", "\"C:\\\\\""},
        {u"保护模式", "\"\xe4\xbf\x9d\xe6\x8a\xa4\xe6\xa8\xa1\xe5\xbc\x8f\""},
        {u"\u00e9", "\"\xc3\xa9\""},
        {u"\U0001F600", "\"\xf0\x9f\x98\x80\""},
        {std::u16string(1, u'\xD800') + u"x", "\"\xef\xbf\xbdx\""}, // lone high surrogate
        {std::u16string(1, u'\xDC00'), "\"\xef\xbf\xbd\""},         // lone low surrogate
        {std::u16string(1, u'\xD83D'), "\"\xef\xbf\xbd\""},         // high surrogate at the end
    };
    for (const Case& c : cases)
        EXPECT_EQ(JsonQuote(c.text), c.json) << c.json;
}

TEST(JsonObjectTest, KeepsFieldOrderAndMergesFields) {
    JsonObject inner;
    inner.AddInt("hwnd", 65674).AddText("class", u"Edit");
    JsonObject outer;
    outer.AddBool("ok", true)
        .AddFields(inner)
        .AddInt("negative", -1)
        .AddRaw("rect", JsonIntArray({0, 1, 2, 3}));
    EXPECT_EQ(outer.Str(),
              "{\"ok\":true,\"hwnd\":65674,\"class\":\"Edit\",\"negative\":-1,\"rect\":[0,1,2,3]}");
    EXPECT_EQ(JsonObject().AddFields(JsonObject()).Str(), "{}");
    EXPECT_EQ(JsonObject().AddBool("ok", false).AddFields(JsonObject()).Str(), "{\"ok\":false}");
    EXPECT_EQ(JsonArray({}), "[]");
}

TEST(ParseNumberTest, AcceptsDecimalHexNegativeAndNames) {
    struct Case {
        std::string text;
        std::optional<std::uint64_t> value;
    };
    const std::vector<Case> cases = {
        {"0", 0},
        {"65674", 65674},
        {"0x1008A", 0x1008A},
        {"0Xff", 0xFF},
        {"-1", UINT64_MAX},
        {"-0x10", static_cast<std::uint64_t>(-16)},
        {"18446744073709551615", UINT64_MAX},
        {"WM_SYSCOMMAND", 0x112},
        {"SC_CLOSE", 0xF060},
        {"BM_CLICK", 0xF5},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"0x", std::nullopt},
        {"12a", std::nullopt},
        {"0x1g", std::nullopt},
        {" 1", std::nullopt},
        {"18446744073709551616", std::nullopt}, // one past the largest value
        {"0x10000000000000000", std::nullopt},
        {"wm_close", std::nullopt}, // names are exact
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(SplitServeLineTest, SplitsOnTabsAndUnescapes) {
    using Fields = std::vector<std::string>;
    struct Case {
        std::string line;
        std::optional<Fields> fields;
    };
    const std::vector<Case> cases = {
        {"", Fields{}},
        {"\r", Fields{}},
        {"list", Fields{"list"}},
        {"list\r", Fields{"list"}},
        {"settext\t65674\ta\\tb\\nc\\\\d", Fields{"settext", "65674", "a\tb\nc\\d"}},
        {"settext\t65674\t", Fields{"settext", "65674", ""}},
        {"mutex\tGlobal\\\\QDN_RUNNINGRADIX", Fields{"mutex", "Global\\QDN_RUNNINGRADIX"}},
        {"bad\\", std::nullopt},
        {"bad\\x", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitServeLine(c.line), c.fields) << '"' << c.line << '"';
}

TEST(Utf8ToUtf16Test, DecodesValidAndRejectsInvalid) {
    struct Case {
        std::string bytes;
        std::optional<std::u16string> text;
    };
    const std::vector<Case> cases = {
        {"", u""},
        {"abc", u"abc"},
        {"\xe5\xaf\x86\xe7\xa0\x81", u"密码"},
        {"\xf0\x9f\x98\x80", u"\U0001F600"},
        {"\xc3", std::nullopt},             // truncated
        {"\xe5\xaf", std::nullopt},         // truncated
        {"\x80", std::nullopt},             // stray continuation byte
        {"\xc0\xaf", std::nullopt},         // overlong
        {"\xed\xa0\x80", std::nullopt},     // encoded surrogate
        {"\xf4\x90\x80\x80", std::nullopt}, // above U+10FFFF
        {"\xff", std::nullopt},
        {"\xe5\x28\xa1", std::nullopt}, // bad continuation
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(Utf8ToUtf16(cases[i].bytes), cases[i].text) << "case " << i;
}

TEST(AsciiOnlyTest, RejectsAnythingAboveAscii) {
    EXPECT_EQ(AsciiOnly(u"0x1F"), std::optional<std::string>("0x1F"));
    EXPECT_EQ(AsciiOnly(u"１"), std::nullopt); // full-width digit
    EXPECT_EQ(AsciiOnly(u""), std::optional<std::string>(""));
}

} // namespace
} // namespace probe
