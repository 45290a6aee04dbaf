// veltrane-ctl: the main window's settings from a command line, for scripted deployment.

#include <windows.h>

#include <string>
#include <vector>

#include "app/ctl/CtlCommands.h"
#include "app/ctl/win/ConsoleText.h"
#include "driver/win/ZelkLibrary.h"
#include "platform/Restart.h"
#include "texts/Cp936.h"
#include "texts/Texts.h"

namespace veltrane::ctl {
namespace {

class ConsoleHost final : public Host {
public:
    bool Out(std::wstring_view text) override { return WriteText(::GetStdHandle(STD_OUTPUT_HANDLE), text); }
    void Err(std::wstring_view text) override { WriteText(::GetStdHandle(STD_ERROR_HANDLE), text); }

    std::optional<std::wstring> ReadPassword(std::wstring_view prompt, PasswordSource source) override {
        return source == PasswordSource::kStdin ? stdinLines_.Next(prompt) : ReadConsoleSecret(prompt);
    }

    std::size_t CodePageWidth(wchar_t c) override { return CodePage936Width(c); }

    // The password field lower-cases what it holds (ES_LOWERCASE and CharLowerBuffW).
    std::wstring FieldText(std::wstring_view typed) override {
        std::wstring lower(typed);
        if (!lower.empty())
            ::CharLowerBuffW(lower.data(), DWORD(lower.size()));
        return lower;
    }

    std::optional<std::string> CodePageBytes(std::wstring_view text) override { return ToCodePage936(text); }

    std::wstring RestartNow() override { return veltrane::RestartNow(); }

private:
    StdinLines stdinLines_;
};

} // namespace
} // namespace veltrane::ctl

int wmain(int argc, wchar_t** argv) {
    using namespace veltrane;
    const std::vector<std::wstring> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    ctl::ConsoleHost host;
    // Bound here rather than by the loader, so that a machine without the library gets a message
    // and an exit code a script can act on instead of the loader's error box.
    std::wstring missing;
    std::unique_ptr<ZelkLibrary> driver = ZelkLibraryLoad(missing);
    if (!driver) {
        host.Err(std::wstring(texts::kCtlLibraryMissing) + missing + L"\n");
        return int(ctl::ExitCode::kDriverUnreachable);
    }
    return int(ctl::Run(args, host, *driver));
}
