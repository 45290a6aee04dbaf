#pragma once
// The guarded administrator check in front of the main window and of Quit.

#include <functional>

#include "driver/DriverLibrary.h"
#include "driver/DriverPassword.h"

namespace veltrane {

using PasswordCheck = std::function<bool(const SecretString& typed)>;

class PasswordPrompt {
public:
    virtual ~PasswordPrompt() = default;
    virtual void BringApplicationToFront() = 0;
    // Shows the password dialog modally. When it closed with OK and code page 936 has every
    // character typed, returns what `check` says of the text, asked before the dialog is destroyed;
    // false otherwise.
    virtual bool Ask(const PasswordCheck& check) = 0;
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
