#pragma once
// State of the simulated driver control library: what it keeps in its INI file, how that file is
// read and written, and how one call's log line looks. Portable, so it is tested natively.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "driver/PartitionTable.h"

namespace veltrane::sim {

// The six exported functions, also the names accepted in the fail list.
enum class SimFunction : std::uint8_t {
    GetPartition,
    SetPartition,
    GetProtection,
    SetProtection,
    CheckPassword,
    SetPassword,
};
inline constexpr int kFunctionCount = 6;

std::string_view FunctionName(SimFunction function);
std::optional<SimFunction> FunctionFromName(std::string_view name);

struct SimState {
    bool reachable = true;
    std::uint8_t protection = 0;
    std::string password;
    std::uint8_t failMask = 0; // bit i set: SimFunction(i) returns false
    std::string logPath;       // Windows path, empty = no log
    PartitionTable table{};

    bool Fails(SimFunction function) const { return (failMask >> int(function)) & 1; }
    void SetFails(SimFunction function) { failMask |= std::uint8_t(1u << int(function)); }
    bool operator==(const SimState& other) const;
};

// C: NTFS protected, D: NTFS open, E: FAT32 open; protection on, password "admin".
SimState DemoState();

struct ParseResult {
    std::optional<SimState> state; // empty when the text is malformed
    std::string error;             // why it is malformed
};
ParseResult ParseState(std::string_view text);
std::string SerializeState(const SimState& state);

// A password is stored as one INI value, so it may hold neither line breaks nor the blanks that
// the reader trims from either end.
bool IsStorablePassword(std::string_view password);

// Codecs of the [table] section, exposed for tests.
std::string ToHex(std::span<const std::uint8_t> bytes);
bool FromHex(std::string_view hex, std::span<std::uint8_t> out); // exact length, either case
std::string FormatLetter(std::uint8_t letter);
std::optional<std::uint8_t> ParseLetter(std::string_view text);
std::string FormatSlot(const PartitionTable& table, int slot);
bool ParseSlot(std::string_view text, PartitionTable& table, int slot);
bool IsEmptySlot(const PartitionTable& table, int slot);

// One log line without its line break; `argument` is the hex, number or text of the call, empty
// for the two functions without one.
std::string FormatLogLine(SimFunction function, bool result, std::string_view argument);

} // namespace veltrane::sim
