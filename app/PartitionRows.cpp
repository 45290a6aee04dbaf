#include "app/PartitionRows.h"

#include "texts/Texts.h"

namespace veltrane {

namespace {
constexpr std::uint8_t kNtfsId = 7;
constexpr std::uint8_t kFat32Id = 0x0B;
constexpr std::uint8_t kFat32LbaId = 0x0C;
} // namespace

bool IsShownDriveLetter(std::uint8_t letter) {
    return letter >= 'C' && letter <= 'Z';
}

std::wstring_view PartitionTypeName(std::uint8_t systemId) {
    switch (systemId) {
    case kNtfsId:
        return texts::kTypeNtfs;
    case kFat32Id:
    case kFat32LbaId:
        return texts::kTypeFat32;
    default:
        return texts::kTypeUnknown;
    }
}

std::vector<PartitionRow> PartitionRows(const PartitionTable& table) {
    std::vector<PartitionRow> rows;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::uint8_t letter = table.letter[slot];
        if (!IsShownDriveLetter(letter))
            continue;
        rows.push_back({slot, std::wstring{wchar_t(letter), L':', L'\\'},
                        std::wstring(PartitionTypeName(table.type[slot])),
                        std::to_wstring(table.SizeMb(slot)), table.protect[slot] == 1});
    }
    return rows;
}

DriverState ReadDriverState(DriverLibrary& driver, PartitionTable& table,
                            const std::function<void()>& reportUnreachable) {
    DriverState state;
    table.Clear();
    state.reachable = driver.GetPartition(table);
    if (state.reachable)
        state.rows = PartitionRows(table);
    else
        reportUnreachable();
    state.mode = driver.GetProtection() ? kModeProtected : kModeOpen;
    return state;
}

std::optional<DriverState> RefreshDriverState(DriverLibrary& driver, PartitionTable& table,
                                              const std::function<void()>& reportUnreachable) {
    PartitionTable fresh;
    DriverState state = ReadDriverState(driver, fresh, reportUnreachable);
    if (!state.reachable)
        return std::nullopt;
    table = fresh;
    return state;
}

int LastColumnWidth(int clientWidth, bool listEmpty, int scrollBarWidth) {
    constexpr int kFirstTwoColumns = 250;
    constexpr int kMinimum = 5;
    const int width = clientWidth - kFirstTwoColumns - (listEmpty ? scrollBarWidth : 0);
    return width < kMinimum ? kMinimum : width;
}

} // namespace veltrane
