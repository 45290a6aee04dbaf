#pragma once

namespace veltrane {

// Restarts the machine at once, closing running programs without asking them to save. On the NT
// family the process first enables its shutdown privilege. Nothing is reported.
void RestartNow();

} // namespace veltrane
