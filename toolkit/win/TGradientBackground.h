#pragma once
// The gradient background of a panel: a blend in solid bands inside an optional frame, drawn into
// an off-screen bitmap that is kept until the size or a property changes.

#include "platform/Containers.h"
#include "platform/Paint.h"
#include "toolkit/draw/Gradient.h"
#include "toolkit/win/GdiDraw.h"

namespace veltrane {

class TGradientBackground final : public GradientBackgroundProperties {
public:
    // System colours are looked up with GetSysColor when a colour property is set.
    TGradientBackground();
    TGradientBackground(const TGradientBackground&) = delete;
    TGradientBackground& operator=(const TGradientBackground&) = delete;

    // Paints the background filling `area`, frame included.
    void Paint(HDC dc, const RECT& area);
    // Becomes the painter of `panel` (inside the panel's bevel, if it has one). This object must
    // outlive the panel's window.
    void AttachTo(Panel& panel);

private:
    struct Snapshot {
        PixelSize size;
        bool gradient = false;
        Rgb start = 0, stop = 0;
        TGradientDirection direction = gdHorizontalEnd;
        int smoothFactor = 0;
        bool operator==(const Snapshot&) const = default;
    };

    Snapshot Current(PixelSize size) const;
    // The off-screen bitmap for a control of `size`, drawn anew when something changed.
    HDC Rendered(PixelSize size);
    void PaintFrame(HDC dc, const RECT& area) const;

    BitmapDC bitmap_;
    Snapshot rendered_;
};

} // namespace veltrane
