#pragma once

#include <string>

namespace veltrane {

// Restarts the machine at once, closing running programs without asking them to save. On the NT
// family the process first enables its shutdown privilege. Empty when the system took the request;
// otherwise the system's text for why it refused (the main window does not look at it).
std::wstring RestartNow();

// The system's message for an error code, followed by the code in brackets.
std::wstring SystemErrorText(unsigned long error);

} // namespace veltrane
