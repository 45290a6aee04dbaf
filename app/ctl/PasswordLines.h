#pragma once
// Passwords given on standard input, one a line: how a line's bytes become an entry. UTF-8, with a
// leading byte-order mark dropped from the first line; a line that is not valid UTF-8 is read in the
// system's ANSI code page, which the caller supplies.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace veltrane::ctl {

// Bytes kept of a line; the rest up to its end is read and dropped. Far beyond any password the field
// takes, so a longer line is still refused as too long.
inline constexpr std::size_t kPasswordLineMaxBytes = 1024;

class PasswordLines {
public:
    // The ANSI code page's reading of bytes that are not UTF-8.
    using AnsiDecode = std::function<std::wstring(std::string_view)>;
    // The next byte of the stream; false at its end or when reading fails.
    using ByteRead = std::function<bool(char&)>;

    explicit PasswordLines(AnsiDecode ansi) : ansi_(std::move(ansi)) {}

    // The entry on the next line, without its LF or a CR before it; the last line needs no LF.
    // Nothing once the stream gives no more bytes. Bytes are read one at a time, so nothing meant
    // for a later reader is consumed.
    std::optional<std::wstring> Next(const ByteRead& read);

private:
    AnsiDecode ansi_;
    bool first_ = true;
};

} // namespace veltrane::ctl
