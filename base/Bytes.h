#pragma once
// Byte and ASCII helpers shared by the file formats, the tools and the simulated library.
//
// Little-endian values sit at any offset: the formats pack their fields without alignment. Letter
// case and hex digits are plain ASCII: a byte of 0x80 or above (half of a GBK character) is never a
// letter or a digit here, whatever the locale.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veltrane {

// The caller has checked that the bytes are there.
constexpr std::uint16_t LoadLe16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint16_t(bytes[at] | unsigned(bytes[at + 1]) << 8);
}

constexpr std::uint32_t LoadLe32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 | std::uint32_t(bytes[at + 2]) << 16 |
           std::uint32_t(bytes[at + 3]) << 24;
}

// Two's complement, as the formats store their sizes and counts.
constexpr std::int32_t LoadLeI32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::int32_t(LoadLe32(bytes, at));
}

constexpr void StoreLe32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[at + i] = std::uint8_t(value >> (8 * i));
}

inline void AppendLe16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

inline void AppendLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}

constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

constexpr wchar_t AsciiLower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c;
}

constexpr char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

inline std::string AsciiLowered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

inline std::string AsciiUppered(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = AsciiUpper(c);
    return out;
}

template <typename Char>
constexpr bool AsciiEqualNoCaseOf(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

constexpr bool AsciiEqualNoCase(std::string_view a, std::string_view b) {
    return AsciiEqualNoCaseOf(a, b);
}

constexpr bool AsciiEqualNoCase(std::wstring_view a, std::wstring_view b) {
    return AsciiEqualNoCaseOf(a, b);
}

// Each character below 0x80 as itself, any other as '?': for names that are ASCII by rule.
inline std::string AsciiNarrow(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (const wchar_t c : text)
        out.push_back(c < 0x80 ? char(c) : '?');
    return out;
}

constexpr bool AsciiIsDigit(char c) {
    return c >= '0' && c <= '9';
}

// 0..15 for a hex digit of either case, -1 for anything else.
constexpr int HexDigitValue(char c) {
    if (AsciiIsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The lower-case digit for 0..15.
constexpr char HexDigitLower(unsigned value) {
    return "0123456789abcdef"[value & 0xF];
}

} // namespace veltrane
