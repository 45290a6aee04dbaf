#include "app/ApplySettings.h"

#include <exception>
#include <optional>

#include "driver/DriverPassword.h"
#include "texts/Texts.h"

namespace veltrane {

namespace {

// The message of the step that failed; nothing once the restart has been requested.
std::optional<std::wstring> WriteSettings(ApplyHost& host, DriverLibrary& driver, PartitionTable& table,
                                          WorkMode& mode) {
    CopyTicksIntoTable(host.ListedPartitions(), table);
    if (!driver.SetPartition(table))
        return texts::kSetPartitionFailed;
    if (host.RecoverModeTicked())
        mode = kModeProtected;
    if (host.OpenModeTicked())
        mode = kModeOpen;
    if (!driver.SetProtection(mode))
        return texts::kSetProtectionFailed;
    host.RestartNow();
    return std::nullopt;
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
    std::optional<std::wstring> failure;
    try {
        failure = WriteSettings(host, driver, table, mode);
    } catch (const std::exception& error) {
        // Error texts are UTF-8, as the program's own sources and the standard library's are.
        failure = Utf8DecodeLenient(error.what());
    } catch (...) {
        failure = texts::kUnknownError; // an error without a text of its own
    }
    if (!failure)
        return;
    host.ShowMessage(*failure);
    host.SetOkEnabled(true);
}

} // namespace veltrane
