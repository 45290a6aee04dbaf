#pragma once
// Whether another copy already runs in this logon session, from what creating the instance mutex
// reported.

namespace veltrane {

inline constexpr unsigned long kErrorAccessDenied = 5;
inline constexpr unsigned long kErrorAlreadyExists = 183;

// gotHandle: the create call returned a handle; lastError: the error code it left.
// A copy with other rights (an elevated one, or a normal one beside an elevated one) may be refused
// the existing mutex: that too means a copy is running.
constexpr bool AnotherCopyRuns(bool gotHandle, unsigned long lastError) {
    return gotHandle ? lastError == kErrorAlreadyExists : lastError == kErrorAccessDenied;
}

} // namespace veltrane
