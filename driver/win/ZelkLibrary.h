#pragma once
// The driver control library ZELK.dll: its six functions, bound by the process loader (the program)
// or at run time (veltrane-ctl, which must say so when the library is missing).

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "driver/DriverLibrary.h"

namespace veltrane {

struct ZelkEntryPoints {
    std::uint8_t(__stdcall* getPartition)(PartitionTable* table);
    std::uint8_t(__stdcall* setPartition)(PartitionTable* table);
    std::uint8_t(__stdcall* getProtection)();
    std::uint8_t(__stdcall* setProtection)(std::uint32_t mode);
    std::uint8_t(__stdcall* setPassword)(const char* password);
    std::uint8_t(__stdcall* checkPassword)(const char* password);
};

// Every call into ZELK.dll goes through here, and so every password is checked here first.
class ZelkLibrary final : public DriverLibrary {
public:
    ZelkLibrary(HMODULE module, const ZelkEntryPoints& entries) : module_(module), entries_(entries) {}

    bool GetPartition(PartitionTable& table) override;
    bool SetPartition(PartitionTable& table) override;
    bool GetProtection() override;
    bool SetProtection(WorkMode mode) override;
    bool SetPassword(const char* password) override;
    bool CheckPassword(const char* password) override;
    bool Simulated() const override;

private:
    HMODULE module_;
    ZelkEntryPoints entries_;
};

// The library as the process loader bound it (the program's import table names the six functions).
ZelkLibrary ZelkLibraryImported();

// Loads ZELK.dll by name at run time, the current folder left out of the search. Null when the
// library or one of its functions is missing; `missing` then names what.
std::unique_ptr<ZelkLibrary> ZelkLibraryLoad(std::wstring& missing);

} // namespace veltrane
