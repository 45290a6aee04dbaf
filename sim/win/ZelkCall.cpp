// Calls ZELK.dll from the command line, one call per argument, and prints each result in the form
// of the library's log lines; "get" also prints the record read. For checking a build under Wine:
//   zelkcall get getprot "setprot 1" "check admin" "setpass abc" "set <180 hex digits>" null
// "null" passes null pointers to the four functions that take one.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "driver/PartitionTable.h"
#include "driver/win/ZelkImports.h"
#include "sim/SimState.h"

namespace {

using veltrane::PartitionTable;
using veltrane::sim::FormatLogLine;
using veltrane::sim::SimFunction;

std::string Hex(const PartitionTable& table) {
    return veltrane::sim::ToHex({reinterpret_cast<const std::uint8_t*>(&table), sizeof table});
}

void Print(SimFunction function, std::uint8_t result, std::string_view argument) {
    std::printf("%s\n", FormatLogLine(function, result != 0, argument).c_str());
}

bool RunCommand(std::string_view command) {
    const auto space = command.find(' ');
    const std::string_view verb = command.substr(0, space);
    const std::string argument(space == std::string_view::npos ? "" : command.substr(space + 1));
    PartitionTable table{};
    if (verb == "get") {
        Print(SimFunction::GetPartition, fcGetPartition(&table), {});
        std::printf("%s\n", Hex(table).c_str());
    } else if (verb == "set") {
        if (!veltrane::sim::FromHex(argument, {reinterpret_cast<std::uint8_t*>(&table), sizeof table}))
            return false;
        Print(SimFunction::SetPartition, fcSetPartition(&table), argument);
    } else if (verb == "getprot") {
        Print(SimFunction::GetProtection, fcGetProtection(), {});
    } else if (verb == "setprot") {
        const std::uint32_t mode = std::uint32_t(std::strtoul(argument.c_str(), nullptr, 0));
        Print(SimFunction::SetProtection, fcSetProtection(mode), std::to_string(mode & 0xFF));
    } else if (verb == "check") {
        Print(SimFunction::CheckPassword, fcCheckPassword(argument.c_str()), argument);
    } else if (verb == "setpass") {
        Print(SimFunction::SetPassword, fcSetPassword(argument.c_str()), argument);
    } else if (verb == "null") {
        Print(SimFunction::GetPartition, fcGetPartition(nullptr), {});
        Print(SimFunction::SetPartition, fcSetPartition(nullptr), {});
        Print(SimFunction::CheckPassword, fcCheckPassword(nullptr), {});
        Print(SimFunction::SetPassword, fcSetPassword(nullptr), {});
    } else {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!RunCommand(argv[i])) {
            std::fprintf(stderr, "zelkcall: bad command: %s\n", argv[i]);
            return 2;
        }
    }
    return 0;
}
