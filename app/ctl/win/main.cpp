// veltrane-ctl: the main window's settings from a command line, for scripted deployment.

#include <windows.h>

#include <string>
#include <vector>

#include "app/ctl/CtlCommands.h"
#include "app/ctl/win/ConsoleText.h"
#include "driver/ZelkLibrary.h"
#include "platform/Restart.h"
#include "texts/Cp936.h"

namespace veltrane::ctl {
namespace {

class ConsoleHost final : public Host {
public:
    void Out(std::wstring_view text) override { WriteText(::GetStdHandle(STD_OUTPUT_HANDLE), text); }
    void Err(std::wstring_view text) override { WriteText(::GetStdHandle(STD_ERROR_HANDLE), text); }

    std::optional<std::wstring> ReadPassword(std::wstring_view prompt, PasswordSource source) override {
        return source == PasswordSource::kStdin ? stdinLines_.Next(prompt) : ReadConsoleSecret(prompt);
    }

    std::size_t CodePageWidth(wchar_t c) override { return CodePage936Width(c); }

    // The password field lower-cases what it holds (ES_LOWERCASE and CharLowerBuffW).
    std::string FieldBytes(std::wstring_view typed) override {
        std::wstring lower(typed);
        if (!lower.empty())
            ::CharLowerBuffW(lower.data(), DWORD(lower.size()));
        std::string bytes = ToCodePage936(lower);
        ::SecureZeroMemory(lower.data(), lower.size() * sizeof(wchar_t));
        return bytes;
    }

    void RestartNow() override { veltrane::RestartNow(); }

private:
    StdinLines stdinLines_;
};

} // namespace
} // namespace veltrane::ctl

int wmain(int argc, wchar_t** argv) {
    using namespace veltrane;
    const std::vector<std::wstring> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    ctl::ConsoleHost host;
    ZelkLibrary driver;
    return int(ctl::Run(args, host, driver));
}
