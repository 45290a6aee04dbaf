#pragma once
#include <string_view>

namespace veltrane {

// Asks the shell to open a web address or file. A blank target does nothing; a failed .htm target
// offers the system's choice-of-program dialog; other failures are silent. True when the shell
// accepted the request.
bool OpenLink(std::wstring_view target);

} // namespace veltrane
