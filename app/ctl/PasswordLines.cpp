#include "app/ctl/PasswordLines.h"

#include "driver/DriverPassword.h"

namespace veltrane::ctl {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

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
    StringWipe(bytes);
    return text;
}

} // namespace veltrane::ctl
