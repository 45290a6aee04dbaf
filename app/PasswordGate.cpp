#include "app/PasswordGate.h"

namespace veltrane {

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
