#pragma once
// Turns the driver's partition table into the rows of the main window's list.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/DriverLibrary.h"

namespace veltrane {

struct PartitionRow {
    int slot;            // index into the table; the apply step matches rows back by letter
    std::wstring drive;  // "D:\"
    std::wstring type;   // "NTFS", "FAT32" or "Unknow"
    std::wstring sizeMb; // unsigned decimal, no separators
    bool ticked;         // protect[slot] == 1
};

bool IsShownDriveLetter(std::uint8_t letter);
std::wstring_view PartitionTypeName(std::uint8_t systemId);
std::vector<PartitionRow> PartitionRows(const PartitionTable& table);

// What the main window learns from the driver once, when it is created.
struct DriverState {
    bool reachable = false;
    std::vector<PartitionRow> rows;
    WorkMode mode = kModeOpen;
};

// Zero-fills the table and reads it; when the driver does not answer, reportUnreachable runs before
// the work mode is read. The mode is read either way; a failing read counts as "not protected".
DriverState ReadDriverState(DriverLibrary& driver, PartitionTable& table,
                            const std::function<void()>& reportUnreachable);
// The same read again, for a later showing of the window: the table is replaced only when the driver
// answered, so that nothing but a record the driver gave is ever written back. Nullopt when it did not.
std::optional<DriverState> RefreshDriverState(DriverLibrary& driver, PartitionTable& table,
                                              const std::function<void()>& reportUnreachable);

// Width of the list's last column: what the first two leave of the client width, at least 5
// pixels; an empty list holds back room for a vertical scroll bar.
int LastColumnWidth(int clientWidth, bool listEmpty, int scrollBarWidth);

} // namespace veltrane
