#pragma once
// Where the simulated library keeps its state. Portable, so the order is tested natively.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace veltrane::sim {

enum class StateOrigin {
    kVariable,      // ZELK_SIM_STATE: tests and development runs
    kInstalled,     // the file the setup named for an installed evaluation
    kBesideLibrary, // ZELK.ini beside the library: the development tree
};

struct StateLocation {
    std::wstring path;
    StateOrigin origin;

    // Every user of the machine may write an installed evaluation's state, so nothing in it may
    // steer what an administrator's process writes elsewhere (the call log).
    bool Shared() const { return origin == StateOrigin::kInstalled; }
};

// The setup's record beside an installed library: section, key and file name.
inline constexpr wchar_t kInstallRecordName[] = L"ZELK.install.ini";
inline constexpr wchar_t kInstallRecordSection[] = L"state";
inline constexpr wchar_t kInstallRecordKey[] = L"file";
inline constexpr wchar_t kBesideLibraryName[] = L"ZELK.ini";

// Empty arguments are absent. libraryFolder ends with a path separator, or is empty.
StateLocation ChooseStateLocation(std::wstring_view variable, std::wstring_view installed,
                                  std::wstring_view libraryFolder);

// A temporary file beside the state, named from random bytes, all of them: a name nobody can guess
// is one nobody can have put a file or link under first. The setup's uninstaller removes leftovers
// as <state>.*.tmp.
std::wstring TemporaryStatePath(std::wstring_view statePath, std::span<const std::uint8_t> random);

} // namespace veltrane::sim
