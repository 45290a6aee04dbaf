#pragma once
// Text in and out of a console program: wide characters where a console is attached, UTF-8 where
// the stream is redirected.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "app/ctl/PasswordLines.h"

namespace veltrane::ctl {

// Writes to a standard handle: WriteConsoleW to a console, else UTF-8 with CR LF line ends. False
// when not all of it was written.
bool WriteText(HANDLE handle, std::wstring_view text);

// Asks on the console itself (CONIN$/CONOUT$, whatever the standard handles are) with echo off;
// nullopt when there is no console or the input ended.
std::optional<std::wstring> ReadConsoleSecret(std::wstring_view prompt);

// Lines of standard input, one entry each: UTF-8 (a leading byte-order mark is dropped), or the
// system's ANSI code page for a line that is not valid UTF-8. A console as standard input is read
// like ReadConsoleSecret.
class StdinLines {
public:
    StdinLines();
    std::optional<std::wstring> Next(std::wstring_view prompt);

private:
    PasswordLines lines_;
};

} // namespace veltrane::ctl
