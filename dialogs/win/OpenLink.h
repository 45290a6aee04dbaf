#pragma once
#include <string_view>

namespace veltrane {

class Application;

// Asks the shell to open a web address or file. A blank target does nothing; a failed .htm target
// offers the system's choice-of-program dialog; other failures are silent. True when the shell
// accepted the request. The application's thread joins its apartment first: some handlers (mail
// programs among them) are COM objects.
bool OpenLink(std::wstring_view target, Application& application);

} // namespace veltrane
