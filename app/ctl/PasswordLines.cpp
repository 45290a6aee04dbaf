#include "app/ctl/PasswordLines.h"

#include <cstdint>

namespace veltrane::ctl {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

template <typename Char> void Wipe(std::basic_string<Char>& text) {
    volatile Char* p = text.data();
    for (std::size_t i = 0; i < text.capacity(); ++i)
        p[i] = 0;
    text.clear();
}

} // namespace

std::optional<std::wstring> Utf8Decode(std::string_view bytes) {
    std::wstring text;
    const auto fail = [&text]() -> std::optional<std::wstring> {
        Wipe(text); // what was decoded so far may be most of a password
        return std::nullopt;
    };
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = std::uint8_t(bytes[i]);
        std::size_t length = 0;
        char32_t c = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            length = 1, c = lead;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2, c = lead & 0x1F, least = 0x80;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3, c = lead & 0x0F, least = 0x800;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            length = 4, c = lead & 0x07, least = 0x10000;
        } else {
            return fail();
        }
        if (bytes.size() - i < length)
            return fail();
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = std::uint8_t(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return fail();
            c = c << 6 | (next & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return fail();
        if (c >= 0x10000) {
            c -= 0x10000;
            text += wchar_t(0xD800 + (c >> 10));
            text += wchar_t(0xDC00 + (c & 0x3FF));
        } else {
            text += wchar_t(c);
        }
        i += length;
    }
    return text;
}

std::optional<std::wstring> PasswordLines::Next(const ByteRead& read) {
    std::string bytes;
    bool any = false;
    char c = 0;
    while (read(c)) {
        any = true;
        if (c == '\n')
            break;
        if (bytes.size() < kPasswordLineMaxBytes)
            bytes.push_back(c);
    }
    c = 0;
    if (!any)
        return std::nullopt;
    if (!bytes.empty() && bytes.back() == '\r')
        bytes.pop_back();
    if (first_ && bytes.starts_with(kByteOrderMark))
        bytes.erase(0, kByteOrderMark.size());
    first_ = false;
    std::optional<std::wstring> text = Utf8Decode(bytes);
    if (!text)
        text = ansi_(bytes);
    Wipe(bytes);
    return text;
}

} // namespace veltrane::ctl
