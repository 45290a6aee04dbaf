#include "platform/Guard.h"

#include <cstdio>
#include <exception>

namespace veltrane {

void CaughtErrorRecord(const char* where, UINT message) noexcept {
    const char* what = "unknown error";
    try {
        throw;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    char line[512];
    std::snprintf(line, sizeof line, "veltrane: %s: message 0x%04X: %s\n", where, message, what);
    ::OutputDebugStringA(line);
}

} // namespace veltrane
