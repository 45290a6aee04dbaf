#pragma once
// A flat frame around a control: one pixel normally, two while the pointer is over the control or
// it has the keyboard focus.

#include "platform/Subclass.h"

namespace veltrane {

class FlatFrame final : public WindowSubclass {
public:
    // Replaces the control's own border with the frame.
    void Attach(HWND control);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool IsThick() const;
    void PaintFrame();
    void Repaint();

    bool hot_ = false;
};

} // namespace veltrane
