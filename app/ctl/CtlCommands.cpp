#include "app/ctl/CtlCommands.h"

#include <algorithm>

#include "app/ApplySettings.h"
#include "app/PasswordGate.h"
#include "driver/DriverPassword.h"
#include "base/Bytes.h"
#include "texts/Texts.h"

namespace veltrane::ctl {

namespace {

// -- arguments ----------------------------------------------------------------------------------

enum class OptionId { kJson, kProtect, kUnprotect, kMode, kRestart, kPasswordStdin };

constexpr unsigned Bit(Command command) {
    return 1u << unsigned(command);
}

struct KnownOption {
    std::wstring_view name;
    OptionId id;
    bool takesValue;
    unsigned commands; // Bit() of each command that takes it
};

constexpr unsigned kApplyOnly = Bit(Command::kApply);
constexpr KnownOption kOptions[] = {
    {L"--json", OptionId::kJson, false, Bit(Command::kStatus)},
    {L"--protect", OptionId::kProtect, true, kApplyOnly},
    {L"--unprotect", OptionId::kUnprotect, true, kApplyOnly},
    {L"--mode", OptionId::kMode, true, kApplyOnly},
    {L"--restart", OptionId::kRestart, false, kApplyOnly},
    {L"--password-stdin", OptionId::kPasswordStdin, false, kApplyOnly | Bit(Command::kPasswd)},
};

bool IsHelp(std::wstring_view arg) {
    return arg == L"--help" || arg == L"-h" || arg == L"/?";
}

std::optional<Command> CommandNamed(std::wstring_view name) {
    if (name == L"status")
        return Command::kStatus;
    if (name == L"apply")
        return Command::kApply;
    if (name == L"passwd")
        return Command::kPasswd;
    return std::nullopt;
}

const KnownOption* OptionNamed(std::wstring_view name) {
    for (const KnownOption& known : kOptions)
        if (known.name == name)
            return &known;
    return nullptr;
}

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && text.front() == L' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ')
        text.remove_suffix(1);
    return text;
}

// "d", "D:" or "D:\" -> 'D'.
std::optional<char> DriveLetter(std::wstring_view token) {
    if (token.empty() || !(token.size() == 1 || token.substr(1) == L":" || token.substr(1) == L":\\"))
        return std::nullopt;
    const wchar_t letter = AsciiLower(token.front());
    if (letter < L'a' || letter > L'z')
        return std::nullopt;
    return char(letter - L'a' + 'A');
}

// Adds the letters of a comma-separated list; the text of the first bad entry when there is one.
std::optional<std::wstring> AddLetters(std::wstring_view list, std::string& letters) {
    while (true) {
        const std::size_t comma = list.find(L',');
        const std::wstring_view token = Trim(list.substr(0, comma));
        const std::optional<char> letter = DriveLetter(token);
        if (!letter)
            return std::wstring(token);
        if (letters.find(*letter) == std::string::npos)
            letters.push_back(*letter);
        if (comma == std::wstring_view::npos)
            return std::nullopt;
        list.remove_prefix(comma + 1);
    }
}

ParsedArguments Refuse(std::wstring_view what, std::wstring_view detail) {
    return {std::nullopt, std::wstring(what) + std::wstring(detail)};
}

// -- passwords and the list ----------------------------------------------------------------------

// Zeroes a typed entry before its memory is given back.
class WipedOnExit {
public:
    explicit WipedOnExit(std::wstring& text) : text_(text) {}
    WipedOnExit(const WipedOnExit&) = delete;
    WipedOnExit& operator=(const WipedOnExit&) = delete;
    ~WipedOnExit() { StringWipe(text_); }

private:
    std::wstring& text_;
};

wchar_t RowLetter(const PartitionRow& row) {
    return row.drive.front();
}

bool Contains(const std::string& letters, wchar_t letter) {
    return letters.find(char(letter)) != std::string::npos;
}

// The list as the main window would hold it after the requested ticks; the message naming the
// requested letters that have no row, when there are any.
std::wstring RequestedItems(const Options& options, const std::vector<PartitionRow>& rows,
                            std::vector<ListedPartition>& items) {
    std::wstring missing;
    for (const char letter : options.protect + options.unprotect) {
        const bool listed = std::any_of(rows.begin(), rows.end(),
                                        [&](const PartitionRow& row) { return RowLetter(row) == letter; });
        if (listed)
            continue;
        if (!missing.empty())
            missing += L' ';
        missing += {wchar_t(letter), L':'};
    }
    if (!missing.empty())
        return texts::kCtlUnlistedPartition + missing;
    for (const PartitionRow& row : rows) {
        bool ticked = row.ticked;
        if (Contains(options.protect, RowLetter(row)))
            ticked = true;
        if (Contains(options.unprotect, RowLetter(row)))
            ticked = false;
        items.push_back({row.drive, ticked});
    }
    return {};
}

// The main window's OK sequence with the list and the radio buttons replaced by the arguments. The
// question before writing is left out: the command line already says what to do.
class ScriptedApply final : public ApplyHost {
public:
    ScriptedApply(Host& host, std::vector<ListedPartition> items, WorkMode mode, bool restart)
        : host_(host), items_(std::move(items)), mode_(mode), restart_(restart) {}

    std::optional<std::wstring> failure;

    bool AskConfirm(const std::wstring&) override { return true; }
    void SetOkEnabled(bool) override {}
    std::vector<ListedPartition> ListedPartitions() override { return items_; }
    bool RecoverModeTicked() override { return mode_ == kModeProtected; }
    bool OpenModeTicked() override { return mode_ == kModeOpen; }
    void ShowMessage(const std::wstring& text) override { failure = text; }
    void RestartNow() override {
        if (!restart_)
            return;
        host_.Err(std::wstring(texts::kCtlRestarting) + L"\n");
        if (std::wstring refusal = host_.RestartNow(); !refusal.empty())
            failure = texts::kCtlRestartRefused + refusal;
    }

private:
    Host& host_;
    std::vector<ListedPartition> items_;
    WorkMode mode_;
    bool restart_;
};

// Standard output carries what a script reads: a write that failed must not look like success.
ExitCode Output(Host& host, std::wstring_view text) {
    if (host.Out(text))
        return ExitCode::kDone;
    host.Err(std::wstring(texts::kCtlOutputFailed) + L"\n");
    return ExitCode::kOutputFailed;
}

class Session {
public:
    Session(const Options& options, Host& host, DriverLibrary& driver)
        : options_(options), host_(host), driver_(driver) {}

    ExitCode Status();
    ExitCode Apply();
    ExitCode Passwd();

private:
    void Message(std::wstring_view text) { host_.Err(std::wstring(text) + L"\n"); }
    // Reads the table and the mode as the main window does when it is created.
    bool ReadDriver();
    // nullopt when nothing was read or the entry was refused; the message has been shown.
    std::optional<SecretString> AskPassword(std::wstring_view prompt);
    bool CheckPassword(const SecretString& password);

    const Options& options_;
    Host& host_;
    DriverLibrary& driver_;
    PartitionTable table_{};
    DriverState state_;
};

bool Session::ReadDriver() {
    state_ = ReadDriverState(driver_, table_, [this] { Message(texts::kDriverUnreachable); });
    return state_.reachable;
}

std::optional<SecretString> Session::AskPassword(std::wstring_view prompt) {
    std::optional<std::wstring> typed = host_.ReadPassword(prompt, options_.passwordSource);
    if (!typed) {
        Message(texts::kCtlNoPassword);
        return std::nullopt;
    }
    WipedOnExit wipeTyped(*typed);
    std::wstring text = host_.FieldText(*typed);
    WipedOnExit wipeText(text);
    if (const std::wstring_view refusal = PasswordRefusal(text, host_); !refusal.empty()) {
        Message(refusal);
        return std::nullopt;
    }
    std::optional<std::string> bytes = host_.CodePageBytes(text);
    SecretString password(bytes ? std::move(*bytes) : std::string());
    if (!bytes || !DriverPasswordFits(password.str())) { // never handed to the library
        Message(texts::kCtlPasswordNotInCodePage);
        return std::nullopt;
    }
    return password;
}

bool Session::CheckPassword(const SecretString& password) {
    if (driver_.CheckPassword(password.c_str()))
        return true;
    Message(texts::kCtlWrongPassword);
    return false;
}

ExitCode Session::Status() {
    if (!ReadDriver())
        return ExitCode::kDriverUnreachable;
    const StatusReport status{state_.rows, state_.mode, driver_.Simulated()};
    return Output(host_, options_.json ? StatusJson(status) : StatusText(status));
}

ExitCode Session::Apply() {
    if (!ReadDriver())
        return ExitCode::kDriverUnreachable;
    std::vector<ListedPartition> items;
    if (const std::wstring missing = RequestedItems(options_, state_.rows, items); !missing.empty()) {
        Message(missing);
        return ExitCode::kUsage;
    }
    const std::optional<SecretString> password = AskPassword(texts::kCtlAdminPasswordPrompt);
    if (!password)
        return ExitCode::kUsage;
    if (!CheckPassword(*password))
        return ExitCode::kWrongPassword;
    ScriptedApply apply(host_, std::move(items), options_.mode.value_or(state_.mode), options_.restart);
    WorkMode mode = state_.mode;
    ApplySettings(apply, driver_, table_, mode);
    if (apply.failure) {
        Message(*apply.failure);
        return ExitCode::kWriteFailed;
    }
    if (!options_.restart)
        Message(texts::kCtlRestartNeeded);
    return ExitCode::kDone;
}

ExitCode Session::Passwd() {
    if (!ReadDriver())
        return ExitCode::kDriverUnreachable;
    const std::optional<SecretString> current = AskPassword(texts::kCtlCurrentPasswordPrompt);
    if (!current)
        return ExitCode::kUsage;
    if (!CheckPassword(*current))
        return ExitCode::kWrongPassword;
    const std::optional<SecretString> entry = AskPassword(texts::kCtlNewPasswordPrompt);
    if (!entry)
        return ExitCode::kUsage;
    const std::optional<SecretString> confirmation = AskPassword(texts::kEnterPasswordAgain);
    if (!confirmation)
        return ExitCode::kUsage;
    if (!NewPasswordConfirmed(entry->str(), confirmation->str())) {
        Message(texts::kCtlPasswordsDiffer);
        return ExitCode::kUsage;
    }
    driver_.SetPassword(entry->c_str());
    // The library's answer to the change means nothing (the main window ignores it too); whether
    // the new password now passes the check tells a script that the change took.
    if (!driver_.CheckPassword(entry->c_str())) {
        Message(texts::kCtlPasswordNotStored);
        return ExitCode::kWriteFailed;
    }
    Message(texts::kCtlPasswordChanged);
    return ExitCode::kDone;
}

// -- output ---------------------------------------------------------------------------------------

// Columns a character takes in a console: two for the CJK and full-width blocks.
std::size_t DisplayWidth(std::wstring_view text) {
    std::size_t width = 0;
    for (const wchar_t c : text) {
        const bool wide =
            (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFF60);
        width += wide ? 2 : 1;
    }
    return width;
}

std::wstring JsonString(std::wstring_view text) {
    constexpr wchar_t kHex[] = L"0123456789abcdef";
    std::wstring json = L"\"";
    for (const wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            json += {L'\\', c};
        } else if (c < 0x20) {
            json += L"\\u00";
            json += {kHex[c >> 4], kHex[c & 0xF]};
        } else {
            json += c;
        }
    }
    return json + L"\"";
}

} // namespace

ParsedArguments ParseArguments(const std::vector<std::wstring>& args) {
    if (std::any_of(args.begin(), args.end(), [](const std::wstring& arg) { return IsHelp(arg); }))
        return {Options{}, {}};
    if (args.empty())
        return Refuse(texts::kCtlUnknownCommand, L"");
    const std::optional<Command> command = CommandNamed(args[0]);
    if (!command)
        return Refuse(texts::kCtlUnknownCommand, args[0]);
    Options options;
    options.command = *command;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::wstring_view arg = args[i];
        if (!arg.starts_with(L"--"))
            return Refuse(texts::kCtlExtraArgument, arg);
        const std::size_t equals = arg.find(L'=');
        const std::wstring_view name = arg.substr(0, equals);
        const KnownOption* known = OptionNamed(name);
        if (!known || (!known->takesValue && equals != std::wstring_view::npos))
            return Refuse(texts::kCtlUnknownOption, arg);
        if (!(known->commands & Bit(*command)))
            return Refuse(texts::kCtlOptionNotForCommand, name);
        std::wstring_view value;
        if (equals != std::wstring_view::npos)
            value = arg.substr(equals + 1);
        else if (known->takesValue && i + 1 < args.size())
            value = args[++i];
        else if (known->takesValue)
            return Refuse(texts::kCtlOptionNeedsValue, name);

        switch (known->id) {
        case OptionId::kJson:
            options.json = true;
            break;
        case OptionId::kRestart:
            options.restart = true;
            break;
        case OptionId::kPasswordStdin:
            options.passwordSource = PasswordSource::kStdin;
            break;
        case OptionId::kProtect:
        case OptionId::kUnprotect: {
            std::string& letters = known->id == OptionId::kProtect ? options.protect : options.unprotect;
            if (const std::optional<std::wstring> bad = AddLetters(value, letters))
                return Refuse(texts::kCtlNotADriveLetter, *bad);
            break;
        }
        case OptionId::kMode:
            if (options.mode)
                return Refuse(texts::kCtlOptionRepeated, name);
            if (AsciiEqualNoCase(value, L"protected"))
                options.mode = kModeProtected;
            else if (AsciiEqualNoCase(value, L"unprotected"))
                options.mode = kModeOpen;
            else
                return Refuse(texts::kCtlBadMode, value);
            break;
        }
    }
    for (const char letter : options.protect)
        if (Contains(options.unprotect, wchar_t(letter)))
            return Refuse(texts::kCtlProtectAndUnprotect, std::wstring{wchar_t(letter), L':'});
    return {options, {}};
}

std::wstring_view PasswordRefusal(std::wstring_view text, Host& host) {
    const CodePageWidth width = [&host](wchar_t c) {
        return host.CodePageWidth(c);
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < L' ' || c == 0x7F)
            return texts::kCtlPasswordControlCharacter; // the field takes such keys as editing
        if (width(c) == 0)
            return texts::kCtlPasswordNotInCodePage;
        if (!PasswordKeyAccepted(text.substr(0, i), i, i, c, width))
            return texts::kCtlPasswordTooLong;
    }
    return {};
}

std::wstring StatusText(const StatusReport& status) {
    std::vector<std::vector<std::wstring>> lines = {
        {texts::kColumnPartition, texts::kColumnType, texts::kColumnSize, texts::kCtlProtectColumn}};
    for (const PartitionRow& row : status.rows)
        lines.push_back({row.drive, row.type, row.sizeMb, row.ticked ? texts::kCtlYes : texts::kCtlNo});
    std::vector<std::size_t> widths(lines.front().size(), 0);
    for (const auto& line : lines)
        for (std::size_t column = 0; column < line.size(); ++column)
            widths[column] = std::max(widths[column], DisplayWidth(line[column]));
    std::wstring text;
    for (const auto& line : lines) {
        for (std::size_t column = 0; column + 1 < line.size(); ++column)
            text += line[column] + std::wstring(widths[column] - DisplayWidth(line[column]) + 2, L' ');
        text += line.back() + L"\n";
    }
    text += texts::kCtlWorkStateLabel;
    text += status.mode == kModeProtected ? texts::kRecoverMode : texts::kOpenMode;
    text += L"\n";
    text += texts::kCtlLibraryLabel;
    text += status.simulated ? texts::kCtlLibrarySimulated : texts::kCtlLibraryDriver;
    return text + L"\n";
}

std::wstring StatusJson(const StatusReport& status) {
    std::wstring json = L"{\n  \"mode\": ";
    json += JsonString(status.mode == kModeProtected ? L"protected" : L"unprotected");
    json += L",\n  \"library\": ";
    json += JsonString(status.simulated ? L"simulated" : L"driver");
    json += L",\n  \"partitions\": [";
    const std::vector<PartitionRow>& rows = status.rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const PartitionRow& row = rows[i];
        json += i == 0 ? L"\n    " : L",\n    ";
        json += L"{\"letter\": " + JsonString(std::wstring_view(row.drive).substr(0, 1));
        json += L", \"drive\": " + JsonString(row.drive);
        json += L", \"type\": " + JsonString(row.type);
        json += L", \"size_mb\": " + row.sizeMb;
        json += L", \"protected\": ";
        json += row.ticked ? L"true}" : L"false}";
    }
    json += rows.empty() ? L"]\n}\n" : L"\n  ]\n}\n";
    return json;
}

ExitCode Run(const std::vector<std::wstring>& args, Host& host, DriverLibrary& driver) {
    if (args.empty()) {
        host.Err(texts::kCtlUsage);
        return ExitCode::kUsage;
    }
    const ParsedArguments parsed = ParseArguments(args);
    if (!parsed.options) {
        host.Err(parsed.error + L"\n" + texts::kCtlSeeHelp + L"\n");
        return ExitCode::kUsage;
    }
    Session session(*parsed.options, host, driver);
    switch (parsed.options->command) {
    case Command::kHelp:
        return Output(host, texts::kCtlUsage);
    case Command::kStatus:
        return session.Status();
    case Command::kApply:
        return session.Apply();
    case Command::kPasswd:
        return session.Passwd();
    }
    return ExitCode::kUsage;
}

} // namespace veltrane::ctl
