#include "app/ctl/win/ConsoleText.h"

#include <algorithm>
#include <atomic>

#include "driver/DriverPassword.h"
#include "platform/Handles.h"

namespace veltrane::ctl {

namespace {

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return ::GetConsoleMode(handle, &mode) != FALSE;
}

bool WriteConsole(HANDLE console, std::wstring_view text) {
    while (!text.empty()) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(text.size(), 4096));
        if (!::WriteConsoleW(console, text.data(), chunk, &written, nullptr) || written == 0)
            return false;
        text.remove_prefix(written);
    }
    return true;
}

std::string ToUtf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(std::size_t(std::max(length, 0)), '\0');
    if (length > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), length, nullptr,
                              nullptr);
    return bytes;
}

std::wstring Decode(UINT codePage, DWORD flags, std::string_view bytes) {
    const int length = ::MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring text(std::size_t(std::max(length, 0)), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), text.data(), length);
    return text;
}

UniqueKernelHandle OpenConsole(const wchar_t* name) {
    HANDLE handle = ::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
    return UniqueKernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// Ctrl+C ends the program in the middle of a secret entry; the console must not stay mute.
std::atomic<HANDLE> echoInput{nullptr};
std::atomic<DWORD> echoMode{0};

BOOL WINAPI RestoreEchoOnBreak(DWORD) {
    if (HANDLE input = echoInput.load())
        ::SetConsoleMode(input, echoMode.load());
    return FALSE; // the default handler still ends the process
}

class EchoOff {
public:
    EchoOff(HANDLE input, DWORD mode) : input_(input), mode_(mode) {
        echoMode = mode;
        echoInput = input;
        ::SetConsoleCtrlHandler(RestoreEchoOnBreak, TRUE);
        ::SetConsoleMode(input,
                         (mode | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~DWORD(ENABLE_ECHO_INPUT));
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;
    ~EchoOff() {
        ::SetConsoleMode(input_, mode_);
        echoInput = nullptr;
        ::SetConsoleCtrlHandler(RestoreEchoOnBreak, FALSE);
    }

private:
    HANDLE input_;
    DWORD mode_;
};

std::optional<std::wstring> ReadSecretFrom(HANDLE input, HANDLE output, std::wstring_view prompt) {
    DWORD mode = 0;
    if (!::GetConsoleMode(input, &mode))
        return std::nullopt;
    WriteConsole(output, prompt);
    std::wstring line;
    bool ended = false;
    {
        EchoOff echoOff(input, mode);
        wchar_t buffer[64];
        while (line.find(L'\n') == std::wstring::npos) {
            DWORD read = 0;
            if (!::ReadConsoleW(input, buffer, DWORD(std::size(buffer)), &read, nullptr) || read == 0) {
                ended = true;
                break;
            }
            line.append(buffer, read);
        }
        ::SecureZeroMemory(buffer, sizeof buffer);
    }
    WriteConsole(output, L"\r\n"); // the Enter that ended the entry was not echoed either
    if (ended) {
        StringWipe(line);
        return std::nullopt;
    }
    std::wstring entry = line.substr(0, line.find_first_of(L"\r\n"));
    StringWipe(line);
    return entry;
}

} // namespace

bool WriteText(HANDLE handle, std::wstring_view text) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return false;
    if (IsConsole(handle))
        return WriteConsole(handle, text);
    std::wstring lines;
    for (const wchar_t c : text) {
        if (c == L'\n')
            lines += L'\r';
        lines += c;
    }
    const std::string bytes = ToUtf8(lines);
    std::string_view rest = bytes;
    while (!rest.empty()) {
        DWORD written = 0;
        if (!::WriteFile(handle, rest.data(), DWORD(rest.size()), &written, nullptr) || written == 0)
            return false;
        rest.remove_prefix(written);
    }
    return true;
}

std::optional<std::wstring> ReadConsoleSecret(std::wstring_view prompt) {
    UniqueKernelHandle input = OpenConsole(L"CONIN$");
    UniqueKernelHandle output = OpenConsole(L"CONOUT$");
    if (!input || !output)
        return std::nullopt;
    return ReadSecretFrom(input.Get(), output.Get(), prompt);
}

StdinLines::StdinLines() : lines_([](std::string_view bytes) { return Decode(CP_ACP, 0, bytes); }) {}

std::optional<std::wstring> StdinLines::Next(std::wstring_view prompt) {
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE)
        return std::nullopt;
    if (IsConsole(input))
        return ReadConsoleSecret(prompt);
    return lines_.Next([input](char& c) {
        DWORD read = 0;
        return ::ReadFile(input, &c, 1, &read, nullptr) && read == 1;
    });
}

} // namespace veltrane::ctl
