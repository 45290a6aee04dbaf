#include "app/ApplySettings.h"

#include <exception>

#include "texts/Texts.h"

namespace veltrane {

namespace {

// Raised inside the guarded block; its text is what the user is shown.
struct ApplyFailure {
    std::wstring message;
};

std::wstring Widened(const char* text) {
    std::wstring wide;
    for (const char* p = text; p && *p; ++p)
        wide.push_back(wchar_t(static_cast<unsigned char>(*p)));
    return wide;
}

void WriteSettings(ApplyHost& host, DriverLibrary& driver, PartitionTable& table, WorkMode& mode) {
    CopyTicksIntoTable(host.ListedPartitions(), table);
    if (!driver.SetPartition(table))
        throw ApplyFailure{texts::kSetPartitionFailed};
    if (host.RecoverModeTicked())
        mode = kModeProtected;
    if (host.OpenModeTicked())
        mode = kModeOpen;
    if (!driver.SetProtection(mode))
        throw ApplyFailure{texts::kSetProtectionFailed};
    host.RestartNow();
}

} // namespace

void CopyTicksIntoTable(const std::vector<ListedPartition>& items, PartitionTable& table) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const wchar_t letter = wchar_t(table.letter[slot]);
        for (const ListedPartition& item : items) {
            if (!item.caption.empty() && item.caption.front() == letter) {
                table.protect[slot] = item.ticked ? 1 : 0;
                break;
            }
        }
    }
}

void ApplySettings(ApplyHost& host, DriverLibrary& driver, PartitionTable& table, WorkMode& mode) {
    if (!host.AskConfirm(texts::kAskRestart))
        return;
    host.SetOkEnabled(false);
    std::wstring failure;
    try {
        WriteSettings(host, driver, table, mode);
        return;
    } catch (const ApplyFailure& error) {
        failure = error.message;
    } catch (const std::exception& error) {
        failure = Widened(error.what());
    }
    host.ShowMessage(failure);
    host.SetOkEnabled(true);
}

} // namespace veltrane
