#include "driver/DriverPassword.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace veltrane {

namespace {

// Code page 936: printable ASCII and the euro sign (0x80) take one byte; a lead byte 0x81-0xFE takes
// a trail byte 0x40-0xFE other than 0x7F.
bool IsLeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}
bool IsTrailByte(unsigned char b) {
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}
bool IsSingleByteCharacter(unsigned char b) {
    return (b >= 0x20 && b <= 0x7E) || b == 0x80;
}

// The code point of the sequence at `at` and its length in bytes; length 0 where no well-formed
// sequence starts.
std::pair<char32_t, std::size_t> Utf8Next(std::string_view bytes, std::size_t at) {
    const auto lead = std::uint8_t(bytes[at]);
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead < 0x80)
        return {lead, 1};
    if (lead >= 0xC2 && lead < 0xE0)
        length = 2, c = lead & 0x1F, least = 0x80;
    else if (lead >= 0xE0 && lead < 0xF0)
        length = 3, c = lead & 0x0F, least = 0x800;
    else if (lead >= 0xF0 && lead < 0xF5)
        length = 4, c = lead & 0x07, least = 0x10000;
    else
        return {0, 0};
    if (bytes.size() - at < length)
        return {0, 0};
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = std::uint8_t(bytes[at + k]);
        if ((next & 0xC0) != 0x80)
            return {0, 0};
        c = c << 6 | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return {0, 0};
    return {c, length};
}

// UTF-16 as Windows holds text, whatever the width of wchar_t here.
void AppendUtf16(std::wstring& text, char32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        text += wchar_t(0xD800 + (c >> 10));
        text += wchar_t(0xDC00 + (c & 0x3FF));
    } else {
        text += wchar_t(c);
    }
}

} // namespace

bool DriverPasswordFits(std::string_view bytes) {
    if (bytes.size() > kPasswordMaxBytes)
        return false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (IsSingleByteCharacter(b))
            continue;
        if (!IsLeadByte(b) || i + 1 == bytes.size() || !IsTrailByte(static_cast<unsigned char>(bytes[i + 1])))
            return false;
        ++i;
    }
    return true;
}

SecretString& SecretString::operator=(SecretString&& other) noexcept {
    if (this != &other) {
        Wipe();
        text_ = std::move(other.text_);
        other.Wipe();
    }
    return *this;
}

bool PasswordKeyAccepted(std::wstring_view text, std::size_t selectionStart, std::size_t selectionEnd,
                         wchar_t key, const CodePageWidth& width) {
    if (key < L' ' || key == 0x7F)
        return true; // Backspace, Ctrl+A and the like edit rather than add
    const std::size_t added = width(key);
    if (added == 0)
        return false;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i < selectionStart || i >= selectionEnd)
            kept += width(text[i]);
    return kept + added <= kPasswordMaxBytes;
}

std::optional<std::wstring> Utf8Decode(std::string_view bytes) {
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto [c, length] = Utf8Next(bytes, i);
        if (length == 0) {
            StringWipe(text);
            return std::nullopt;
        }
        AppendUtf16(text, c);
        i += length;
    }
    return text;
}

std::wstring Utf8DecodeLenient(std::string_view bytes) {
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto [c, length] = Utf8Next(bytes, i);
        AppendUtf16(text, length == 0 ? U'\uFFFD' : c);
        i += std::max<std::size_t>(length, 1);
    }
    return text;
}

} // namespace veltrane
