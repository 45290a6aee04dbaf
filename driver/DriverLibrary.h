#pragma once
// What the program asks of the driver control library. The production implementation calls the
// six functions of ZELK.dll; tests pass fakes.

#include "driver/PartitionTable.h"

namespace veltrane {

class DriverLibrary {
public:
    virtual ~DriverLibrary() = default;
    // table must be zero-filled by the caller; false means the driver did not answer.
    virtual bool GetPartition(PartitionTable& table) = 0;
    virtual bool SetPartition(PartitionTable& table) = 0;
    virtual bool GetProtection() = 0;
    virtual bool SetProtection(WorkMode mode) = 0;
    // 8-bit code page 936 strings. A password the library must not be handed (see
    // DriverPasswordFits) is not passed on: the change is not sent (false), the check fails.
    // SetPassword's true says only that the password was handed over, not that the library took it.
    virtual bool SetPassword(const char* password) = 0;
    virtual bool CheckPassword(const char* password) = 0;
    // The library in use is the simulated one: nothing is protected.
    virtual bool Simulated() const { return false; }
};

} // namespace veltrane
