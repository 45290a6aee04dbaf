#pragma once
// A static text drawn word-wrapped and centred both ways, which the system's static control cannot
// do with more than one line.

#include "platform/Subclass.h"

namespace veltrane {

class CentredLabel final : public WindowSubclass {
private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint();
};

} // namespace veltrane
