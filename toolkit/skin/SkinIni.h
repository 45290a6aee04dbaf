#pragma once
// The skin description: an INI-style 8-bit text. Sections are found without regard to letter
// case and the first of a repeated section wins; a key is searched from its section's header up
// to the next header, the first matching line wins; empty values count as missing.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Colour.h"

namespace veltrane {

class TSkinIni {
public:
    // The text ends at the first NUL byte or at the end of the bytes.
    void Load(std::span<const std::uint8_t> text);

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const;
    // "R G B": the first three runs of digits; missing components are 0.
    Rgb ReadColour(std::string_view section, std::string_view key, Rgb defaultValue) const;
    // Brackets removed and trimmed, in stored order.
    std::vector<std::string> SectionNames() const;

    bool HasValue(std::string_view section, std::string_view key) const {
        return !ReadString(section, key, {}).empty();
    }

private:
    // A kept line, trimmed: where it lies in text_. One copy of the text, not one string a line.
    struct Line {
        std::size_t at;
        std::size_t size;
    };
    std::string_view Text(Line line) const { return std::string_view(text_).substr(line.at, line.size); }
    std::optional<std::size_t> FindSection(std::string_view section) const;

    std::string_view SectionName(std::size_t header) const;

    std::string text_;
    std::vector<Line> lines_;
    std::vector<std::size_t> sections_; // the lines that are headers, brackets included
    // Lower-cased name to the first header of that name: a lookup costs the same for any number of
    // sections, so reading every section stays linear in their count.
    std::unordered_map<std::string, std::size_t> sectionIndex_;
};

// Exposed for tests: the dialect's integer and colour readings of a single value.
std::optional<std::int32_t> ParseIniInteger(std::string_view value);
std::optional<Rgb> ParseIniColour(std::string_view value);

} // namespace veltrane
