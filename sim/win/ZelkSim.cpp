// The simulated ZELK.dll: the six exports over a state file reached with the wide Windows file API.

#include <windows.h>
#include <ntsecapi.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "driver/PartitionTable.h"
#include "sim/SimDriver.h"
#include "sim/StateLocation.h"

namespace {

using veltrane::PartitionTable;
using veltrane::sim::SimDriver;
using veltrane::sim::StateLocation;
using veltrane::sim::StateStore;

constexpr wchar_t kStateVariable[] = L"ZELK_SIM_STATE";
// Far above any real state; a bigger file is not ours.
constexpr DWORD kMaxStateBytes = 1 << 20;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// A link or junction (any reparse point) is opened as itself and then refused: every user may put
// things in an installed evaluation's folder, and an administrator's call must not write through them.
bool PlainFile(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION information{};
    return GetFileInformationByHandle(handle, &information) &&
           !(information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY));
}

UniqueHandle OpenFile(const std::wstring& path, DWORD access, DWORD disposition) {
    HANDLE handle =
        CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    UniqueHandle file(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
    if (file && !PlainFile(file.get())) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return file;
}

// The state's folder, held so that nobody can rename or delete it during the call; none when the
// folder is a reparse point.
UniqueHandle HoldFolder(const std::wstring& statePath) {
    const auto slash = statePath.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : statePath.substr(0, slash + 1);
    HANDLE handle =
        CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    UniqueHandle held(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
    BY_HANDLE_FILE_INFORMATION information{};
    if (held && (!GetFileInformationByHandle(held.get(), &information) ||
                 (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)))
        return nullptr;
    return held;
}

// A new file of a name nobody can guess, never one that is there already.
UniqueHandle CreateTemporary(const std::wstring& statePath, std::wstring& name) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::uint8_t random[16];
        if (!RtlGenRandom(random, sizeof random))
            return nullptr;
        name = veltrane::sim::TemporaryStatePath(statePath, random);
        HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            return UniqueHandle(handle);
        if (GetLastError() != ERROR_FILE_EXISTS)
            return nullptr;
    }
    return nullptr;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

std::optional<std::wstring> EnvironmentValue(const wchar_t* name) {
    std::wstring value(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(name, value.data(), DWORD(value.size()));
        if (length == 0)
            return std::nullopt;
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);
    }
}

std::optional<std::wstring> OwnModulePath() {
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&OwnModulePath), &self))
        return std::nullopt;
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(self, path.data(), DWORD(path.size()));
        if (length == 0)
            return std::nullopt;
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The state file the setup named in its record beside the library; empty when there is none.
std::wstring InstalledStatePath(const std::wstring& folder) {
    const std::wstring record = folder + veltrane::sim::kInstallRecordName;
    std::wstring value(4 * MAX_PATH, L'\0');
    const DWORD length =
        GetPrivateProfileStringW(veltrane::sim::kInstallRecordSection, veltrane::sim::kInstallRecordKey, L"",
                                 value.data(), DWORD(value.size()), record.c_str());
    value.resize(length);
    return value;
}

std::optional<StateLocation> FindState() {
    const std::wstring variable = EnvironmentValue(kStateVariable).value_or(L"");
    std::wstring folder;
    if (variable.empty()) {
        auto module = OwnModulePath();
        if (!module)
            return std::nullopt;
        const auto slash = module->find_last_of(L"\\/");
        folder = module->substr(0, slash == std::wstring::npos ? 0 : slash + 1);
    }
    const std::wstring installed = variable.empty() ? InstalledStatePath(folder) : L"";
    return veltrane::sim::ChooseStateLocation(variable, installed, folder);
}

// Paths inside the state file are 8-bit text in the system code page.
std::wstring WidePath(std::string_view path) {
    const int length = MultiByteToWideChar(CP_ACP, 0, path.data(), int(path.size()), nullptr, 0);
    std::wstring wide(std::size_t(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, path.data(), int(path.size()), wide.data(), length);
    return wide;
}

class FileStateStore final : public StateStore {
public:
    explicit FileStateStore(StateLocation location) : location_(std::move(location)) {}

    ReadStatus Read(std::string& text) override {
        UniqueHandle file = OpenFile(location_.path, GENERIC_READ, OPEN_EXISTING);
        if (!file) {
            const DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND ? ReadStatus::kMissing : ReadStatus::kFailed;
        }
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxStateBytes)
            return ReadStatus::kFailed;
        text.assign(std::size_t(size.QuadPart), '\0');
        DWORD done = 0;
        while (done < text.size()) {
            DWORD read = 0;
            if (!ReadFile(file.get(), text.data() + done, DWORD(text.size() - done), &read, nullptr))
                return ReadStatus::kFailed;
            if (read == 0)
                break;
            done += read;
        }
        text.resize(done);
        return ReadStatus::kOk;
    }

    // A new temporary file beside the state, then one rename over it.
    bool Replace(std::string_view text) override {
        std::wstring temporary;
        UniqueHandle file = CreateTemporary(location_.path, temporary);
        if (!file)
            return false;
        const bool written = WriteAll(file.get(), text) && FlushFileBuffers(file.get());
        file.reset();
        if (written && MoveFileExW(temporary.c_str(), location_.path.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DeleteFileW(temporary.c_str());
        return false;
    }

    bool AppendLine(std::string_view path, std::string_view line) override {
        if (location_.Shared())
            return false;
        UniqueHandle file = OpenFile(WidePath(path), FILE_APPEND_DATA, OPEN_ALWAYS);
        return file && WriteAll(file.get(), std::string(line) + "\n");
    }

private:
    StateLocation location_;
};

// Every call starts afresh: tests edit the state file between calls. Nothing may unwind into the
// caller, so running out of memory is a failed call.
template <class Call> std::uint8_t WithDriver(Call call) noexcept {
    try {
        auto location = FindState();
        if (!location)
            return 0;
        const UniqueHandle folder = HoldFolder(location->path);
        if (!folder)
            return 0;
        FileStateStore store(std::move(*location));
        SimDriver driver(store);
        return call(driver) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

} // namespace

extern "C" {

std::uint8_t __stdcall fcGetPartition(PartitionTable* table) {
    return WithDriver([&](SimDriver& driver) { return driver.GetPartition(table); });
}

std::uint8_t __stdcall fcSetPartition(PartitionTable* table) {
    return WithDriver([&](SimDriver& driver) { return driver.SetPartition(table); });
}

std::uint8_t __stdcall fcGetProtection() {
    return WithDriver([](SimDriver& driver) { return driver.GetProtection(); });
}

std::uint8_t __stdcall fcSetProtection(std::uint32_t mode) {
    return WithDriver([&](SimDriver& driver) { return driver.SetProtection(mode); });
}

std::uint8_t __stdcall fcCheckPassword(const char* password) {
    return WithDriver([&](SimDriver& driver) { return driver.CheckPassword(password); });
}

std::uint8_t __stdcall fcSetPassword(const char* password) {
    return WithDriver([&](SimDriver& driver) { return driver.SetPassword(password); });
}

// Not one of the driver library's functions: its presence tells the program and the tool that this
// ZELK.dll is the simulated one, so that they can say that nothing is protected.
std::uint8_t __stdcall VeltraneSimulatedDriverLibrary() {
    return 1;
}

} // extern "C"
