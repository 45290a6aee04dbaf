#pragma once
// The guarded administrator check in front of the main window and of Quit.

#include <optional>

#include "driver/DriverLibrary.h"
#include "driver/DriverPassword.h"

namespace veltrane {

class PasswordPrompt {
public:
    virtual ~PasswordPrompt() = default;
    virtual void BringApplicationToFront() = 0;
    // Shows the password dialog modally; the typed text in code page 936 when it closed with OK and
    // the code page has every character of it.
    virtual std::optional<SecretString> Ask() = 0;
};

class PasswordGate {
public:
    // True only when the right password was given in this very call. A request while a check is
    // on screen returns false at once, so nested callers never open a second dialog.
    bool Pass(PasswordPrompt& prompt, DriverLibrary& driver);
    bool IsOpen() const { return open_; }
    void Reset() { open_ = false; }

private:
    bool open_ = false;
};

} // namespace veltrane
