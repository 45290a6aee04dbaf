#pragma once
// The behaviour of the six library functions over a state file: each call re-reads the state,
// answers, stores what changed and appends its log line. The files themselves are reached through
// a StateStore, which the DLL implements with the Windows file API.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "driver/PartitionTable.h"
#include "sim/SimState.h"

namespace veltrane::sim {

class StateStore {
public:
    enum class ReadStatus { kOk, kMissing, kFailed };

    virtual ~StateStore() = default;
    virtual ReadStatus Read(std::string& text) = 0;
    // Replaces the whole state file so that no reader ever sees half of it.
    virtual bool Replace(std::string_view text) = 0;
    // Appends one line (the line break is added here) to the file at a Windows path.
    virtual bool AppendLine(std::string_view path, std::string_view line) = 0;
};

class SimDriver {
public:
    explicit SimDriver(StateStore& store) : store_(store) {}

    bool GetPartition(PartitionTable* table);
    bool SetPartition(const PartitionTable* table);
    bool GetProtection();
    bool SetProtection(std::uint32_t mode);
    bool CheckPassword(const char* password);
    bool SetPassword(const char* password);

private:
    struct Effect {
        bool result;
        bool changed; // the state must be written back before the call counts as done
    };

    // A missing file is created with the demo state; an unreadable or malformed one gives nothing.
    std::optional<SimState> Load();
    template <class Operation> bool Run(SimFunction function, std::string_view argument, Operation operation);

    StateStore& store_;
};

} // namespace veltrane::sim
