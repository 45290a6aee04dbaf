#include "app/ctl/PasswordLines.h"

#include <gtest/gtest.h>

#include <vector>

namespace veltrane::ctl {
namespace {

using namespace std::string_literals;

// Marks what the ANSI code page read, byte for byte.
std::wstring FakeAnsi(std::string_view bytes) {
    std::wstring text = L"ansi:";
    for (const char c : bytes)
        text += wchar_t(std::uint8_t(c));
    return text;
}

// Every entry of a stream, and how many bytes were read when each came back.
struct Read {
    std::vector<std::wstring> entries;
    std::vector<std::size_t> consumed;
};

Read ReadAll(const std::string& stream) {
    PasswordLines lines(FakeAnsi);
    std::size_t at = 0;
    const auto next = [&](char& c) {
        if (at == stream.size())
            return false;
        c = stream[at++];
        return true;
    };
    Read read;
    while (const std::optional<std::wstring> entry = lines.Next(next)) {
        read.entries.push_back(*entry);
        read.consumed.push_back(at);
    }
    return read;
}

TEST(PasswordLines, DecodesEachLineAsUtf8OrElseAnsi) {
    const std::string longLine(2000, 'a');
    struct Case {
        const char* name;
        std::string stream;
        std::vector<std::wstring> expected;
    };
    const Case cases[] = {
        {"LF", "admin\nabc\n", {L"admin", L"abc"}},
        {"CR LF", "admin\r\nabc\r\n", {L"admin", L"abc"}},
        {"no final newline", "admin\nabc", {L"admin", L"abc"}},
        {"a CR inside a line stays", "a\rb\n", {L"a\rb"}},
        {"empty lines are empty entries", "\n\r\n", {L"", L""}},
        {"nothing at all", "", {}},
        {"byte-order mark on the first line only",
         "\xEF\xBB\xBF"
         "a\n\xEF\xBB\xBF"
         "b\n",
         {L"a", L"\xFEFF"
                L"b"}},
        {"UTF-8", "\xE4\xB8\xAD\xC3\xA9\n", {L"\x4E2D\xE9"}},
        {"beyond the basic plane", "x\xF0\x9F\x98\x80\n", {L"x\xD83D\xDE00"}},
        {"GBK is not UTF-8", "\xD6\xD0\n", {L"ansi:\xD6\xD0"}},
        {"overlong form", "\xC0\xAF\n", {L"ansi:\xC0\xAF"}},
        {"encoded surrogate", "\xED\xA0\x80\n", {L"ansi:\xED\xA0\x80"}},
        {"past U+10FFFF", "\xF4\x90\x80\x80\n", {L"ansi:\xF4\x90\x80\x80"}},
        {"cut sequence", "ab\xE4\xB8\r\n", {L"ansi:ab\xE4\xB8"}},
        {"control bytes are passed on for the rules to refuse", "a\0b\x7F\n"s, {L"a\0b\x7F"s}},
        {"over-long line: the first bytes kept, the rest dropped",
         longLine + "\nb\n",
         {std::wstring(kPasswordLineMaxBytes, L'a'), L"b"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadAll(c.stream).entries, c.expected) << c.name;
}

TEST(PasswordLines, ReadsNoFurtherThanTheLineItReturns) {
    EXPECT_EQ(ReadAll("ab\r\ncd\n\nlast").consumed, (std::vector<std::size_t>{4, 7, 8, 12}));
}

} // namespace
} // namespace veltrane::ctl
