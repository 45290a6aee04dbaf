#pragma once
// A driver library that answers from fields and records the calls made to it.

#include <string>
#include <vector>

#include "driver/DriverLibrary.h"

namespace veltrane::testing {

class FakeDriver : public DriverLibrary {
public:
    bool reachable = true;
    bool protection = false;
    bool simulated = false;
    PartitionTable stored{};
    std::vector<std::string> calls;

    bool GetPartition(PartitionTable& table) override {
        calls.push_back("fcGetPartition");
        if (reachable)
            table = stored;
        return reachable;
    }
    bool SetPartition(PartitionTable& table) override {
        calls.push_back("fcSetPartition");
        stored = table;
        return true;
    }
    bool GetProtection() override {
        calls.push_back("fcGetProtection");
        return protection;
    }
    bool SetProtection(WorkMode mode) override {
        calls.push_back("fcSetProtection " + std::to_string(mode & 0xFF));
        return true;
    }
    bool SetPassword(const char* password) override {
        calls.push_back(std::string("fcSetPassword ") + password);
        return true;
    }
    bool CheckPassword(const char* password) override {
        calls.push_back(std::string("fcCheckPassword ") + password);
        return false;
    }
    bool Simulated() const override { return simulated; }
};

} // namespace veltrane::testing
