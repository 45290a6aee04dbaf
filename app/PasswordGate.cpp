#include "app/PasswordGate.h"

#include <algorithm>

namespace veltrane {

SecretString& SecretString::operator=(SecretString&& other) noexcept {
    if (this != &other) {
        Wipe();
        text_ = std::move(other.text_);
        other.Wipe();
    }
    return *this;
}

void SecretString::Wipe() {
    // Volatile writes so the compiler cannot drop them as dead stores.
    volatile char* p = text_.data();
    for (std::size_t i = 0; i < text_.capacity(); ++i)
        p[i] = 0;
    text_.clear();
}

bool PasswordGate::Pass(PasswordPrompt& prompt, DriverLibrary& driver) {
    if (open_)
        return false;
    open_ = true;
    struct Close {
        bool& flag;
        ~Close() { flag = false; }
    } close{open_};
    prompt.BringApplicationToFront();
    const std::optional<SecretString> typed = prompt.Ask();
    return typed && driver.CheckPassword(typed->c_str());
}

} // namespace veltrane
