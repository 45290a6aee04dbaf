// veltrane-ctl's arguments and standard-input passwords. The input up to its first 0xFF byte holds
// the arguments, separated by NUL bytes (UTF-8, else each byte one character); the rest is standard
// input, read line by line as password entries.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "app/ctl/CtlCommands.h"
#include "app/ctl/PasswordLines.h"
#include "driver/DriverPassword.h"

namespace {

using namespace veltrane::ctl;

std::wstring Widened(std::string_view bytes) {
    std::wstring text;
    for (const char c : bytes)
        text += wchar_t(std::uint8_t(c));
    return text;
}

void Arguments(std::string_view bytes) {
    std::vector<std::wstring> args;
    for (;;) {
        const std::size_t end = std::min(bytes.find('\0'), bytes.size());
        const std::string_view arg = bytes.substr(0, end);
        args.push_back(veltrane::Utf8Decode(arg).value_or(Widened(arg)));
        if (end == bytes.size())
            break;
        bytes.remove_prefix(end + 1);
    }
    const ParsedArguments parsed = ParseArguments(args);
    if (!parsed.options) {
        if (parsed.error.empty())
            __builtin_trap();
        return;
    }
    for (const std::string* letters : {&parsed.options->protect, &parsed.options->unprotect})
        for (std::size_t i = 0; i < letters->size(); ++i)
            if ((*letters)[i] < 'A' || (*letters)[i] > 'Z' || letters->find((*letters)[i]) != i)
                __builtin_trap();
}

void Passwords(std::string_view stream) {
    PasswordLines lines(Widened);
    std::size_t at = 0;
    const auto next = [&](char& c) {
        if (at == stream.size())
            return false;
        c = stream[at++];
        return true;
    };
    std::size_t before = 0;
    while (const std::optional<std::wstring> entry = lines.Next(next)) {
        // One line: up to and including its LF, nothing further; the entry no longer than its bytes.
        const std::string_view line = stream.substr(before, at - before);
        if (at == before || line.substr(0, line.size() - 1).find('\n') != std::string_view::npos ||
            (at < stream.size() && line.back() != '\n') ||
            entry->size() > std::min(line.size(), kPasswordLineMaxBytes) ||
            entry->find(L'\n') != std::wstring::npos)
            __builtin_trap();
        before = at;
    }
    if (at != stream.size())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = std::min(input.find('\xFF'), input.size());
    Arguments(input.substr(0, split));
    if (split < input.size())
        Passwords(input.substr(split + 1));
    return 0;
}
