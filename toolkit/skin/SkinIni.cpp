#include "toolkit/skin/SkinIni.h"

#include <algorithm>
#include <limits>

#include "base/Bytes.h"

namespace veltrane {
namespace {

bool IsBlank(unsigned char c) {
    return c <= ' ';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

bool IsHeader(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

} // namespace

std::optional<std::int32_t> ParseIniInteger(std::string_view value) {
    std::string_view s = value;
    bool hex = false;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        hex = true;
        s.remove_prefix(2);
    }
    while (!hex && !s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    bool negative = false;
    if (!hex && !s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (!hex && !s.empty() && s.front() == '$') {
        hex = true;
        s.remove_prefix(1);
    }
    if (s.empty())
        return std::nullopt;
    std::uint64_t v = 0;
    for (char c : s) {
        const int d = hex ? HexDigitValue(c) : (AsciiIsDigit(c) ? c - '0' : -1);
        if (d < 0)
            return std::nullopt;
        v = v * (hex ? 16 : 10) + unsigned(d);
        if (v > 0xFFFFFFFFull)
            return std::nullopt;
    }
    if (hex) // hexadecimal fills all 32 bits, as the sign bit included
        return negative ? std::int32_t(0u - std::uint32_t(v)) : std::int32_t(std::uint32_t(v));
    const std::int64_t limit = negative ? -std::int64_t(std::numeric_limits<std::int32_t>::min())
                                        : std::int64_t(std::numeric_limits<std::int32_t>::max());
    if (std::int64_t(v) > limit)
        return std::nullopt;
    return std::int32_t(negative ? -std::int64_t(v) : std::int64_t(v));
}

std::optional<Rgb> ParseIniColour(std::string_view value) {
    const std::string_view s = Trim(value);
    if (s.empty())
        return std::nullopt;
    unsigned parts[3] = {0, 0, 0};
    int found = 0;
    for (std::size_t i = 0; i < s.size() && found < 3;) {
        if (!AsciiIsDigit(s[i])) {
            ++i;
            continue;
        }
        unsigned v = 0;
        for (; i < s.size() && AsciiIsDigit(s[i]); ++i)
            v = std::min(v * 10 + unsigned(s[i] - '0'), 255u); // a component saturates at 255
        parts[found++] = v;
    }
    return MakeRgb(parts[0], parts[1], parts[2]);
}

void TSkinIni::Load(std::span<const std::uint8_t> text) {
    const std::string_view bytes(reinterpret_cast<const char*>(text.data()), text.size());
    text_.assign(bytes.substr(0, bytes.find('\0')));
    lines_.clear();
    sections_.clear();
    sectionIndex_.clear();
    const std::string_view all = text_;
    std::size_t start = 0;
    std::size_t lf = std::min(all.find('\n'), all.size()); // the next LF at or after start, or the end
    while (start <= all.size()) {
        // The line ends at the next LF or at a CR before it: two library scans. (find_first_of
        // would search the two separators once for every byte of the text.) The LF found is kept
        // until passed, or lines ended by bare CRs would each scan the rest of the text.
        if (lf < start)
            lf = std::min(all.find('\n', start), all.size());
        const std::size_t end = std::min(lf, all.substr(0, lf).find('\r', start));
        const std::string_view line = Trim(all.substr(start, end - start));
        if (!line.empty() && line.front() != ';') {
            if (IsHeader(line)) {
                sectionIndex_.try_emplace(AsciiLowered(line.substr(1, line.size() - 2)), lines_.size());
                sections_.push_back(lines_.size());
            }
            lines_.push_back({std::size_t(line.data() - all.data()), line.size()});
        }
        const bool crLf =
            end < all.size() && all[end] == '\r' && end + 1 < all.size() && all[end + 1] == '\n';
        start = end + (crLf ? 2 : 1);
    }
}

std::string_view TSkinIni::SectionName(std::size_t header) const {
    const std::string_view line = Text(lines_[header]);
    return line.substr(1, line.size() - 2);
}

std::optional<std::size_t> TSkinIni::FindSection(std::string_view section) const {
    const auto found = sectionIndex_.find(AsciiLowered(section));
    if (found == sectionIndex_.end())
        return std::nullopt;
    return found->second;
}

std::string TSkinIni::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    const std::optional<std::size_t> header = FindSection(section);
    if (!header)
        return std::string(defaultValue);
    for (std::size_t i = *header + 1; i < lines_.size(); ++i) {
        const std::string_view line = Text(lines_[i]);
        if (IsHeader(line))
            break;
        const std::size_t eq = line.find('=');
        const std::string_view lineKey =
            eq == std::string_view::npos ? std::string_view{} : Trim(line.substr(0, eq));
        if (!AsciiEqualNoCase(lineKey, key))
            continue;
        const std::string_view value = Trim(line.substr(eq + 1));
        return value.empty() ? std::string(defaultValue) : std::string(value);
    }
    return std::string(defaultValue);
}

std::int32_t TSkinIni::ReadInteger(std::string_view section, std::string_view key,
                                   std::int32_t defaultValue) const {
    return ParseIniInteger(ReadString(section, key, {})).value_or(defaultValue);
}

Rgb TSkinIni::ReadColour(std::string_view section, std::string_view key, Rgb defaultValue) const {
    return ParseIniColour(ReadString(section, key, {})).value_or(defaultValue);
}

std::vector<std::string> TSkinIni::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const std::size_t line : sections_)
        names.emplace_back(Trim(SectionName(line)));
    return names;
}

} // namespace veltrane
