#include "driver/ZelkLibrary.h"

#include "driver/ZelkImports.h"

namespace veltrane {

bool ZelkLibrary::GetPartition(PartitionTable& table) {
    return fcGetPartition(&table) != 0;
}
bool ZelkLibrary::SetPartition(PartitionTable& table) {
    return fcSetPartition(&table) != 0;
}
bool ZelkLibrary::GetProtection() {
    return fcGetProtection() != 0;
}
bool ZelkLibrary::SetProtection(WorkMode mode) {
    return fcSetProtection(std::uint32_t(mode) & 0xFF) != 0;
}
void ZelkLibrary::SetPassword(const char* password) {
    fcSetPassword(password);
}
bool ZelkLibrary::CheckPassword(const char* password) {
    return fcCheckPassword(password) != 0;
}

} // namespace veltrane
