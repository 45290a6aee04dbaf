#pragma once
// The guarded administrator check in front of the main window and of Quit.

#include <optional>
#include <string>

#include "driver/DriverLibrary.h"

namespace veltrane {

// A string that is wiped from memory when it goes away: typed passwords do not linger.
class SecretString {
public:
    SecretString() = default;
    explicit SecretString(std::string text) : text_(std::move(text)) {}
    SecretString(const SecretString&) = delete;
    SecretString& operator=(const SecretString&) = delete;
    SecretString(SecretString&& other) noexcept : text_(std::move(other.text_)) { other.Wipe(); }
    SecretString& operator=(SecretString&& other) noexcept;
    ~SecretString() { Wipe(); }

    const char* c_str() const { return text_.c_str(); }
    const std::string& str() const { return text_; }
    void Wipe();

private:
    std::string text_;
};

class PasswordPrompt {
public:
    virtual ~PasswordPrompt() = default;
    virtual void BringApplicationToFront() = 0;
    // Shows the password dialog modally; the typed text (code page 936) when it closed with OK.
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
