#include "app/ApplySettings.h"

#include <exception>
#include <string_view>

#include "texts/Texts.h"

namespace veltrane {

namespace {

// Raised inside the guarded block; its text is what the user is shown.
struct ApplyFailure {
    std::wstring message;
};

// Length of the UTF-8 sequence a lead byte starts, 0 for a byte that cannot lead one.
int Utf8Length(unsigned char lead) {
    return lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
}

void AppendCodePoint(std::wstring& text, char32_t code) {
    if (code >= 0x10000 && sizeof(wchar_t) == 2) {
        code -= 0x10000;
        text.push_back(wchar_t(0xD800 + (code >> 10)));
        text.push_back(wchar_t(0xDC00 + (code & 0x3FF)));
    } else {
        text.push_back(wchar_t(code));
    }
}

// Error texts are UTF-8, as the program's own sources and the standard library's are; a byte that
// does not fit shows as U+FFFD rather than as a wrong letter.
std::wstring FromUtf8(std::string_view text) {
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    std::wstring wide;
    for (std::size_t i = 0; i < text.size();) {
        const int length = Utf8Length(static_cast<unsigned char>(text[i]));
        bool valid = length > 0 && i + std::size_t(length) <= text.size();
        char32_t code = valid ? static_cast<unsigned char>(text[i]) & (0xFF >> (length + (length > 1))) : 0;
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + std::size_t(k)]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        valid = valid && code >= kSmallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (!valid) {
            wide.push_back(L'\uFFFD');
            ++i;
            continue;
        }
        AppendCodePoint(wide, code);
        i += std::size_t(length);
    }
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
        failure = FromUtf8(error.what());
    } catch (...) {
        failure = texts::kUnknownError; // an error without a text of its own
    }
    host.ShowMessage(failure);
    host.SetOkEnabled(true);
}

} // namespace veltrane
