#include "tools/probe/ProbeText.h"

#include <array>
#include <cstdio>

#include "base/Bytes.h"

namespace probe {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct NamedValue {
    std::string_view name;
    std::uint64_t value;
};

// Names the tests use most; anything else is given as a number.
constexpr std::array kNamedValues{
    NamedValue{"WM_NULL", 0x0000},
    NamedValue{"WM_SETTEXT", 0x000C},
    NamedValue{"WM_GETTEXT", 0x000D},
    NamedValue{"WM_CLOSE", 0x0010},
    NamedValue{"WM_QUERYENDSESSION", 0x0011},
    NamedValue{"WM_ENDSESSION", 0x0016},
    NamedValue{"WM_KEYDOWN", 0x0100},
    NamedValue{"WM_KEYUP", 0x0101},
    NamedValue{"WM_CHAR", 0x0102},
    NamedValue{"WM_COMMAND", 0x0111},
    NamedValue{"WM_SYSCOMMAND", 0x0112},
    NamedValue{"WM_MOUSEMOVE", 0x0200},
    NamedValue{"WM_LBUTTONDOWN", 0x0201},
    NamedValue{"WM_LBUTTONUP", 0x0202},
    NamedValue{"WM_LBUTTONDBLCLK", 0x0203},
    NamedValue{"WM_RBUTTONDOWN", 0x0204},
    NamedValue{"WM_RBUTTONUP", 0x0205},
    NamedValue{"WM_USER", 0x0400},
    NamedValue{"BM_GETCHECK", 0x00F0},
    NamedValue{"BM_SETCHECK", 0x00F1},
    NamedValue{"BM_CLICK", 0x00F5},
    NamedValue{"SC_MINIMIZE", 0xF020},
    NamedValue{"SC_MAXIMIZE", 0xF030},
    NamedValue{"SC_CLOSE", 0xF060},
    NamedValue{"SC_RESTORE", 0xF120},
    NamedValue{"VK_RETURN", 0x0D},
    NamedValue{"VK_ESCAPE", 0x1B},
    NamedValue{"VK_SPACE", 0x20},
    NamedValue{"VK_TAB", 0x09},
};

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void AppendJsonChar(std::string& out, char32_t code) {
    switch (code) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    if (code < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(code));
        out += escaped;
        return;
    }
    AppendUtf8(out, code);
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

std::optional<std::uint64_t> ParseDigits(std::string_view digits, unsigned base) {
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digitValue = veltrane::HexDigitValue(c);
        if (digitValue < 0 || static_cast<unsigned>(digitValue) >= base)
            return std::nullopt;
        const auto digit = static_cast<unsigned>(digitValue);
        if (value > (UINT64_MAX - digit) / base)
            return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

} // namespace

std::string JsonQuote(std::u16string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            char32_t code = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            AppendUtf8(out, code);
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendJsonChar(out, c);
        }
    }
    return out + "\"";
}

std::string JsonQuote(std::string_view ascii) {
    std::string out = "\"";
    for (char c : ascii)
        AppendJsonChar(out, static_cast<unsigned char>(c) < 0x80 ? static_cast<char32_t>(c) : kReplacement);
    return out + "\"";
}

void JsonObject::AddName(std::string_view name) {
    if (!body_.empty())
        body_ += ',';
    body_ += JsonQuote(name);
    body_ += ':';
}

JsonObject& JsonObject::AddBool(std::string_view name, bool value) {
    return AddRaw(name, value ? "true" : "false");
}

JsonObject& JsonObject::AddInt(std::string_view name, std::int64_t value) {
    return AddRaw(name, std::to_string(value));
}

JsonObject& JsonObject::AddText(std::string_view name, std::u16string_view value) {
    return AddRaw(name, JsonQuote(value));
}

JsonObject& JsonObject::AddAscii(std::string_view name, std::string_view value) {
    return AddRaw(name, JsonQuote(value));
}

JsonObject& JsonObject::AddRaw(std::string_view name, std::string_view json) {
    AddName(name);
    body_ += json;
    return *this;
}

JsonObject& JsonObject::AddFields(const JsonObject& other) {
    if (!body_.empty() && !other.body_.empty())
        body_ += ',';
    body_ += other.body_;
    return *this;
}

std::string JsonArray(const std::vector<std::string>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ',';
        out += items[i];
    }
    return out + "]";
}

std::string JsonIntArray(std::initializer_list<std::int64_t> values) {
    std::vector<std::string> items;
    for (std::int64_t v : values)
        items.push_back(std::to_string(v));
    return JsonArray(items);
}

std::optional<std::uint64_t> ParseNumber(std::string_view text) {
    for (const NamedValue& named : kNamedValues) {
        if (named.name == text)
            return named.value;
    }
    bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    std::optional<std::uint64_t> value;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        value = ParseDigits(text.substr(2), 16);
    else
        value = ParseDigits(text, 10);
    if (value && negative)
        return ~*value + 1;
    return value;
}

std::optional<std::vector<std::string>> SplitServeLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c != '\\') {
            fields.back() += c;
        } else if (i + 1 == line.size()) {
            return std::nullopt;
        } else {
            char escaped = line[++i];
            if (escaped == 't')
                fields.back() += '\t';
            else if (escaped == 'n')
                fields.back() += '\n';
            else if (escaped == '\\')
                fields.back() += '\\';
            else
                return std::nullopt;
        }
    }
    if (fields.size() == 1 && fields.front().empty())
        fields.clear();
    return fields;
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view bytes) {
    std::u16string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        int extra = lead < 0x80             ? 0
                    : (lead & 0xE0) == 0xC0 ? 1
                    : (lead & 0xF0) == 0xE0 ? 2
                    : (lead & 0xF8) == 0xF0 ? 3
                                            : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= bytes.size())
            return std::nullopt;
        char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            code = (code << 6) | (next & 0x3F);
        }
        constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (code < kMinimum[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return std::nullopt;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::optional<std::string> AsciiOnly(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c >= 0x80)
            return std::nullopt;
        out += static_cast<char>(c);
    }
    return out;
}

} // namespace probe
