#include "driver/win/ZelkLibrary.h"

#include "driver/DriverPassword.h"

namespace veltrane {

namespace {
// Exported by the simulated library only: the driver's own never has it.
constexpr char kSimulatedMark[] = "VeltraneSimulatedDriverLibrary";
} // namespace

bool ZelkLibrary::GetPartition(PartitionTable& table) {
    return entries_.getPartition(&table) != 0;
}
bool ZelkLibrary::SetPartition(PartitionTable& table) {
    return entries_.setPartition(&table) != 0;
}
bool ZelkLibrary::GetProtection() {
    return entries_.getProtection() != 0;
}
bool ZelkLibrary::SetProtection(WorkMode mode) {
    return entries_.setProtection(std::uint32_t(mode) & 0xFF) != 0;
}
bool ZelkLibrary::SetPassword(const char* password) {
    if (!password || !DriverPasswordFits(password))
        return false;
    entries_.setPassword(password); // its answer means nothing
    return true;
}
bool ZelkLibrary::CheckPassword(const char* password) {
    return password && DriverPasswordFits(password) && entries_.checkPassword(password) != 0;
}
bool ZelkLibrary::Simulated() const {
    return module_ && ::GetProcAddress(module_, kSimulatedMark) != nullptr;
}

} // namespace veltrane
