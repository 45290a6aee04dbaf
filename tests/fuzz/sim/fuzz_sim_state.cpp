// The simulated library's state file, which an evaluation install reads from a place every user may
// write: any bytes either parse or give a reason, and what parses is written back and read again to
// the same state.
#include <string_view>

#include "sim/SimState.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrane::sim;
    const ParseResult parsed = ParseState(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!parsed.state) {
        if (parsed.error.empty())
            __builtin_trap();
        return 0;
    }
    const std::string written = SerializeState(*parsed.state);
    const ParseResult again = ParseState(written);
    if (!again.state || !(*again.state == *parsed.state) || SerializeState(*again.state) != written)
        __builtin_trap();
    return 0;
}
