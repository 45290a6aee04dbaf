#pragma once
// veltrane-ctl without the console: its arguments, its three commands and their exit codes. The
// commands keep the main window's rules by calling the same code; the Windows main supplies the
// console, the code page and the restart.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/PartitionRows.h"
#include "driver/DriverLibrary.h"

namespace veltrane::ctl {

enum class ExitCode : int {
    kDone = 0,
    kUsage = 1, // bad arguments, or a password the dialogs would not take
    kDriverUnreachable = 2,
    kWrongPassword = 3,
    kWriteFailed = 4,  // a driver write failed, or the restart was refused
    kOutputFailed = 5, // standard output could not be written
};

enum class Command { kHelp, kStatus, kApply, kPasswd };

enum class PasswordSource { kConsole, kStdin };

struct Options {
    Command command = Command::kHelp;
    bool json = false;
    bool restart = false;
    PasswordSource passwordSource = PasswordSource::kConsole;
    std::string protect; // upper-case drive letters, each once, in the order given
    std::string unprotect;
    std::optional<WorkMode> mode; // absent: the mode read from the driver is written back
};

struct ParsedArguments {
    std::optional<Options> options;
    std::wstring error; // what is wrong when there are no options
};

// args: the arguments after the program name.
ParsedArguments ParseArguments(const std::vector<std::wstring>& args);

// What the commands need from the system.
class Host {
public:
    virtual ~Host() = default;
    // False when the text could not be written (a closed pipe, a full disk).
    virtual bool Out(std::wstring_view text) = 0;
    virtual void Err(std::wstring_view text) = 0;
    // One entry as typed, before any lower-casing; nullopt when nothing can be read.
    virtual std::optional<std::wstring> ReadPassword(std::wstring_view prompt, PasswordSource source) = 0;
    // Bytes a character takes in code page 936; 0 when the code page lacks it.
    virtual std::size_t CodePageWidth(wchar_t c) = 0;
    // What the password field holds for an entry: letters lower-cased as the field does it.
    virtual std::wstring FieldText(std::wstring_view typed) = 0;
    // The one conversion to code page 936; nullopt when the code page lacks a character.
    virtual std::optional<std::string> CodePageBytes(std::wstring_view text) = 0;
    // Empty when the system took the restart request; otherwise the system's reason for refusing it.
    virtual std::wstring RestartNow() = 0;
};

ExitCode Run(const std::vector<std::wstring>& args, Host& host, DriverLibrary& driver);

// Why the password field would not have taken an entry (as the field holds it); empty when it would.
std::wstring_view PasswordRefusal(std::wstring_view text, Host& host);

// What the tool tells about the driver's state; `simulated` when the library is the simulated one.
struct StatusReport {
    const std::vector<PartitionRow>& rows;
    WorkMode mode;
    bool simulated;
};
std::wstring StatusText(const StatusReport& status);
std::wstring StatusJson(const StatusReport& status);

} // namespace veltrane::ctl
