#include "sim/SimState.h"

#include <array>
#include <cstring>
#include <limits>

#include "base/Bytes.h"

// What the reader accepts. Tolerated: CR LF or LF line ends, a UTF-8 byte order mark, blank
// lines, lines starting with ';' or '#', blanks around lines, keys, values and slot fields, any
// key order, missing keys (defaults: reachable=1, protection=0, empty password, fail and log,
// zero opaque bytes, all-zero slots) and empty items in the fail list.
// Malformed: a NUL byte; a missing [driver] or [table] section; a section other than those two
// or one given twice; a line that is neither a section nor key=value; a key outside a section,
// unknown in its section or given twice; reachable other than 0 or 1; a number with anything but
// decimal digits or out of range (protection, protect and type 0..255, size 0..4294967295); a
// fail item that is not one of the six function names; opaque not exactly 40 hex digits; a slot
// index outside 0..9 (slot10, slot01, slotA); a slot without exactly four fields; a letter that
// is neither one printable non-comma non-digit character nor a decimal byte.

namespace veltrane::sim {
namespace {

constexpr std::array<std::string_view, kFunctionCount> kFunctionNames = {
    "fcGetPartition",  "fcSetPartition",  "fcGetProtection",
    "fcSetProtection", "fcCheckPassword", "fcSetPassword",
};
// CR is a blank too: a value read then never ends in one, and reads back the same once written.
constexpr std::string_view kBlanks = " \t\r";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::uint32_t kByteMax = 0xFF;
constexpr std::uint32_t kSizeMax = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t kSlotFieldCount = 4;

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// Plain decimal digits only: no sign, no blanks, no hex.
std::optional<std::uint32_t> ParseNumber(std::string_view text, std::uint32_t max) {
    if (text.empty())
        return std::nullopt;
    for (char c : text)
        if (!AsciiIsDigit(c))
            return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        value = value * 10 + std::uint64_t(c - '0');
        if (value > max)
            return std::nullopt;
    }
    return std::uint32_t(value);
}

bool IsLiteralLetter(std::uint8_t c) {
    return c > ' ' && c < 0x7F && c != ',' && !AsciiIsDigit(char(c));
}

// Splits at every comma, keeping empty pieces.
template <class Visit> void ForEachItem(std::string_view text, Visit visit) {
    for (;;) {
        const auto comma = text.find(',');
        visit(text.substr(0, comma));
        if (comma == std::string_view::npos)
            return;
        text.remove_prefix(comma + 1);
    }
}

std::optional<int> SlotIndex(std::string_view key) {
    constexpr std::string_view kPrefix = "slot";
    if (key.size() != kPrefix.size() + 1 || !key.starts_with(kPrefix) || !AsciiIsDigit(key.back()))
        return std::nullopt;
    return key.back() - '0';
}

class StateReader {
public:
    ParseResult Read(std::string_view text) {
        if (text.find('\0') != std::string_view::npos)
            return Fail("NUL byte in the file");
        if (text.starts_with(kByteOrderMark))
            text.remove_prefix(kByteOrderMark.size());
        int lineNumber = 0;
        while (!text.empty()) {
            const auto end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            ++lineNumber;
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            if (!ReadLine(Trim(line)))
                return Fail("line " + std::to_string(lineNumber) + ": " + error_);
        }
        if (!seenDriver_ || !seenTable_)
            return Fail("missing [driver] or [table] section");
        return {state_, {}};
    }

private:
    enum class Section { kNone, kDriver, kTable };
    // A fixed underlying type: slots are numbered past the last named key, up to kKeyCount - 1.
    enum Key : int { kReachable, kProtection, kPassword, kFail, kLog, kOpaque, kSlot0 };
    static constexpr int kKeyCount = kSlot0 + kSlotCount;

    ParseResult Fail(std::string error) { return {std::nullopt, std::move(error)}; }

    bool Error(std::string error) {
        error_ = std::move(error);
        return false;
    }

    bool ReadLine(std::string_view line) {
        if (line.empty() || line.front() == ';' || line.front() == '#')
            return true;
        if (line.front() == '[')
            return ReadSection(line);
        const auto equals = line.find('=');
        if (equals == std::string_view::npos)
            return Error("neither a section nor key=value");
        return ReadKey(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    }

    bool ReadSection(std::string_view line) {
        bool* seen = nullptr;
        if (line == "[driver]") {
            section_ = Section::kDriver;
            seen = &seenDriver_;
        } else if (line == "[table]") {
            section_ = Section::kTable;
            seen = &seenTable_;
        } else {
            return Error("unknown section " + std::string(line));
        }
        if (*seen)
            return Error("section given twice " + std::string(line));
        *seen = true;
        return true;
    }

    std::optional<Key> FindKey(std::string_view key) const {
        if (section_ == Section::kDriver) {
            constexpr std::array<std::string_view, 5> kDriverKeys = {"reachable", "protection", "password",
                                                                     "fail", "log"};
            for (std::size_t i = 0; i < kDriverKeys.size(); ++i)
                if (key == kDriverKeys[i])
                    return Key(i);
        } else if (section_ == Section::kTable) {
            if (key == "opaque")
                return kOpaque;
            if (const auto slot = SlotIndex(key))
                return Key(kSlot0 + *slot);
        }
        return std::nullopt;
    }

    bool ReadKey(std::string_view key, std::string_view value) {
        if (section_ == Section::kNone)
            return Error("key outside a section");
        const auto found = FindKey(key);
        if (!found)
            return Error("unknown key " + std::string(key));
        if (seenKeys_[*found])
            return Error("key given twice " + std::string(key));
        seenKeys_[*found] = true;
        if (!ReadValue(*found, value))
            return Error("bad value for " + std::string(key));
        return true;
    }

    bool ReadValue(Key key, std::string_view value) {
        switch (key) {
        case kReachable:
            if (value != "0" && value != "1")
                return false;
            state_.reachable = value == "1";
            return true;
        case kProtection:
            if (const auto number = ParseNumber(value, kByteMax)) {
                state_.protection = std::uint8_t(*number);
                return true;
            }
            return false;
        case kPassword:
            state_.password = value;
            return true;
        case kFail:
            return ReadFailList(value);
        case kLog:
            state_.logPath = value;
            return true;
        case kOpaque:
            return FromHex(value, state_.table.opaque);
        default:
            return ParseSlot(value, state_.table, key - kSlot0);
        }
    }

    bool ReadFailList(std::string_view value) {
        bool ok = true;
        ForEachItem(value, [&](std::string_view item) {
            item = Trim(item);
            if (item.empty())
                return;
            if (const auto function = FunctionFromName(item))
                state_.SetFails(*function);
            else
                ok = false;
        });
        return ok;
    }

    SimState state_;
    Section section_ = Section::kNone;
    bool seenDriver_ = false;
    bool seenTable_ = false;
    std::array<bool, kKeyCount> seenKeys_{};
    std::string error_;
};

} // namespace

std::string_view FunctionName(SimFunction function) {
    return kFunctionNames[std::size_t(function)];
}

std::optional<SimFunction> FunctionFromName(std::string_view name) {
    for (std::size_t i = 0; i < kFunctionNames.size(); ++i)
        if (kFunctionNames[i] == name)
            return SimFunction(i);
    return std::nullopt;
}

bool SimState::operator==(const SimState& other) const {
    return reachable == other.reachable && protection == other.protection && password == other.password &&
           failMask == other.failMask && logPath == other.logPath &&
           std::memcmp(&table, &other.table, sizeof table) == 0;
}

SimState DemoState() {
    struct DemoSlot {
        char letter;
        std::uint8_t protect;
        std::uint8_t type;
        std::uint32_t sizeMb;
    };
    constexpr std::uint8_t kNtfs = 7;
    constexpr std::uint8_t kFat32Lba = 12;
    constexpr std::array<DemoSlot, 3> kDemoSlots = {{
        {'C', 1, kNtfs, 40960},
        {'D', 0, kNtfs, 102400},
        {'E', 0, kFat32Lba, 32768},
    }};
    SimState state;
    state.protection = 1;
    state.password = "admin";
    for (std::size_t i = 0; i < kDemoSlots.size(); ++i) {
        state.table.letter[i] = std::uint8_t(kDemoSlots[i].letter);
        state.table.protect[i] = kDemoSlots[i].protect;
        state.table.type[i] = kDemoSlots[i].type;
        state.table.SetSizeMb(int(i), kDemoSlots[i].sizeMb);
    }
    return state;
}

ParseResult ParseState(std::string_view text) {
    return StateReader().Read(text);
}

std::string SerializeState(const SimState& state) {
    std::string fail;
    for (int i = 0; i < kFunctionCount; ++i) {
        if (!state.Fails(SimFunction(i)))
            continue;
        if (!fail.empty())
            fail += ',';
        fail += FunctionName(SimFunction(i));
    }
    std::string text = "[driver]\n";
    text += "reachable=" + std::string(state.reachable ? "1" : "0") + "\n";
    text += "protection=" + std::to_string(state.protection) + "\n";
    text += "password=" + state.password + "\n";
    text += "fail=" + fail + "\n";
    text += "log=" + state.logPath + "\n";
    text += "[table]\n";
    text += "opaque=" + ToHex(state.table.opaque) + "\n";
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (!IsEmptySlot(state.table, slot))
            text += "slot" + std::to_string(slot) + "=" + FormatSlot(state.table, slot) + "\n";
    return text;
}

bool IsStorablePassword(std::string_view password) {
    if (password.find_first_of("\r\n") != std::string_view::npos)
        return false;
    return Trim(password).size() == password.size();
}

std::string ToHex(std::span<const std::uint8_t> bytes) {
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        hex += HexDigitLower(b >> 4);
        hex += HexDigitLower(b);
    }
    return hex;
}

bool FromHex(std::string_view hex, std::span<std::uint8_t> out) {
    if (hex.size() != out.size() * 2)
        return false;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int high = HexDigitValue(hex[2 * i]);
        const int low = HexDigitValue(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        out[i] = std::uint8_t(high << 4 | low);
    }
    return true;
}

std::string FormatLetter(std::uint8_t letter) {
    if (IsLiteralLetter(letter))
        return std::string(1, char(letter));
    return std::to_string(letter);
}

std::optional<std::uint8_t> ParseLetter(std::string_view text) {
    if (text.size() == 1 && IsLiteralLetter(std::uint8_t(text[0])))
        return std::uint8_t(text[0]);
    if (const auto number = ParseNumber(text, kByteMax))
        return std::uint8_t(*number);
    return std::nullopt;
}

std::string FormatSlot(const PartitionTable& table, int slot) {
    return FormatLetter(table.letter[slot]) + "," + std::to_string(table.protect[slot]) + "," +
           std::to_string(table.type[slot]) + "," + std::to_string(table.SizeMb(slot));
}

bool ParseSlot(std::string_view text, PartitionTable& table, int slot) {
    std::array<std::string_view, kSlotFieldCount> fields;
    std::size_t count = 0;
    ForEachItem(text, [&](std::string_view item) {
        if (count < fields.size())
            fields[count] = Trim(item);
        ++count;
    });
    if (count != kSlotFieldCount)
        return false;
    const auto letter = ParseLetter(fields[0]);
    const auto protect = ParseNumber(fields[1], kByteMax);
    const auto type = ParseNumber(fields[2], kByteMax);
    const auto size = ParseNumber(fields[3], kSizeMax);
    if (!letter || !protect || !type || !size)
        return false;
    table.letter[slot] = *letter;
    table.protect[slot] = std::uint8_t(*protect);
    table.type[slot] = std::uint8_t(*type);
    table.SetSizeMb(slot, *size);
    return true;
}

bool IsEmptySlot(const PartitionTable& table, int slot) {
    return table.letter[slot] == 0 && table.protect[slot] == 0 && table.type[slot] == 0 &&
           table.SizeMb(slot) == 0;
}

std::string FormatLogLine(SimFunction function, bool result, std::string_view argument) {
    std::string line(FunctionName(function));
    line += result ? " 1" : " 0";
    if (function != SimFunction::GetPartition && function != SimFunction::GetProtection) {
        line += ' ';
        line += argument;
    }
    return line;
}

} // namespace veltrane::sim
