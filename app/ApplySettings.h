#pragma once
// The OK button's sequence: confirm, copy the ticks into the table, write table and mode, restart.

#include <string>
#include <vector>

#include "driver/DriverLibrary.h"

namespace veltrane {

struct ListedPartition {
    std::wstring caption; // "D:\"
    bool ticked;
};

// What the sequence needs from the window and the system.
class ApplyHost {
public:
    virtual ~ApplyHost() = default;
    virtual bool AskConfirm(const std::wstring& text) = 0;
    virtual void SetOkEnabled(bool enabled) = 0;
    virtual std::vector<ListedPartition> ListedPartitions() = 0;
    virtual bool RecoverModeTicked() = 0;
    virtual bool OpenModeTicked() = 0;
    // The standard message box.
    virtual void ShowMessage(const std::wstring& text) = 0;
    virtual void RestartNow() = 0;
};

// Protect flags from the list: each slot takes the tick of the first item whose caption begins
// with its letter; slots without such an item, and every other byte, keep what was read.
void CopyTicksIntoTable(const std::vector<ListedPartition>& items, PartitionTable& table);

// Runs the whole sequence. A failing library call stops it with its message and enables OK again;
// nothing already stored is rolled back. After the restart request OK stays disabled.
void ApplySettings(ApplyHost& host, DriverLibrary& driver, PartitionTable& table, WorkMode& mode);

} // namespace veltrane
