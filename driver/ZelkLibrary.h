#pragma once
#include "driver/DriverLibrary.h"

namespace veltrane {

// Calls the real (or simulated) ZELK.dll.
class ZelkLibrary final : public DriverLibrary {
public:
    bool GetPartition(PartitionTable& table) override;
    bool SetPartition(PartitionTable& table) override;
    bool GetProtection() override;
    bool SetProtection(WorkMode mode) override;
    void SetPassword(const char* password) override;
    bool CheckPassword(const char* password) override;
};

} // namespace veltrane
