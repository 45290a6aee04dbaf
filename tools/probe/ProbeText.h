// Text helpers of the test probe that need no windowing system: JSON output,
// number arguments and the line format of the serve mode.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace probe {

// Quotes UTF-16 text as a JSON string in UTF-8; unpaired surrogates become U+FFFD.
std::string JsonQuote(std::u16string_view text);
std::string JsonQuote(std::string_view ascii);

// Builds one JSON object field by field, in insertion order.
class JsonObject {
public:
    JsonObject& AddBool(std::string_view name, bool value);
    JsonObject& AddInt(std::string_view name, std::int64_t value);
    JsonObject& AddText(std::string_view name, std::u16string_view value);
    JsonObject& AddAscii(std::string_view name, std::string_view value);
    // `json` must already be valid JSON (an object, an array, a number).
    JsonObject& AddRaw(std::string_view name, std::string_view json);
    JsonObject& AddFields(const JsonObject& other);
    std::string Str() const { return "{" + body_ + "}"; }

private:
    void AddName(std::string_view name);
    std::string body_;
};

// Joins already-serialised JSON values into an array.
std::string JsonArray(const std::vector<std::string>& items);
std::string JsonIntArray(std::initializer_list<std::int64_t> values);

// Parses a decimal or 0x-hex number with an optional leading '-', or one of the
// well-known message and command names (WM_CLOSE, SC_CLOSE, BM_CLICK, ...).
// Wraps modulo 2^64 so that -1 and 0xFFFFFFFFFFFFFFFF are the same bits.
std::optional<std::uint64_t> ParseNumber(std::string_view text);

// Splits one serve-mode line into arguments: fields are separated by tabs, and
// "\t", "\n", "\\" inside a field stand for tab, newline and backslash.
// A trailing carriage return is dropped. Returns nothing for a bad escape.
std::optional<std::vector<std::string>> SplitServeLine(std::string_view line);

// Decodes UTF-8; returns nothing when the bytes are not valid UTF-8.
std::optional<std::u16string> Utf8ToUtf16(std::string_view bytes);

// Narrows text that must be ASCII (numbers, names); nothing if it is not.
std::optional<std::string> AsciiOnly(std::u16string_view text);

} // namespace probe
