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
    return prompt.Ask([&driver](const SecretString& typed) { return driver.CheckPassword(typed.c_str()); });
}

} // namespace veltrane
