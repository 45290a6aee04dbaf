#pragma once
// Windows whose background shows through the controls that stand on them: the forms and panels.
// A control asks the nearest window holding it for a brush aligned to itself, or has that window's
// background painted into its own DC, so labels, radio buttons and group boxes over a drawn
// background show it rather than a solid box.

#include "platform/Handles.h"

namespace veltrane {

class BackgroundProvider {
public:
    BackgroundProvider() = default;
    BackgroundProvider(const BackgroundProvider&) = delete;
    BackgroundProvider& operator=(const BackgroundProvider&) = delete;
    virtual ~BackgroundProvider() = default;

    // Paints the background of `area`, in the provider's client coordinates.
    virtual void PaintBackground(HDC dc, const RECT& area) = 0;
    // The colour when the background is one plain colour; CLR_INVALID when it is drawn.
    virtual COLORREF SolidBackground() const { return CLR_INVALID; }

    // Prepares a control's DC (text background, brush origin) and returns the brush that fills the
    // control with the part of the background behind it.
    HBRUSH BrushFor(HWND control, HDC controlDc);

protected:
    // Makes this object the background of `window` for the controls it holds.
    void ProvideFor(HWND window);
    void Withdraw();
    // The drawn background changed: the next brush is made anew.
    void BackgroundChanged() { pattern_.Reset(); }

private:
    HWND window_ = nullptr;
    UniqueBrush solid_;
    COLORREF solidColour_ = CLR_INVALID;
    UniqueBrush pattern_;
    SIZE patternSize_{};
};

// The provider of the nearest window that holds `control` (its parent, or further up), or null.
BackgroundProvider* BackgroundProviderOf(HWND control);
// Paints the background behind `control` into the control's DC; false when nothing provides one.
bool ParentBackgroundPaint(HWND control, HDC dc);

} // namespace veltrane
