#include "sim/SimDriver.h"

#include <cstring>

namespace veltrane::sim {
namespace {

std::string_view TextOrEmpty(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}

std::string TableHex(const PartitionTable* table) {
    if (!table)
        return {};
    return ToHex({reinterpret_cast<const std::uint8_t*>(table), sizeof *table});
}

} // namespace

std::optional<SimState> SimDriver::Load() {
    std::string text;
    switch (store_.Read(text)) {
    case StateStore::ReadStatus::kOk:
        return ParseState(text).state;
    case StateStore::ReadStatus::kMissing: {
        SimState demo = DemoState();
        if (!store_.Replace(SerializeState(demo)))
            return std::nullopt;
        return demo;
    }
    case StateStore::ReadStatus::kFailed:
        break;
    }
    return std::nullopt;
}

template <class Operation>
bool SimDriver::Run(SimFunction function, std::string_view argument, Operation operation) {
    std::optional<SimState> state = Load();
    if (!state)
        return false;
    bool result = false;
    if (!state->Fails(function)) {
        const Effect effect = operation(*state);
        result = effect.result && (!effect.changed || store_.Replace(SerializeState(*state)));
    }
    if (!state->logPath.empty())
        store_.AppendLine(state->logPath, FormatLogLine(function, result, argument));
    return result;
}

bool SimDriver::GetPartition(PartitionTable* table) {
    return Run(SimFunction::GetPartition, {}, [&](SimState& state) {
        if (!table || !state.reachable)
            return Effect{false, false};
        std::memcpy(table, &state.table, sizeof *table);
        return Effect{true, false};
    });
}

bool SimDriver::SetPartition(const PartitionTable* table) {
    return Run(SimFunction::SetPartition, TableHex(table), [&](SimState& state) {
        if (!table)
            return Effect{false, false};
        std::memcpy(&state.table, table, sizeof *table);
        return Effect{true, true};
    });
}

bool SimDriver::GetProtection() {
    return Run(SimFunction::GetProtection, {}, [](SimState& state) {
        return Effect{state.protection != 0, false};
    });
}

bool SimDriver::SetProtection(std::uint32_t mode) {
    const std::uint8_t low = std::uint8_t(mode & 0xFF);
    return Run(SimFunction::SetProtection, std::to_string(low), [&](SimState& state) {
        state.protection = low;
        return Effect{true, true};
    });
}

bool SimDriver::CheckPassword(const char* password) {
    return Run(SimFunction::CheckPassword, TextOrEmpty(password), [&](SimState& state) {
        return Effect{password && state.password == password, false};
    });
}

bool SimDriver::SetPassword(const char* password) {
    return Run(SimFunction::SetPassword, TextOrEmpty(password), [&](SimState& state) {
        if (!password || !IsStorablePassword(password))
            return Effect{false, false};
        state.password = password;
        return Effect{true, true};
    });
}

} // namespace veltrane::sim
