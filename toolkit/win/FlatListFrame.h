#pragma once
// A flat frame around a control: one pixel normally, two while the pointer is anywhere over the
// control (its scroll bars and child windows, such as a list's column header, included) or it has
// the keyboard focus.

#include <memory>
#include <vector>

#include "platform/Subclass.h"

namespace veltrane {

class FlatListFrame final : public WindowSubclass {
public:
    FlatListFrame();
    ~FlatListFrame() override;
    // Replaces the control's own border with the frame.
    void Attach(HWND control);

private:
    class ChildWatch;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The pointer moved over `part` of the control (nonClient: its scroll bars).
    void PointerOver(HWND part, bool nonClient);
    void PointerMayHaveLeft();
    bool IsThick() const;
    void PaintFrame();
    void Repaint();

    bool hot_ = false;
    std::vector<std::unique_ptr<ChildWatch>> children_;
};

} // namespace veltrane
